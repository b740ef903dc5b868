// The order a player enters on the map: which clicks select a unit, the
// pending move and its take-back, cancelling, and the tests the commands
// share (next idle unit, placement, human input).
#include <gtest/gtest.h>

#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using SelectionTest = OrderTest;

TEST_F(SelectionTest, AClickInModesZeroToThreeSelectsOnlyAnOwnUnitThatMayStillAct)
{
    const struct {
        const char* name;
        int mode;
        HEXINDEX hex;
        uint32_t unitFlags;  // added to the own unit
        uint32_t option;     // game option word
        int result;
    } cases[] = {
        {"own unit", kModeChooseUnit, kOwnHex, 0, 0, 1},
        {"own unit during the computer's turn", kModeNone, kOwnHex, 0, 0, 1},
        {"own unit while placing", kModeProduction, kOwnHex, 0, 0, 1},
        {"own unit that has acted", kModeChooseUnit, kOwnHex, kUnitActed, 0, 0},
        {"enemy unit", kModeChooseUnit, kEnemyHex, 0, 0, 0},
        {"empty hex", kModeChooseUnit, MakeHex(45, 45), 0, 0, 0},
        {"off the map", kModeChooseUnit, -1, 0, 0, 0},
        {"during a full-auto run", kModeChooseUnit, kOwnHex, 0, kOptFullAutoRunning, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_pSelUnit = nullptr;
        view->m_nCmdMode = k.mode;
        own->dwFlag = (own->dwFlag & ~kUnitActed) | k.unitFlags;
        doc->m_dwGameOption = k.option;
        EXPECT_EQ(view->ClickHex(k.hex, nullptr), k.result);
        EXPECT_EQ(view->m_pSelUnit, k.result ? own : nullptr);
        if (k.result == 0) EXPECT_EQ(view->m_nCmdMode, k.mode);
    }
}

TEST_F(SelectionTest, AUnitGivenWithoutAHexIsTakenAtItsCarriersHexAndACarriedOneIsRefused)
{
    UNITSTRUCT* cargo = Board(1, *own);
    EXPECT_EQ(view->ClickHex(-1, cargo), 0) << "aboard: not selectable";
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->ClickHex(-1, own), 1);
    EXPECT_EQ(view->m_pSelUnit, own);
}

TEST_F(SelectionTest, ASelectedUnitEntersItsMoveOrGetsItsCommandWindow)
{
    const struct {
        const char* name;
        int movePoints;
        bool mainBarOpen;
        int mode;
        std::vector<int> commands;
    } cases[] = {
        {"can move: the move range", 4, false, kModeMoveTarget, {}},
        {"cannot move: main bar opened", 0, false, kModeChooseUnit, {32820}},
        {"cannot move, bar open: closed, then opened for it", 0, true, kModeChooseUnit, {32820}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_pSelUnit = nullptr;
        view->m_pCmdUnit = nullptr;
        view->m_nCmdMode = kModeChooseUnit;
        view->m_dwState = k.mainBarOpen ? kViewMainCommandBar : 0;
        own->nMove = k.movePoints;
        frame->commands.clear();
        ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
        EXPECT_EQ(view->m_nCmdMode, k.mode);
        EXPECT_EQ(view->m_dwHexMarkView[kOwnHex], 1u) << "the unit's hex is marked";
        if (k.mode == kModeMoveTarget) {
            EXPECT_TRUE(view->m_dwState & kViewOrderEntry);
            EXPECT_EQ(view->m_dwHexMarkView[MakeHex(50, 51)], 1u) << "a reachable neighbour";
        } else {
            EXPECT_EQ(view->m_pCmdUnit, own);
        }
        // The bars were closed first: a main bar open before is toggled shut.
        std::vector<int> want = k.commands;
        if (k.mainBarOpen) want.insert(want.begin(), 32820);
        EXPECT_EQ(frame->commands, want);
    }
}

TEST_F(SelectionTest, ClickingTheUnitsOwnHexWhileChoosingItsDestinationOpensItsCommandWindow)
{
    own->nMove = 4;
    ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
    ASSERT_EQ(view->m_nCmdMode, kModeMoveTarget);
    frame->commands.clear();
    EXPECT_EQ(view->ClickHex(kOwnHex, nullptr), 0);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_pCmdUnit, own);
    EXPECT_EQ(frame->commands, std::vector<int>{32820});
    // With the main bar open for another unit, the bar is handed over.
    view->m_nCmdMode = kModeMoveTarget;
    view->m_pCmdUnit = enemy;
    view->m_dwHexMarkView[kEnemyHex] = 1;
    frame->commands.clear();
    view->ClickHex(kOwnHex, nullptr);
    EXPECT_EQ(frame->commands, std::vector<int>{32823});
    EXPECT_EQ(view->m_pCmdUnit, own);
    EXPECT_EQ(view->m_dwHexMarkView[kEnemyHex], 0u);
    // Another hex is a destination, which the move order completes.
    view->m_nCmdMode = kModeMoveTarget;
    EXPECT_EQ(view->ClickHex(MakeHex(50, 51), nullptr), 0);
}

TEST_F(SelectionTest, ModeSixReopensTheFollowUpWindowOnlyWhenItIsClosed)
{
    view->m_nCmdMode = kModeMoveDone;
    EXPECT_EQ(view->ClickHex(MakeHex(45, 45), nullptr), 0);
    EXPECT_EQ(frame->commands, std::vector<int>{32822});
    EXPECT_TRUE(view->m_dwState & kViewMoveBar);
    view->ClickHex(MakeHex(45, 45), nullptr);
    EXPECT_EQ(frame->commands.size(), 1u);
}

TEST_F(SelectionTest, EndingTheSelectionOfADetachedUnit)
{
    // A ship carrying an infantry unit, which is taken off for a move.
    UNITSTRUCT* cargo = Board(2, *own);
    const HEXINDEX target = MakeHex(50, 52);
    for (bool finish : {false, true}) {
        SCOPED_TRACE(finish ? "the move stands" : "the move is dropped");
        view->m_pSelUnit = cargo;
        view->DetachUnitFromCarrier(target);
        ASSERT_EQ(view->m_nTargetHex, target);
        ASSERT_EQ(view->m_pDetachedCarrier, own);
        EXPECT_EQ(cargo->dwFlag & (kUnitDetached | kUnitCarried), kUnitDetached);
        EXPECT_EQ(CargoCarrier(cargo->dwCargo), kNoCarrier);
        EXPECT_EQ(cargo->nHex, kOwnHex);
        // The move took it off the carrier's count.
        own->dwCargo = MakeCargo(kNoCarrier, 0);
        own->dwFlag &= ~kUnitCarries;
        view->m_nRoute = {};
        view->m_nRoute.fill(-1);
        view->m_nRoute[0] = MakeHex(50, 51);
        view->m_nRoute[1] = target;

        view->EndSelection(finish);
        EXPECT_EQ(view->m_nTargetHex, -1);
        EXPECT_EQ(view->m_pDetachedCarrier, nullptr);
        EXPECT_EQ(cargo->dwFlag & kUnitDetached, 0u);
        if (finish) {
            EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
            EXPECT_EQ(view->m_pSelUnit, nullptr);
            EXPECT_EQ(view->m_nRoute[0], -1) << "the route is emptied";
            EXPECT_EQ(cargo->dwFlag & kUnitCarried, 0u);
            EXPECT_EQ(CargoCount(own->dwCargo), 0);
        } else {
            EXPECT_EQ(view->m_nCmdMode, kModeMoveTarget) << "back to the choice of a destination";
            EXPECT_EQ(view->m_pSelUnit, cargo);
            EXPECT_TRUE(cargo->dwFlag & kUnitCarried);
            EXPECT_EQ(CargoCarrier(cargo->dwCargo), 0);
            EXPECT_EQ(cargo->nHex, -1);
            EXPECT_TRUE(own->dwFlag & kUnitCarries);
            EXPECT_EQ(CargoCount(own->dwCargo), 1) << "counted once again";
        }
        // Aboard again for the next round.
        cargo->dwFlag |= kUnitCarried;
        cargo->nHex = -1;
        cargo->dwCargo = MakeCargo(0, 0);
        own->dwFlag |= kUnitCarries;
        own->dwCargo = MakeCargo(kNoCarrier, 1);
    }
}

TEST_F(SelectionTest, TakingAUnitOffItsCarrierCountsTheCarrierDownAndTheMoveMeasuresFromIt)
{
    // A ship with two units aboard; the second carries a third.
    UNITSTRUCT* first = Board(2, *own);
    UNITSTRUCT* second = Board(3, *own);
    UNITSTRUCT* inner = Board(4, *second);
    second->dwCargo = MakeCargo(RefSlot(own->refSelf), 1);  // still aboard the ship
    ASSERT_EQ(CargoCount(own->dwCargo), 2);
    EXPECT_EQ(view->GetOutermostCarrierForMove(*inner), own);
    EXPECT_EQ(view->GetOutermostCarrierForMove(*own), own);

    view->m_pSelUnit = first;
    view->DetachUnitFromCarrier(MakeHex(50, 52));
    EXPECT_EQ(CargoCount(own->dwCargo), 1);
    EXPECT_TRUE(own->dwFlag & kUnitCarries) << "one unit is still aboard";
    EXPECT_EQ(CargoCount(first->dwCargo), 0) << "its own count is kept";
    // Taken off for the move, it measures from the carrier it left.
    EXPECT_EQ(view->GetOutermostCarrierForMove(*first), own);
    view->EndSelection(false);
    EXPECT_EQ(CargoCount(own->dwCargo), 2) << "aboard again, counted once";

    view->m_pSelUnit = inner;
    view->DetachUnitFromCarrier(MakeHex(50, 52));
    EXPECT_EQ(CargoCount(second->dwCargo), 0);
    EXPECT_FALSE(second->dwFlag & kUnitCarries) << "empty now";
    EXPECT_EQ(inner->nHex, second->nHex);
    EXPECT_EQ(view->GetOutermostCarrierForMove(*inner), own);
    // A unit not taken off measures from itself.
    first->dwFlag &= ~kUnitCarried;
    first->dwCargo = MakeCargo(kNoCarrier, 0);
    EXPECT_EQ(view->GetOutermostCarrierForMove(*first), first);
}

TEST_F(SelectionTest, ADamagedCarrierSlotLeavesTheUnitAboard)
{
    UNITSTRUCT* cargo = Board(2, *own);
    cargo->dwCargo = MakeCargo(77, 0);
    view->m_pSelUnit = cargo;
    view->DetachUnitFromCarrier(MakeHex(50, 52));
    EXPECT_TRUE(cargo->dwFlag & kUnitCarried);
    EXPECT_EQ(view->m_pDetachedCarrier, nullptr);
}

TEST_F(SelectionTest, ShowingThePendingMoveAgain)
{
    // The move to target is pending: the unit is drawn there and its own
    // hex is empty in the document.
    const HEXINDEX target = MakeHex(50, 52);
    own->nMove = 4;
    ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
    view->m_nTargetHex = target;
    view->m_nCmdMode = kModeMovePending;
    doc->m_dwHexUnit[kOwnHex] = kNoUnit;
    view->m_dwHexUnitCode[kOwnHex] = 0;
    view->m_dwHexUnitCode[target] = MakeUnitDisplayCode(*own);
    own->dwOrder |= kOrderJettisonPending;

    // Closing the bars itself only clears the closing bit.
    view->m_dwState |= kViewClosingBars;
    view->ShowPendingMove();
    EXPECT_EQ(view->m_dwState & kViewClosingBars, 0u);
    EXPECT_EQ(view->m_nTargetHex, target);

    view->ShowPendingMove();
    EXPECT_EQ(doc->m_dwHexUnit[kOwnHex], own->refSelf);
    EXPECT_EQ(view->m_dwHexUnitCode[kOwnHex], MakeUnitDisplayCode(*own));
    EXPECT_EQ(view->m_dwHexUnitCode[target], 0u) << "nobody stands at the destination";
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(50, 51)], 1u) << "the range is marked again";
    EXPECT_EQ(own->dwOrder & kOrderJettisonPending, 0u);
    EXPECT_EQ(view->m_nTargetHex, -1);
    EXPECT_EQ(view->m_nCmdMode, kModeMoveTarget);
    EXPECT_EQ(view->m_pSelUnit, own);

    // A unit at the destination is drawn there again.
    view->m_nTargetHex = kEnemyHex;
    view->ShowPendingMove();
    EXPECT_EQ(view->m_dwHexUnitCode[kEnemyHex], MakeUnitDisplayCode(*enemy));
}

TEST_F(SelectionTest, CancellingStepsBackToThePendingMoveOrEndsTheSelection)
{
    own->nMove = 4;
    ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
    const HEXINDEX route[] = {MakeHex(50, 51), MakeHex(50, 52)};
    view->m_nRoute[0] = route[0];
    view->m_nRoute[1] = route[1];
    view->m_nTargetHex = route[1];
    view->m_nCmdMode = kModeAttack;
    view->m_dwHexMarkView[MakeHex(45, 45)] = 4;
    frame->commands.clear();

    view->CancelCurrentCommand();
    EXPECT_EQ(view->m_nCmdMode, kModeMovePending);
    EXPECT_EQ(view->m_pSelUnit, own);
    for (HEXINDEX h : {kOwnHex, route[0], route[1]}) EXPECT_EQ(view->m_dwHexMarkView[h], 1u) << h;
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(45, 45)], 0u);
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(49, 50)], 0u) << "only the route";
    EXPECT_EQ(frame->commands, std::vector<int>{32822});
    // With the follow-up window open it is not sent again.
    view->CancelCurrentCommand();
    EXPECT_EQ(frame->commands, std::vector<int>{32822});

    // Without a pending move the selection ends and the bars close.
    view->m_nTargetHex = -1;
    frame->commands.clear();
    view->CancelCurrentCommand();
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_dwState & kViewBarMask, 0u);
    EXPECT_EQ(frame->commands, std::vector<int>{32822});
    for (int h = 0; h < kHexCount; ++h) ASSERT_EQ(view->m_dwHexMarkView[h], 0u) << h;
}

TEST_F(SelectionTest, TheDisposeBarOpensOrIsCaughtForAUnit)
{
    const struct {
        const char* name;
        uint32_t state;
        std::vector<int> commands;
    } cases[] = {
        {"nothing open", 0, {32821}},
        {"main bar open: closed first", kViewMainCommandBar, {32820, 32821}},
        {"dispose bar open: caught", kViewDisposeBar, {kCmdCatchDisposeBar}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state | kViewOrderEntry;
        frame->commands.clear();
        view->ShowCommandWindowFor(own);
        EXPECT_EQ(frame->commands, k.commands);
        EXPECT_EQ(view->m_pCmdUnit, own);
    }
}

TEST_F(SelectionTest, NextIdleUnitWrapsAndSkipsUnitsThatCannotAct)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    Place(0, 3, MakeHex(51, 51), zrvtest::kFixtureTank);
    Place(0, 10, MakeHex(70, 70), zrvtest::kFixtureTank);  // outside the map area
    UNITSTRUCT* acted = Place(0, 20, MakeHex(52, 52), zrvtest::kFixtureTank);
    acted->dwFlag |= kUnitActed;
    Place(0, 63, MakeHex(53, 53), zrvtest::kFixtureTank);
    Board(30, *own);
    const struct {
        int from, next;
    } cases[] = {{-1, 0}, {0, 3}, {3, 63}, {63, 0}, {99, 0}, {5, 63}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.from);
        EXPECT_EQ(view->FindNextIdleUnit(c, k.from), k.next);
    }
    for (UNITSTRUCT& u : c.Unit) u.dwFlag |= kUnitActed;
    EXPECT_EQ(view->FindNextIdleUnit(c, 0), -1);
}

// The human phase's commands bring the choice of a unit with them (else no
// click on the map could select one); their end takes it back unless an
// order is being entered.
TEST_F(SelectionTest, TheHumanPhaseBeginsAndEndsWithTheChoiceOfAUnit)
{
    const struct {
        const char* name;
        int mode;
        bool selected;
        bool enabled;
        int after;
    } cases[] = {
        {"phase begins", kModeNone, false, true, kModeChooseUnit},
        {"phase begins again during an order", kModeMoveTarget, true, true, kModeMoveTarget},
        {"phase ends", kModeChooseUnit, false, false, kModeNone},
        {"phase ends with a unit selected", kModeChooseUnit, true, false, kModeChooseUnit},
        {"phase ends during an order", kModeMoveTarget, true, false, kModeMoveTarget},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_nCmdMode = k.mode;
        view->m_pSelUnit = k.selected ? own : nullptr;
        view->SetPhaseCommandsEnabled(k.enabled);
        EXPECT_EQ(view->m_nCmdMode, k.after);
        EXPECT_EQ((view->m_dwState & kViewHumanPhase) != 0, k.enabled);
    }
    // The whole way: the document starts a human phase and a click selects.
    view->m_nCmdMode = kModeNone;
    view->m_pSelUnit = nullptr;
    doc->SetPhaseCommandState(true, true);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
}

TEST_F(SelectionTest, HumanInputNeedsTheHumanPhaseAnIdleViewAndNoFullAutoRun)
{
    const struct {
        const char* name;
        uint32_t state;
        int phase;
        uint32_t countryFlags;
        uint32_t option;
        int result;
    } cases[] = {
        {"human phase", kViewHumanPhase, PHASE_HUMAN, 0, 0, 1},
        {"input not enabled", 0, PHASE_HUMAN, 0, 0, 0},
        {"busy", kViewHumanPhase | kViewBusy, PHASE_HUMAN, 0, 0, 0},
        {"other phase", kViewHumanPhase, PHASE_ENDPHASE, 0, 0, 0},
        {"computer country", kViewHumanPhase, PHASE_HUMAN, kCountryCpu, 0, 0},
        {"full-auto run", kViewHumanPhase, PHASE_HUMAN, 0, kOptFullAutoRunning, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        doc->m_GameData.nFlowState = k.phase;
        doc->m_GameData.Country[0].dwFlag = kCountryPresent | k.countryFlags;
        doc->m_dwGameOption = k.option;
        EXPECT_EQ(view->CanHumanAct(), k.result);
    }
}

TEST_F(SelectionTest, PlacementNeedsAChosenTypeAMarkOneHexAndRoom)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    const HEXINDEX hex = MakeHex(48, 48);
    const struct {
        const char* name;
        uint32_t state;
        uint32_t mark;
        int units;
        int result;
    } cases[] = {
        {"placeable", kViewPlaceChosen, 1, 1, 1},   {"nothing chosen", 0, 1, 1, 0},
        {"target mark", kViewPlaceChosen, 2, 1, 0}, {"two marks", kViewPlaceChosen, 3, 1, 0},
        {"no room", kViewPlaceChosen, 1, 64, 0},
    };
    view->m_nCursorHex = hex;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        view->m_dwHexMarkView[hex] = k.mark;
        c.nUnit = k.units;
        EXPECT_EQ(view->CanPlaceHere(), k.result);
    }
    view->m_nCursorHex = -1;
    view->m_dwState = kViewPlaceChosen;
    EXPECT_EQ(view->CanPlaceHere(), 0);
}

TEST_F(SelectionTest, APlacementUnderWayRefusesItsOwnCommandAgain)
{
    // The sample country may not produce (its capital is no city here); the
    // document's code is passed on whatever the mode.
    const int refused = view->CheckProduceCommand();
    ASSERT_NE(refused, 0);
    view->m_nCmdMode = kModeProduction;
    EXPECT_EQ(view->CheckProduceCommand(), refused);
    EXPECT_NE(view->CheckDeployCommand(), 49);

    view->SetCurrentCountry(-1, nullptr);
    EXPECT_EQ(view->CheckProduceCommand(), 42) << "no country: nothing to produce for";
}

TEST_F(SelectionTest, UnitsAreDrawnAtAHexUnlessCarriedHiddenOrGone)
{
    const HEXINDEX hex = MakeHex(46, 46);
    view->SetUnitDisplayAt(*own, hex);
    EXPECT_EQ(view->m_dwHexUnitCode[hex], MakeUnitDisplayCode(*own));
    view->m_dwDispOption &= ~kDispUnits;
    view->SetUnitDisplayAt(*own, hex);
    EXPECT_EQ(view->m_dwHexUnitCode[hex], 0u);
    view->m_dwDispOption |= kDispUnits;
    UNITSTRUCT* cargo = Board(5, *own);
    view->m_dwHexUnitCode[hex] = 7;
    view->SetUnitDisplayAt(*cargo, hex);
    EXPECT_EQ(view->m_dwHexUnitCode[hex], 7u);
}

}  // namespace
}  // namespace viewtest
