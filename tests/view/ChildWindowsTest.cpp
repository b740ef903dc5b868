// The view's side of its tool windows: the four performance window slots,
// the unit list's rows, closing every window in its order, and the
// document's notifications that reach them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

// The carry-over records the names below tell apart from the units.
const GAMEDATASTRUCT* g_game = nullptr;

std::string Name(const UNITSTRUCT& u)
{
    if (g_game != nullptr && &u >= std::begin(g_game->CarryUnit) && &u < std::end(g_game->CarryUnit))
        return "pool" + std::to_string(&u - std::begin(g_game->CarryUnit));
    return "slot" + std::to_string(RefSlot(u.refSelf));
}

// Every window can be made (unless refused); the hub writes down what it is
// told.
struct LogHub : ViewToolHub {
    std::vector<std::string> calls;
    bool canShow = true;
    bool production = false, deployment = false;
    bool CreateToolWindow(ToolWindow w) override
    {
        calls.push_back("create " + std::to_string(ToolWindowBit(w)));
        return true;
    }
    void DestroyToolWindow(ToolWindow w) override { calls.push_back("destroy " + std::to_string(ToolWindowBit(w))); }
    bool ShowPerformanceWindow(int slot, int arms, UNITSTRUCT* u, int country, int) override
    {
        calls.push_back("show " + std::to_string(slot) + " " + std::to_string(arms) + " " +
                        (u ? Name(*u) : "none") + " " + std::to_string(country));
        return canShow;
    }
    void FocusPerformanceWindow(int slot) override { calls.push_back("focus " + std::to_string(slot)); }
    void DestroyPerformanceWindow(int slot) override { calls.push_back("close " + std::to_string(slot)); }
    void PerformanceUnitChanged(int slot) override { calls.push_back("0x472 " + std::to_string(slot)); }
    void PerformanceArmsChanged(int slot) override { calls.push_back("0x473 " + std::to_string(slot)); }
    void RemoveUnitListRows(UNITSTRUCT& u, bool cargo) override
    {
        calls.push_back("0x46A " + Name(u) + (cargo ? " +cargo" : ""));
    }
    void AppendUnitListRows(UNITSTRUCT& u, bool cargo) override
    {
        calls.push_back("0x469 " + Name(u) + (cargo ? " +cargo" : ""));
    }
    void SelectUnitListRow(const UNITSTRUCT& u) override { calls.push_back("0x46B " + Name(u)); }
    void UpdateUnitListTitle() override { calls.push_back("title"); }
    void ProducibleTypesChanged(int retired, int added) override
    {
        calls.push_back("0x470 " + std::to_string(retired) + " " + std::to_string(added));
    }
    bool IsProductionWindowOpen() const override { return production; }
    bool IsDeploymentWindowOpen() const override { return deployment; }
    void CloseProductionWindow() override
    {
        production = false;
        calls.push_back("close production");
    }
    void CloseDeploymentWindow() override
    {
        deployment = false;
        calls.push_back("close deployment");
    }
};

class ChildWindowsTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        view->SetToolHub(&hub);
        g_game = &doc->m_GameData;
    }
    void TearDown() override
    {
        g_game = nullptr;
        view->SetToolHub(nullptr);
        OrderTest::TearDown();
    }
    LogHub hub;
};

using Calls = std::vector<std::string>;

TEST_F(ChildWindowsTest, PerformanceWindowsTakeAFreeSlotComeForwardOrReportThatAllAreBusy)
{
    dialogs.Clear();
    const int tank = zrvtest::kFixtureTank;
    EXPECT_EQ(view->FindSpecWndSlot(own, tank), 0);
    EXPECT_EQ(view->HasOpenChildWindow(), 0);
    EXPECT_FALSE(view->GetViewState().childWindowOpen);

    // A free slot: sound 35 and the window shows the unit.
    EXPECT_EQ(view->OpenPerformanceWindow(own, tank, 0, true), 1);
    EXPECT_EQ(sounds->effects, (std::vector<int>{35}));
    EXPECT_EQ(view->m_SpecWnd[0].unit, own);
    EXPECT_EQ(view->m_SpecWnd[0].arms, tank);
    EXPECT_EQ(view->HasOpenChildWindow(), 1);
    EXPECT_TRUE(view->GetViewState().childWindowOpen);
    // The same unit and type: that window comes forward, nothing plays.
    EXPECT_EQ(view->FindSpecWndSlot(own, tank), -2);
    EXPECT_EQ(view->OpenPerformanceWindow(own, tank, 0, true), 1);
    // The same unit as another type, or the type alone, take new slots.
    EXPECT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureInfantry, 0, true), 1);
    EXPECT_EQ(view->OpenPerformanceWindow(nullptr, tank, 1, true), 1);
    EXPECT_EQ(view->OpenPerformanceWindow(enemy, tank, 0, true), 1);
    EXPECT_EQ(hub.calls, (Calls{"show 0 2 slot0 0", "focus 0", "show 1 1 slot0 0", "show 2 2 none 1",
                                "show 3 2 slot0 0"}));
    EXPECT_EQ(sounds->effects, (std::vector<int>{35, 35, 35, 35}));

    // Four busy: 0, and the player is told only when asked to be.
    hub.calls.clear();
    EXPECT_EQ(view->FindSpecWndSlot(own, zrvtest::kFixtureFighter), -1);
    EXPECT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureFighter, 0, false), 0);
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureFighter, 0, true), 0);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, ErrorText(26));
    EXPECT_TRUE(hub.calls.empty());

    // The window of slot 1 asks to be closed (its message to the view): the
    // slot is free again, and a second request changes nothing.
    hub.Host()->ClosePerformanceSlot(1);
    hub.Host()->ClosePerformanceSlot(1);
    hub.Host()->ClosePerformanceSlot(7);
    EXPECT_EQ(hub.calls, (Calls{"close 1"}));
    EXPECT_EQ(view->m_SpecWnd[1].unit, nullptr);
    EXPECT_EQ(view->m_SpecWnd[1].arms, -1);
    EXPECT_EQ(view->FindSpecWndSlot(own, zrvtest::kFixtureFighter), 1);
}

TEST_F(ChildWindowsTest, AWindowThatCouldNotBeMadeLeavesItsSlotFreeAndABadTypeShowsNothing)
{
    dialogs.Clear();
    hub.canShow = false;
    EXPECT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureTank, 0, true), 1);
    EXPECT_EQ(view->m_SpecWnd[0].arms, -1);
    EXPECT_EQ(view->HasOpenChildWindow(), 0);
    hub.canShow = true;
    hub.calls.clear();
    sounds->effects.clear();
    for (int bad : {-1, kArmsCount, 100000}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(view->OpenPerformanceWindow(own, bad, 0, true), 0);
    }
    EXPECT_TRUE(hub.calls.empty());
    EXPECT_TRUE(sounds->effects.empty());
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(ChildWindowsTest, APerformanceWindowHearsOfItsUnitsChangeBitsWhichAreAlwaysCleared)
{
    ASSERT_EQ(view->OpenPerformanceWindow(enemy, zrvtest::kFixtureTank, 0, false), 1);
    ASSERT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureTank, 0, false), 1);
    const struct {
        const char* name;
        UNITSTRUCT* unit;
        uint32_t order;
        bool all;
        Calls calls;
    } cases[] = {
        {"record changed", own, 0x1, false, {"0x472 1"}},
        {"armament changed", own, 0x4, false, {"0x473 1"}},
        {"both, other bits kept", own, 0x5 | 0x80, false, {"0x472 1", "0x473 1"}},
        {"nothing changed", own, 0x2, false, {}},
        {"every page", own, 0, true, {"0x472 1", "0x473 1"}},
        {"no window shows it: bits cleared all the same", &doc->m_GameData.Country[0].Unit[5], 0x5, true, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        hub.calls.clear();
        k.unit->dwOrder = k.order;
        view->RefreshPerformanceWindow(*k.unit, k.all);
        EXPECT_EQ(hub.calls, k.calls);
        EXPECT_EQ(k.unit->dwOrder, k.order & ~0x5u);
    }
}

TEST_F(ChildWindowsTest, UnitListEntriesByMode)
{
    // own carries a carrier that carries a unit: outermost own.
    UNITSTRUCT* middle = Board(1, *own);
    UNITSTRUCT* inner = Board(2, *middle);
    middle->dwCargo = MakeCargo(RefSlot(own->refSelf), 1);  // aboard own, carrying inner
    const struct {
        const char* name;
        UNITSTRUCT* unit;
        int mode;
        std::string entry;  // the 0x46A sent
        int flag;
    } cases[] = {
        {"mode 0, carried: the outermost carrier with its cargo", inner, 0, "0x46A slot0 +cargo", 1},
        {"mode 0, a carrier: itself with its cargo", own, 0, "0x46A slot0 +cargo", 1},
        {"mode 1, carried: the unit alone", inner, 1, "0x46A slot2", 0},
        {"mode 1, a carrier carried itself: the unit with its cargo", middle, 1, "0x46A slot1 +cargo", 1},
        {"mode 2: the unit alone", middle, 2, "0x46A slot1", 0},
        {"mode 0, a lone unit", enemy, 0, "0x46A slot0", 0},
    };
    EXPECT_EQ(view->AddUnitListEntry(*own, 0), 0) << "the list is closed";
    EXPECT_TRUE(hub.calls.empty());
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        hub.calls.clear();
        EXPECT_EQ(view->AddUnitListEntry(*k.unit, k.mode), k.flag);
        EXPECT_EQ(hub.calls, (Calls{k.entry, "title"}));
    }
    hub.calls.clear();
    view->UpdateUnitListEntry(*inner, true);
    view->UpdateUnitListEntry(*inner, false);
    EXPECT_EQ(hub.calls, (Calls{"0x469 slot0 +cargo", "0x469 slot2"}));
}

TEST_F(ChildWindowsTest, RefreshingAUnitListEntry)
{
    UNITSTRUCT* cargo = Board(1, *own);
    const struct {
        const char* name;
        UNITSTRUCT* unit;
        int mode;
        bool force;
        uint32_t order;
        bool listOpen;
        Calls calls;
        uint32_t orderAfter;
    } cases[] = {
        {"another country's unit: nothing", enemy, 2, true, 0x2, true, {}, 0x2},
        {"neither forced nor changed: nothing", own, 2, false, 0x1, true, {}, 0x1},
        {"changed, list closed: the bit goes", own, 2, false, 0x3, false, {}, 0x1},
        {"changed: its rows out and back",
         own,
         2,
         false,
         0x2,
         true,
         {"0x46A slot0", "title", "0x469 slot0", "title"},
         0},
        {"forced, carried, mode 0: the carrier's rows with their cargo",
         cargo,
         0,
         true,
         0,
         true,
         {"0x46A slot0 +cargo", "title", "0x469 slot0 +cargo", "title"},
         0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.listOpen)
            ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
        else
            view->CloseToolWindow(ToolWindow::UnitList);
        hub.calls.clear();
        k.unit->dwOrder = k.order;
        view->RefreshUnitListUnit(*k.unit, k.mode, k.force);
        EXPECT_EQ(hub.calls, k.calls);
        EXPECT_EQ(k.unit->dwOrder, k.orderAfter);
    }
}

TEST_F(ChildWindowsTest, ClosingEveryChildWindowGoesInItsOrderAndNotificationFourClosesTheBarsToo)
{
    for (ToolWindow w : {ToolWindow::SituationTable, ToolWindow::TerrainTable, ToolWindow::UnitList,
                         ToolWindow::DevelopmentTable, ToolWindow::Progress})
        ASSERT_TRUE(view->OpenToolWindow(w));
    ASSERT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureTank, 0, false), 1);
    ASSERT_EQ(view->OpenPerformanceWindow(enemy, zrvtest::kFixtureTank, 0, false), 1);
    hub.Host()->ClosePerformanceSlot(0);
    hub.production = hub.deployment = true;
    view->m_dwState |= kViewMainCommandBar;
    view->m_pCmdUnit = own;
    hub.calls.clear();
    ASSERT_EQ(doc->NotifyView(4, 0), 0);
    EXPECT_EQ(hub.calls, (Calls{"close production", "close deployment", "destroy 16384", "destroy 4096",
                                "destroy 2048", "destroy 8192", "close 1"}));
    EXPECT_TRUE(view->IsToolWindowOpen(ToolWindow::Progress)) << "the progress window is not a child here";
    EXPECT_EQ(view->HasOpenChildWindow(), 0);
    EXPECT_FALSE(view->m_dwState & kViewMainCommandBar) << "the command bars closed";
}

TEST_F(ChildWindowsTest, RecalledAndDeployedUnitsTradeRowsWithTheirCarryOverRecords)
{
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    (void)Board(1, *own);
    hub.calls.clear();
    view->ExecuteRecall(*own);
    EXPECT_EQ(hub.calls, (Calls{"0x46A slot0", "title", "0x469 pool0", "0x46A slot1", "title", "0x469 pool1",
                                "title"}));
    hub.calls.clear();
    ASSERT_EQ(view->ExecuteReserveDeploy(1, MakeHex(46, 46)), 1);
    EXPECT_EQ(hub.calls, (Calls{"0x46A pool1", "title", "0x469 slot0"}));
}

TEST_F(ChildWindowsTest, TheProductionWindowHearsOfChangedTypesOnlyWhilePlacing)
{
    for (int mode : {kModeChooseUnit, kModeDeployment, kModeProduction}) {
        view->m_nCmdMode = mode;
        view->NotifyProductionWindow(5, -1);
    }
    EXPECT_EQ(hub.calls, (Calls{"0x470 5 -1"}));
    hub.deployment = true;
    EXPECT_EQ(view->IsDeploymentWindowOpen(), 1);
}

TEST_F(ChildWindowsTest, TheDocumentsUnitNoticesReachTheListAndTheWindows)
{
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    ASSERT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureTank, 0, false), 1);
    hub.calls.clear();
    doc->NotifyView(9, own);
    EXPECT_EQ(hub.calls, (Calls{"0x46A slot0", "title", "0x469 slot0", "title", "0x472 0", "0x473 0"}));
    hub.calls.clear();
    doc->NotifyView(8, own);
    EXPECT_EQ(hub.calls, (Calls{"0x46A slot0", "title"}));
}

TEST_F(ChildWindowsTest, ARemovedUnitsWindowClosesAndAnEvolvedUnitsSheetOfItsFormerTypeCloses)
{
    ASSERT_EQ(view->OpenPerformanceWindow(enemy, zrvtest::kFixtureTank, 0, false), 1);
    ASSERT_EQ(view->OpenPerformanceWindow(own, zrvtest::kFixtureTank, 0, false), 1);
    hub.calls.clear();
    view->RemoveUnitFromPlay(*enemy, false);
    EXPECT_EQ(hub.calls, (Calls{"close 0"}));

    hub.calls.clear();
    view->m_pSelUnit = own;
    EXPECT_EQ(view->ExecuteEvolve(zrvtest::kFixtureInfantry), 1);
    EXPECT_EQ(hub.calls, (Calls{"close 1"}));
    EXPECT_EQ(view->HasOpenChildWindow(), 0);
}

TEST_F(ChildWindowsTest, AClickOnAUnitEndsAPlacementAndTheListSelectsTheCommandUnit)
{
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    own->nMove = 0;  // it cannot move: it gets its command window
    const struct {
        const char* name;
        int mode;
        Calls calls;
    } cases[] = {
        {"choosing a unit: the placement windows stay", kModeChooseUnit, {"0x46B slot0"}},
        {"placing a produced unit", kModeProduction, {"close production", "close deployment", "0x46B slot0"}},
        {"placing a carry-over unit", kModeDeployment, {"close production", "close deployment", "0x46B slot0"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_pSelUnit = view->m_pCmdUnit = nullptr;
        view->m_dwState = kViewHumanPhase;
        view->m_nCmdMode = k.mode;
        hub.production = hub.deployment = true;
        hub.calls.clear();
        view->m_nCursorHex = kOwnHex;
        view->m_dwDispOption |= kDispMapShown;
        view->OnLButtonDown({0, 0});
        EXPECT_EQ(hub.calls, k.calls);
        EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
        EXPECT_EQ(view->m_pCmdUnit, own);
    }
}

}  // namespace
}  // namespace viewtest
