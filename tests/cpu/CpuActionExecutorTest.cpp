#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/engine/UnitCommands.h"
#include "cpu/ArmsFixture.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {
namespace {

constexpr HEXINDEX kA = MakeHex(40, 40);  // the unit
constexpr HEXINDEX kB = MakeHex(40, 41);  // its partner
constexpr HEXINDEX kT = MakeHex(41, 41);  // the enemy
constexpr HEXINDEX kX = MakeHex(50, 50);  // an order hex
constexpr HEXINDEX kC = MakeHex(45, 45);  // a carrier

// Country 1 (computer-run, side 1) orders its unit in slot 0 at kA; country
// 0 (side 0) is the enemy.
class CpuActionExecutorTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        doc->SetOrderExecutor(executor.get());
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    int Order(int action, UNITSTRUCT& unit, int argument)
    {
        view.calls.clear();
        view.flashes = 0;
        return doc->ExecuteCpuAction(action, unit, argument);
    }

    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
};

std::string S(long long v)
{
    return std::to_string(v);
}

// Each code: the view's calls (flashes included) and the result. A
// finished order ends the selection and sets command mode 0.
TEST_F(CpuActionExecutorTest, EveryCodeRunsItsViewOperation)
{
    const std::string a = S(kA), b = S(kB), t = S(kT), x = S(kX), c = S(kC);
    const std::string sel = "Select(" + a + ") ", fl = "Flash(" + a + ",0,0) ", end = " EndSelection(1) Mode(0)";
    struct Case {
        int action;
        int argument;
        std::function<void(UNITSTRUCT&)> setup;
        std::string calls;
        int result;
    };
    const Case cases[] = {
        {kCpuActAttack, 0,
         [&](UNITSTRUCT& u) {
             u.refTarget = MakeUnitRef(0, 0);
             u.dwWeaponMask = 5;
         },
         sel + fl + "ExecuteAttack(" + a + "," + t + ",5)" + end, 0},
        {kCpuActOccupy, 0, [](UNITSTRUCT& u) { u.dwWeaponMask = kX; }, sel + fl + "ExecuteOccupation(" + a + "," + x + ")" + end, 0},
        // A ground unit's bombing flashes the target hex too; an aircraft's not.
        {kCpuActBomb, 0, [](UNITSTRUCT& u) { u.dwWeaponMask = kX; },
         sel + fl + "Flash(" + x + ",0,0) ExecuteBombing(" + a + "," + x + ")" + end, 0},
        {kCpuActBomb, 0,
         [](UNITSTRUCT& u) {
             u.nArms = zrvtest::kFixtureFighter;
             u.dwWeaponMask = kX;
         },
         sel + fl + "ExecuteBombing(" + a + "," + x + ")" + end, 0},
        {kCpuActMove, 0, nullptr, sel + "ExecuteCpuMove()" + end, 0},
        {kCpuActMoveDone, 1, nullptr, sel + "CompleteUnitMove()" + end, 0},
        {kCpuActConstruct, 30, nullptr, sel + fl + "ExecuteConstruction(" + a + ",4,30," + a + ")" + end, 0},
        {kCpuActConstructOther, 0, nullptr, sel + fl + "ExecuteConstruction(" + a + ",3,0," + a + ")" + end, 0},
        {kCpuActDispose, 0, nullptr, sel + fl + "ExecuteDispose(0)" + end, 1},
        {kCpuActDisposeAircraftOutOfFuel, 0, nullptr, sel + fl + "ExecuteDispose(1)" + end, 0},
        {kCpuActLoseShipOutOfFuel, 0, nullptr, sel + fl + "ExecuteDispose(2)" + end, 0},
        // 3 points from the partner in slot 1.
        {kCpuActMerge, 1 << 16 | 0x8003, nullptr, sel + fl + "Flash(" + b + ",0,0) ExecuteMerge(" + b + ",-3)" + end, 1},
        {kCpuActMerge, 1 << 16 | 4, nullptr, sel + fl + "Flash(" + b + ",0,0) ExecuteMerge(" + b + ",4)" + end, 1},
        {kCpuActLoad, kC, nullptr, sel + "Flash(" + c + ",0,0) ExecuteLoad(" + a + "," + c + ")" + end, 0},
        {kCpuActUnload, 2 << 16 | 0x8000 | kX, nullptr, sel + fl + "ExecuteUnload(" + a + ",102," + x + ")" + end, 0},
        {kCpuActEvolve, 6, nullptr, sel + fl + "ExecuteEvolve(6)" + end, 0},
        {kCpuActImprove, 6, nullptr, sel + fl + "ExecuteImprove(6)" + end, 0},
        {kCpuActDive, 0, nullptr, sel + fl + "ExecuteDive(" + a + ")" + end, 0},
        {kCpuActSurface, 0, nullptr, sel + fl + "ExecuteSurface(" + a + ",0)" + end, 0},
        {kCpuActLoseSubmarineOutOfFuel, 0, nullptr, sel + fl + "ExecuteSurface(" + a + ",1)" + end, 0},
        {kCpuActEndAction, 0, nullptr, sel + "ExecuteEndAction(" + a + ")" + end, 0},
        {kCpuActPlaceProduction, 2 << 16 | kX, nullptr,
         "Flash(" + x + ",0,0) ExecutePlaceUnit(2," + x + ") Redraw(" + x + ",1)" + end, 0},
        {kCpuActSupply, 0, nullptr, end.substr(1), 0},  // no unit wants supply
        {99, 0, nullptr, sel.substr(0, sel.size() - 1) + end, 0},
    };
    UNITSTRUCT placed{};
    view.placed = &placed;
    view.results["ExecuteMerge"] = 1;
    view.results["ExecuteUnload"] = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE("code " + std::to_string(k.action));
        UNITSTRUCT& u = Unit(1, 0, kA);
        Unit(1, 1, kB);
        Unit(1, 2, kB + 1);
        Unit(0, 0, kT);
        if (k.setup) k.setup(u);
        EXPECT_EQ(Order(k.action, u, k.argument), k.result);
        EXPECT_EQ(view.Joined(), k.calls);
    }
}

// A negative result returns at once and keeps the selection; so does an
// order that did nothing (nothing placed, no strength merged, nothing
// unloaded, evolution refused), and a close request at a flash.
TEST_F(CpuActionExecutorTest, RefusalsAndCloseRequestsReturnMinusOne)
{
    const std::string a = S(kA), x = S(kX);
    struct Case {
        int action;
        int argument;
        const char* op;  // scripted result of this operation
        int opResult;
        int closeAt;
        std::string calls;
    };
    const std::string sel = "Select(" + a + ") ", fl = "Flash(" + a + ",0,0)";
    const Case cases[] = {
        {kCpuActOccupy, 0, nullptr, 0, 1, sel + fl},
        {kCpuActBomb, 0, nullptr, 0, 2, sel + fl + " Flash(" + x + ",0,0)"},
        {kCpuActPlaceProduction, 2 << 16 | kX, nullptr, 0, 0, "Flash(" + x + ",0,0) ExecutePlaceUnit(2," + x + ")"},
        {kCpuActMerge, 1 << 16 | 2, "ExecuteMerge", 0, 0, sel + fl + " Flash(" + S(kB) + ",0,0) ExecuteMerge(" + S(kB) + ",2)"},
        {kCpuActMerge, 1 << 16 | 2, nullptr, 0, 2, sel + fl + " Flash(" + S(kB) + ",0,0)"},
        {kCpuActUnload, 2 << 16 | kX, "ExecuteUnload", 0, 0, sel + fl + " ExecuteUnload(" + a + ",102," + x + ")"},
        {kCpuActEvolve, 6, "ExecuteEvolve", -1, 0, sel + fl + " ExecuteEvolve(6)"},
        {kCpuActMove, 0, "ExecuteCpuMove", -1, 0, sel + "ExecuteCpuMove()"},
        {kCpuActOccupy, 0, "ExecuteOccupation", -1, 0, sel + fl + " ExecuteOccupation(" + a + "," + x + ")"},
        {kCpuActDispose, 0, "ExecuteDispose", -1, 0, sel + fl + " ExecuteDispose(0)"},
        {kCpuActConstruct, 5, nullptr, 0, 1, sel + fl},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("code " + std::to_string(k.action));
        UNITSTRUCT& u = Unit(1, 0, kA);
        u.dwWeaponMask = kX;
        Unit(1, 1, kB);
        Unit(1, 2, kB + 1);
        view.results.clear();
        if (k.op) view.results[k.op] = k.opResult;
        view.closeAtFlash = k.closeAt;
        EXPECT_EQ(Order(k.action, u, k.argument), -1);
        EXPECT_EQ(view.Joined(), k.calls);
        if (k.action != kCpuActPlaceProduction) {
            EXPECT_EQ(view.selected, &u);
        }
    }
}

TEST_F(CpuActionExecutorTest, AStaleTargetIsRefusedWithoutAFlash)
{
    UNITSTRUCT& u = Unit(1, 0, kA);
    Unit(1, 1, kB);                      // an own unit
    UNITSTRUCT& gone = Unit(0, 0, kT);   // an enemy no longer in use
    gone.dwFlag = 0;
    for (UnitRef ref : {MakeUnitRef(1, 1), MakeUnitRef(0, 0), kNoUnit, MakeUnitRef(9, 0)}) {
        u.refTarget = ref;
        EXPECT_EQ(Order(kCpuActAttack, u, 0), -1);
        EXPECT_EQ(view.Joined(), "Select(" + S(kA) + ")");
    }
}

TEST_F(CpuActionExecutorTest, ACarriedUnitIsFlashedAtItsCarriersHex)
{
    UNITSTRUCT& carrier = Unit(1, 3, kC, zrvtest::kFixtureDestroyer);
    carrier.dwFlag |= kUnitCarries;
    carrier.dwCargo = MakeCargo(kNoCarrier, 1);
    UNITSTRUCT& u = Unit(1, 0, kA);
    doc->m_dwHexUnit[kA] = kNoUnit;
    u.dwFlag |= kUnitCarried;
    u.nHex = -1;
    u.dwCargo = MakeCargo(3, 0);
    EXPECT_EQ(Order(kCpuActDive, u, 0), 0);
    EXPECT_EQ(view.calls[1], "Flash(" + S(kC) + ",0,0)");
}

TEST_F(CpuActionExecutorTest, UnloadingGoesOnWhileTheFinderNamesCargo)
{
    UNITSTRUCT& carrier = Unit(1, 0, kA, zrvtest::kFixtureDestroyer);
    carrier.dwFlag |= kUnitCarries;
    carrier.dwCargo = MakeCargo(kNoCarrier, 2);
    Unit(1, 1, kB);
    Unit(1, 2, kB + 1);
    std::vector<bool> searches;
    int next = 1 << 16 | kX;
    executor->SetUnloadFinder([&](UNITSTRUCT& c, bool search) {
        EXPECT_EQ(&c, &carrier);
        searches.push_back(search);
        const int r = next;
        next = -1;
        return r;
    });
    view.results["ExecuteUnload"] = 1;
    EXPECT_EQ(Order(kCpuActUnload, carrier, 2 << 16 | 0x8000 | kT), 0);
    const std::string a = S(kA);
    EXPECT_EQ(view.Joined(), "Select(" + a + ") Flash(" + a + ",0,0) ExecuteUnload(" + a + ",102," + S(kT) +
                                 ") Flash(" + a + ",0,0) ExecuteUnload(" + a + ",101," + S(kX) +
                                 ") EndSelection(1) Mode(0)");
    EXPECT_EQ(searches, (std::vector<bool>{true, true}));
    // The second cargo that stays aboard ends the loop as a success.
    next = 1 << 16 | kX;
    view.unloadResults = {1, 0};
    EXPECT_EQ(Order(kCpuActUnload, carrier, 2 << 16 | kT), 0);
    // A view that always unloads and a finder that always names cargo stop
    // after as many rounds as units were aboard at the start.
    executor->SetUnloadFinder([&](UNITSTRUCT&, bool) { return 1 << 16 | kX; });
    view.unloadResults.clear();
    view.calls.clear();
    Order(kCpuActUnload, carrier, 2 << 16 | kT);
    EXPECT_EQ(std::count_if(view.calls.begin(), view.calls.end(),
                            [](const std::string& c) { return c.rfind("ExecuteUnload", 0) == 0; }),
              2);
}

TEST_F(CpuActionExecutorTest, OrderWordsAndFlagsTheCodesChange)
{
    // A load clears the computer-player word's bits 15 and 20 only.
    UNITSTRUCT& u = Unit(1, 0, kA);
    u.dwSupplyFlag = 0x00108001u;
    u.dwCargo = MakeCargo(kNoCarrier, 0) | (1u << 15);
    const uint32_t cargoWord = u.dwCargo;
    EXPECT_EQ(Order(kCpuActLoad, u, kC), 0);
    EXPECT_EQ(u.dwSupplyFlag, 1u);
    EXPECT_EQ(u.dwCargo, cargoWord);

    // The end of a move marks the unit acted, the argument or not.
    for (int arg : {0, 1}) {
        u.dwFlag &= ~kUnitActed;
        EXPECT_EQ(Order(kCpuActMoveDone, u, arg), 0);
        EXPECT_TRUE(u.dwFlag & kUnitActed);
    }

    // A computer move of the viewing side's unit leaves it seen by its side.
    view.viewingSide = 1;
    u.dwFlag |= (1u << 14) | (1u << 17) | (1u << 13);
    u.dwOrder = kOrderCpuBit20;
    doc->m_dwHexSearch[kA] = 0x1FFu;
    EXPECT_EQ(Order(kCpuActMove, u, 0), 0);
    EXPECT_EQ(u.dwFlag & ((1u << 14) | (1u << 17)), 0u);
    EXPECT_EQ(u.dwOrder, kOrderCpuMovedVisible);
    EXPECT_EQ(doc->m_dwHexSearch[kA], 0x1FFu & ~(0x2u | 0x10u | 0x80u));
    // Another side's view: the order bits are cleared, nothing set.
    view.viewingSide = 0;
    EXPECT_EQ(Order(kCpuActMove, u, 0), 0);
    EXPECT_EQ(u.dwOrder & kOrderCpuMovedVisible, 0u);
}

TEST_F(CpuActionExecutorTest, KeptHexBombingAndALostBomber)
{
    // The engine's kept-hex bombing: the target hex is the weapon-mask word;
    // order bits 29 and 30 go first.
    UNITSTRUCT& u = Unit(1, 0, kA, zrvtest::kFixtureFighter);
    u.dwWeaponMask = kX;
    u.dwOrder = 0x60000001u;
    const std::string a = S(kA);
    EXPECT_EQ(Order(kCpuActBombKeptHex, u, 0), 0);
    EXPECT_EQ(u.dwOrder, 1u);
    EXPECT_EQ(view.Joined(), "Select(" + a + ") Flash(" + a + ",0,0) ExecuteBombing(" + a + "," + S(kX) + ") Select(" +
                                 a + ") EndSelection(1) Mode(0)");
    // Lost in the raid: the view disposes of the record it still selects.
    view.onBombing = [](UNITSTRUCT& bomber) { bomber.dwFlag &= ~kUnitInUse; };
    EXPECT_EQ(Order(kCpuActBombKeptHex, u, 0), 0);
    EXPECT_NE(view.Joined().find("ExecuteDispose(0)"), std::string::npos);
}

// Orders of units with droppable and bombing weapons (the fixture library
// with three more types).
class CpuArmsOrderTest : public CpuActionExecutorTest {
protected:
    void SetUp() override
    {
        CpuActionExecutorTest::SetUp();
        SetLib(&arms.Library());
    }
    zrvtest::ArmsFixture arms;
};

// An attack marks the jettison only for a class that drops its tanks before
// air combat, with a loaded drop tank, no droppable weapon chosen and an air
// target; the view's end of the selection carries it out.
TEST_F(CpuArmsOrderTest, AnAttackOnAnAirTargetMarksTheJettison)
{
    struct Case {
        const char* name;
        int type;
        uint32_t weapons;
        int tankRounds;
        int targetType;
        bool jettison;
    };
    const Case cases[] = {
        {"gun on a fighter", zrvtest::kArmsDropTankFighter, 1, 1, zrvtest::kFixtureFighter, true},
        {"gun on a ground unit", zrvtest::kArmsDropTankFighter, 1, 1, zrvtest::kFixtureTank, false},
        {"the drop tank chosen too", zrvtest::kArmsDropTankFighter, 3, 1, zrvtest::kFixtureFighter, false},
        {"the drop tank empty", zrvtest::kArmsDropTankFighter, 1, 0, zrvtest::kFixtureFighter, false},
        {"a class that keeps its tanks", zrvtest::kArmsPlainFighter, 1, 1, zrvtest::kFixtureFighter, false},
        {"a fighter of the fixture without a tank", zrvtest::kFixtureFighter, 1, 1, zrvtest::kFixtureFighter, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        UNITSTRUCT& u = Unit(1, 0, kA, k.type);
        u.nAmmo[0] = 12;
        u.nAmmo[1] = k.tankRounds;
        u.dwWeaponMask = k.weapons;
        Unit(0, 0, kT, k.targetType);
        u.refTarget = MakeUnitRef(0, 0);
        view.jettisoned.clear();
        // The attack sees the mark; the end of the selection takes it off.
        bool markedAtAttack = false;
        view.onAttack = [&](UNITSTRUCT& a) { markedAtAttack = (a.dwOrder & kOrderJettisonPending) != 0; };
        EXPECT_EQ(Order(kCpuActAttack, u, 0), 0);
        EXPECT_EQ(markedAtAttack, k.jettison);
        EXPECT_EQ(view.jettisoned.size(), k.jettison ? 1u : 0u);
        EXPECT_FALSE(u.dwOrder & kOrderJettisonPending);
    }
}

// The engine's kept-hex bombing asks the bombing rule about the unit's own
// hex: a hex with no durability left to bomb (answer 112) is no bombing and
// no refusal.
TEST_F(CpuArmsOrderTest, KeptHexBombingOfAHexWithNothingLeftIsNoBombing)
{
    const std::string a = S(kA);
    for (int durability : {0, 40}) {
        SCOPED_TRACE(durability);
        UNITSTRUCT& u = Unit(1, 0, kA, zrvtest::kArmsBomber);
        u.nAmmo[0] = 4;
        u.dwWeaponMask = kX;
        u.dwOrder = 0x60000000u;
        doc->m_dwHexCell[kA] = WithOwner(WithDurability(WithTerrain(0, zrvtest::kFixtureCity), durability), 0);
        u.dwHexCell = doc->m_dwHexCell[kA];
        ASSERT_EQ(CheckUnitBombing(doc->m_GameData, doc->m_dwHexCell, u, kA) == kBombingForbidden, durability == 0);
        EXPECT_EQ(Order(kCpuActBombKeptHex, u, 0), 0);
        EXPECT_EQ(u.dwOrder, 0u);
        const std::string done = durability == 0 ? "" : "ExecuteBombing(" + a + "," + S(kX) + ") Select(" + a + ") ";
        EXPECT_EQ(view.Joined(), "Select(" + a + ") Flash(" + a + ",0,0) " + done + "EndSelection(1) Mode(0)");
    }
}

}  // namespace
}  // namespace zrv
