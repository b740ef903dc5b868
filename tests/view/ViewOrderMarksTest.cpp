// The marks orders leave on the map (bombing range, bombing-march targets)
// and what the view does when an order changed units or a command bar closed.
#include <gtest/gtest.h>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "engine/RuleFixture.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// Records what the view tells the unit list (the rows it takes out) and the
// performance windows (a unit's record changed); every window can be made.
struct RecordingHub : ViewToolHub {
    std::vector<std::string> calls;
    const CZRKGameView* view = nullptr;
    bool CreateToolWindow(ToolWindow) override { return true; }
    bool ShowPerformanceWindow(int, int, UNITSTRUCT*, int, int) override { return true; }
    void RemoveUnitListRows(UNITSTRUCT& u, bool) override { calls.push_back("list " + std::to_string(u.nHex)); }
    void PerformanceUnitChanged(int slot) override
    {
        calls.push_back("spec " + std::to_string(view->m_SpecWnd[static_cast<size_t>(slot)].unit->nHex));
    }
};

// The view's library with a bomber type whose bombs reach 2 to 3 hexes.
class OrderMarksTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        rules = std::make_unique<zrvtest::RuleLibrary>();
        rules->Weapon(zrvtest::kRuleBomber, 0).nRange[2] = 2;
        rules->Weapon(zrvtest::kRuleBomber, 0).nRange[3] = 3;
        rules->Refresh();
        SetLib(&rules->lib);
        // Bombing needs works of durability 1 or more on the target.
        for (int h = 0; h < kHexCount; ++h)
            doc->m_dwHexCell[h] = WithDurability(WithTerrain(0, zrvtest::kFixturePlain), 5);
        COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
        c.dwFlag = kCountryPresent;
        c.nSide = 0;
        InitUnitRecord(&c, c.Unit[0], 0, kBomberHex, zrvtest::kRuleBomber, 0, &doc->m_GameData,
                       doc->m_GameData.CarryUnit);
        bomber = &c.Unit[0];
        bomber->dwHexCell = doc->m_dwHexCell[kBomberHex];
        view->m_pSelUnit = bomber;
        hub.view = view.get();
        view->SetToolHub(&hub);
    }
    void TearDown() override
    {
        view->SetToolHub(nullptr);
        SetLib(&ViewLibrary());
        ViewTest::TearDown();
    }

    static constexpr HEXINDEX kBomberHex = MakeHex(50, 50);
    std::unique_ptr<zrvtest::RuleLibrary> rules;
    UNITSTRUCT* bomber = nullptr;
    RecordingHub hub;
};

TEST_F(OrderMarksTest, BombingRangeMarksTheRingInsideTheMapAreaThatTheRuleAccepts)
{
    ASSERT_EQ(GetBombingRange(*bomber), 0x00020003u);
    // The map area ends two columns east of the bomber: the ring is cut there.
    view->m_rcMapHexes = {40, 40, 60, 52};
    const HEXINDEX refused = MakeHex(50, 47);
    doc->m_dwHexCell[refused] = WithDurability(doc->m_dwHexCell[refused], 0);
    const HEXINDEX stale = MakeHex(45, 45);
    doc->m_dwHexMark[stale] = 0x00200000u;
    view->m_dwHexMarkView[stale] = 4;

    view->MarkBombingRange();
    for (int row = 40; row <= 60; ++row) {
        for (int col = 40; col <= 60; ++col) {
            const HEXINDEX hex = MakeHex(row, col);
            const int d = GetHexDistance(kBomberHex, hex);
            const bool want = d >= 2 && d <= 3 && col <= 52 && hex != refused;
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << col << " distance " << d);
            EXPECT_EQ(view->m_dwHexMarkView[hex], want ? 1u : 0u);
            EXPECT_EQ(doc->m_dwHexMark[hex], want ? 0x00200000u : 0u);
        }
    }

    // Without bombs nothing is in range, and the old marks are gone.
    bomber->nAmmo[0] = 0;
    view->MarkBombingRange();
    for (int h = 0; h < kHexCount; ++h) {
        ASSERT_EQ(view->m_dwHexMarkView[h], 0u) << h;
        ASSERT_EQ(doc->m_dwHexMark[h], 0u) << h;
    }
}

TEST_F(OrderMarksTest, BombingMarchTargetsAreReachableHexesTheRuleAccepts)
{
    for (auto& v : doc->m_dwHexMove) v = 0x80000000u;
    const HEXINDEX plain = MakeHex(44, 44), farEnd = MakeHex(44, 45), bare = MakeHex(44, 46),
                   blocked = MakeHex(44, 47);
    doc->m_dwHexMove[plain] = 3;
    doc->m_dwHexMove[farEnd] = 0x08000005u;
    doc->m_dwHexMove[bare] = 0;
    doc->m_dwHexCell[bare] = WithDurability(doc->m_dwHexCell[bare], 0);
    doc->m_dwHexMove[blocked] = 0x40000000u;
    view->m_dwHexMarkView[MakeHex(60, 60)] = 2;

    view->MarkReachableHexes();
    EXPECT_EQ(view->m_dwHexMarkView[plain], 1u);
    EXPECT_EQ(doc->m_dwHexMove[plain], 0x00200003u);
    EXPECT_EQ(view->m_dwHexMarkView[farEnd], 2u);
    EXPECT_EQ(doc->m_dwHexMove[farEnd], 0x08200005u);
    EXPECT_EQ(view->m_dwHexMarkView[bare], 0u);
    EXPECT_EQ(doc->m_dwHexMove[bare], 0u);
    EXPECT_EQ(view->m_dwHexMarkView[blocked], 0u);
    EXPECT_EQ(doc->m_dwHexMove[blocked], 0x40000000u);
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(60, 60)], 0u);

    // A carried bomber may not bomb: no target at all.
    bomber->dwFlag |= kUnitCarried;
    view->MarkReachableHexes();
    EXPECT_EQ(view->m_dwHexMarkView[plain], 0u);
}

TEST_F(OrderMarksTest, ChangedUnitsAreStoredRefreshedOrRemoved)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    InitUnitRecord(&c, c.Unit[1], 1, MakeHex(52, 52), zrvtest::kFixtureTank, 0, &doc->m_GameData,
                   doc->m_GameData.CarryUnit);
    UNITSTRUCT& tank = c.Unit[1];
    view->m_dwHexMarkView[kBomberHex] = 1;
    // The unit list is open and a performance window shows the tank.
    view->SetCurrentCountry(0, &c);
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    ASSERT_EQ(view->OpenPerformanceWindow(&tank, tank.nArms, 0, false), 1);
    hub.calls.clear();

    // Only B given: B alone is stored and refreshed.
    view->RefreshChangedUnits(nullptr, &tank);
    EXPECT_EQ(hub.calls, (std::vector<std::string>{"list 6708", "spec 6708"}));
    EXPECT_EQ(view->m_dwHexUnitCode[tank.nHex], MakeUnitDisplayCode(tank));
    EXPECT_EQ(view->m_dwHexUnitCode[kBomberHex], 0u);
    EXPECT_EQ(view->m_dwHexMarkView[kBomberHex], 0u) << "marks cleared";

    // A without strength leaves play; a unit not in use is passed over.
    hub.calls.clear();
    bomber->nStrength = 0;
    UNITSTRUCT unused{};
    view->RefreshChangedUnits(bomber, &unused);
    EXPECT_FALSE(bomber->dwFlag & kUnitInUse) << "removed from play";
    EXPECT_FALSE(IsUnitRef(doc->m_dwHexUnit[kBomberHex]));
    EXPECT_EQ(hub.calls, (std::vector<std::string>{"list 6450"})) << "its list entry follows";
}

TEST_F(OrderMarksTest, UnitAIsNoLongerAContactToTheSideThatActedWhenItIsTheViewersSide)
{
    COUNTRYSTRUCT& own = doc->m_GameData.Country[0];
    COUNTRYSTRUCT& other = doc->m_GameData.Country[1];
    other.nSide = 1;
    // Off the map the detection update leaves the unit's marks alone, so
    // only the contact rule of the acting side acts on them.
    bomber->nHex = -1;
    const struct {
        COUNTRYSTRUCT* viewer;
        bool cleared;
    } cases[] = {{&own, true}, {&other, false}, {nullptr, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.viewer == nullptr ? "no viewer" : k.cleared ? "same side" : "other side");
        doc->m_pViewCountry = k.viewer;
        view->SetCurrentCountry(0, &own);
        bomber->dwFlag |= 0x00010000u | 0x00020000u;
        view->RefreshChangedUnits(bomber, nullptr);
        EXPECT_EQ((bomber->dwFlag & 0x00010000u) == 0, k.cleared);
        EXPECT_TRUE(bomber->dwFlag & 0x00020000u) << "another side's contact bit stays";
    }
}

TEST_F(OrderMarksTest, ClosingACommandBar)
{
    // What follows the closing: nothing, the pending move back to the choice
    // of its destination (mode 4), or the command cancelled (back to the
    // pending move, mode 5, or the selection ended, mode 1), after the move
    // taken back when it may be.
    enum Step { kNothing, kPending, kCancel, kUndoCancel };
    const struct {
        const char* name;
        uint32_t bar;
        uint32_t state;
        int target;
        bool selected;
        Step step;
        uint32_t stateAfter;
        bool marksCleared;
    } cases[] = {
        {"main bar, no pending move", 0x800, 0x800 | 0x400, -1, true, kNothing, 0x400, true},
        {"main bar, pending move", 0x800, 0x800, 77, true, kPending, 0, true},
        {"construction bar closed quietly", 0x100, 0x100 | 0x20 | 0x40, 77, true, kNothing, 0x40, false},
        {"construction bar, nothing pending", 0x100, 0x100, -1, true, kCancel, 0, true},
        {"construction bar, nothing selected", 0x100, 0x100, -1, false, kNothing, 0, false},
        {"construction bar, move taken back", 0x100, 0x100 | 0x40, 77, true, kUndoCancel, 0, true},
        {"construction bar, move kept", 0x100, 0x100, 77, true, kCancel, 0, true},
    };
    const UNITSTRUCT before = *bomber;
    // Nothing is in reach: the move range marks only the unit's own hex.
    for (auto& v : doc->m_dwHexMove) v = 0x80000000u;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        *bomber = before;
        // The move under the order spent fuel; the saved record has it all.
        view->m_SavedUnit = before;
        bomber->nFuel = before.nFuel - 3;
        view->m_nRoute.fill(-1);
        view->m_dwState = k.state;
        view->m_nCmdMode = kModeChooseUnit;
        view->m_nTargetHex = k.target;
        view->m_pSelUnit = k.selected ? bomber : nullptr;
        view->m_pCmdUnit = bomber;
        view->ClearHexMarks(false);
        view->m_dwHexMarkView[MakeHex(60, 60)] = 1;
        view->OnCommandBarClosed(k.bar);
        EXPECT_EQ(view->m_dwState & ~kViewLayoutChanged & ~kViewClosingBars, k.stateAfter);
        EXPECT_EQ(view->m_dwHexMarkView[MakeHex(60, 60)], k.marksCleared ? 0u : 1u);
        EXPECT_EQ(view->m_pCmdUnit, nullptr);
        EXPECT_EQ(bomber->nFuel, k.step == kUndoCancel ? before.nFuel : before.nFuel - 3);
        switch (k.step) {
            case kNothing:
                EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
                EXPECT_EQ(view->m_nTargetHex, k.target);
                break;
            case kPending:
                EXPECT_EQ(view->m_nCmdMode, kModeMoveTarget);
                EXPECT_EQ(view->m_nTargetHex, -1);
                EXPECT_EQ(view->m_pSelUnit, bomber);
                break;
            case kCancel:
            case kUndoCancel:
                if (k.target >= 0) {
                    EXPECT_EQ(view->m_nCmdMode, kModeMovePending);
                    EXPECT_EQ(view->m_pSelUnit, bomber);
                    EXPECT_EQ(view->m_dwHexMarkView[kBomberHex], 1u) << "the unit's hex marked";
                } else {
                    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
                    EXPECT_EQ(view->m_pSelUnit, nullptr);
                }
                break;
        }
    }
}

TEST_F(OrderMarksTest, SearchAroundAUnitReturnsTheDocumentsResult)
{
    // Nothing around to uncover.
    EXPECT_GE(view->SearchAroundUnit(*bomber), 0);
    EXPECT_EQ(view->SearchAroundUnit(*bomber) & 1, 0);
}

}  // namespace
}  // namespace viewtest

namespace viewtest {
namespace {

struct CommandSink : ViewFrameSink {
    std::vector<int> commands;
    void SendCommand(int id) override { commands.push_back(id); }
};

TEST_F(OrderMarksTest, CommandWindowSelectOpensTheBarOrHandsItTheUnit)
{
    CommandSink frame;
    view->SetFrameSink(&frame);
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    InitUnitRecord(&c, c.Unit[1], 1, MakeHex(52, 52), zrvtest::kFixtureTank, 0, &doc->m_GameData,
                   doc->m_GameData.CarryUnit);
    UNITSTRUCT& tank = c.Unit[1];
    bomber->dwFlag |= 4;
    tank.dwFlag |= 4;

    view->m_dwState = 0;
    view->BeginCmdWindowSelect(bomber);
    EXPECT_EQ(frame.commands, (std::vector<int>{32820}));
    EXPECT_EQ(view->m_pCmdUnit, bomber);
    EXPECT_EQ(view->m_nCmdMode, 1);
    EXPECT_EQ(view->m_dwHexMarkView[kBomberHex], 1u);
    EXPECT_EQ(bomber->dwFlag & 4, 0u);
    EXPECT_EQ(tank.dwFlag & 4, 0u);

    // The bar is open: it gets the new unit, the old unit's mark goes.
    view->m_dwState = kViewMainCommandBar;
    view->BeginCmdWindowSelect(&tank);
    EXPECT_EQ(frame.commands, (std::vector<int>{32820, 32823}));
    EXPECT_EQ(view->m_pCmdUnit, &tank);
    EXPECT_EQ(view->m_dwHexMarkView[kBomberHex], 0u);
    EXPECT_EQ(view->m_dwHexMarkView[tank.nHex], 1u);
    view->SetFrameSink(nullptr);
}

}  // namespace
}  // namespace viewtest
