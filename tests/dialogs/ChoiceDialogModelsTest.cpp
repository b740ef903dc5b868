// The march, construction, country-control and music dialogs without a
// window, on a document with no display: their texts, what their buttons
// enable and what reaches the records.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/ConstructionModels.h"
#include "battle/dialogs/CountryRowModels.h"
#include "battle/dialogs/MarchModel.h"
#include "battle/engine/Calendar.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameFlow.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"
#include "engine/RuleFixture.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

using zrvtest::RuleLibrary;

constexpr uint32_t kWeatherOn = 0x40000000u, kSnowOn = 0x20000000u;

struct RecordingView : DialogView {
    std::vector<int> sounds, tracks;
    std::vector<std::pair<HEXINDEX, HEXINDEX>> marks;
    std::vector<HEXINDEX> flashed;
    bool closeDuringFlash = false;
    void PlayDialogSound(int e) override { sounds.push_back(e); }
    void PlayMusicTrack(int t) override { tracks.push_back(t); }
    void MarkSourceAndTarget(HEXINDEX s, HEXINDEX t) override { marks.push_back({s, t}); }
    bool FlashHexMark(HEXINDEX h) override { return flashed.push_back(h), closeDuringFlash; }
};

class ChoiceModelTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        rules = std::make_unique<RuleLibrary>();
        SetLib(&rules->lib);
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = WithTerrain(0, zrvtest::kFixturePlain);
        doc->m_rcMapArea = {35, 35, 96, 96};
        doc->m_GameData.dwDateTime = Date(41, 6, 22, 20);
    }
    void TearDown() override
    {
        SetLib(nullptr);
        DocFixture::TearDown();
    }
    static uint32_t Date(int y, int m, int d, int h)
    {
        return static_cast<uint32_t>(h) << 24 | static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(m) << 8 |
               static_cast<uint32_t>(d);
    }
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        if (IsMapHex(hex)) {
            doc->m_dwHexUnit[hex] = u.refSelf;
            u.dwHexCell = doc->m_dwHexCell[hex];
        }
        return u;
    }
    std::unique_ptr<RuleLibrary> rules;
    RecordingView rec;
};

// --- march --------------------------------------------------------------------------------------

TEST_F(ChoiceModelTest, MarchWithoutTargetShowsOnlyTheFirstLine)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    u.nMarchHex = MakeHex(45, 50);  // left over, no target bit
    MarchModel m(*doc, u, true, &rec);
    EXPECT_STREQ(m.Caption(), "行軍");
    EXPECT_EQ(m.TargetLine(), "目標：指定されていません");
    EXPECT_EQ(m.DistanceLine(), "");
    EXPECT_EQ(m.ArrivalLine(), "");
    EXPECT_FALSE(m.ClearEnabled());
    EXPECT_FALSE(m.ConfirmEnabled());
    EXPECT_STREQ(MarchModel(*doc, u, false, &rec).Caption(), "爆撃目標");
}

TEST_F(ChoiceModelTest, MarchTargetLines)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    u.dwOrder |= MarchModel::kTargetSet;
    u.nMarchHex = MakeHex(40, 45);  // column 45, row 40 of an area from (35, 35)
    u.nMove = 10;
    doc->m_dwHexMove[u.nMarchHex] = 10;
    MarchModel m(*doc, u, true, &rec);
    EXPECT_EQ(m.TargetLine(), "目標：座標(11, 6)");
    EXPECT_EQ(m.DistanceLine(), "距離：  5");
    EXPECT_EQ(m.ArrivalLine(), "最短到達日 41. 6.22 20:00");
    EXPECT_TRUE(m.ClearEnabled());
    EXPECT_TRUE(m.ConfirmEnabled());

    // A carried unit measures from its carrier's hex.
    UNITSTRUCT& carrier = Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 42));
    BoardCarrier(u, carrier);
    EXPECT_EQ(MarchModel(*doc, u, true, &rec).DistanceLine(), "距離：  3");

    // Unreachable, or a unit that cannot move at all: no date, still clearable.
    doc->m_dwHexMove[u.nMarchHex] = 0x80000000u | 5;
    MarchModel far(*doc, u, true, &rec);
    EXPECT_EQ(far.ArrivalLine(), "到達できません");
    EXPECT_TRUE(far.ClearEnabled());
    EXPECT_TRUE(far.ConfirmEnabled());
    doc->m_dwHexMove[u.nMarchHex] = 5;
    u.nMove = 0;
    EXPECT_EQ(MarchModel(*doc, u, true, &rec).ArrivalLine(), "到達できません");
}

TEST_F(ChoiceModelTest, MarchArrivalDates)
{
    const uint32_t now = Date(41, 6, 30, 20);
    struct Case {
        uint32_t reach;
        int move;
        bool bombing;
        const char* text;
    } cases[] = {
        {10, 10, false, "最短到達日 41. 6.30 20:00"},  // within one turn: now
        {1, 10, false, "最短到達日 41. 6.30 20:00"},
        {10, 10, true, "最短到達日 41. 6.30 22:00"},   // a bombing target: one turn more
        {21, 10, false, "最短到達日 41. 7. 1  0:00"},  // 2 x 10 + 1: two turns, across midnight
        {31, 10, true, "最短到達日 41. 7. 1  4:00"},   // three turns and one more
        {0x40000000u | 3, 10, false, "到達できません"},
        {3, -2, false, "到達できません"},
    };
    for (const Case& c : cases) {
        const std::string want = c.text;
        EXPECT_EQ(MarchArrivalText(c.reach, c.move, now, c.bombing), want) << c.reach << " " << c.move;
    }
}

TEST_F(ChoiceModelTest, MarchClearAsksWhenTheCountryWantsQuestions)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    u.dwOrder |= MarchModel::kTargetSet | MarchModel::kTargetBombing | 0x1u;
    u.nMarchHex = MakeHex(40, 45);
    doc->m_pCurCountry->dwFlag |= kCountryConfirmWindow;
    MarchModel m(*doc, u, false, &rec);
    const std::string before = m.TargetLine();

    dialogs.QueueAnswer(kAnswerNo);
    EXPECT_FALSE(m.Clear());
    EXPECT_EQ(u.dwOrder & MarchModel::kTargetSet, MarchModel::kTargetSet);
    EXPECT_EQ(m.TargetLine(), before);
    EXPECT_TRUE(rec.sounds.empty());
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "目標を消去しますか");

    dialogs.QueueAnswer(kAnswerYes);
    EXPECT_TRUE(m.Clear());
    EXPECT_EQ(u.dwOrder, 0x1u);
    EXPECT_EQ(m.TargetLine(), "目標：指定されていません");
    EXPECT_FALSE(m.ConfirmEnabled());
    EXPECT_EQ(rec.sounds, std::vector<int>{MarchModel::kSoundClear});
    ASSERT_FALSE(rec.marks.empty());
    EXPECT_EQ(rec.marks.back(), std::make_pair(MakeHex(40, 40), HEXINDEX(-1)));

    // Without the question bit it clears at once.
    doc->m_pCurCountry->dwFlag &= ~kCountryConfirmWindow;
    u.dwOrder |= MarchModel::kTargetSet;
    MarchModel quiet(*doc, u, true, &rec);
    EXPECT_TRUE(quiet.Clear());
    EXPECT_EQ(dialogs.Boxes().size(), 2u);
}

TEST_F(ChoiceModelTest, MarchConfirmMarksBothHexesUnlessCutShort)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    u.dwOrder |= MarchModel::kTargetSet;
    u.nMarchHex = MakeHex(42, 45);
    MarchModel m(*doc, u, true, &rec);
    EXPECT_TRUE(m.Confirm());
    EXPECT_EQ(rec.sounds, std::vector<int>{MarchModel::kSoundConfirm});
    EXPECT_EQ(rec.flashed, std::vector<HEXINDEX>{MakeHex(42, 45)});
    ASSERT_EQ(rec.marks.size(), 1u);
    EXPECT_EQ(rec.marks[0], std::make_pair(MakeHex(40, 40), MakeHex(42, 45)));

    rec.closeDuringFlash = true;
    EXPECT_FALSE(m.Confirm());
    EXPECT_EQ(rec.marks.size(), 1u) << "the marks stay as they were";
}

// --- durability ---------------------------------------------------------------------------------

class DurabilityModelTest : public zrvtest::RuleTest {
protected:
    UNITSTRUCT& Truck(int durability)
    {
        game->dwHexCell[kHere] = WithDurability(WithTerrain(0, zrvtest::kFixturePlain), durability);
        UNITSTRUCT& u = Place(0, 0, zrvtest::kRuleSupplyTruck, kHere);
        return u;
    }
    const HEXINDEX kHere = MakeHex(20, 20);
};

TEST_F(DurabilityModelTest, GainTable)
{
    // Full strength 10: terrain word 3 of 13 gives 13 per point before the
    // division by ten.
    rules->Terrain(zrvtest::kFixturePlain).nDurableRate = 13;
    UNITSTRUCT& u = Truck(0);
    struct Case {
        int steps;
        bool snow;
        int gain;
    } cases[] = {
        {0, false, 0}, {1, false, 1}, {3, false, 4}, {10, false, 13},
        {0, true, 0},  {1, true, 0},  {3, true, 2},  {10, true, 6},
    };
    for (const Case& c : cases) {
        game->dwStateFlag = c.snow ? (kWeatherOn | kSnowOn) : 0;
        EXPECT_EQ(CalcDurabilityGain(*game, u, zrvtest::kFixturePlain, c.steps), c.gain)
            << c.steps << (c.snow ? " snow" : "");
    }
    // Snow needs weather on as well.
    game->dwStateFlag = kSnowOn;
    EXPECT_EQ(CalcDurabilityGain(*game, u, zrvtest::kFixturePlain, 1), 1);
}

TEST_F(DurabilityModelTest, RangeTextsAndExecute)
{
    rules->Terrain(zrvtest::kFixturePlain).nDurableRate = 100;  // 10 a point
    {
        DurabilityModel m(*game, Truck(100), 8);
        EXPECT_EQ(m.MaxSteps(), 8);
        EXPECT_EQ(m.LowText(), "100");
        EXPECT_EQ(m.HighText(), "180");
        EXPECT_EQ(m.CostText(8), "消費軍事費  $ 80");
        EXPECT_EQ(m.DurabilityText(8), "耐久力  180");
        EXPECT_EQ(m.CostText(0), "消費軍事費  $  0");
        EXPECT_FALSE(m.ExecuteEnabled(0));
        EXPECT_TRUE(m.ExecuteEnabled(1));
    }
    // 230 + 10 s passes 249 first at s = 2: the range ends there.
    EXPECT_EQ(DurabilityModel(*game, Truck(230), 8).MaxSteps(), 2);
    EXPECT_EQ(DurabilityModel(*game, Truck(230), 8).HighText(), "250");
    // Already above 249: step 0 passes, the range is not shortened.
    EXPECT_EQ(DurabilityModel(*game, Truck(250), 6).MaxSteps(), 6);
    // A gain that rounds to nothing leaves "実行" off.
    rules->Terrain(zrvtest::kFixturePlain).nDurableRate = 4;
    DurabilityModel small(*game, Truck(0), 3);
    EXPECT_FALSE(small.ExecuteEnabled(1));
    EXPECT_TRUE(small.ExecuteEnabled(2));
}

// --- road and railway ---------------------------------------------------------------------------

TEST(RouteBuildModelTest, RemovalButtons)
{
    RouteBuildModel m((1u << 24) | (1u << 26) | (1u << 28), false);
    EXPECT_STREQ(m.Caption(), "道路･鉄道撤去");
    ASSERT_EQ(m.Choices().size(), 3u);
    EXPECT_EQ(m.Choices()[0].text, "通常道路撤去       $200");
    EXPECT_EQ(m.Choices()[0].code, 1u << 24);
    EXPECT_EQ(m.Choices()[1].text, "アウトバーン撤去   $500");
    EXPECT_EQ(m.Choices()[2].text, "広軌鉄道撤去       $100");
    EXPECT_EQ(m.Choices()[2].code, 1u << 28);
    EXPECT_EQ(m.ClientHeight(), 3 + 26 * 3 + 25);

    const std::pair<int, const char*> names[] = {
        {24, "通常道路撤去       $200"}, {25, "舗装道路撤去       $300"}, {26, "アウトバーン撤去   $500"},
        {27, "標準軌鉄道撤去     $100"}, {28, "広軌鉄道撤去       $100"}};
    for (const auto& [bit, text] : names) {
        RouteBuildModel one(1u << bit, false);
        ASSERT_EQ(one.Choices().size(), 1u);
        EXPECT_EQ(one.Choices()[0].text, text);
        EXPECT_EQ(one.CancelY(), 29);
        EXPECT_EQ(one.ClientHeight(), 54);
    }
}

TEST(RouteBuildModelTest, LayingButtonsAndUnnamedBits)
{
    RouteBuildModel m(0x10000000u | 0x00010000u | 0x7u, true);
    EXPECT_STREQ(m.Caption(), "道路･鉄道設置");
    ASSERT_EQ(m.Choices().size(), 3u);
    EXPECT_EQ(m.Choices()[0].text, "通常道路設置       $200");
    EXPECT_EQ(m.Choices()[0].code, 0x10010001u);
    EXPECT_EQ(m.Choices()[1].text, "広軌鉄道設置       $150");
    EXPECT_EQ(m.Choices()[1].code, 0x10010002u);
    EXPECT_EQ(m.Choices()[2].text, "設置済み鉄道変更   $ 50");
    EXPECT_EQ(m.Choices()[2].code, 0x10010004u);

    RouteBuildModel two(0x2u | 0x4u, true);
    ASSERT_EQ(two.Choices().size(), 2u);
    EXPECT_EQ(two.Choices()[0].text, "標準軌鉄道設置     $150");
    EXPECT_EQ(two.ClientHeight(), 3 + 26 * 2 + 25);

    // Bits with no name give no button: only "中止" is left.
    for (auto [word, laying] : {std::pair{0x8u | 0x100u, true}, std::pair{0x00FF0000u, false}}) {
        RouteBuildModel none(word, laying);
        EXPECT_TRUE(none.Choices().empty()) << std::hex << word;
        EXPECT_EQ(none.CancelY(), 3);
        EXPECT_EQ(none.ClientHeight(), 28);
    }
}

// --- country control ----------------------------------------------------------------------------

class CountryRowsTest : public ChoiceModelTest {
protected:
    void SetUp() override
    {
        ChoiceModelTest::SetUp();
        // Capitals on city terrain inside the playable area.
        rules->Terrain(zrvtest::kFixtureCity).dwTrrnFlag |= 1u << 11;
        rules->Refresh();
        for (int i = 0; i < 4; ++i) {
            COUNTRYSTRUCT& c = doc->m_GameData.Country[i];
            c.nCapital = MakeHex(50, 40 + 5 * i);
            doc->m_dwHexCell[c.nCapital] = WithTerrain(0, zrvtest::kFixtureCity);
        }
    }
    CountryControlRows Rows()
    {
        CountryControlRows rows;
        for (int c : PresentCountries(doc->m_GameData))
            rows.rows[rows.nRows++] = {c, (doc->m_GameData.Country[c].dwFlag & kCountryCpu) ? 1 : 0};
        return rows;
    }
};

TEST_F(CountryRowsTest, RowsAndWindowHeight)
{
    doc->m_GameData.Country[1].dwFlag = 0;  // three present countries: 0, 2, 3
    doc->m_GameData.Country[3].nSide = 2;
    const auto rows = CountryRowsOf(doc->m_GameData, PresentCountries(doc->m_GameData));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].country, 2);
    EXPECT_EQ(rows[1].y, 38);
    EXPECT_EQ(rows[0].colorCode, 8);
    EXPECT_EQ(rows[2].colorCode, 0);
    doc->m_GameData.Country[3].nSide = 1;
    EXPECT_EQ(CountryRowsOf(doc->m_GameData, PresentCountries(doc->m_GameData))[2].colorCode, 7);
    EXPECT_EQ(CountryRowsClientHeight(8) - CountryRowsClientHeight(3), 140);
    EXPECT_EQ(CountryRowsClientHeight(8), 265);
    EXPECT_EQ(CountryRowsButtonY(3), 234 - 140);
}

TEST_F(CountryRowsTest, DisableRules)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    struct Case {
        const char* name;
        std::function<void()> change;
        bool enabled;
    } cases[] = {
        {"as set up", [] {}, true},
        {"side 2", [&] { g.Country[0].nSide = 2; }, false},
        {"capital outside the map", [&] { g.Country[0].nCapital = kHexCount; }, false},
        {"capital negative", [&] { g.Country[0].nCapital = -5; }, false},
        {"capital on the widened edge", [&] { g.Country[0].nCapital = MakeHex(34, 34);
                                              doc->m_dwHexCell[MakeHex(34, 34)] = WithTerrain(0, zrvtest::kFixtureCity); },
         true},
        {"capital beyond the widened area", [&] { g.Country[0].nCapital = MakeHex(33, 40);
                                                  doc->m_dwHexCell[MakeHex(33, 40)] = WithTerrain(0, zrvtest::kFixtureCity); },
         false},
        {"capital terrain without the bit", [&] { doc->m_dwHexCell[g.Country[0].nCapital] = WithTerrain(0, zrvtest::kFixturePlain); },
         false},
        {"campaign, first country", [&] { doc->m_dwGameOption |= 0x40000000u; }, true},
        {"campaign, other index", [&] { doc->m_dwGameOption |= 0x40000000u; g.Country[0].nIndex = 1; }, false},
    };
    for (const Case& c : cases) {
        const COUNTRYSTRUCT saved = g.Country[0];
        const MAPCELL cell = doc->m_dwHexCell[saved.nCapital];
        const uint32_t options = doc->m_dwGameOption;
        c.change();
        CountryControlRows rows = Rows();
        CountryControlModel m(*doc, rows);
        EXPECT_EQ(m.Enabled(0), c.enabled) << c.name;
        g.Country[0] = saved;
        doc->m_dwHexCell[saved.nCapital] = cell;
        doc->m_dwGameOption = options;
    }
}

TEST_F(CountryRowsTest, ControlChoicesReachTheCommand)
{
    CountryControlRows rows = Rows();
    CountryControlModel m(*doc, rows);
    EXPECT_EQ(m.ChoiceTexts(), (std::vector<std::string>{TableText(Lib().MsgCtrlUser, 0), TableText(Lib().MsgCtrlUser, 1)}));
    EXPECT_EQ(m.Selected(0), 0);
    EXPECT_EQ(m.Selected(1), 1);
    m.Select(0, 1);
    m.Select(1, 0);
    EXPECT_EQ(doc->m_GameData.Country[0].nControl, 0) << "nothing reaches the country before 実行";
    dialogs.QueueCountryControl(kAnswerOk, rows);
    ASSERT_TRUE(doc->RunCommand(ID_COUNTRY_CONTROL));
    EXPECT_EQ(doc->m_GameData.Country[0].nControl, 1);
    EXPECT_NE(doc->m_GameData.Country[0].dwFlag & kCountryCpu, 0u);
    EXPECT_EQ(doc->m_GameData.Country[1].dwFlag & kCountryCpu, 0u);
}

// --- music --------------------------------------------------------------------------------------

TEST_F(CountryRowsTest, MusicChangesAtOnceAndResets)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    for (int i = 0; i < 4; ++i) {
        g.Country[i].nCountryId = i;
        AssignCountryBGM(g.Country[i]);
    }
    const int defaults[4] = {g.Country[0].nBGM, g.Country[1].nBGM, g.Country[2].nBGM, g.Country[3].nBGM};
    BgmSettingsModel m(*doc, &rec);
    ASSERT_EQ(m.Rows().size(), 4u);
    EXPECT_EQ(m.TrackNames().size(), 12u);
    g.Country[2].nBGM = 7;
    g.Country[3].nBGM = 99;
    EXPECT_EQ(m.Selected(2), 3);
    EXPECT_EQ(m.Selected(3), -1) << "a track outside the choices selects nothing";
    m.Select(1, 5);
    EXPECT_EQ(g.Country[1].nBGM, 9);
    m.Test(1);
    m.Close();
    EXPECT_EQ(rec.tracks, (std::vector<int>{9, g.Country[0].nBGM}));
    m.Reset();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g.Country[i].nBGM, defaults[i]) << i;
}

}  // namespace
}  // namespace zrv
