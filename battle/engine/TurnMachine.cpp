#include "battle/engine/TurnMachine.h"

#include "battle/engine/GameDoc.h"
#include "battle/engine/PhaseSteps.h"

namespace zrv {
namespace {

// Command modes of the map view while a country gives orders.
constexpr int kCommandModeCpu = 0;
constexpr int kCommandModeHuman = 1;

// The menu program's code for "back to the title".
constexpr int kMenuBackToTitle = 6;

}  // namespace

TurnMachine::~TurnMachine()
{
    if (m_pDoc) m_pDoc->SetFlowStateMirror(nullptr);
}

void TurnMachine::SetDocument(CZRKGameDoc* doc, int32_t* flowState)
{
    if (m_pDoc) m_pDoc->SetFlowStateMirror(nullptr);
    m_pDoc = doc;
    m_pFlowState = flowState ? flowState : &m_nOwnFlowState;
    *m_pFlowState = doc ? doc->m_GameData.nFlowState : 0;
    if (!doc) return;
    doc->SetFlowStateMirror([this](int state) { *m_pFlowState = state; });
}

void TurnMachine::SetState(int state)
{
    m_pDoc->SetFlowState(state);
}

bool TurnMachine::RunIdlePass()
{
    if (m_bRunning || !m_pDoc) return false;
    m_bRunning = true;
    bool more = RunStep();
    m_bRunning = false;
    // A close asked for while a step ran is carried out now, between steps.
    if (m_close && m_pDoc->View().GetViewState().closeNow) m_close();
    return more;
}

bool TurnMachine::RunStep()
{
    CZRKGameDoc& doc = *m_pDoc;
    COUNTRYSTRUCT* cur = doc.m_pCurCountry;
    switch (*m_pFlowState) {
        case PHASE_START:
            SetState(PHASE_NEWTURN);
            return true;

        case PHASE_NEWTURN:
            doc.StepNewTurn();
            doc.m_nNextFlowState = PHASE_COUNTRYSTART;
            SetState(PHASE_HISTORY);
            return true;

        case PHASE_COUNTRYSTART:
            SetState(doc.StepCountryStart());
            return true;

        case PHASE_HUMAN:
            // The country-control command may have handed the country to the
            // computer: it plays the rest of the phase from its first step.
            if (!cur || !(cur->dwFlag & kCountryCpu)) return false;
            doc.m_nCpuStep = 0;
            doc.ShowCurrentCountryView();
            doc.View().SetCommandMode(kCommandModeCpu);
            doc.View().SetPhaseCommandsEnabled(false);
            SetState(PHASE_CPU);
            return true;

        case PHASE_ENDPHASE: {
            doc.StepEndPhase();
            const int next = doc.FindNextCountry(doc.m_GameData.nCurCountry);
            doc.SetCurrentCountry(next);
            if (doc.CheckUnitPositions()) {
                // The battle is abandoned: nothing may run on (no save of a
                // broken state) until the program closes.
                SetState(PHASE_GAMEOVER);
                doc.RunMenuProgram(kMenuBackToTitle, 0);
                return true;
            }
            if (next < 0 || (doc.m_dwGameOption & kOptForceJudgement)) {
                doc.m_dwGameOption &= ~kOptForceJudgement;
                SetState(PHASE_JUDGE);
            } else {
                doc.m_nNextFlowState = PHASE_COUNTRYSTART;
                SetState(PHASE_HANDOVER);
            }
            return true;
        }

        case PHASE_JUDGE:
            SetState(doc.StepJudgement() ? PHASE_NEWTURN : PHASE_SCENARIOEND);
            return true;

        case PHASE_SCENARIOEND: {
            doc.SetCurrentCountry(-1);
            const uint32_t result = doc.WriteCampaignResult();
            const int code = static_cast<int>(result & 0xFFFFu);
            const int argument = static_cast<int16_t>(result >> 16);
            SetState(code);
            if (code != 0) {
                SetState(PHASE_GAMEOVER);
                doc.RunMenuProgram(code, argument);
            } else if ((doc.m_dwGameOption & kOptionCampaign) && static_cast<int32_t>(result) < 0) {
                doc.View().ShowHqCaptured();
                SetState(PHASE_GAMEOVER);
            } else {
                doc.RunMenuProgram(kMenuBackToTitle, 0);
            }
            return false;
        }

        case PHASE_CPU:
            if (!cur) return false;
            if (!(cur->dwFlag & kCountryCpu)) {
                cur->dwViewOption &= ~kViewCpuControlled;
                doc.ShowCurrentCountryView();
                doc.View().SetCommandMode(kCommandModeHuman);
                doc.View().SetPhaseCommandsEnabled(true);
                SetState(PHASE_HUMAN);
                return true;
            }
            // The computer player ends the phase itself (state 5); the state
            // is not written here, so that change survives.
            doc.RunCpuTurnStep();
            return true;

        case PHASE_NEWWEAPON:
            SetState(doc.StepNewWeapons());
            return true;

        case PHASE_RETIREWEAPON:
            SetState(doc.StepWeaponListUpdate());
            return true;

        case PHASE_MARCH: {
            const int next = doc.StepMarchOrders();
            if (next >= 0) SetState(next);
            return true;
        }

        case PHASE_HISTORY:
            SetState(doc.StepHistory());
            return true;

        case PHASE_CLOSETURN:
            SetState(doc.StepPhaseOpening());
            return true;

        case PHASE_HANDOVER:
            if (doc.StepHandOverSave()) {
                SetState(PHASE_GAMEOVER);
                doc.RunMenuProgram(kMenuBackToTitle, 0);
                return false;
            }
            SetState(doc.StepPhaseOpening());
            return true;

        case PHASE_REINFORCE:
            SetState(doc.StepReinforcements());
            return true;

        default:
            // 0 (no game), 9 and 14 (no step), 16 (the map view's click
            // leaves it) and 17 (left only by leaving the program).
            return false;
    }
}

}  // namespace zrv
