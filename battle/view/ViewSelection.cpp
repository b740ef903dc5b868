// The order a human player is entering: the click of each command mode, the
// selection of a unit, the pending move and its take-back, and the tests
// the commands and the context menu share.
#include <algorithm>

#include "battle/engine/GameFlow.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"

namespace zrv {
namespace {

// Frame commands: the move bar, the dispose bar and its catch, the main bar.
constexpr int kCmdViewCommandWindow1 = 32820;
constexpr int kCmdToggleDisposeBar = 32821;
constexpr int kCmdViewCommandWindow2 = 32822;

// Message codes of the placement tests while that placement runs.
constexpr int kErrProductionUnderWay = 44;
constexpr int kErrDeploymentUnderWay = 49;

// A unit that has acted or rides a carrier cannot be selected.
constexpr uint32_t kUnitNotSelectable = kUnitActed | kUnitCarried;

// Type flag (ARMSSTRUCT::dwArmsFlag): the unit's move is a bombing march.
constexpr uint32_t kArmsBombingMarch = 0x00000010u;

// The launch choice: an aircraft takes off, or the carrier keeps the order.
constexpr int kSoundLaunch = 36;
constexpr int kSoundCarrierStays = 42;

}  // namespace

// --- clicks ------------------------------------------------------------------------

int CZRKGameView::ClickHex(HEXINDEX hex, UNITSTRUCT* unit)
{
    if (hex < 0 && unit != nullptr && m_pDoc != nullptr) hex = GetUnitMapHex(m_pDoc->m_GameData, *unit);
    switch (m_nCmdMode) {
        case kModeNone:
        case kModeChooseUnit:
        case kModeProduction:
        case kModeDeployment:
            return ClickSelectUnit(hex, unit);
        case kModeMoveTarget:
            return ClickMoveTarget(hex);
        case kModeMovePending:
            return ClickMovePending(hex);
        case kModeMoveDone:
            return ClickMoveDone(hex);
        case kModeMerge:
            return ClickMergePartner(hex);
        case kModeAttack:
            return ClickAttackTarget(hex);
        case kModeUnload:
            return ClickUnload(hex);
        case kModeMarch:
            return ClickMarchTarget(hex);
        case kModeRoute:
            return ClickRouteSite(hex);
        case kModeBombing:
            return ClickBombingTarget(hex);
        default:
            return 0;
    }
}

int CZRKGameView::ClickSelectUnit(HEXINDEX hex, UNITSTRUCT* unit)
{
    if (m_pDoc == nullptr) return 0;
    if (unit == nullptr) {
        // Only a unit drawn on the hex that belongs to the country in its
        // phase; the reference is checked before it picks a record.
        if (!IsMapHex(hex) || (m_dwHexUnitCode[static_cast<size_t>(hex)] & kCodeDrawn) == 0) return 0;
        const UnitRef ref = m_pDoc->m_dwHexUnit[hex];
        if (m_pCurCountry == nullptr || !IsUnitRef(ref) || RefCountry(ref) != m_nCurArmy) return 0;
        unit = m_pDoc->GetUnit(ref);
        if (unit == nullptr || (unit->dwFlag & kUnitInUse) == 0) return 0;
    }
    if ((unit->dwFlag & kUnitNotSelectable) != 0 || (m_pDoc->m_dwGameOption & kOptFullAutoRunning) != 0)
        return 0;
    if (m_nCmdMode != kModeChooseUnit) {
        // A placement under way ends with the click on a unit.
        ClosePlacementWindows();
        m_nCmdMode = kModeChooseUnit;
    }
    CloseCommandBars(false);
    SelectUnit(*unit);
    return 1;
}

int CZRKGameView::ClickMoveTarget(HEXINDEX hex)
{
    if (m_pSelUnit == nullptr || m_pDoc == nullptr) return 0;
    if (hex == GetUnitMapHex(m_pDoc->m_GameData, *m_pSelUnit)) {
        BeginCmdWindowSelect(m_pSelUnit);
        return 0;
    }
    return ClickMoveDestination(hex);
}

int CZRKGameView::ClickMoveDone(HEXINDEX hex)
{
    (void)hex;
    if ((m_dwState & kViewMoveBar) == 0 && m_pFrame != nullptr) m_pFrame->SendCommand(kCmdViewCommandWindow2);
    return 0;
}

void CZRKGameView::SelectUnit(UNITSTRUCT& unit)
{
    UNITSTRUCT* chosen = &unit;
    // A carrier with aircraft ready to fly: one of them may take the order.
    std::span<UNITSTRUCT> units = UnitArrayOf(m_pDoc->m_GameData, unit);
    if (CanLaunchAircraft(units, unit, m_pDoc->m_GameData)) {
        std::array<UNITSTRUCT*, kMaxCargoListed> cargo{};
        const int listed = std::min(ListCarriedUnits(units, unit, cargo), kMaxCargoListed);
        const int choice = Dialogs().LaunchDialog(unit, std::span<UNITSTRUCT* const>(cargo.data(), listed));
        if (choice >= 0 && choice < listed && cargo[static_cast<size_t>(choice)] != nullptr) {
            chosen = cargo[static_cast<size_t>(choice)];
            PlaySE(kSoundLaunch);
        } else {
            PlaySE(kSoundCarrierStays);
        }
    }
    const ARMSSTRUCT* arms = UnitArms(*chosen);
    const bool bombingMarch = arms != nullptr && (arms->dwArmsFlag & kArmsBombingMarch) != 0;
    if (m_pDoc->CheckMove(*chosen) == 0 && !bombingMarch)
        BeginMoveMode(chosen);
    else
        BeginCmdWindowSelect(chosen);
}

// --- the pending move ----------------------------------------------------------------

void CZRKGameView::DetachUnitFromCarrier(HEXINDEX hex)
{
    m_nTargetHex = hex;
    UNITSTRUCT* unit = m_pSelUnit;
    if (unit == nullptr || m_pDoc == nullptr || (unit->dwFlag & kUnitCarried) == 0) return;
    // The carrier must be a record of the unit's own country; a damaged
    // carrier slot leaves the unit aboard. The carrier counts one unit less
    // and carries nothing once its count is 0.
    UNITSTRUCT* carrier = DetachFromCarrier(UnitArrayOf(m_pDoc->m_GameData, *unit), *unit);
    if (carrier == nullptr) return;
    unit->dwFlag = (unit->dwFlag | kUnitDetached) & ~kUnitCarried;
    unit->dwCargo = MakeCargo(kNoCarrier, CargoCount(unit->dwCargo));
    unit->nHex = carrier->nHex;
    m_pDetachedCarrier = carrier;
}

void CZRKGameView::EndSelection(bool bFinish)
{
    UNITSTRUCT* unit = m_pSelUnit;
    if (m_nTargetHex >= 0) {
        m_nTargetHex = -1;
        UNITSTRUCT* carrier = m_pDetachedCarrier;
        if (unit != nullptr && (unit->dwFlag & kUnitDetached) != 0) {
            unit->dwFlag &= ~kUnitDetached;
            if (!bFinish && carrier != nullptr) {
                // Back aboard: the carrier counts it again.
                unit->dwFlag |= kUnitCarried;
                unit->dwCargo = MakeCargo(RefSlot(carrier->refSelf), CargoCount(unit->dwCargo));
                unit->nHex = -1;
                carrier->dwFlag |= kUnitCarries;
                carrier->dwCargo =
                    MakeCargo(CargoCarrier(carrier->dwCargo), CargoCount(carrier->dwCargo) + 1);
            } else if (bFinish && carrier != nullptr && (carrier->dwFlag & kUnitCarries) == 0) {
                // The carrier is empty now and is drawn without its cargo.
                SetUnitCode(*carrier);
                RedrawHexIfVisible(carrier->nHex, true);
            }
        }
        m_pDetachedCarrier = nullptr;
        if (bFinish) {
            if (unit != nullptr && m_pDoc != nullptr) {
                // The route keeps its end mark: the last entry is always -1.
                m_nRoute.back() = -1;
                if (m_pDoc->SearchFromUnit(*unit, m_nRoute) != 0) RedrawMap(false);
            }
            m_nRoute.fill(-1);
        }
    }
    if (bFinish && unit != nullptr && (unit->dwOrder & kOrderJettisonPending) != 0) {
        unit->dwOrder &= ~kOrderJettisonPending;
        ExecuteJettison(*unit, true);
    }
    if (bFinish || m_pSelUnit == nullptr) {
        m_nCmdMode = kModeChooseUnit;
        m_pSelUnit = nullptr;
    } else {
        m_nCmdMode = kModeMoveTarget;
    }
}

void CZRKGameView::ShowPendingMove()
{
    if (m_dwState & kViewClosingBars) {
        m_dwState &= ~kViewClosingBars;
        return;
    }
    UNITSTRUCT* unit = m_pSelUnit;
    if (unit != nullptr && m_pDoc != nullptr) {
        if ((unit->dwFlag & kUnitDetached) == 0 && IsMapHex(unit->nHex)) {
            m_pDoc->m_dwHexUnit[unit->nHex] = unit->refSelf;
            m_pDoc->RefreshUnitHexCell(*unit);
            SetUnitCode(*unit);
        }
        if (IsMapHex(m_nTargetHex)) {
            const UNITSTRUCT* there = m_pDoc->GetUnit(m_pDoc->m_dwHexUnit[m_nTargetHex]);
            m_dwHexUnitCode[static_cast<size_t>(m_nTargetHex)] =
                there != nullptr && (there->dwFlag & kUnitInUse) ? MakeUnitDisplayCode(*there) : 0;
        }
        MarkMoveRange();
        unit->dwOrder &= ~kOrderJettisonPending;
    }
    EndSelection(false);
    if (m_pSelUnit != nullptr) m_nCmdMode = kModeMoveTarget;
}

void CZRKGameView::CancelCurrentCommand()
{
    if (m_nTargetHex >= 0) {
        ClearHexMarks(false);
        for (int hex : m_nRoute) {
            if (hex < 0) break;
            if (IsMapHex(hex)) m_dwHexMarkView[static_cast<size_t>(hex)] = 1;
        }
        if (m_pSelUnit != nullptr && IsMapHex(m_pSelUnit->nHex))
            m_dwHexMarkView[static_cast<size_t>(m_pSelUnit->nHex)] = 1;
        RedrawMap(false);
        if ((m_dwState & kViewMoveBar) == 0 && m_pFrame != nullptr)
            m_pFrame->SendCommand(kCmdViewCommandWindow2);
        m_nCmdMode = kModeMovePending;
        return;
    }
    m_nCmdMode = kModeChooseUnit;
    CloseCommandBars(false);
    ClearHexMarks(true);
    m_pSelUnit = nullptr;
}

void CZRKGameView::ShowCommandWindowFor(UNITSTRUCT* unit)
{
    if (m_pFrame == nullptr) {
        m_pCmdUnit = unit;
        return;
    }
    if (m_dwState & kViewMainCommandBar) m_pFrame->SendCommand(kCmdViewCommandWindow1);
    m_pCmdUnit = unit;
    m_pFrame->SendCommand((m_dwState & kViewDisposeBar) ? kCmdCatchDisposeBar : kCmdToggleDisposeBar);
}

// --- tests -------------------------------------------------------------------------------

int CZRKGameView::CanPlaceHere() const
{
    if ((m_dwState & kViewPlaceChosen) == 0 || !IsMapHex(m_nCursorHex)) return 0;
    if (m_dwHexMarkView[static_cast<size_t>(m_nCursorHex)] != 1) return 0;
    const COUNTRYSTRUCT* c = m_pDoc != nullptr ? m_pDoc->m_pCurCountry : nullptr;
    return c != nullptr && c->nUnit < c->nUnitMax ? 1 : 0;
}

void CZRKGameView::SetUnitDisplayAt(const UNITSTRUCT& unit, HEXINDEX hex)
{
    if ((unit.dwFlag & kUnitCarried) != 0 || !IsMapHex(hex)) return;
    const bool shown = (unit.dwFlag & kUnitInUse) != 0 && (m_dwDispOption & kDispUnits) != 0;
    m_dwHexUnitCode[static_cast<size_t>(hex)] = shown ? MakeUnitDisplayCode(unit) : 0;
}

int CZRKGameView::CanHumanAct() const
{
    if ((m_dwState & kViewHumanPhase) == 0 || (m_dwState & kViewBusy) != 0 || m_pDoc == nullptr) return 0;
    const COUNTRYSTRUCT* c = m_pDoc->m_pCurCountry;
    return m_pDoc->m_GameData.nFlowState == PHASE_HUMAN && c != nullptr && (c->dwFlag & kCountryCpu) == 0 &&
                   (m_pDoc->m_dwGameOption & kOptFullAutoRunning) == 0
               ? 1
               : 0;
}

int CZRKGameView::FindNextIdleUnit(const COUNTRYSTRUCT& country, int slot) const
{
    const int first = (slot < 0 || slot >= kUnitSlots) ? 0 : slot + 1;
    for (int i = 0; i < kUnitSlots; ++i) {
        const int s = (first + i) % kUnitSlots;
        const UNITSTRUCT& u = country.Unit[s];
        if ((u.dwFlag & kUnitInUse) == 0 || (u.dwFlag & kUnitNotSelectable) != 0) continue;
        if (IsUnitInMapBounds(u)) return s;
    }
    return -1;
}

int CZRKGameView::IsUnitInMapBounds(const UNITSTRUCT& unit) const
{
    const HEXINDEX hex = m_pDoc != nullptr ? GetUnitMapHex(m_pDoc->m_GameData, unit) : unit.nHex;
    if (!IsMapHex(hex)) return 0;
    const int row = HexRow(hex), col = HexColumn(hex);
    return col >= m_rcMapHexes.firstColumn && col <= m_rcMapHexes.lastColumn &&
                   row >= m_rcMapHexes.firstRow && row <= m_rcMapHexes.lastRow
               ? 1
               : 0;
}

int CZRKGameView::CheckProduceCommand()
{
    // Without a country in its phase there is nothing to produce for.
    if (m_pDoc == nullptr || m_pCurCountry == nullptr) return kErrUnitLimit;
    const int code = m_pDoc->CheckProductionPossible(*m_pCurCountry);
    if (code != 0) return code;
    return m_nCmdMode == kModeProduction ? kErrProductionUnderWay : 0;
}

int CZRKGameView::CheckDeployCommand()
{
    if (m_pDoc == nullptr) return kErrDeployUnitLimit;
    const int code = m_pDoc->CheckDeploymentPossible();
    if (code != 0) return code;
    return m_nCmdMode == kModeDeployment ? kErrDeploymentUnderWay : 0;
}

}  // namespace zrv
