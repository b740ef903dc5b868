// The steps of a country's phase: the opening, the country start, the new
// and retired unit types, reinforcements, standing march orders, the end of
// the phase, historical events, the multi-play hand-over, and the automatic
// save that opens the country's orders. Each returns the state that follows.

#include "battle/engine/PhaseSteps.h"

#include <algorithm>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

// Effect of a human phase's opening (the map waits for a click).
constexpr int kSePhaseOpening = 2;

// Development classes whose list the computer never trims.
constexpr int kClassKeptWhole = 3;

// Highest unit count a country and the carry-over pool may hold together.
constexpr int kPoolLimit = 250;

bool IsHuman(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & kCountryCpu) == 0;
}

bool DevelopsClass(const COUNTRYSTRUCT& c, int cls)
{
    if (cls < 0 || cls >= kClassCount) return false;
    return (c.dwClassMask[cls / 32] >> (cls % 32)) & 1u;
}

bool UsesFuel(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = ArmsRecord(u.nArms);
    return a && (a->dwArmsFlag & 1u);
}

}  // namespace

bool CZRKGameDoc::CanRefuelWhereItStands(const UNITSTRUCT& unit) const
{
    // The resupply test of the hex the unit stands on; a unit off the map has
    // no hex to take fuel from.
    return IsMapHex(unit.nHex) && !IsFuelStarvedFixedUnit(m_GameData, unit);
}

bool IsCampaignOpeningTurn(const GAMEDATASTRUCT& game, uint32_t gameOption)
{
    return (gameOption & kOptionCampaign) && game.nTurn == 1 && game.nHistory != 0;
}

int CZRKGameDoc::FindNextCountry(int index) const
{
    for (int i = std::max(index, -1) + 1; i < kCountryCount; ++i) {
        if (m_GameData.Country[i].dwFlag & kCountryPresent) return i;
    }
    return -1;
}

// --- opening and start of a phase ---------------------------------------------------

int CZRKGameDoc::StepPhaseOpening()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return m_nNextFlowState;
    if (c->nSide != 2) NotifyView(12, c->nBGM);
    if (IsHuman(*c)) {
        // The map stays hidden until the player clicks, so one player does
        // not see the other's map at a shared screen.
        c->dwViewOption &= ~kViewMapShown;
        NotifyView(17, kSePhaseOpening);
        NotifyView(11, static_cast<int>(c->dwViewOption));
        return PHASE_WAITCLICK;
    }
    c->dwViewOption = (c->dwViewOption | kViewCpuPhaseSet) & ~kViewCpuPhaseClear;
    UpdateViewingCountry(true);
    NotifyView(11, static_cast<int>(c->dwViewOption));
    return m_nNextFlowState;
}

int CZRKGameDoc::StepCountryStart()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return PHASE_NEWWEAPON;
    GAMEDATASTRUCT& g = m_GameData;
    const int index = g.nCurCountry;
    const bool campaign = (m_dwGameOption & kOptionCampaign) != 0;

    m_timePhaseStart = Clock().Now();
    RecomputeSight(c->nCapital, true);
    RefreshStatusStrip();

    // A campaign's turns are counted from one later: its first turn is the
    // hand-over turn from the scenario before.
    int changeTurn = c->nSideChange;
    if (campaign && changeTurn != 0) changeTurn += 1;
    if (changeTurn > 0 && g.nTurn == changeTurn) {
        ChangeCountrySide(index, c->nNewSide, true);
        NotifyView(2);
        RecomputeSight(c->nCapital, true);
        int code = JudgeGame();
        if (code == 1 || code == 2 || code == 4 || code == 5) return PHASE_JUDGE;
    }

    c->nFund = static_cast<int32_t>(std::min<int64_t>(int64_t{c->nFund} + GetCountryIncome(*c), kFundMax));
    c->dwNewWeaponSet[0] = c->dwNewWeaponSet[1] = 0;

    int result = PHASE_NEWWEAPON;
    if (c->nSurrenderFund > 0 && c->nFund <= c->nSurrenderFund) {
        std::string text = platform::FormatText("%sは軍事費不足により降伏します", {FieldText(c->szName)});
        PlayCountrySideSound(*c);
        if (!(m_dwGameOption & kOptNoCapitalBoxes)) Dialogs().MessageBox(text, kBoxOk | kBoxIconInformation);
        int ended = SurrenderCountry(index);
        NotifyView(2);
        result = ended ? PHASE_JUDGE : PHASE_ENDPHASE;
    }
    RefreshStatusStrip();
    SetPhaseCommandState(true, false);
    if (result == PHASE_NEWWEAPON) c->dwNewWeaponSet[0] = c->dwNewWeaponSet[1] = 0;
    if (campaign && c->nIndex == 0) {
        for (UNITSTRUCT& u : g.CarryUnit) u.dwFlag &= ~kUnitOffMap;
    }
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.nMoved = 0;
        u.dwOrder &= ~kOrderJettisonPending;
    }
    return result;
}

// --- new and retired unit types ---------------------------------------------------------

int CZRKGameDoc::StepNewWeapons()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return PHASE_RETIREWEAPON;
    const int type = NextNewWeapon(*c);
    const ARMSSTRUCT* arms = type > 0 ? ArmsRecord(type) : nullptr;
    if (!arms) return PHASE_RETIREWEAPON;

    const int mode = arms->nEntryMode;
    if (mode != 2 && arms->nClass >= 0 && arms->nClass < 64) {
        c->dwNewWeaponSet[arms->nClass / 32] |= 1u << (arms->nClass % 32);
    }
    const bool human = IsHuman(*c);
    switch (mode) {
        case 0:
            if (human) {
                int answer = Dialogs().NewWeaponEntryDialog(*c, type, kNewWeaponChoice);
                if (answer == kNewWeaponAdopt) {
                    AdoptWeapon(*c, type, true);
                    RefreshStatusStrip();
                } else if (answer == kNewWeaponReject) {
                    RejectWeapon(*c, type);
                }
            } else if (c->nSide == 0 || c->nSide == 1) {
                AdoptWeapon(*c, type, true);
            }
            break;
        case 1:
            if (human) Dialogs().NewWeaponEntryDialog(*c, type, kNewWeaponAnnounce);
            AdoptWeapon(*c, type, true);
            RefreshStatusStrip();
            break;
        default:
            AdoptWeapon(*c, type, false);
            RefreshStatusStrip();
            break;
    }
    return PHASE_NEWWEAPON;
}

int CZRKGameDoc::StepWeaponListUpdate()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return PHASE_REINFORCE;
    const int type = NextRetiredWeapon(*c);
    const ARMSSTRUCT* arms = type > 0 ? ArmsRecord(type) : nullptr;
    if (arms) {
        if (IsHuman(*c) && arms->nClass >= 0 && arms->nClass < kClassCount) {
            const uint32_t* list = c->dwClassList[arms->nClass];
            bool listed = std::find(list + 1, list + kClassListWords, static_cast<uint32_t>(type)) !=
                          list + kClassListWords;
            if (listed) Dialogs().NewWeaponEntryDialog(*c, type, kNewWeaponRetire);
        }
        RetireWeapon(*c, type);
        return PHASE_RETIREWEAPON;
    }
    if (!IsHuman(*c)) {
        for (int cls = 0; cls < kClassCount; ++cls) {
            if (cls == kClassKeptWhole || !DevelopsClass(*c, cls)) continue;
            int entry = FindAvailableListEntry(*c, cls);
            if (entry < 1 || entry > 8) continue;
            if (static_cast<int32_t>(c->dwClassList[cls][entry + 1]) > 0) {
                RemoveTypeListEntry(m_GameData, m_GameData.nCurCountry, cls, entry);
            }
        }
    }
    return PHASE_REINFORCE;
}

// --- reinforcements ----------------------------------------------------------------------

int CZRKGameDoc::StepReinforcements()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    GAMEDATASTRUCT& g = m_GameData;
    if (!c || !(m_dwGameOption & kOptionCampaign) || g.nScenario < 0 || !IsHuman(*c)) return PHASE_MARCH;
    const DataLibrary& lib = Lib();
    if (g.nScenario >= lib.g_nMaxScnr || static_cast<size_t>(g.nScenario) >= lib.ScenarioData.size()) {
        return PHASE_MARCH;
    }
    const int32_t* schedule = lib.ScenarioData[static_cast<size_t>(g.nScenario)].pReinforce;
    if (!schedule || g.nReinforceIndex < 0 || (g.nReinforceIndex & 1)) return PHASE_MARCH;
    // The index comes from a saved game: walk the schedule up to it, so an
    // index past the terminator never reads beyond the list.
    for (int i = 0; i < g.nReinforceIndex; i += 2) {
        if (schedule[i] < 0) return PHASE_MARCH;
    }
    const int32_t turn = schedule[g.nReinforceIndex];
    if (turn < 0 || turn >= g.nTurn) return PHASE_MARCH;

    UNITSTRUCT* free = nullptr;
    int freeSlot = -1, used = 0;
    for (int i = 0; i < kCarryUnitCount; ++i) {
        if (g.CarryUnit[i].dwFlag & kUnitInUse) {
            ++used;
        } else if (!free) {
            free = &g.CarryUnit[i];
            freeSlot = i;
        }
    }
    // A full pool keeps the entry due: it arrives in a later phase.
    if (!free || used + c->nUnit >= kPoolLimit) return PHASE_MARCH;

    const uint32_t packed = static_cast<uint32_t>(schedule[g.nReinforceIndex + 1]);
    const int type = static_cast<int16_t>(packed >> 16);
    const ARMSSTRUCT* arms = ArmsRecord(type);
    if (type < 1 || type >= lib.g_nMaxUnit || !arms) {
        // A type the library does not have can never arrive; it is passed
        // over so the entries after it still come.
        g.nReinforceIndex += 2;
        return PHASE_REINFORCE;
    }
    InitUnitRecord(c, *free, freeSlot, kNoHex, type, g.dwDateTime, &g, g.CarryUnit);
    MarkArmsTypeSeen(*c, type, g.dwDateTime);
    free->dwFlag = kUnitInUse | kUnitInPool;
    const int strength = static_cast<int>((packed >> 8) & 0xFF);
    free->nStrength = strength != 0 ? strength : arms->nStrengthMax;
    free->nExp = static_cast<int>(packed & 0xFF);
    g.nReinforceIndex += 2;
    Dialogs().NewDeploymentDialog(*c, *free);
    return PHASE_REINFORCE;
}

// --- standing march orders and the automatic save ------------------------------------------

int CZRKGameDoc::StepMarchOrders()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return AutoSave();
    UNITSTRUCT* unit = nullptr;
    for (UNITSTRUCT& u : c->Unit) {
        if ((u.dwFlag & kUnitInUse) && !(u.dwFlag & (kUnitActed | kUnitCarried)) &&
            (u.dwOrder & kOrderMarch)) {
            unit = &u;
            break;
        }
    }
    if (!unit) return AutoSave();

    RefreshStatusStrip();
    int result = 0;
    if (CheckMove(*unit) == 0) {
        result = CpuMoveUnitToward(*unit, unit->nMarchHex, kPlainMoveFlags);
        if (result >= 0) {
            if (unit->nHex == unit->nMarchHex) {
                // The bombing order takes its target hex from the weapon-mask word.
                unit->dwWeaponMask = static_cast<uint32_t>(unit->nMarchHex);
                result = ExecuteCpuAction(kCpuActBombKeptHex, *unit, 0);
            } else {
                result = ExecuteCpuAction(kCpuActMoveDone, *unit, 0);
            }
        }
    } else {
        result = ExecuteCpuAction(kCpuActEndAction, *unit, 0);
    }
    if (result < 0) {
        // Only a close request interrupts an order for good reason: the unit
        // is tried again once the close has been dealt with. A refused order
        // would be refused again on every pass, so the unit ends its action.
        if (View().GetViewState().closeRequested) return -1;
        if (!(unit->dwFlag & kUnitActed)) ExecuteCpuAction(kCpuActEndAction, *unit, 0);
    }
    // Whatever the back-end did, this unit has had its turn: without the mark
    // the next pass would pick it again.
    unit->dwFlag |= kUnitActed;
    return PHASE_MARCH;
}

// --- end of a phase ----------------------------------------------------------------------

int CZRKGameDoc::CountEnemyUnitsNearCapital(const COUNTRYSTRUCT& country) const
{
    if (!IsMapHex(country.nCapital)) return 0;
    const int enemySide = country.nSide ^ 1;
    int count = 0;
    for (const COUNTRYSTRUCT& e : m_GameData.Country) {
        if (!(e.dwFlag & kCountryPresent) || e.nSide != enemySide) continue;
        for (const UNITSTRUCT& u : e.Unit) {
            if (!(u.dwFlag & kUnitInUse) || !IsMapHex(u.nHex)) continue;
            if (GetHexDistance(u.nHex, country.nCapital) < kCapitalThreatDistance) ++count;
        }
    }
    return count;
}

bool CZRKGameDoc::RollCapitalRelocation(const COUNTRYSTRUCT& country)
{
    // A neutral country never moves, and a country without a capital has
    // nothing to measure from.
    if (country.nSide == 2 || !IsMapHex(country.nCapital)) return false;
    const int chance = CapitalRelocationChance(CountEnemyUnitsNearCapital(country));
    return m_Random.Rand() % 100 < chance;
}

void CZRKGameDoc::StepEndPhase()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return;

    bool stopped = false;
    for (UNITSTRUCT& u : c->Unit) {
        auto active = [&] { return (u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitCarried); };
        if (!active()) continue;
        int r = 0;
        if (!(u.dwFlag & kUnitActed)) r = EndUnitAction(u);
        if (r >= 0 && active() && UsesFuel(u) && u.nFuel <= 0 && !CanRefuelWhereItStands(u)) {
            r = LoseUnitForFuel(u);
        }
        // Only a submerged submarine has an endurance that can run out; any
        // other unit (one afloat on its own included) counts 1.
        if (r >= 0 && active() && GetSubmergedEndurance(u, GetWeatherEffect(m_GameData)) <= 0) r = SurfaceOrSink(u);
        // A refused order leaves the unit as it was and the phase goes on;
        // only a close request stops the step.
        if (r < 0 && View().GetViewState().closeRequested) {
            stopped = true;
            break;
        }
    }

    // Even a phase cut short by a close request leaves every unit ready for
    // its next phase: a saved game must not hold units that can never act.
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.dwFlag &= ~kUnitPhaseBits;
        u.dwSupplyFlag &= kSupplyKeptBits;
        if (!(u.dwFlag & kUnitCarried)) NotifyView(3, &u);
    }
    if (stopped) return;
    NotifyView(4);

    if (!IsCampaignOpeningTurn(m_GameData, m_dwGameOption) && RollCapitalRelocation(*c)) {
        const HEXINDEX oldHex = c->nCapital;
        RelocateCapital(*c, oldHex);
        if (c->nCapital != oldHex) {
            AnnounceCapitalMove(*c, oldHex);
            if (NotifyView(6, oldHex) < 0 || NotifyView(6, c->nCapital) < 0) return;
        }
    }
    NotifyView(19);
    if (m_dwGameOption & kOptTextRecord) {
        // Whole seconds between the two clock readings, as minutes and
        // seconds; a phase of an hour or more shows its full minutes.
        const int64_t seconds = std::max<int64_t>(0, Clock().Now() - m_timePhaseStart);
        AppendGameRecord(platform::FormatText(
            "    %2d:%02d (%s)\n",
            {static_cast<long long>(seconds / 60), static_cast<int>(seconds % 60), FieldText(c->szName)}));
    }
    NotifyView(13);
    SetPhaseCommandState(false, false);
}

// --- history, hand-over and control changes ---------------------------------------------

int CZRKGameDoc::StepHistory()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return PHASE_HANDOVER;
    int event = -1;
    if ((m_dwGameOption & kOptionCampaign) && IsHuman(*c)) event = FindHistoryEvent(m_GameData.dwDateTime);
    if ((m_dwGameOption & kOptHistoryEvents) && event >= 0) View().PresentHistoryEvent(event, *c);
    return (m_GameData.nTurn == 1 && m_GameData.nCurCountry == 0) ? PHASE_CLOSETURN : PHASE_HANDOVER;
}

int CZRKGameDoc::StepHandOverSave()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!(m_dwGameOption & kOptMultiPlay) || !c || !IsHuman(*c)) return 0;

    int humans = 0;
    for (const COUNTRYSTRUCT& k : m_GameData.Country) {
        if ((k.dwFlag & kCountryPresent) && IsHuman(k)) ++humans;
    }
    bool skip = false;
    if (humans < 2) {
        // With nobody to hand over to, play stays in this program from now on.
        m_dwGameOption |= kOptNoReturnToTitle;
        if (Dialogs().MessageBox("他にプレイヤーがいませんが、データを保存しますか？",
                                 kBoxOkCancel | kBoxIconQuestion) != kAnswerOk) {
            skip = true;
        }
    }
    std::string path;
    while (!skip && !ChooseMultiSaveFile(path)) {
        if (Dialogs().MessageBox("保存しないと相手にデータが転送できません。\n再試行しますか？",
                                 kBoxRetryCancel | kBoxIconExclamation) != kAnswerRetry) {
            skip = true;
        }
    }
    bool written = false;
    while (!skip && !written) {
        written = SaveGame(path);
        if (!written && Dialogs().MessageBox("マルチプレイのデータが保存できません！\n再試行しますか？",
                                             kBoxRetryCancel | kBoxIconExclamation) != kAnswerRetry) {
            skip = true;
        }
    }
    if (m_dwGameOption & kOptNoReturnToTitle) return 0;
    std::string text = written ? platform::FormatText("%s\n\nこのデータを次の相手に送信してください", {path})
                               : std::string("このデータを最初からやり直してください");
    Dialogs().MessageBox(text, kBoxOk | kBoxIconInformation);
    return 1;
}

void CZRKGameDoc::ShowCurrentCountryView()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return;
    c->dwViewOption |= kViewCountryShown;
    RecomputeSight(c->nCapital, true);
    NotifyView(11, static_cast<int>(c->dwViewOption));
}

}  // namespace zrv
