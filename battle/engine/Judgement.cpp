#include "battle/engine/Judgement.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "battle/engine/Calendar.h"
#include "battle/engine/GameFileCommands.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/GameFiles.h"
#include "platform/core/Paths.h"

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

uint32_t CZRKGameDoc::SurrenderUnitlessCountries(uint32_t mask)
{
    uint32_t result = 0;
    for (int i = 0; i < kCountryCount; ++i) {
        if (!(mask & (1u << i))) continue;
        const COUNTRYSTRUCT& c = m_GameData.Country[i];
        if (!(c.dwFlag & kCountryPresent)) continue;
        bool hasUnit = false;
        for (const UNITSTRUCT& u : c.Unit) hasUnit = hasUnit || (u.dwFlag & kUnitInUse);
        if (hasUnit) continue;
        result |= 1u << i;
        if (SurrenderCountry(i)) result |= 0x80000000u;
    }
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

// --- scenario end ---------------------------------------------------------------------------

int CampaignOutcome(int code)
{
    switch (code) {
    case kJudgeGreatVictory: return 0;
    case kJudgeVictory: return 1;
    case kJudgeDraw:
    case kJudgeNoHumanLeft: return 2;
    default: return -1;
    }
}

int VictoryFunds(int income, int funds, int turnsLeft, int outcome)
{
    if (outcome == 2) return income;
    if (outcome != 0 && outcome != 1) return 0;
    // A bias of 0 from a damaged library would divide by zero: take it as 1.
    const int bias = std::max(1, outcome == 0 ? Lib().g_nFundsBiasVictory : Lib().g_nFundsBiasWin);
    const int64_t wide = static_cast<int64_t>(std::max(0, turnsLeft)) * income / bias + funds;
    const int64_t clamped = std::clamp<int64_t>(wide, INT32_MIN, INT32_MAX);
    return static_cast<int>(std::max<int64_t>(clamped, income));
}

int CZRKGameDoc::GetVictoryFunds(int country, int outcome)
{
    if (country < 0 || country >= kCountryCount) return 0;
    COUNTRYSTRUCT& c = m_GameData.Country[country];
    const int income = GetCountryIncome(c);
    const int turnsLeft = GetLastTurn(m_GameData, m_dwGameOption) - m_GameData.nTurn;
    return VictoryFunds(income, c.nFund, turnsLeft, outcome);
}

namespace {

// Dates compared with the hour as the least significant part.
uint64_t DateKey(uint32_t d)
{
    return (static_cast<uint64_t>(DateOnly(d)) << 8) | static_cast<uint64_t>(DateHour(d));
}

const SCNRBASESTRUCT* ScenarioRecord(int index)
{
    const auto& table = Lib().ScenarioData;
    if (index < 0 || index >= Lib().g_nMaxScnr || static_cast<size_t>(index) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(index)];
}

}  // namespace

uint32_t CZRKGameDoc::CarryOverPlayerUnits(int player, int next, std::string& nameOut)
{
    GAMEDATASTRUCT& g = m_GameData;
    nameOut.clear();
    int steps = 1;
    uint32_t date = g.dwDateTime;
    SCNRHEADSTRUCT head{};
    const SCNRBASESTRUCT* rec = ScenarioRecord(next);
    // A scenario whose file cannot be read counts as no next scenario.
    if (rec && CheckScenarioFile(platform::ProgramFolder() + "Scenario\\" + std::string(FieldText(rec->szName)),
                                 head) == 0) {
        nameOut = std::string(FieldText(head.szName));
        const uint32_t start = head.dwStartDate;
        uint32_t d = AdvanceGameDate(g.dwDateTime, 1);
        if (DateKey(start) > DateKey(g.dwDateTime)) {
            while (DateKey(d) < DateKey(start) && steps < kCarryOverMaxSteps) {
                d = AdvanceGameDate(d, 1);
                ++steps;
            }
            date = start;
        } else {
            // A start hour that no 2-hour step reaches (odd, or beyond 22)
            // would never match: a day's worth of steps is enough.
            while (DateHour(d) != DateHour(start) && steps < kCarryOverMaxHourSteps) {
                d = AdvanceGameDate(d, 1);
                ++steps;
            }
            date = d;
        }
    }
    const int months = std::max(1, steps / kStepsPerMonth);
    GameDraws draws(m_Random);
    for (UNITSTRUCT& u : g.CarryUnit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.dwFlag &= ~kUnitOffMap;
        FreeFullResupply(g, u, months, draws);
    }
    if (player < 0 || player >= kCountryCount) return date;
    size_t slot = 0;
    for (UNITSTRUCT& u : g.Country[player].Unit) {
        if (!(u.dwFlag & kUnitInUse) || !(u.dwFlag & kUnitCarriedOver)) continue;
        while (slot < kCarryUnitCount && (g.CarryUnit[slot].dwFlag & kUnitInUse)) ++slot;
        if (slot == kCarryUnitCount) break;  // the pool is full: the rest stay behind
        u.dwFlag = (u.dwFlag & kUnitSide1) | kUnitCarryFlags;
        u.dwCargo = kCarryCargo;
        u.nHex = kNoHex;
        FreeFullResupply(g, u, months, draws);
        g.CarryUnit[slot] = u;
        u.dwFlag &= ~kUnitInUse;
    }
    return date;
}

uint32_t CZRKGameDoc::WriteCampaignResult()
{
    const int scripted = Stub(DocStub::WriteCampaignResult);
    if (IsStubScripted(DocStub::WriteCampaignResult)) return static_cast<uint32_t>(scripted);
    GAMEDATASTRUCT& g = m_GameData;
    const int outcome = CampaignOutcome(JudgeGame());
    const uint32_t argument = static_cast<uint32_t>(outcome) << 16;
    if (!(m_dwGameOption & kOptionCampaign) || outcome < 0) return argument;

    int player = 0;
    for (int i = 0; i < kCountryCount; ++i) {
        const COUNTRYSTRUCT& c = g.Country[i];
        if (!FieldText(c.szName).empty() && c.nControl == 0) {
            player = i;
            break;
        }
    }
    for (COUNTRYSTRUCT& c : g.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        for (UNITSTRUCT& u : c.Unit)
            if (u.dwFlag & kUnitInUse) u.dwFlag |= kUnitCarriedOver;
    }
    const SCNRBASESTRUCT* finished = ScenarioRecord(g.nScenario);
    const int next = finished ? finished->Branch[outcome].nNext : -1;
    std::string nextName;
    const uint32_t nextStart = CarryOverPlayerUnits(player, next, nextName);
    const SCNRBASESTRUCT* nextRec = ScenarioRecord(next);

    // The record keeps what the menu program stored in it (its level and
    // flag-display words); the rest is written here.
    auto r = std::make_unique<CAMPAIGNSTRUCT>();
    HandOverBlock* block = m_pHandOver ? &m_pHandOver->Block() : nullptr;
    if (block) block->Read(kMenuCampaignOffset, r.get(), sizeof *r);

    if (m_dwGameOption & kOptClearAvailOnSave) {
        for (COUNTRYSTRUCT& c : g.Country) std::fill(std::begin(c.dwArmsAvail), std::end(c.dwArmsAvail), 0u);
    }
    COUNTRYSTRUCT& p = g.Country[player];
    const int fundBonus = GetVictoryFunds(player, outcome);
    p.nUnit = 0;
    p.nIndex = -1;
    std::memset(p.Unit, 0, sizeof p.Unit);
    p.dwCpuTarget = g.Head.nEndState;

    r->nVersion = g.nVersion;
    r->nNextScenario = next;
    std::memset(r->szTitle, 0, sizeof r->szTitle);
    const std::string title = CutSjisText(nextName, sizeof r->szTitle - 1);
    std::memcpy(r->szTitle, title.data(), title.size());
    // An invalid next scenario names no file either.
    std::memset(r->szNextFile, 0, sizeof r->szNextFile);
    if (nextRec) {
        const std::string file = CutSjisText(FieldText(nextRec->szName), sizeof r->szNextFile - 1);
        std::memcpy(r->szNextFile, file.data(), file.size());
    }
    r->dwDate = GetPrevDateStep(nextStart);
    r->nFundBonus = fundBonus;
    r->dwGameOption = (m_dwGameOption & ~kOptRunningMask) | 0x00010000u;
    r->dwStateFlag = g.dwStateFlag;
    r->dwViewOption = View().GetViewOption();
    r->dwPlayerFlag = p.dwFlag;
    std::memcpy(r->szUnitVersion, g.Head.szUnitVersion, sizeof r->szUnitVersion);
    r->nLastScenario = g.nScenario;
    std::memset(r->byCountryId, 0xFF, sizeof r->byCountryId);
    // Only countries 0-7 can have surrendered; higher bits of a damaged
    // mask would write past the eight places.
    size_t place = 0;
    for (int i = 0; i < kCountryCount; ++i)
        if (g.Head.nEndState & (1u << i)) r->byCountryId[place++] = static_cast<uint8_t>(g.Country[i].nCountryId);
    r->Player = p;
    std::memcpy(r->CarryUnit, g.CarryUnit, sizeof r->CarryUnit);

    // History: a count from a saved file may exceed the table; keep the newest.
    int count = std::clamp<int>(g.nHistory, 0, kHistoryCount);
    std::memcpy(r->History, g.History, sizeof r->History);
    if (count == kHistoryCount) {
        std::memmove(&r->History[0], &r->History[1], sizeof(CAMPAIGNHISTSTRUCT) * (kHistoryCount - 1));
        count = kHistoryCount - 1;
    }
    CAMPAIGNHISTSTRUCT& e = r->History[count];
    e = CAMPAIGNHISTSTRUCT{};
    e.dwScenario = (static_cast<uint32_t>(outcome) << 16) | (static_cast<uint32_t>(g.nScenario) & 0xFFFFu);
    e.dwStartDate = g.Head.dwStartDate;
    e.dwEndDate = g.dwDateTime;
    const std::string name = CutSjisText(FieldText(g.Head.szName), sizeof e.szName - 1);
    std::memcpy(e.szName, name.data(), name.size());
    r->nHistory = count + 1;
    std::memcpy(r->dwWorldCity, g.dwWorldCity, sizeof r->dwWorldCity);
    std::memcpy(r->dwWorldNation, g.dwWorldNation, sizeof r->dwWorldNation);
    if (block) block->Write(kMenuCampaignOffset, r.get(), sizeof *r);
    UpdateWeaponGuide(r->Player);
    return argument | kMenuCampaignGoesOn;
}

}  // namespace zrv
