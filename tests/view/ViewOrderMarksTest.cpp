// The marks orders leave on the map (bombing range, bombing-march targets)
// and what the view does when an order changed units or a command bar closed.
#include <gtest/gtest.h>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "engine/RuleFixture.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// Records what the view hands to the tool windows and order steps.
struct RecordingHub : ViewToolHub {
    std::vector<std::string> calls;
    const UNITSTRUCT* savedSeen = nullptr;
    void RefreshUnitListUnit(UNITSTRUCT& u) override { calls.push_back("list " + std::to_string(u.nHex)); }
    void RefreshPerformanceWindow(UNITSTRUCT& u) override
    {
        calls.push_back("spec " + std::to_string(u.nHex));
    }
    void UndoUnitMove(UNITSTRUCT&, const UNITSTRUCT& saved) override
    {
        savedSeen = &saved;
        calls.push_back("undo");
    }
    void CancelCurrentCommand() override { calls.push_back("cancel"); }
    void ShowPendingMove() override { calls.push_back("pending"); }
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
    const struct {
        const char* name;
        uint32_t bar;
        uint32_t state;
        int target;
        bool selected;
        std::vector<std::string> calls;
        uint32_t stateAfter;
        bool marksCleared;
    } cases[] = {
        {"main bar, no pending move", 0x800, 0x800 | 0x400, -1, true, {}, 0x400, true},
        {"main bar, pending move", 0x800, 0x800, 77, true, {"pending"}, 0, false},
        {"construction bar closed quietly", 0x100, 0x100 | 0x20 | 0x40, 77, true, {}, 0x40, false},
        {"construction bar, nothing pending", 0x100, 0x100, -1, true, {"cancel"}, 0, false},
        {"construction bar, nothing selected", 0x100, 0x100, -1, false, {}, 0, false},
        {"construction bar, move taken back", 0x100, 0x100 | 0x40, 77, true, {"undo", "cancel"}, 0, false},
        {"construction bar, move kept", 0x100, 0x100, 77, true, {"cancel"}, 0, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        hub.calls.clear();
        hub.savedSeen = nullptr;
        view->m_dwState = k.state;
        view->m_nTargetHex = k.target;
        view->m_pSelUnit = k.selected ? bomber : nullptr;
        view->m_pCmdUnit = bomber;
        view->m_dwHexMarkView[kBomberHex] = 1;
        view->OnCommandBarClosed(k.bar);
        EXPECT_EQ(hub.calls, k.calls);
        EXPECT_EQ(view->m_dwState & ~kViewLayoutChanged, k.stateAfter);
        EXPECT_EQ(view->m_dwHexMarkView[kBomberHex], k.marksCleared ? 0u : 1u);
        EXPECT_EQ(view->m_pCmdUnit, nullptr);
        if (!hub.calls.empty() && hub.calls[0] == "undo") {
            EXPECT_EQ(hub.savedSeen, &view->m_SavedUnit);
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
