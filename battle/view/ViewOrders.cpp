// The view's side of every order without an exchange of fire: the document's
// back-end, then the animation, the sound and the refresh of the map, the
// status strip and the tool windows. Human commands, map clicks and the
// computer player all end here, so an order looks and sounds the same
// whoever gives it. -1 from an order means a close request cut an animation
// short: its caller stops at once.
#include <algorithm>
#include <array>

#include "battle/engine/Judgement.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

namespace {

constexpr int kSoundOccupation = 18;
constexpr int kSoundConstructionBuild = 19;
constexpr int kSoundConstructionRemove = 20;
constexpr int kSoundSupply = 22;
constexpr int kSoundEvolution = 24;
constexpr int kSoundProduction = 28;
constexpr int kSoundDeployment = 29;
constexpr int kSoundDive = 31;
constexpr int kSoundLoad = 32;
constexpr int kDisposeSounds[3] = {21, 30, 31};

// Change bits of a unit's order word the performance window reads.
constexpr uint32_t kOrderChangedPage1 = 0x1u;
constexpr uint32_t kOrderChangedPage2 = 0x4u;
// The seen marker of a unit's supply word.
constexpr uint32_t kSupplySeenMarker = 0x00000200u;
constexpr int kMaxSupplyEntries = 64;

}  // namespace

// --- common steps -----------------------------------------------------------------------

void CZRKGameView::RedrawUnit(UNITSTRUCT& unit)
{
    SetHexUnitDisplay(unit);
    RedrawMapAndStatus(&unit, true);
}

void CZRKGameView::AfterUnitRemoved(UNITSTRUCT& unit, bool bRedraw)
{
    AddUnitListEntry(unit, 1);
    if (bRedraw) RedrawMapAndStatus(&unit, false);
    CloseSpecWndOfUnit(&unit, unit.nArms);
    CloseCommandBars(true);
}

void CZRKGameView::RemoveUnitFromPlay(UNITSTRUCT& unit, bool bRedraw)
{
    if (m_pDoc != nullptr) (void)DeleteUnit(*m_pDoc, unit, false);
    AfterUnitRemoved(unit, bRedraw);
}

// --- unit orders --------------------------------------------------------------------------

void CZRKGameView::ExecuteRecall(UNITSTRUCT& unit)
{
    if (m_pDoc == nullptr) return;
    PlaySE(kSoundLoad);
    std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
    const int n = ListUnitAndCargo(UnitArrayOf(m_pDoc->m_GameData, unit), unit, list);
    const bool recalled = RecallUnitsToReserve(*m_pDoc, unit).Done();
    RefreshPerformanceWindow(unit, false);
    if (!recalled || !IsToolWindowOpen(ToolWindow::UnitList)) return;
    // Each recalled unit's row gives way to its carry-over record's.
    for (int i = 0; i < n; ++i) {
        UNITSTRUCT& u = *list[static_cast<size_t>(i)];
        AddUnitListEntry(u, 2);
        if (u.nCpuScore >= 0 && u.nCpuScore < kCarryUnitCount)
            UpdateUnitListEntry(m_pDoc->m_GameData.CarryUnit[static_cast<size_t>(u.nCpuScore)], false);
    }
    m_pHub->UpdateUnitListTitle();
}

void CZRKGameView::ExecuteJettison(UNITSTRUCT& unit, bool settleFuel)
{
    if (m_pDoc == nullptr) return;
    (void)JettisonUnitStores(*m_pDoc, unit, settleFuel);
    UNITSTRUCT* sel = m_pSelUnit != nullptr ? m_pSelUnit : &unit;
    sel->dwOrder |= kOrderChangedPage1 | kOrderChangedPage2;
    RefreshPerformanceWindow(*sel, false);
    SetStatusHex(GetUnitMapHex(m_pDoc->m_GameData, *sel), false);
}

void CZRKGameView::ExecuteDive(UNITSTRUCT& unit)
{
    if (m_pDoc == nullptr) return;
    PlaySE(kSoundDive);
    (void)DiveUnit(*m_pDoc, unit);
    RefreshUnitListUnit(unit, 2, true);
    RedrawUnit(unit);
}

void CZRKGameView::ExecuteSurface(UNITSTRUCT& unit, int argument)
{
    if (m_pDoc == nullptr) return;
    PlaySE(kSoundDive);
    (void)SurfaceUnit(*m_pDoc, unit, argument != 0);
    RefreshUnitListUnit(unit, 2, true);
    RedrawUnit(unit);
}

int CZRKGameView::ExecuteArmsChange(int weaponSet)
{
    if (m_pDoc == nullptr || m_pSelUnit == nullptr) return 1;
    GameDraws draws(m_pDoc->Random());
    (void)ChangeUnitArms(*m_pDoc, *m_pSelUnit, weaponSet, draws);
    m_pSelUnit->dwOrder |= kOrderChangedPage2;
    RefreshPerformanceWindow(*m_pSelUnit, false);
    RefreshStatusStrip(-1, true, m_pSelUnit, false);
    return 1;
}

int CZRKGameView::ExecuteEvolve(int newType)
{
    if (m_pDoc == nullptr || m_pSelUnit == nullptr) return 1;
    PlaySE(kSoundEvolution);
    GameDraws draws(m_pDoc->Random());
    const int former = m_pSelUnit->nArms;
    (void)EvolveUnit(*m_pDoc, *m_pSelUnit, newType, draws);
    RefreshUnitListUnit(*m_pSelUnit, 2, true);
    // The sheet shows the former type: it closes.
    CloseSpecWndOfUnit(m_pSelUnit, former);
    RedrawUnit(*m_pSelUnit);
    return 1;
}

int CZRKGameView::ExecuteImprove(int newType)
{
    if (m_pDoc == nullptr || m_pSelUnit == nullptr) return 1;
    PlaySE(kSoundEvolution);
    GameDraws draws(m_pDoc->Random());
    const int former = m_pSelUnit->nArms;
    (void)ImproveUnit(*m_pDoc, *m_pSelUnit, newType, draws);
    RefreshUnitListUnit(*m_pSelUnit, 2, true);
    CloseSpecWndOfUnit(m_pSelUnit, former);
    RedrawUnit(*m_pSelUnit);
    return 1;
}

int CZRKGameView::ExecuteMerge(UNITSTRUCT& target, int amount)
{
    if (m_pDoc == nullptr || m_pSelUnit == nullptr) return 0;
    MergeBuffer a = CopyUnitToMergeBuffer(*m_pSelUnit), b = CopyUnitToMergeBuffer(target);
    TransferMergeStrength(a, b, amount);
    const OrderResult r = CommitMerge(*m_pDoc, *m_pSelUnit, target, a, b, amount);
    if (!r.Done() || r.value == 0) return 0;
    m_pSelUnit->dwFlag |= kUnitActed;
    target.dwFlag |= kUnitActed;
    RefreshChangedUnits(m_pSelUnit, &target);
    RefreshStatusStrip(-1, true, m_pSelUnit, false);
    return 1;
}

void CZRKGameView::ExecuteDispose(int kind)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (m_pDoc == nullptr || sel == nullptr) return;
    UNITSTRUCT* carrier = nullptr;
    if (sel->dwFlag & kUnitCarried) carrier = GetCarrier(UnitArrayOf(m_pDoc->m_GameData, *sel), *sel);
    RemoveUnitFromPlay(*sel, true);
    if (kind >= 0 && kind < 3) PlaySE(kDisposeSounds[kind]);
    if (carrier != nullptr) {
        SetUnitCode(*carrier);
        RedrawHexIfVisible(GetUnitMapHex(m_pDoc->m_GameData, *carrier), true);
    }
    m_pSelUnit = nullptr;
}

// --- new units ------------------------------------------------------------------------------

UNITSTRUCT* CZRKGameView::ExecutePlaceUnit(int armsType, HEXINDEX hex)
{
    if (m_pDoc == nullptr || m_pDoc->m_pCurCountry == nullptr) return nullptr;
    const OrderResult r = ProduceUnitAtHex(*m_pDoc, hex, armsType);
    if (!r.Done() || r.value < 0 || r.value >= kUnitSlots) return nullptr;
    UNITSTRUCT& unit = m_pDoc->m_pCurCountry->Unit[r.value];
    PlaySE(kSoundProduction);
    SetUnitCode(unit);
    RefreshStatusStrip(hex, true, &unit, false);
    SearchAroundUnit(unit);
    RefreshUnitListUnit(unit, 2, true);
    return &unit;
}

int CZRKGameView::ExecuteReserveDeploy(int poolIndex, HEXINDEX hex)
{
    if (m_pDoc == nullptr || m_pDoc->m_pCurCountry == nullptr) return 0;
    const OrderResult r = PlaceReserveUnit(*m_pDoc, hex, poolIndex);
    if (!r.Done() || r.value < 0 || r.value >= kUnitSlots) return 0;
    UNITSTRUCT& unit = m_pDoc->m_pCurCountry->Unit[r.value];
    PlaySE(kSoundDeployment);
    SetUnitCode(unit);
    SearchAroundUnit(unit);
    if (IsToolWindowOpen(ToolWindow::UnitList)) {
        // The carry-over record's row gives way to the new unit's.
        AddUnitListEntry(m_pDoc->m_GameData.CarryUnit[static_cast<size_t>(poolIndex)], 2);
        UpdateUnitListEntry(unit, false);
    }
    return 1;
}

// --- supply ---------------------------------------------------------------------------------

int CZRKGameView::RunSupplyList(std::span<UNITSTRUCT* const> units)
{
    if (m_pDoc == nullptr) return 0;
    int visited = 0;
    for (UNITSTRUCT* unit : units) {
        if (unit == nullptr || visited >= kMaxSupplyEntries) break;
        m_pCmdUnit = unit;
        ++visited;
        GameDraws draws(m_pDoc->Random());
        const OrderResult r = SupplyUnit(*m_pDoc, *unit, true, draws);
        RefreshUnitWindows(*unit, 2);
        SetUnitCode(*unit);
        if (r.Done() && r.value != 0) {
            PlaySE(kSoundSupply);
            const HEXINDEX hex = GetUnitMapHex(m_pDoc->m_GameData, *unit);
            if (FlashHexMark(hex, false, false)) return -1;
            SetStatusHex(hex, false);
        }
    }
    return visited;
}

int CZRKGameView::RunAutoSupply()
{
    if (m_pDoc == nullptr) return 0;
    std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
    auto pass = [&] {
        list.fill(nullptr);
        m_pDoc->ListAutoSupplyUnits(list);
        return RunSupplyList(list);
    };
    if (pass() < 0) return -1;
    int result = pass();
    if (result > 0) result = pass();
    return result;
}

// --- moves ----------------------------------------------------------------------------------

int CZRKGameView::ExecuteMove(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (m_pDoc == nullptr || sel == nullptr) return 3;
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    const HEXINDEX start = GetUnitMapHex(game, *sel);
    m_nRoute.fill(-1);
    // The last entry stays the route's end mark.
    const OrderResult r =
        MoveUnitAlongRoute(*m_pDoc, *sel, hex, std::span<HEXINDEX>(m_nRoute.data(), m_nRoute.size() - 1));
    const int result = r.Done() ? r.value : kWalkNoFreeHex;
    ClearHexMarks(true);
    if (result == kWalkNoFreeHex) {
        MarkSourceAndTarget(start, -1);
        m_nTargetHex = GetUnitMapHex(game, *sel);
        return 3;
    }
    HEXINDEX last = hex;
    for (int h : m_nRoute) {
        if (h < 0) break;
        last = h;
    }
    m_nTargetHex = last;
    if (AnimateUnitMove(*sel, last)) return -1;
    DetachUnitFromCarrier(last);
    if (result != kWalkAmbushed) return result;
    UNITSTRUCT* enemy = m_pDoc->FindDefensiveFireUnit(*sel, last);
    if (enemy == nullptr) return result;
    // The unit stands at the route's end for the enemy's fire; its former
    // record is kept for a take-back.
    (void)MoveUnitTo(*m_pDoc, *sel, last, &m_SavedUnit);
    if (FlashHexMark(GetUnitMapHex(game, *enemy), false, false)) return -1;
    sel->dwFlag |= kUnitUnderDefensiveFire;
    m_nAttackKind = 0;
    if (RunCombatExchange(*enemy, *sel, static_cast<uint32_t>(enemy->nCpuScore), 0, false, false, false,
                          false))
        return -1;
    sel->dwFlag &= ~kUnitUnderDefensiveFire;
    sel->dwFlag |= kUnitActed;
    RefreshChangedUnits(sel, nullptr);
    if ((sel->dwFlag & kUnitInUse) && sel->nArms > 0) RedrawUnitAtHex(last, *sel);
    // Broken by the fire, the move ends the selection even when the unit
    // survives.
    EndSelection(true);
    return 4;
}

int CZRKGameView::ExecuteCpuMove()
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (m_pDoc == nullptr || sel == nullptr) return 3;
    const HEXINDEX target = sel->nCpuTarget;
    if (m_pDoc->CheckMove(*sel) != 0) {
        Dialogs().MessageBox(
            platform::FormatText("Can't Move!! (%2d,%2d)", {target % kMapSize, target / kMapSize}), kBoxOk);
        return 3;
    }
    int result = ExecuteMove(target);
    if (result == -1) return -1;
    m_nCmdMode = kModeNone;
    if (result == 4) return 4;
    if ((sel->dwFlag & kUnitCarried) && result == 3) {
        m_nTargetHex = -1;
        return 3;
    }
    HEXINDEX last = result == 3 ? m_nTargetHex : target;
    for (int h : m_nRoute) {
        if (h < 0) break;
        if (result != 3) last = h;
    }
    const bool occupied =
        IsMapHex(last) && IsUnitRef(m_pDoc->m_dwHexUnit[last]) && m_pDoc->m_dwHexUnit[last] != sel->refSelf;
    if (result == 3 || !occupied) {
        (void)MoveUnitTo(*m_pDoc, *sel, last, nullptr);
    } else {
        // The unit boards the carrier there by the load order that follows.
        sel->nCpuTarget = last;
        result = 5;
    }
    return result;
}

void CZRKGameView::CompleteUnitMove()
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (m_pDoc == nullptr || sel == nullptr) return;
    const COUNTRYSTRUCT* viewer = m_pDoc->m_pViewCountry;
    if (viewer != nullptr && m_pCurCountry != nullptr && m_pCurCountry->nSide != viewer->nSide &&
        (viewer->dwFlag & kCountryFog)) {
        const HEXINDEX hex = GetUnitMapHex(m_pDoc->m_GameData, *sel);
        const int side = std::clamp(viewer->nSide, 0, 2);
        if (!IsMapHex(hex) || !IsUnitPerceived(*sel, m_pDoc->m_dwHexSearch[hex], side))
            sel->dwSupplyFlag &= ~kSupplySeenMarker;
    }
    RefreshChangedUnits(sel, nullptr);
    if (sel->dwFlag & kUnitInUse) RedrawUnitAtHex(GetUnitMapHex(m_pDoc->m_GameData, *sel), *sel);
    EndSelection(true);
    m_nCmdMode = kModeNone;
}

// --- map orders -------------------------------------------------------------------------------

void CZRKGameView::ExecuteConstruction(UNITSTRUCT& unit, int kind, uint32_t value, HEXINDEX hex)
{
    if (m_pDoc == nullptr) return;
    const HEXINDEX own = GetUnitMapHex(m_pDoc->m_GameData, unit);
    if (hex < 0) hex = own;
    (void)zrv::ExecuteConstruction(*m_pDoc, unit, kind, value, hex);
    switch (kind) {
        case 1:
        case 3:
        case 4:
        case 5:
        case 7:
            PlaySE(kSoundConstructionBuild);
            break;
        case 2:
        case 6:
        case 8:
            PlaySE(kSoundConstructionRemove);
            break;
        default:
            break;
    }
    NotifySituationTable(2);
    SetStatusHex(own, false);
    RefreshChangedUnits(&unit, nullptr);
}

int CZRKGameView::ExecuteOccupation(UNITSTRUCT& unit, HEXINDEX hex, int argument)
{
    (void)argument;
    if (m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    MAPCELL& cell = m_pDoc->m_dwHexCell[hex];
    const MAPCELL saved = cell;
    GameDraws draws(m_pDoc->Random());
    const OrderResult r = OccupyHex(*m_pDoc, unit, hex, draws);
    const int result = r.Done() ? r.value : 0;
    // The hex keeps its former look while the view comes round to it.
    const MAPCELL taken = cell;
    cell = saved;
    CenterOnUnit(unit);
    cell = taken;
    if (AnimateHexDamage(hex, saved, result & 0xFFFF, true)) return -1;
    uint32_t done = 0;
    if (result < 0) {
        const OrderResult c = CompleteOccupation(*m_pDoc, unit, hex, saved, static_cast<uint32_t>(result));
        done = c.Done() ? static_cast<uint32_t>(c.value) : 0;
        if ((done & 0x7FFF0000u) == 0) PlaySE(kSoundOccupation);
    }
    if (done & kOccupyCountryFalls) {
        const int fallen = static_cast<int>((done >> 16) & 0xF);
        if (fallen < kCountryCount) {
            COUNTRYSTRUCT& country = m_pDoc->m_GameData.Country[fallen];
            m_pDoc->PlayCountrySideSound(country);
            if ((m_pDoc->m_dwGameOption & kOptNoSurrenderBoxes) == 0)
                Dialogs().MessageBox(
                    platform::FormatText("「%s」は降伏しました", {FieldText(country.szName)}), kBoxOk);
        }
        RebuildUnitDisplayMap();
    } else {
        SetUnitCode(unit);
    }
    ClearHexMarks(true);
    RefreshStatusStrip(-1, true, &unit, false);
    RefreshUnitWindows(unit, 2);
    NotifySituationTable(3);
    EndSelection(true);
    if (done & kOccupyGameEnds) {
        m_pDoc->EndActionPhase(false);
        m_pDoc->SetFlowState(PHASE_JUDGE);
        return 1;
    }
    return 0;
}

void CZRKGameView::ExecuteLoad(UNITSTRUCT& unit, HEXINDEX carrierHex)
{
    if (m_pDoc == nullptr) return;
    const OrderResult r = LoadUnitOnCarrier(*m_pDoc, unit, carrierHex);
    UNITSTRUCT* carrier = nullptr;
    const int country = RefCountry(unit.refSelf);
    if (r.Done() && r.value >= 0 && r.value < kUnitSlots && country >= 0 && country < kCountryCount)
        carrier = &m_pDoc->m_GameData.Country[country].Unit[r.value];
    if (carrier != nullptr) RefreshUnitWindows(*carrier, 0);
    RefreshPerformanceWindow(unit, true);
    PlaySE(kSoundLoad);
    if (carrier != nullptr) SetUnitDisplayAt(*carrier, carrierHex);
    ClearHexMarks(true);
    EndSelection(true);
}

void CZRKGameView::ExecuteEndAction(UNITSTRUCT& unit)
{
    if (m_pDoc == nullptr) return;
    (void)EndUnitAction(*m_pDoc, unit, true);
    SetUnitDisplayAt(unit, GetUnitMapHex(m_pDoc->m_GameData, unit));
    ClearHexMarks(true);
}

}  // namespace zrv
