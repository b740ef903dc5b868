#include "battle/engine/Judgement.h"

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

int GetLastTurn(const GAMEDATASTRUCT& game, uint32_t gameOption)
{
    return LastTurn(game.Head.dwTurnLimit) + ((gameOption & kOptionCampaign) && game.nHistory != 0 ? 1 : 0);
}

namespace {

// Victory of the campaign side: great when no campaign bonus has been
// granted and the deadline turn has not passed.
int CampaignVictory(const GAMEDATASTRUCT& game)
{
    return (game.nCampaign == 0 && game.nTurn <= GetBigVictoryDeadline(game)) ? kJudgeGreatVictory : kJudgeVictory;
}

}  // namespace

int JudgeGameState(const GAMEDATASTRUCT& game, uint32_t gameOption)
{
    // A surrender in a campaign decides the game outright; a won surrender
    // outranks the player's own.
    if (gameOption & kOptWonBySurrender) return CampaignVictory(game);
    if (gameOption & kOptPlayerSurrendered) return kJudgeDefeat;
    int side0 = 0, side1 = 0, humans = 0;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || (c.dwFlag & kCountryCapitalLost)) continue;
        if (c.nSide == 0) ++side0;
        if (c.nSide == 1) ++side1;
        if (c.nControl == 0) ++humans;
    }
    int code = kJudgePlayOn;
    if (side0 == 0) {
        code = side1 != 0 ? kJudgeSide1Won : kJudgeDraw;
    } else if (side1 == 0) {
        code = kJudgeSide0Won;
    }
    if (code == kJudgePlayOn) {
        if (humans == 0 && !(gameOption & kOptCpuMayPlayAlone)) {
            code = kJudgeNoHumanLeft;
        } else if (game.dwDateTime == game.dwEndDate) {
            code = kJudgeDraw;
        }
    }
    if ((game.dwGameOption & kOptionCampaign) && code == kJudgeSide0Won) code = CampaignVictory(game);
    return code;
}

std::string_view JudgementMessage(int code)
{
    switch (code) {
    case kJudgeDefeat: return "敗北したのでゲームを中断します";
    case kJudgeGreatVictory: return "見事、大勝利を収めました";
    case kJudgeVictory: return "勝利を収めました";
    case kJudgeDraw: return "引き分けました";
    case kJudgeSide0Won: return "枢軸軍側が勝利を収めました";
    case kJudgeSide1Won: return "連合軍側が勝利を収めました";
    default: return {};
    }
}

// --- the document's judgement -------------------------------------------------------------

int CZRKGameDoc::JudgeGame()
{
    const int scripted = Stub(DocStub::JudgeGame);
    if (IsStubScripted(DocStub::JudgeGame)) return scripted;
    return JudgeGameState(m_GameData, m_dwGameOption);
}

int CZRKGameDoc::SurrenderCountry(int country)
{
    const int scripted = Stub(DocStub::SurrenderCountry);
    if (IsStubScripted(DocStub::SurrenderCountry)) return scripted;
    if (country < 0 || country >= kCountryCount) return 0;
    COUNTRYSTRUCT& c = m_GameData.Country[country];
    c.dwFlag &= ~kCountryPresent;
    m_GameData.Head.nEndState |= 1u << country;
    if (m_dwGameOption & kOptTextRecord) {
        const std::string_view cur = m_pCurCountry ? FieldText(m_pCurCountry->szName) : std::string_view();
        AppendGameRecord(platform::FormatText("    [%-24s] ==== %s Surrender ====\n", {cur, FieldText(c.szName)}));
    }
    const bool campaign = (m_dwGameOption & kOptionCampaign) != 0;
    // The campaign player's surrender ends the game before the country is
    // taken out of play: the scenario end still needs its record.
    if (campaign && country == 0) {
        m_dwGameOption |= kOptPlayerSurrendered;
        return 1;
    }
    int result = 0;
    const bool playerOnSide1 = (m_dwGameOption & kOptCampaignSide1) != 0;
    switch (JudgeGame()) {
    case kJudgeGreatVictory:
    case kJudgeVictory:
    case kJudgeSide0Won:
        if (campaign && !playerOnSide1) {
            m_dwGameOption |= kOptWonBySurrender;
            result = 1;
        }
        break;
    case kJudgeSide1Won:
        if (campaign && playerOnSide1) {
            m_dwGameOption |= kOptWonBySurrender;
            result = 1;
        }
        break;
    case kJudgeNoHumanLeft:
        if (!(m_dwGameOption & kOptNoSurrenderBoxes) &&
            Dialogs().MessageBox("このままゲームを続行しますか", kBoxYesNo | kBoxIconQuestion) == kAnswerNo) {
            m_dwGameOption |= kOptPlayerStopped;
            result = 1;
        }
        break;
    default: break;
    }
    RemoveCountryFromPlay(country);
    if (result == 0) m_nCpuStep = 0;
    return result;
}

int CZRKGameDoc::StepJudgement()
{
    const int scripted = Stub(DocStub::StepJudgement);
    if (IsStubScripted(DocStub::StepJudgement)) return scripted;
    int code = JudgeGame();
    if (code == kJudgeNoHumanLeft && !(m_dwGameOption & kOptPlayerStopped) &&
        m_GameData.dwDateTime == m_GameData.dwEndDate)
        code = kJudgeDraw;
    if (code == kJudgePlayOn) return 1;
    if (code == kJudgeNoHumanLeft) return (m_dwGameOption & kOptPlayerStopped) ? 0 : 1;
    const std::string_view message = JudgementMessage(code);
    if (m_dwGameOption & kOptTextRecord) AppendGameRecord(platform::FormatText("*** %s ***\n", {message}));
    if (!(m_dwGameOption & kOptionCampaign)) Dialogs().MessageBox(message, kBoxOk | kBoxIconInformation);
    return 0;
}

}  // namespace zrv
