// The turn and phase machine over whole turns of a two-country battle, and
// its transitions one by one: control changes, forced judgement, endings,
// waits, close requests and re-entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "battle/engine/Calendar.h"
#include "engine/BattleFixture.h"

namespace zrv {
namespace {

using TurnMachineTest = BattleFixture;

// Index of the first recorded view call equal to call at or after from, or -1.
int Find(const RecordingView& view, const std::string& call, size_t from = 0)
{
    for (size_t i = from; i < view.calls.size(); ++i) {
        if (view.calls[i] == call) return static_cast<int>(i);
    }
    return -1;
}

TEST_F(TurnMachineTest, OneFullTurnOfAHumanAndAComputerCountry)
{
    const std::filesystem::path autosave = root / "Data" / u8"自動セーブ.DG2";
    const uint32_t startDate = doc->m_GameData.dwDateTime;

    // Pass 1: the game has just been built.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_NEWTURN);
    EXPECT_EQ(Cur(), -1);
    EXPECT_EQ(doc->m_GameData.nTurn, 0);

    // Pass 2: the new turn; the first turn keeps the scenario's date.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HISTORY);
    EXPECT_EQ(doc->m_GameData.nTurn, 1);
    EXPECT_EQ(Cur(), 0);
    EXPECT_EQ(doc->m_nNextFlowState, PHASE_COUNTRYSTART);
    EXPECT_EQ(doc->m_GameData.dwDateTime, startDate);

    // Pass 3: history of turn 1, country 0 goes straight to the opening.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_CLOSETURN);

    // Pass 4: the human opening hides the map and waits.
    Country(0).dwViewOption = kViewMapShown | 0x1234u;
    view.calls.clear();
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_WAITCLICK);
    EXPECT_EQ(Country(0).dwViewOption & kViewMapShown, 0u);
    int music = Find(view, "PlayCDTrack(3)"), effect = Find(view, "PlaySE(2)");
    int options = Find(view, "ApplyViewOptions(00001234,FFF30000)");
    EXPECT_TRUE(music >= 0 && effect > music && options > effect) << testing::PrintToString(view.calls);

    // The wait: passes do nothing until the click.
    EXPECT_FALSE(Pass());
    EXPECT_FALSE(Pass());
    EXPECT_EQ(State(), PHASE_WAITCLICK);
    Click();
    EXPECT_EQ(State(), PHASE_COUNTRYSTART);

    // Passes 5-8: country start, no new weapon, no retirement, no reinforcement.
    for (int expected : {PHASE_NEWWEAPON, PHASE_RETIREWEAPON, PHASE_REINFORCE, PHASE_MARCH}) {
        EXPECT_TRUE(Pass());
        EXPECT_EQ(State(), expected);
    }
    EXPECT_FALSE(std::filesystem::exists(autosave));

    // Pass 9: no march order; the automatic save opens the human's orders.
    Country(0).nSaveCost = 400;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HUMAN);
    EXPECT_TRUE(std::filesystem::exists(autosave));
    EXPECT_EQ(Country(0).nSaveCost, 0);

    // The human gives orders, then ends the phase.
    EXPECT_FALSE(Pass());
    EXPECT_EQ(State(), PHASE_HUMAN);
    EXPECT_EQ(doc->EndActionPhase(false), 1);
    EXPECT_EQ(State(), PHASE_ENDPHASE);

    // Pass 10: end of phase; the computer country is next.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HANDOVER);
    EXPECT_EQ(Cur(), 1);
    EXPECT_EQ(doc->StubCalls(DocStub::CheckUnitPositions), 1);
    EXPECT_EQ(doc->m_nNextFlowState, PHASE_COUNTRYSTART);

    // Pass 11: no hand-over; the computer's opening runs in the same pass.
    Country(1).dwViewOption = 0x42000000u;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_COUNTRYSTART);
    EXPECT_EQ(Country(1).dwViewOption & 0xA8000000u, 0xA8000000u);
    EXPECT_EQ(Country(1).dwViewOption & 0x42000000u, 0u);

    // Passes 12-15, with the computer's list trimming at 11.
    for (int expected : {PHASE_NEWWEAPON, PHASE_RETIREWEAPON, PHASE_REINFORCE, PHASE_MARCH}) {
        EXPECT_TRUE(Pass());
        EXPECT_EQ(State(), expected);
    }

    // Pass 16: the automatic save hands the phase to the computer player.
    doc->m_nCpuStep = 7;
    std::filesystem::remove(autosave);
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_CPU);
    EXPECT_EQ(doc->m_nCpuStep, 0);
    EXPECT_FALSE(std::filesystem::exists(autosave));
    EXPECT_FALSE(std::filesystem::exists(root / "Data" / "AutoSavC.DG2"));

    // Pass 17: one computer step, which ends the phase itself.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_ENDPHASE);

    // Pass 18: no next country.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_JUDGE);
    EXPECT_EQ(Cur(), -1);
    EXPECT_EQ(doc->m_pCurCountry, nullptr);

    // Pass 19: the judgement plays on.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_NEWTURN);

    // Pass 20: the second turn moves the clock two hours.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HISTORY);
    EXPECT_EQ(doc->m_GameData.nTurn, 2);
    EXPECT_EQ(Cur(), 0);
    EXPECT_EQ(doc->m_GameData.dwDateTime, AddTwoHours(startDate));

    // Pass 21-22: through the hand-over to the human's opening.
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HANDOVER);
    view.calls.clear();
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_WAITCLICK);
    EXPECT_GE(Find(view, "PlaySE(2)"), 0);
}

// Plays whole turns, clicking and ending the human's phase whenever the
// machine waits; returns when the state reaches stopAt for the n-th time.
void PlayUntil(BattleFixture& f, CZRKGameDoc& doc, TurnMachine& machine, int stopAt, int times,
               const std::function<void()>& atStop)
{
    int reached = 0;
    for (int guard = 0; guard < 10000 && reached < times; ++guard) {
        bool more = machine.RunIdlePass();
        int state = doc.m_GameData.nFlowState;
        if (state == stopAt) {
            ++reached;
            atStop();
        }
        if (more) continue;
        if (state == PHASE_WAITCLICK) {
            doc.m_pCurCountry->dwViewOption |= kViewMapShown;
            doc.CommitTurnState();
        } else if (state == PHASE_HUMAN) {
            doc.EndActionPhase(false);
        } else {
            ADD_FAILURE() << "the machine stopped in state " << state;
            return;
        }
    }
    (void)f;
}

TEST_F(TurnMachineTest, SeveralTurnsStepTheClockAndFollowSunriseAndSunset)
{
    // Start at 04:00 in January: sunrise 7, sunset 17 in the fixture's climate.
    std::vector<uint32_t> dates;
    std::vector<int> light;
    PlayUntil(*this, *doc, machine, PHASE_HISTORY, 13, [&] {
        dates.push_back(doc->m_GameData.dwDateTime);
        light.push_back(doc->m_GameData.nDayNight);
    });
    ASSERT_EQ(dates.size(), 13u);
    for (size_t i = 1; i < dates.size(); ++i) EXPECT_EQ(dates[i], AddTwoHours(dates[i - 1]));
    EXPECT_EQ(dates.back(), PackDate(41, 1, 11, 4));
    // 04 06 08 10 12 14 16 18 20 22 00 02 04
    const std::vector<int> expected = {2, 1, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 2};
    EXPECT_EQ(light, expected);
    EXPECT_EQ(doc->m_GameData.nTurn, 13);
}

TEST_F(TurnMachineTest, AnAllComputerBattleRunsToItsLastTurnWithoutWaiting)
{
    Country(0).dwFlag |= kCountryCpu;
    // A computer player that takes three steps per phase.
    struct ThreeSteps : CpuTurnStep {
        void RunCpuTurnStep(CZRKGameDoc& d) override
        {
            ++steps;
            if (++d.m_nCpuStep >= 3) d.EndActionPhase(false);
        }
        int steps = 0;
    } cpu;
    doc->SetCpuTurnStep(&cpu);
    int passes = 0;
    while (Pass()) {
        ASSERT_LT(++passes, 5000);
        // The judgement ends the game after turn 10.
        if (State() == PHASE_JUDGE && doc->m_GameData.nTurn == 10)
            doc->SetStubResult(DocStub::StepJudgement, 0);
    }
    EXPECT_EQ(doc->m_GameData.nTurn, 10);
    EXPECT_EQ(cpu.steps, 10 * 2 * 3);
    EXPECT_EQ(State(), 0);  // a single scenario hands back to the title
    EXPECT_EQ(doc->m_nStubMenuCommand, 6);
    EXPECT_EQ(doc->m_GameData.dwDateTime, PackDate(41, 1, 10, 22));
}

TEST_F(TurnMachineTest, ControlChangesTakeEffectAtTheNextPass)
{
    doc->SetCurrentCountry(0);
    doc->SetFlowState(PHASE_HUMAN);
    EXPECT_FALSE(Pass());

    // The human hands his country to the computer.
    Country(0).dwFlag |= kCountryCpu;
    doc->m_nCpuStep = 5;
    view.state.phaseCommands = true;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_CPU);
    EXPECT_EQ(doc->m_nCpuStep, 0);
    EXPECT_EQ(view.commandMode, 0);
    EXPECT_FALSE(view.state.phaseCommands);
    EXPECT_EQ(Country(0).dwViewOption & 0x88000000u, 0x88000000u);

    // And takes it back before the computer ends the phase.
    Country(0).dwFlag &= ~kCountryCpu;
    Country(0).dwViewOption |= kViewCpuControlled;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HUMAN);
    EXPECT_EQ(Country(0).dwViewOption & kViewCpuControlled, 0u);
    EXPECT_EQ(view.commandMode, 1);
    EXPECT_TRUE(view.state.phaseCommands);
}

TEST_F(TurnMachineTest, ForcedJudgementEndsTheTurnAfterThisPhase)
{
    doc->SetCurrentCountry(0);
    doc->m_dwGameOption |= kOptForceJudgement;
    doc->SetFlowState(PHASE_ENDPHASE);
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_JUDGE);
    EXPECT_EQ(doc->m_dwGameOption & kOptForceJudgement, 0u);
    // The judgement runs once; with the game over the scenario ends.
    doc->SetStubResult(DocStub::StepJudgement, 0);
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_SCENARIOEND);
    EXPECT_EQ(doc->StubCalls(DocStub::StepJudgement), 1);
}

TEST_F(TurnMachineTest, EndingsHandBackOrShowTheGameOver)
{
    struct Case {
        const char* name;
        uint32_t option;
        uint32_t result;  // argument << 16 | code of the scenario end
        int state;
        int menuCommand, menuParam;
        bool hqCaptured;
    } cases[] = {
        {"single scenario", 0, 0, 0, 6, 0, false},
        {"single scenario lost", 0, 0xFFFF0000u, 0, 6, 0, false},
        {"campaign lost", kOptionCampaign, 0xFFFF0000u, PHASE_GAMEOVER, -1, -1, true},
        {"campaign goes on", kOptionCampaign, 1u << 16 | 7u, PHASE_GAMEOVER, 7, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->m_dwGameOption = c.option;
        doc->m_nStubMenuCommand = doc->m_nStubMenuParam = -1;
        doc->SetStubResult(DocStub::WriteCampaignResult, static_cast<int>(c.result));
        doc->SetCurrentCountry(0);
        doc->SetFlowState(PHASE_SCENARIOEND);
        view.calls.clear();
        EXPECT_FALSE(Pass());
        EXPECT_EQ(State(), c.state);
        EXPECT_EQ(Cur(), -1);
        EXPECT_EQ(doc->m_nStubMenuCommand, c.menuCommand);
        EXPECT_EQ(doc->m_nStubMenuParam, c.menuParam);
        EXPECT_EQ(view.Count("ShowHqCaptured()"), c.hqCaptured ? 1 : 0);
        // The end is final: later passes do nothing.
        EXPECT_FALSE(Pass());
        EXPECT_EQ(State(), c.state);
    }
}

TEST_F(TurnMachineTest, AUnitPositionFaultAbandonsTheBattleAtOnce)
{
    doc->SetCurrentCountry(0);
    doc->SetStubResult(DocStub::CheckUnitPositions, 1);
    doc->SetFlowState(PHASE_ENDPHASE);
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_GAMEOVER);
    EXPECT_EQ(doc->m_nStubMenuCommand, 6);
    EXPECT_EQ(doc->m_nStubMenuParam, 0);
    // No step runs afterwards, the automatic save included.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Pass());
    EXPECT_EQ(doc->StubCalls(DocStub::RunMenuProgram), 1);
    EXPECT_FALSE(std::filesystem::exists(root / "Data" / u8"自動セーブ.DG2"));
}

TEST_F(TurnMachineTest, AHandOverToTheNextPlayerEndsThisProgramsGame)
{
    // Two human players of a multi-play game; the file is written.
    Country(1).dwFlag &= ~kCountryCpu;
    doc->m_dwGameOption |= kOptMultiPlay;
    doc->SetCurrentCountry(1);
    doc->SetFlowState(PHASE_HANDOVER);
    dialogs.QueueSaveFile(kAnswerOk, platform::DataPath("Hand.DM2"));
    EXPECT_FALSE(Pass());
    EXPECT_EQ(State(), PHASE_GAMEOVER);
    EXPECT_EQ(doc->m_nStubMenuCommand, 6);
    EXPECT_EQ(doc->m_nStubMenuParam, 0);
    EXPECT_TRUE(std::filesystem::exists(root / "Data" / "Hand.DM2"));
}

TEST_F(TurnMachineTest, TheApplicationsCopyOfTheStateIsKeptWhereItIsGiven)
{
    int32_t appFlowState = -1;
    machine.SetDocument(doc.get(), &appFlowState);
    EXPECT_EQ(appFlowState, PHASE_START);
    for (int i = 0; i < 5; ++i) {
        Pass();
        EXPECT_EQ(appFlowState, State());
    }
    machine.SetDocument(nullptr);
    doc->SetFlowState(PHASE_JUDGE);
    EXPECT_NE(appFlowState, PHASE_JUDGE);
}

TEST_F(TurnMachineTest, StatesWithoutAStepDoNothing)
{
    for (int state :
         std::initializer_list<int>{0, PHASE_9, PHASE_14, PHASE_WAITCLICK, PHASE_GAMEOVER, 42, -3}) {
        SCOPED_TRACE(state);
        doc->SetFlowState(state);
        view.calls.clear();
        EXPECT_FALSE(Pass());
        EXPECT_EQ(State(), state);
        EXPECT_TRUE(view.calls.empty());
    }
    // Without a battle nothing runs at all.
    TurnMachine idle;
    EXPECT_FALSE(idle.RunIdlePass());
}

TEST_F(TurnMachineTest, ACloseRequestIsCarriedOutOnceAfterTheStep)
{
    int closes = 0, stateAtClose = -1;
    machine.SetCloseHandler([&] {
        ++closes;
        stateAtClose = State();
        view.state.closeNow = false;
    });
    EXPECT_TRUE(Pass());
    EXPECT_EQ(closes, 0);
    view.state.closeNow = true;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(stateAtClose, PHASE_HISTORY);  // the new turn ran first
    Pass();
    EXPECT_EQ(closes, 1);
}

// A dialog service whose boxes let the framework run idle passes, as a modal
// box does.
class ReentrantDialogs : public ScriptedDialogService {
public:
    TurnMachine* machine = nullptr;
    std::vector<bool> nested;
    int MessageBox(std::string_view text, unsigned style) override
    {
        nested.push_back(machine->RunIdlePass());
        return ScriptedDialogService::MessageBox(text, style);
    }
};

TEST_F(TurnMachineTest, AModalBoxInsideAStepDoesNotReenterTheMachine)
{
    ReentrantDialogs boxes;
    boxes.machine = &machine;
    SetDialogs(&boxes);
    // Country start with funds at the surrender threshold: the step shows a box.
    Country(0).nSurrenderFund = 5000;
    doc->SetCurrentCountry(0);
    doc->SetFlowState(PHASE_COUNTRYSTART);
    EXPECT_TRUE(Pass());
    ASSERT_EQ(boxes.nested.size(), 1u);
    EXPECT_FALSE(boxes.nested[0]);
    EXPECT_EQ(State(), PHASE_ENDPHASE);
    EXPECT_EQ(doc->StubCalls(DocStub::SurrenderCountry), 1);
    SetDialogs(&dialogs);
}

TEST_F(TurnMachineTest, MarchOrdersRetryOnlyAfterACloseRequest)
{
    struct Executor : OrderExecutor {
        std::vector<int> actions;
        int moveResult = -1;
        int ExecuteCpuAction(int action, UNITSTRUCT& unit, int) override
        {
            actions.push_back(action);
            if (action == kCpuActEndAction) unit.dwFlag |= kUnitActed;
            return 0;
        }
        int CpuMoveUnitToward(UNITSTRUCT&, HEXINDEX, const CpuMoveFlags&) override { return moveResult; }
    } executor;
    doc->SetOrderExecutor(&executor);
    UNITSTRUCT& u = Country(0).Unit[0];
    u.dwOrder |= kOrderMarch;
    u.nMarchHex = MakeHex(30, 30);
    doc->SetCurrentCountry(0);
    doc->SetFlowState(PHASE_MARCH);

    // Interrupted by a close request: the same unit is tried again.
    view.state.closeRequested = true;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_MARCH);
    EXPECT_TRUE(executor.actions.empty());
    EXPECT_EQ(u.dwFlag & kUnitActed, 0u);

    // Refused: the unit ends its action and the step goes on.
    view.state.closeRequested = false;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_MARCH);
    EXPECT_EQ(executor.actions, std::vector<int>{kCpuActEndAction});
    EXPECT_NE(u.dwFlag & kUnitActed, 0u);
    EXPECT_TRUE(Pass());
    EXPECT_EQ(State(), PHASE_HUMAN);
}

TEST_F(TurnMachineTest, AMarchEndsInABombingOnItsHexOrAnEndOfMove)
{
    struct Executor : OrderExecutor {
        std::vector<int> actions;
        bool reach = true;
        int ExecuteCpuAction(int action, UNITSTRUCT& unit, int) override
        {
            actions.push_back(action);
            unit.dwFlag |= kUnitActed;
            return 0;
        }
        int CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags) override
        {
            EXPECT_EQ(flags, kPlainMoveFlags);
            unit.nHex = reach ? target : GetNeighbour(unit.nHex, 0);
            return 0;
        }
    } executor;
    doc->SetOrderExecutor(&executor);
    struct Case {
        const char* name;
        bool reach;
        int movePoints;
        int action;
    } cases[] = {
        {"reaches its march hex", true, -1, kCpuActBombKeptHex},
        {"on its way", false, -1, kCpuActMoveDone},
        {"cannot move at all", true, 0, kCpuActEndAction},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UNITSTRUCT& u = Country(0).Unit[0];
        u.dwFlag = kUnitInUse;
        u.nHex = MakeHex(42, 40);
        CalcUnitMovePoints(u, &doc->m_GameData);
        if (c.movePoints >= 0) u.nMove = c.movePoints;
        u.dwOrder = kOrderMarch;
        u.nMarchHex = MakeHex(42, 42);
        u.dwWeaponMask = 0;
        executor.actions.clear();
        executor.reach = c.reach;
        doc->SetCurrentCountry(0);
        doc->SetFlowState(PHASE_MARCH);
        EXPECT_TRUE(Pass());
        EXPECT_EQ(executor.actions, std::vector<int>{c.action});
        if (c.action == kCpuActBombKeptHex) {
            EXPECT_EQ(u.dwWeaponMask, static_cast<uint32_t>(MakeHex(42, 42)));
        }
        // The unit has had its turn: the next pass saves and opens the orders.
        EXPECT_TRUE(Pass());
        EXPECT_EQ(State(), PHASE_HUMAN);
    }
}

}  // namespace
}  // namespace zrv
