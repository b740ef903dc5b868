// The map view handing exchanges and actions to the animation program: the
// scene test with the view's own state, the block made at the first update,
// and the real stand-in run through a wrapper that counts its runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "battle/engine/Combat.h"
#include "battle/engine/GameTime.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "view/OverviewDoubles.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

namespace fs = std::filesystem;

class MinimisedWindow : public ViewWindow {
public:
    bool minimised = false;
    bool IsMinimised() const override { return minimised; }
};


class BattleSceneViewTest : public ViewTest {
protected:
    void SetUp() override
    {
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        // The block's name is the test's own, so parallel tests never share it.
        setenv("VELMORATH_SHM_SUFFIX", (".v" + std::to_string(getpid())).c_str(), 1);
        setenv(kRealExitEnv, "1", 1);
        dir = fs::path(testing::TempDir()) / ("sceneview_" + std::to_string(getpid()) + "_" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        ViewTest::SetUp();
    }
    void TearDown() override
    {
        ViewTest::TearDown();
        unsetenv(kRealDumpEnv);
        unsetenv("VELMORATH_SHM_SUFFIX");
        fs::remove_all(dir);
    }

    // From here on the program folder holds a wrapper that counts its runs
    // and starts the real stand-in, which dumps the block it read.
    void UseCountingStandIn()
    {
        {
            std::ofstream s(dir / "ZRVReal");
            s << "#!/bin/sh\necho run >> '" << (dir / "runs").string() << "'\nexec '"
              << (fs::path(StageFolder()) / "ZRVReal").string() << "'\n";
        }
        fs::permissions(dir / "ZRVReal", fs::perms::owner_all);
        setenv(kRealDumpEnv, (dir / "dump").c_str(), 1);
        platform::SetProgramFolder(dir.string() + "/");
    }
    int Runs() const
    {
        std::ifstream in(dir / "runs");
        int n = 0;
        for (std::string line; std::getline(in, line);) ++n;
        return n;
    }
    std::map<std::string, std::string> Dump() const
    {
        std::map<std::string, std::string> fields;
        std::ifstream in(dir / "dump");
        for (std::string line; std::getline(in, line);) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return fields;
    }

    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        c.dwFlag |= kCountryPresent;
        c.nIndex = country;
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        doc->m_dwHexUnit[static_cast<size_t>(hex)] = u.refSelf;
        return u;
    }

    fs::path dir;
    // Outlive the view, which keeps their addresses.
    MinimisedWindow window;
    RecordingOverviewMaker overview;
};

TEST_F(BattleSceneViewTest, TheSceneTestReadsTheViewsOptionsWindowAndViewingCountry)
{
    UNITSTRUCT& a = Place(0, 0, zrvtest::kFixtureTank, MakeHex(50, 50));
    UNITSTRUCT& d = Place(1, 0, zrvtest::kFixtureInfantry, MakeHex(50, 51));
    view->SetWindow(&window);
    const struct {
        const char* name;
        uint32_t option;
        bool minimised;
        int viewer;  // -1: none
        bool want;
    } cases[] = {
        {"scenes off", kViewEveryBattle, false, 0, false},
        {"minimised", kViewBattleScenes | kViewEveryBattle, true, 0, false},
        {"every battle", kViewBattleScenes | kViewEveryBattle, false, 5, true},
        {"viewer attacks", kViewBattleScenes, false, 0, true},
        {"viewer defends", kViewBattleScenes, false, 1, true},
        {"viewer elsewhere", kViewBattleScenes, false, 2, false},
        {"no viewer", kViewBattleScenes, false, -1, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwDispOption = (kDispInitial & ~(kViewBattleScenes | kViewEveryBattle)) | k.option;
        window.minimised = k.minimised;
        doc->m_pViewCountry = k.viewer < 0 ? nullptr : &doc->m_GameData.Country[k.viewer];
        EXPECT_EQ(view->IsBattleSceneWanted(a, &d, 0), k.want);
    }
    view->SetWindow(nullptr);
}

TEST_F(BattleSceneViewTest, AnExchangeWithScenesOnHandsTheBlockOverOnceAndGoesOn)
{
    ASSERT_TRUE(view->HasBattleSceneLink()) << "made at the first update";
    UseCountingStandIn();
    // The computer-run country 1 attacks country 0, whose phase the view shows.
    doc->m_GameData.Country[1].dwFlag |= kCountryCpu;
    UNITSTRUCT& attacker = Place(1, 0, zrvtest::kFixtureTank, MakeHex(50, 50));
    UNITSTRUCT& defender = Place(0, 0, zrvtest::kFixtureInfantry, MakeHex(50, 51));
    doc->SetCurrentCountry(0);
    view->SetOverviewWindowMaker(&overview);
    GameDraws draws(doc->Random());

    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "scenes on" : "scenes off");
        view->m_dwDispOption =
            on ? (view->m_dwDispOption | kViewBattleScenes | kViewEveryBattle)
               : (view->m_dwDispOption & ~(kViewBattleScenes | kViewEveryBattle));
        if (on) view->OpenSmallMap();
        overview.calls.clear();
        view->m_nAttackKind = 1;
        DocCombatHooks hooks(*doc, &view->BattleSceneHooks());
        const ExchangeOutcome o =
            RunCombatExchange(doc->m_GameData, doc->m_dwHexUnit, attacker, defender, 1, draws, hooks);
        EXPECT_FALSE(o.stopped) << "the battle goes on after the scene";
        EXPECT_EQ(Runs(), on ? 1 : 0);
        if (!on) continue;
        EXPECT_EQ(overview.calls, "close open show ") << "the overview map is closed for the scene";
        EXPECT_EQ(view->m_nAttackKind, 0) << "spent with the exchange";
        std::map<std::string, std::string> f = Dump();
        // Side 1 is always the unit of the country whose turn the view shows.
        EXPECT_EQ(f["Side0.nArms"], std::to_string(zrvtest::kFixtureInfantry));
        EXPECT_EQ(f["Side1.nArms"], std::to_string(zrvtest::kFixtureTank));
        EXPECT_EQ(f["nOrder"], std::to_string(-o.order));
        EXPECT_EQ(f["rcMap"], "35,35,96,96");
        EXPECT_EQ(f["nDistance"], "1");
        // The totals follow their sides: the attacking tank fired, so side 2's
        // word counts its shots.
        const std::string totals = f["nTotals"];
        const size_t comma = totals.find(',');
        ASSERT_NE(comma, std::string::npos);
        EXPECT_GT(std::stoll(totals.substr(comma + 1)) & 0xFFFF, 0) << totals;
    }
    view->SetOverviewWindowMaker(nullptr);
}

TEST_F(BattleSceneViewTest, AnActionSceneIsShownWhenWantedOrForced)
{
    UseCountingStandIn();
    UNITSTRUCT& bomber = Place(0, 0, zrvtest::kFixtureTank, MakeHex(50, 50));
    UNITSTRUCT& target = Place(1, 0, zrvtest::kFixtureInfantry, MakeHex(50, 51));
    // A computer's action: its hex is pointed out, showing the action's cell.
    doc->m_GameData.Country[0].dwFlag |= kCountryCpu;
    doc->SetCurrentCountry(0);
    doc->m_pViewCountry = &doc->m_GameData.Country[2];
    view->m_dwDispOption |= kViewBattleScenes;
    const MAPCELL before = doc->m_dwHexCell[bomber.nHex];
    const MAPCELL cell = WithTerrain(before, kCity);
    ASSERT_NE(cell, before);

    EXPECT_EQ(view->ShowActionScene(bomber, 1, 7, cell, false), 0) << "the viewer takes no part";
    EXPECT_EQ(Runs(), 0);

    view->m_nAttackKind = 1;
    view->m_pAttackTarget = &target;
    view->m_nAAFireDamage = 2;
    EXPECT_EQ(view->ShowActionScene(bomber, 1, 7, cell, true), 1);
    EXPECT_EQ(Runs(), 1);
    std::map<std::string, std::string> f = Dump();
    EXPECT_EQ(f["nResult"], "7");
    EXPECT_EQ(f["Side1.nArms"], std::to_string(zrvtest::kFixtureInfantry)) << "the attacked unit as side 2";
    EXPECT_EQ(f["Side0.nStrength"], std::to_string(bomber.nStrength + 2)) << "shown as before the fire";
    EXPECT_EQ(f["nDistance"], "0");
    EXPECT_EQ(f["dwCell"], std::to_string(cell));
    EXPECT_EQ(doc->m_dwHexCell[bomber.nHex], before) << "the map keeps its own cell";
    EXPECT_EQ(view->m_dwHexMarkView[static_cast<size_t>(bomber.nHex)], 0u) << "the mark is gone again";
}

TEST_F(BattleSceneViewTest, WithoutABlockThePlayerIsToldOnceAndNoSceneRuns)
{
    // A name the system refuses: the block cannot be made.
    setenv("VELMORATH_SHM_SUFFIX", "/refused/", 1);
    dialogs.Clear();
    CZRKGameView other;
    other.SetDocument(doc.get());
    other.SetClientSize(560, 420);
    other.OnInitialUpdate();
    EXPECT_FALSE(other.HasBattleSceneLink());
    // Sound may have its own boxes without a device; the scene block's is one.
    auto sceneBoxes = [&] {
        return std::count_if(dialogs.Boxes().begin(), dialogs.Boxes().end(), [](const auto& b) {
            return b.text.find("戦闘シーン") != std::string::npos && (b.style & kBoxIconExclamation);
        });
    };
    EXPECT_EQ(sceneBoxes(), 1);

    UseCountingStandIn();
    UNITSTRUCT& unit = Place(0, 0, zrvtest::kFixtureTank, MakeHex(50, 50));
    other.m_dwDispOption |= kViewBattleScenes | kViewEveryBattle;
    EXPECT_EQ(other.ShowActionScene(unit, 1, 0, 0, true), 1) << "the action itself goes on";
    EXPECT_EQ(Runs(), 0);
    EXPECT_EQ(sceneBoxes(), 1) << "no further box";
}

}  // namespace
}  // namespace viewtest
