// The clicks that complete an order the unit commands entered: the merge
// partner (mode 7), the unload with its covering fire (mode 9), the march
// target (mode 10), the route site (mode 11) and the bombing target (mode
// 12), and the placement of a produced or carried-over unit (modes 2 and 3).
// The move and the attack are ViewMoveClicks.cpp's. A click outside a
// mode's candidates is ignored.
#include <algorithm>
#include <array>

#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"

namespace zrv {

namespace {

// Reach word bits 30-31: the hex cannot be reached; bit 21: a bombing march
// may end there.
constexpr uint32_t kReachBlocked = 0xC0000000u;
constexpr uint32_t kReachBombable = 0x00200000u;
// Display mark word bit 21: the hex is within the bombing range.
constexpr uint32_t kMarkInBombingRange = 0x00200000u;
// Type flag: the unit's move is a bombing march.
constexpr uint32_t kArmsBombingMarch = 0x00000010u;
// Order word: a march order (bit 30), a standing order (bit 29).
constexpr uint32_t kOrderMarchSet = 0x40000000u;
constexpr uint32_t kOrderStanding = 0x20000000u;
// Carrier flag bit 3: it has unloaded under this order.
constexpr uint32_t kCarrierUnloaded = 0x00000008u;

constexpr int kErrBombAlly = 114;
constexpr int kErrUnloadHexTaken = 127;
constexpr int kSoundMarchTarget = 33;

const char* const kAskAlliance = "同盟関係が失われ敵対しますがいいですか？";
const char* const kAskBomb = "爆撃しますか";

template <size_t N>
bool InList(const std::array<int, N>& list, HEXINDEX hex)
{
    const auto end = std::find(list.begin(), list.end(), -1);
    return IsMapHex(hex) && std::find(list.begin(), end, hex) != end;
}

}  // namespace

// --- merge ----------------------------------------------------------------------------------------

int CZRKGameView::ClickMergePartner(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !InList(m_nMergeHex, hex)) return 0;
    UNITSTRUCT* partner = GetUnitOnHex(hex);
    if (partner == nullptr || partner == sel || RefCountry(partner->refSelf) != m_nCurArmy) return 0;
    const PendingDisplay shown = SavePendingDisplay(GetUnitMapHex(m_pDoc->m_GameData, *sel));
    bool moved = false;
    if (IsMapHex(m_nTargetHex) && GetUnitMapHex(m_pDoc->m_GameData, *sel) != m_nTargetHex)
        moved = MoveUnitTo(*m_pDoc, *sel, m_nTargetHex, &m_SavedUnit).Done();
    MarkSourceAndTarget(-1, hex);
    if (Dialogs().MergeDialog(*sel, *partner) == kAnswerOk) {
        RefreshChangedUnits(sel, partner);
        EndSelection(true);
        return 0;
    }
    if (moved) (void)UndoUnitMove(*m_pDoc, *sel, m_SavedUnit);
    RestorePendingDisplay(shown);
    CancelCurrentCommand();
    return 0;
}

// --- unload ---------------------------------------------------------------------------------------

void CZRKGameView::FinishUnload()
{
    UNITSTRUCT* carrier = m_pSelUnit;
    if (carrier != nullptr && m_pDoc != nullptr && (carrier->dwFlag & kCarrierUnloaded)) {
        ExecuteEndAction(*carrier);
        RefreshChangedUnits(carrier, nullptr);
        EndSelection(true);
        m_dwState &= ~kViewMoveUndoable;
        return;
    }
    if ((m_dwState & kViewMoveUndoable) && carrier != nullptr && m_pDoc != nullptr) {
        const PendingDisplay shown = SavePendingDisplay(m_SavedUnit.nHex);
        (void)UndoUnitMove(*m_pDoc, *carrier, m_SavedUnit);
        RestorePendingDisplay(shown);
    }
    m_dwState &= ~kViewMoveUndoable;
    CancelCurrentCommand();
}

int CZRKGameView::ClickUnload(HEXINDEX hex)
{
    UNITSTRUCT* carrier = m_pSelUnit;
    if (carrier == nullptr || m_pDoc == nullptr) return 0;
    GAMEDATASTRUCT& game = m_pDoc->m_GameData;
    // Each pass of this loop is one run of the unload dialog.
    for (;;) {
        if (m_nCmdSubMode == 0) {
            std::array<UNITSTRUCT*, kUnitSlots + 1> all{};
            const int n = std::clamp(ListCarriedUnits(UnitArrayOf(game, *carrier), *carrier, all), 0, kUnitSlots);
            std::array<UNITSTRUCT*, kMaxCargoListed> cargo{};
            const int listed = std::min(n, kMaxCargoListed);
            std::copy_n(all.begin(), listed, cargo.begin());
            m_pUnloadUnit = nullptr;
            const int result =
                Dialogs().UnloadDialog(*carrier, std::span<UNITSTRUCT* const>(cargo.data(), static_cast<size_t>(listed)));
            if (result < 0) {
                FinishUnload();
                return 0;
            }
            if (result == kUnloadCoveringFire) {
                MarkHexList(4, false);
                m_nCmdSubMode = 2;
                return 0;
            }
            if (m_pUnloadUnit == nullptr && result <= listed) m_pUnloadUnit = cargo[static_cast<size_t>(result - 1)];
            MarkHexList(1, false);
            m_nCmdSubMode = 1;
            return 0;
        }
        if (!InList(m_nCandidateHex, hex)) return 0;
        if (m_nCmdSubMode == 1) {
            if (IsUnitRef(m_pDoc->m_dwHexUnit[hex])) {
                Dialogs().MessageBox(ErrorText(kErrUnloadHexTaken), kBoxOk | kBoxIconExclamation);
                return 0;
            }
            if (m_pUnloadUnit == nullptr) return 0;
            const int again = ExecuteUnload(*carrier, *m_pUnloadUnit, hex);
            if (again < 0) return 0;
            if (again == 0) {
                FinishUnload();
                return 0;
            }
            MarkSourceAndTarget(GetUnitMapHex(game, *carrier), -1);
            m_nCmdSubMode = 0;
            continue;
        }
        // Sub-mode 2: covering fire before the unload.
        UNITSTRUCT* target = GetUnitOnHex(hex);
        if (target == nullptr) return 0;
        uint32_t mask = 0;
        if (AskAttackDecision(*carrier, *target, true, (m_dwState & kViewMoveUndoable) != 0, false, mask) !=
            kAnswerOk)
            return 0;
        if (ExecuteAttackBeforeUnload(*carrier, *target, mask) < 0) return 0;
        RefreshChangedUnits(carrier, target);
        if ((carrier->dwFlag & kUnitInUse) &&
            m_pDoc->CheckUnloadHex(*carrier, GetUnitMapHex(game, *carrier)) == 0) {
            m_nCmdSubMode = 0;
            continue;
        }
        FinishUnload();
        return 0;
    }
}

// --- march ------------------------------------------------------------------------------------------

int CZRKGameView::ClickMarchTarget(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    const uint32_t reach = m_pDoc->m_dwHexMove[hex];
    if (reach & kReachBlocked) return 0;
    const ARMSSTRUCT* arms = UnitArms(*sel);
    const bool bombing = arms != nullptr && (arms->dwArmsFlag & kArmsBombingMarch) != 0;
    if (bombing) {
        if ((reach & kReachBombable) == 0) return 0;
        if (m_pDoc->CheckBombing(*sel, hex, false) == kErrBombAlly) {
            if (!ConfirmOrder(kAskAlliance, true)) return 0;
            MakeHexOwnerEnemy(hex);
        }
    }
    ClearHexMarks(true);
    PlaySE(kSoundMarchTarget);
    if (FlashHexMark(hex, false, false)) return 0;
    sel->dwOrder |= kOrderMarchSet;
    if (bombing) sel->dwOrder |= kOrderStanding;
    sel->nMarchHex = hex;
    m_nCmdMode = kModeChooseUnit;
    OnMarchTargetSet();
    return 0;
}

// --- route construction -----------------------------------------------------------------------------

int CZRKGameView::ClickRouteSite(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(hex) || m_nCmdSubMode < 1 || m_nCmdSubMode > 2) return 0;
    const RouteChoice* choice = nullptr;
    for (const RouteChoice& rc : m_RouteChoice) {
        if (rc.hex < 0) break;
        if (rc.hex == hex) {
            choice = &rc;
            break;
        }
    }
    if (choice == nullptr) return 0;
    MarkSourceAndTarget(hex, -1);
    SetStatusHex(hex, false);
    const int kind = m_nCmdSubMode;
    const int chosen = Dialogs().RouteBuildDialog(*sel, hex, choice->value, kind);
    if (chosen == 0) {
        BeginConstructionCommand();
        return 0;
    }
    ExecuteConstruction(*sel, kind, static_cast<uint32_t>(chosen), hex);
    if (kind == 1) {
        m_dwState &= ~kViewMoveUndoable;
        EndSelection(true);
        return 0;
    }
    // A removal leaves the unit where it stands: the selection goes.
    m_nTargetHex = -1;
    m_nRoute.fill(-1);
    m_nCmdMode = kModeChooseUnit;
    m_pSelUnit = nullptr;
    return 0;
}

// --- bombing -----------------------------------------------------------------------------------------

int CZRKGameView::ClickBombingTarget(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    if ((m_pDoc->m_dwHexMark[hex] & kMarkInBombingRange) == 0) return 0;
    if (m_pDoc->CheckBombing(*sel, hex, false) == kErrBombAlly) {
        if (!ConfirmOrder(kAskAlliance, true)) return 0;
        MakeHexOwnerEnemy(hex);
    }
    if (FlashHexMark(hex, false, false)) return 0;
    if (!ConfirmOrder(kAskBomb, false)) return 0;
    if (ExecuteBombing(*sel, hex) >= 0) m_nCmdMode = kModeChooseUnit;
    return 0;
}

// --- placement ---------------------------------------------------------------------------------------

void CZRKGameView::ClickPlacement(HEXINDEX hex)
{
    if (m_pDoc == nullptr || !CanPlaceHere()) return;
    if (m_nCmdMode == kModeProduction) {
        if (ExecutePlaceUnit(m_nPlaceArms, hex) != nullptr) m_pHub->UnitProducedAt(hex);
    } else if (m_nCmdMode == kModeDeployment) {
        if (ExecuteReserveDeploy(m_nPlaceArms, hex) != 0) m_pHub->CarryOverPlacedAt(hex);
    }
}

}  // namespace zrv
