#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "battle/engine/GameFlow.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/Combat.h"
#include "battle/engine/Sight.h"
#include "engine/DocFixture.h"
#include "engine/RuleFixture.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

TEST(LastPathElement, KeepsOnlyTheName)
{
    struct Case {
        std::string in;
        const char* want;
    } cases[] = {
        {"MAP01.MB2", "MAP01.MB2"},
        {"..\\..\\etc\\passwd", "passwd"},
        {"a/b/../c.MB2", "c.MB2"},
        {"C:evil.MB2", "evil.MB2"},
        {"..", ""},
        {std::string("ok.MB2\0\\x", 9), "ok.MB2"},  // rubbish after the terminator
        {"\x95\x5c.MB2", "\x95\x5c.MB2"},          // a second byte that looks like '\'
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(LastPathElement(c.in), c.want);
    }
}

class GameFlowTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        root = fs::temp_directory_path() / ("velmorath-flow-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
        DocFixture::TearDown();
    }
    static std::string Slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path root;
};

TEST_F(GameFlowTest, RecordsAppendToTheirFilesInTheDataFolder)
{
    std::strcpy(doc->m_GameData.szMB2File, "..\\Maps\\Front.MB2");
    std::strcpy(doc->m_GameData.Head.szName, "Winter");
    doc->AppendGameRecord("one\n");
    doc->AppendGameRecord(std::string(600, 'x'));
    doc->AppendWeatherRecord("w\n");
    const std::string game = Slurp(root / "Data" / "Front.TXT");
    EXPECT_EQ(game.substr(0, 4), "one\n");
    EXPECT_EQ(game.size(), 4 + kRecordTextMax);  // one append writes at most 511 bytes
    EXPECT_EQ(Slurp(root / "Data" / "Winter.TXT"), "w\n");
    EXPECT_FALSE(fs::exists(root / "Maps"));

    doc->m_GameData.nTurn = 4;
    doc->WriteRecordHeading("Start", true);
    doc->WriteRecordHeading("Load", false);
    const std::string& withTurn = doc->m_StubRecords[doc->m_StubRecords.size() - 2];
    const std::string& without = doc->m_StubRecords.back();
    EXPECT_EQ(withTurn.rfind("\n*** Start (Turn 4) ***  ", 0), 0u) << withTurn;
    EXPECT_EQ(without.rfind("\n*** Load ***  ", 0), 0u) << without;
    // "yy.mm.dd(Day) HH:MM"
    EXPECT_EQ(without.size(), std::string("\n*** Load ***  ").size() + 19 + 1) << without;

    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwDateTime = PackDate(41, 2, 3, 6);
    g.nWeatherValue = -35;
    g.nRainLevel = 4;
    g.nIceLevel = 12;
    doc->AppendWeatherLine(true);
    const std::string line = Slurp(root / "Data" / "Winter_C.TXT");
    EXPECT_EQ(line.substr(0, 15), "41/ 2/ 3 06:00 ") << line;
    EXPECT_NE(line.find("- 3.5"), std::string::npos) << line;
    EXPECT_NE(line.find(":12]\n"), std::string::npos) << line;
    doc->WriteWeatherHeading(false);
    EXPECT_EQ(Slurp(root / "Data" / "Winter.TXT").rfind("w\n*** Winter ***  ", 0), 0u);
}

TEST_F(GameFlowTest, IncomeCountsLiveIncomeHexesAndHalvesAtLevelBitZero)
{
    MAPCELL* cells = doc->m_dwHexCell;
    cells[100] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 30), 0);
    cells[101] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 15), 0);
    cells[102] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainPlain), 50), 0);  // no income
    cells[103] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 40), 1);   // another owner
    cells[104] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 40), 0) | kCellClosedAll;
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    EXPECT_EQ(doc->GetCountryIncome(c), 45);
    c.nLevel |= kLevelHalfIncome;
    EXPECT_EQ(doc->GetCountryIncome(c), 22);
}

TEST_F(GameFlowTest, ViewingCountryStepsBackToAHumanAtMostEightTimes)
{
    doc->SetCurrentCountry(3);  // computer-run; country 2 is human
    doc->UpdateViewingCountry(false);
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[2]);
    for (COUNTRYSTRUCT& c : doc->m_GameData.Country) c.dwFlag |= kCountryCpu;
    doc->UpdateViewingCountry(false);  // ends, wherever it stopped
    EXPECT_NE(doc->m_pViewCountry, nullptr);
    doc->m_dwGameOption |= kOptionCampaign;
    doc->UpdateViewingCountry(false);
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[0]);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

class GameFlowServices : public DocFixture {};

TEST_F(GameFlowServices, WeatherAndLightTogglesRecomputeTurnValuesAsANewTurnDoes)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    UNITSTRUCT& infantry = g.Country[0].Unit[0];
    UNITSTRUCT& ship = g.Country[1].Unit[0];
    UNITSTRUCT& absent = g.Country[5].Unit[0];  // of a country not in the game
    for (auto [u, type] : {std::pair{&infantry, zrvtest::kFixtureInfantry},
                           std::pair{&ship, zrvtest::kFixtureDestroyer}, std::pair{&absent, zrvtest::kFixtureInfantry}}) {
        u->dwFlag = kUnitInUse;
        u->nArms = type;
        u->nHex = kNoHex;
    }
    // What the new turn would give for the same weather and light.
    auto turnValue = [&](const UNITSTRUCT& u) {
        UNITSTRUCT copy = u;
        CalcUnitMovePoints(copy, &g);
        return copy.nMove;
    };
    const struct {
        const char* name;
        int weather, light;
        int command;
        int infantryOn, shipOn;  // with the toggled option in force
    } cases[] = {
        {"sandstorm halves ground units", 6, 0, ID_GAME_WEATHER, 3, 12},
        {"fog halves all but aircraft", 7, 0, ID_GAME_WEATHER, 3, 6},
        {"storm halves ships only", 3, 0, ID_GAME_WEATHER, 6, 6},
        {"rain leaves movement alone", 2, 0, ID_GAME_WEATHER, 6, 12},
        {"night halves ground units", 0, 2, ID_GAME_DAYNIGHT, 3, 12},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        g.nWeather = k.weather;
        g.nLight = g.nDayNight = k.light;
        g.dwStateFlag = 0;
        for (UNITSTRUCT* u : {&infantry, &ship}) u->nMove = turnValue(*u);
        absent.nMove = 99;
        ASSERT_TRUE(doc->RunCommand(k.command));  // on
        EXPECT_EQ(infantry.nMove, k.infantryOn);
        EXPECT_EQ(ship.nMove, k.shipOn);
        EXPECT_EQ(infantry.nMove, turnValue(infantry));
        EXPECT_EQ(ship.nMove, turnValue(ship));
        ASSERT_TRUE(doc->RunCommand(k.command));  // and off again
        EXPECT_EQ(infantry.nMove, 6);
        EXPECT_EQ(ship.nMove, 12);
        EXPECT_EQ(absent.nMove, 99);
    }
}

TEST_F(GameFlowServices, TheRefreshChoosesTheViewingCountryAgainUnlessScripted)
{
    doc->SetCurrentCountry(3);  // computer-run: the view is country 2's
    doc->m_pViewCountry = nullptr;
    doc->RefreshGameFlow();
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[2]);
    EXPECT_EQ(doc->StubCalls(DocStub::RefreshGameFlow), 1);

    // A test that scripts the refresh gets nothing recomputed.
    UNITSTRUCT& u = doc->m_GameData.Country[0].Unit[0];
    u.dwFlag = kUnitInUse;
    u.nArms = zrvtest::kFixtureInfantry;
    u.nMove = 1;
    doc->m_pViewCountry = nullptr;
    doc->SetStubResult(DocStub::RefreshGameFlow, 0);
    doc->RefreshGameFlow();
    EXPECT_EQ(u.nMove, 1);
    EXPECT_EQ(doc->m_pViewCountry, nullptr);
    EXPECT_EQ(doc->StubCalls(DocStub::RefreshGameFlow), 2);
}

// The recording view, with the overview map and the enemy flag as well.
class BlankingView : public RecordingView {
public:
    void ShowOverviewMap(bool open) override { calls.push_back(open ? "OpenOverview" : "CloseOverview"); }
    void SetEnemyView(bool e) override { enemy = e ? 1 : 0; }
    int enemy = -1;
};

TEST_F(GameFlowServices, AComputerPhaseIsBlankedAsTheViewingPlayerAsked)
{
    constexpr uint32_t kBlank = 0x10000000u, kHidePhases = 0x2u, kOverviewClosed = 0x00100000u;
    const struct {
        const char* name;
        int current;
        uint32_t option, launch;
        uint32_t viewerOption;  // country 0's view options (the viewing player)
        uint32_t currentOption;
        bool redraw;
        int wantViewer;
        bool wantBlank;
        std::vector<std::string> wantOverview;
        int wantEnemy;
    } cases[] = {
        {"the player sees computer phases", 1, 0, 0, 0, kBlank, true, 0, false, {"OpenOverview"}, 1},
        {"the player hides them", 1, 0, 0, kHidePhases, 0, true, 0, true, {"CloseOverview"}, 1},
        {"the computer's own view shown", 1, 0x1000u, 0, kHidePhases, kBlank, true, 1, false, {"OpenOverview"}, 0},
        {"blanked from the launch: no redraw", 1, 0, kBlank, 0, 0, true, 0, true, {}, 1},
        {"campaign player run by the computer", 0, kOptionCampaign, 0, kHidePhases | kCountryCpu, kBlank, true, 0,
         false, {"OpenOverview"}, 0},
        {"a human phase keeps its blanking", 2, 0, 0, 0, kBlank, true, 2, true, {"OpenOverview"}, 0},
        {"closed overview stays closed", 2, 0, 0, 0, kOverviewClosed, true, 2, false, {"CloseOverview"}, 0},
        {"closed overview without redraw", 2, 0, 0, 0, kOverviewClosed, false, 2, false, {"CloseOverview"}, 0},
        {"open overview without redraw", 2, 0, 0, 0, 0, false, 2, false, {}, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        BlankingView v;
        doc->SetView(&v);
        doc->m_dwGameOption = k.option;
        doc->m_dwLaunchOption = k.launch;
        COUNTRYSTRUCT& viewer = doc->m_GameData.Country[0];
        viewer.dwViewOption = k.viewerOption & ~kCountryCpu;
        viewer.dwFlag = kCountryPresent | (k.viewerOption & kCountryCpu);
        COUNTRYSTRUCT& cur = doc->m_GameData.Country[k.current];
        if (k.current != 0) cur.dwViewOption = k.currentOption;
        else cur.dwViewOption |= k.currentOption;
        doc->SetCurrentCountry(k.current);
        v.calls.clear();
        doc->UpdateViewingCountry(k.redraw);

        EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[k.wantViewer]);
        EXPECT_EQ((cur.dwViewOption & kBlank) != 0, k.wantBlank);
        std::vector<std::string> overview, applied;
        for (const std::string& c : v.calls) (c.rfind("ApplyViewOptions", 0) == 0 ? applied : overview).push_back(c);
        EXPECT_EQ(overview, k.wantOverview);
        EXPECT_EQ(v.enemy, k.wantEnemy);
        // The map view takes the blanking when it differs from its own.
        EXPECT_EQ(applied.size(), k.wantBlank ? 1u : 0u);
        v.viewOption = kBlank;
        v.calls.clear();
        doc->UpdateViewingCountry(false, true);
        EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[k.wantViewer]) << "kept";
        EXPECT_EQ(std::count_if(v.calls.begin(), v.calls.end(),
                                [](const std::string& c) { return c.rfind("ApplyViewOptions", 0) == 0; }),
                  (cur.dwViewOption & kBlank) ? 0 : 1);
        for (COUNTRYSTRUCT& c : doc->m_GameData.Country) c.dwViewOption = 0;
    }
    doc->SetView(&view);
}

// The document's forms of the ambush and fire-class threats of combat, on a
// library whose infantry carries a gun of weapon flag class 2.
class SupportFire : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        rules = std::make_unique<zrvtest::RuleLibrary>();
        rules->SetSlot(zrvtest::kFixtureInfantry, 0,
                       zrvtest::RuleLibrary::Gun(1, 1, {1, 30, 30, 0, 0}, {1, 1, 1, 1}), 20);
        rules->Weapon(zrvtest::kFixtureInfantry, 0).dwWeaponFlag = 1u << 2;
        SetLib(&rules->lib);
        for (HEXINDEX h = 0; h < kHexCount; ++h)
            doc->m_GameData.dwHexCell[h] = doc->m_dwHexCell[h] = WithTerrain(0, zrvtest::kFixturePlain);
    }
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        u.dwFlag &= ~kUnitActed;
        doc->m_dwHexUnit[hex] = u.refSelf;
        u.dwHexCell = doc->m_dwHexCell[hex];
        return u;
    }
    std::unique_ptr<zrvtest::RuleLibrary> rules;
};

TEST_F(SupportFire, SupportFireNeedsTheEnemyToSeeTheTarget)
{
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, MakeHex(30, 30));
    UNITSTRUCT& near = Place(1, 0, zrvtest::kFixtureInfantry, GetNeighbour(tank.nHex, 0));
    std::array<FireThreat, 8> out{};
    ASSERT_EQ(doc->ListSupportFireUnits(tank, 1u << 2, out), 1);
    EXPECT_EQ(out[0].unit, &near);
    std::array<FireThreat, 8> rule{};
    ASSERT_EQ(ListFireClassThreats(doc->m_GameData, tank, 1u << 2, rule), 1);
    EXPECT_EQ(out[0].value, rule[0].value);
    EXPECT_EQ(doc->ListSupportFireUnits(tank, 1u << 5, out), 0) << "another weapon class";

    // With fog on, a target the enemy side has no sight of draws no fire.
    doc->m_dwGameOption |= kOptCurrentFog;
    doc->m_dwHexSearch[tank.nHex] |= CoverSightBit(1);
    out = {};
    EXPECT_EQ(doc->ListSupportFireUnits(tank, 1u << 2, out), 0);
    EXPECT_EQ(out[0].unit, nullptr);

    // The hidden neighbour of a hex is the defensive fire there.
    const HEXINDEX target = MakeHex(20, 20);
    UNITSTRUCT& hidden = Place(1, 1, zrvtest::kFixtureInfantry, GetNeighbour(target, 0));
    EXPECT_EQ(doc->FindDefensiveFireUnit(tank, target), nullptr) << "seen by the tank's side";
    hidden.dwFlag |= HiddenFromSideBit(0);
    EXPECT_EQ(doc->FindDefensiveFireUnit(tank, target), &hidden);
    EXPECT_EQ(tank.nHex, MakeHex(30, 30)) << "put back";
}

TEST_F(GameFlowServices, CollisionsGiveOneMessageEachAndAClosingOne)
{
    doc->m_rcMapArea = {35, 35, 96, 96};
    GAMEDATASTRUCT& g = doc->m_GameData;
    const HEXINDEX hex = MakeHex(40, 41);
    for (auto [country, slot] : {std::pair{0, 0}, std::pair{1, 3}, std::pair{2, 1}}) {
        UNITSTRUCT& u = g.Country[country].Unit[slot];
        u.dwFlag = kUnitInUse;
        u.nHex = hex;
    }
    UNITSTRUCT& carried = g.Country[0].Unit[5];  // aboard: not on the map itself
    carried.dwFlag = kUnitInUse | kUnitCarried;
    carried.nHex = hex;
    EXPECT_EQ(doc->CheckUnitPositions(), 1);
    ASSERT_EQ(dialogs.Boxes().size(), 3u);
    EXPECT_NE(dialogs.Boxes()[0].text.find("( 7, 6)"), std::string::npos) << dialogs.Boxes()[0].text;
    EXPECT_EQ(doc->m_dwHexMark[hex], MakeUnitRef(0, 0));

    g.Country[1].Unit[3].nHex = kHexCount;  // out of range
    g.Country[2].Unit[1].nHex = MakeHex(50, 50);
    const size_t before = dialogs.Boxes().size();
    EXPECT_EQ(doc->CheckUnitPositions(), 1);
    EXPECT_EQ(dialogs.Boxes().size(), before + 2);  // the bad hex, then the closing message

    g.Country[1].Unit[3].nHex = MakeHex(51, 51);
    EXPECT_EQ(doc->CheckUnitPositions(), 0);
}

TEST_F(GameFlowServices, SideChangeMarksUnitsAndRecordsIt)
{
    doc->m_dwGameOption |= kOptTextRecord;
    COUNTRYSTRUCT& c = doc->m_GameData.Country[2];
    c.Unit[0].dwFlag = kUnitInUse;
    c.Unit[1].dwFlag = 0;
    c.nSideChange = 4;
    doc->ChangeCountrySide(2, 1, true);
    EXPECT_EQ(c.nSide, 1);
    EXPECT_EQ(c.nSideChange, -1);
    EXPECT_TRUE(c.Unit[0].dwFlag & kUnitSide1);
    EXPECT_FALSE(c.Unit[1].dwFlag & kUnitSide1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    ASSERT_FALSE(doc->m_StubRecords.empty());
    EXPECT_NE(doc->m_StubRecords.back().find(" changed ====\n"), std::string::npos);
    doc->ChangeCountrySide(2, 0, false);
    EXPECT_FALSE(c.Unit[0].dwFlag & kUnitSide1);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
}

TEST_F(GameFlowServices, RectangleAndRecordLookups)
{
    struct Case {
        HEXINDEX hex;
        bool want;
    } cases[] = {{MakeHex(10, 10), true}, {MakeHex(20, 30), true}, {MakeHex(9, 10), false},
                 {MakeHex(10, 31), false}, {kNoHex, false},        {kHexCount, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(IsHexInRect(10, 10, 30, 20, c.hex), c.want);
    }
    CITYNAMESTRUCT cities[3] = {{5, "a"}, {9, "b"}, {9, "c"}};
    EXPECT_EQ(FindRecordById(cities, 9), 1);
    EXPECT_EQ(FindRecordById(cities, 7), -1);
    const std::string text = FormatTurnInfoText(doc->m_GameData, &doc->m_GameData.Country[0]);
    EXPECT_LE(text.size(), kTurnInfoTextMax);
    EXPECT_EQ(text.rfind(std::string(FieldText(doc->m_GameData.Country[0].szName)), 0), 0u);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

class PlacementChecks : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        std::fill(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit), kNoUnit);
        capital = MakeHex(60, 60);
        COUNTRYSTRUCT& c = Cur();
        c.nCapital = capital;
        c.nUnitMax = 64;
        std::array<HEXINDEX, 8> near{};
        const int n = GetHexesInRange(capital, 1, near);
        for (int i = 0; i < n; ++i)
            doc->m_dwHexCell[near[static_cast<size_t>(i)]] = WithOwner(WithTerrain(0, kFixtureTerrainCity), 0);
        ring.fill(-1);
        GetHexesInRange(capital, 5, ring);
        for (int t = 1; t < static_cast<int>(Lib().ArmsData.size()) && ground < 0; ++t)
            if (IsGroundArmsClass(t) && GetArmsUnitPrice(t) > 0) ground = t;
        ASSERT_GT(ground, 0);
    }
    COUNTRYSTRUCT& Cur() { return doc->m_GameData.Country[0]; }

    HEXINDEX capital = kNoHex;
    std::array<HEXINDEX, 92> ring{};
    int ground = -1;
};

TEST_F(PlacementChecks, ProductionCodesInTheirOrder)
{
    EXPECT_EQ(doc->CheckProductionKind(2, {}, {}, {}), kErrNoPlacementHex);  // no hex outranks no type
    EXPECT_EQ(doc->CheckProductionKind(2, ring, {}, {}), kErrNoProducibleType);
    Cur().dwClassList[4][0] = static_cast<uint32_t>(ground);
    Cur().nFund = 0;
    EXPECT_EQ(doc->CheckProductionKind(2, ring, {}, {}), kErrNoAffordableType);
    Cur().nFund = 1000000;
    std::array<int32_t, 64> types{};
    std::array<HEXINDEX, 92> hexes{};
    EXPECT_EQ(doc->CheckProductionKind(2, ring, types, hexes), 0);
    EXPECT_EQ(types[0], ground);
    EXPECT_EQ(types[1], -1);
    EXPECT_EQ(hexes[0], capital);
    EXPECT_EQ(doc->CheckProductionPossible(Cur()), 0);
}

TEST_F(PlacementChecks, UnitLimitCountsTheCampaignPool)
{
    Cur().dwClassList[4][0] = static_cast<uint32_t>(ground);
    Cur().nFund = 1000000;
    Cur().nUnit = 10;
    Cur().nUnitMax = 300;
    doc->m_dwGameOption |= kOptionCampaign;
    for (int i = 0; i < 239; ++i) doc->m_GameData.CarryUnit[i].dwFlag = kUnitInUse;
    EXPECT_EQ(doc->CheckProductionPossible(Cur()), 0);  // 249
    doc->m_GameData.CarryUnit[239].dwFlag = kUnitInUse;
    EXPECT_EQ(doc->CheckProductionPossible(Cur()), kErrUnitLimit);  // 250
    Cur().nUnit = Cur().nUnitMax = 12;
    doc->m_dwGameOption &= ~kOptionCampaign;
    EXPECT_EQ(doc->CheckProductionPossible(Cur()), kErrUnitLimit);
}

TEST_F(PlacementChecks, DeploymentCodesInTheirOrder)
{
    Cur().nUnit = Cur().nUnitMax;
    EXPECT_EQ(doc->CheckDeploymentPossible(), kErrDeployUnitLimit);
    Cur().nUnit = 0;
    EXPECT_EQ(doc->CheckDeploymentKind(2, {}, {}, {}), kErrNoDeployHex);  // no hex outranks no unit
    EXPECT_EQ(doc->CheckDeploymentKind(2, ring, {}, {}), kErrNoReserveUnit);
    UNITSTRUCT& pool = doc->m_GameData.CarryUnit[7];
    pool.dwFlag = kUnitInUse | kUnitOffMap;  // held off the map: not offered
    pool.nArms = ground;
    EXPECT_EQ(doc->CheckDeploymentKind(2, ring, {}, {}), kErrNoReserveUnit);
    pool.dwFlag = kUnitInUse;
    std::array<int32_t, 8> units{};
    EXPECT_EQ(doc->CheckDeploymentKind(2, ring, units, {}), 0);
    EXPECT_EQ(units[0], 7);
    EXPECT_EQ(units[1], -1);
    EXPECT_EQ(doc->CheckDeploymentPossible(), 0);
    doc->SetCurrentCountry(2);
    doc->m_GameData.Country[2].nUnitMax = 64;
    EXPECT_EQ(doc->CheckDeploymentPossible(), kErrDeployNotCountry0);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

TEST(AutoSupplyKey, HighBitsByFlags)
{
    UNITSTRUCT u{};
    u.nArms = -1;  // no library record: no cost, no stock, no full strength
    struct Case {
        uint32_t flags;
        uint32_t want;
    } cases[] = {
        {0, 0x18000000u | 0x7FFFu},
        {kUnitSupplyAtHex, 0x28000000u | 0x7FFFu},
        {kUnitReplenishChecked, (256u << 16) | 0x7FFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        u.dwFlag = kUnitInUse | c.flags;
        EXPECT_EQ(AutoSupplyKey(u), c.want);
    }
}

class AutoLists : public DocFixture {};

TEST_F(AutoLists, NothingQualifiesWithoutTheCountryOptionOrACurrentCountry)
{
    std::array<UNITSTRUCT*, 65> out{};
    out[0] = reinterpret_cast<UNITSTRUCT*>(&out);  // overwritten by the end mark
    EXPECT_EQ(doc->ListAutoMoveUnits(out), 0);
    EXPECT_EQ(out[0], nullptr);
    EXPECT_EQ(doc->ListAutoCaptureUnits(out), 0);
    EXPECT_EQ(doc->ListAutoConstructionUnits(out), 0);
    EXPECT_EQ(doc->ListAutoSupplyUnits(out), 0);  // a human country without the supply option
    doc->SetCurrentCountry(-1);
    EXPECT_EQ(doc->ListAutoSupplyUnits(out), 0);
}

}  // namespace
}  // namespace zrv
