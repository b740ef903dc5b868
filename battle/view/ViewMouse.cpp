// The mouse on the map: the hex under the pointer, the left click that
// starts the map or completes a step of an order, the double click that
// opens a unit's performance window, and the right button that steps an
// order back or opens the context menu.
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/BattleMenu.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"

namespace zrv {
namespace {

// Frame commands that close the move and load bars.
constexpr int kCmdViewCommandWindow2 = 32822;
constexpr int kCmdLoadBar = 32835;

// The hand-back to the menu program once the game is over.
constexpr int kReturnToTitle = 6;

// MAPCELL bit 20: the viewing country cannot see the hex.
constexpr uint32_t kCellFogged = 0x00100000u;
// Unit flag bit 16 + s: side s has the unit as a contact only.
constexpr uint32_t kUnitContactForSide0 = 0x00010000u;
// Availability word bit 29: the country has seen the type.
constexpr uint32_t kArmsSeen = 0x20000000u;
// Country flag bits: errors are explained instead of greying (26), the
// player is asked to confirm (27).
constexpr uint32_t kCountryErrorMessages = 0x04000000u;

constexpr int kSeUnseenType = 43;

const char* const kSelectionWithoutCommandUnit =
    "直前に何を行った(やった)のか報告してくれー\nこの現象は本来あり得ない\nこの後多分、暴走するっス";

}  // namespace

HEXINDEX CZRKGameView::ClientPointToHex(int x, int y) const
{
    const platform::Rect& r = m_rcMapClient;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return -1;
    const PointI scroll = GetScrollPosition();
    const int lx = x + scroll.x, ly = y + scroll.y;
    if (m_dwDispOption & kDispHqMap) {
        const int row = (ly - r.top + m_ptMapOrigin.y) / kHqRow;
        int xp = lx - r.left;
        if (row & 1) xp -= kHqCell / 2;
        // The left half cell of an odd row counts to its first column.
        const int column = (m_ptMapOrigin.x + xp) / kHqCell;
        if (row < 0 || row >= kMapSize || column < 0 || column >= kMapSize) return -1;
        return MakeHex(row, column);
    }
    return PixelToHex(lx + m_ptMapOrigin.x - r.left, ly + m_ptMapOrigin.y - r.top);
}

void CZRKGameView::OnMouseMove(PointI client)
{
    if ((m_dwDispOption & kDispMapShown) == 0) return;
    const HEXINDEX hex = ClientPointToHex(client.x, client.y);
    if (hex == m_nCursorHex) return;
    m_nCursorHex = hex;
    UNITSTRUCT* unit = nullptr;
    bool findUnit = true;
    if (m_pSelUnit != nullptr && m_nTargetHex >= 0) {
        // While a move is pending the unit is drawn at its destination and
        // its own hex shows what stands there without it.
        if (m_pDoc != nullptr && hex == GetUnitMapHex(m_pDoc->m_GameData, *m_pSelUnit)) findUnit = false;
        if (hex == m_nTargetHex) unit = m_pSelUnit;
    }
    RefreshStatusStrip(hex, true, unit, findUnit);
}

bool CZRKGameView::OnInfoScreenClick()
{
    if ((m_dwDispOption & kDispMapShown) || m_pDoc == nullptr) return false;
    if (m_pDoc->m_GameData.nFlowState != PHASE_WAITCLICK) return false;
    // In a multi-play game only the country's own player may see its map.
    if ((m_pDoc->m_dwGameOption & kOptMultiPlay) && m_pDoc->m_pCurCountry != nullptr &&
        !CheckSidePassword(*m_pDoc->m_pCurCountry, m_pDoc->m_GameData.nTurn))
        return false;
    m_dwDispOption |= kDispMapShown;
    RecalcMapExtent(false);
    if (m_pDoc->m_pCurCountry != nullptr) m_pDoc->RecomputeSight(m_pDoc->m_pCurCountry->nCapital, true);
    m_pDoc->CommitTurnState();
    // The sight pass redraws only what it changed; the whole map is new here.
    RedrawMap(true);
    return true;
}

void CZRKGameView::OnLButtonDown(PointI client)
{
    (void)client;
    if (m_pDoc == nullptr) return;
    const int phase = m_pDoc->m_GameData.nFlowState;
    if (phase == PHASE_GAMEOVER) {
        m_pDoc->RunMenuProgram(kReturnToTitle, 0);
        return;
    }
    if ((m_dwDispOption & kDispMapShown) == 0 && phase == PHASE_WAITCLICK) {
        OnInfoScreenClick();
        return;
    }
    if (!IsMapHex(m_nCursorHex) || m_nCmdMode == kModeNone || (m_dwDispOption & kDispHqMap) != 0) return;
    if (ClickHex(m_nCursorHex, nullptr)) {
        SelectUnitListRow(m_pCmdUnit);
        return;
    }
    // An order of the click may have ended the program's window.
    if (m_bDestroyed) return;
    if (m_nCmdMode == kModeProduction || m_nCmdMode == kModeDeployment) ClickPlacement(m_nCursorHex);
}

void CZRKGameView::OnLButtonDblClk(PointI client)
{
    (void)client;
    if ((m_dwDispOption & kDispMapShown) == 0 || (m_dwState & kViewBusy) || m_pDoc == nullptr) return;
    const HEXINDEX hex = m_nCursorHex;
    if (!IsMapHex(hex) || (m_dwHexUnitCode[static_cast<size_t>(hex)] & kCodeDrawn) == 0) return;
    if (m_nCmdMode >= kModeMovePending) return;
    if (m_nCmdMode == kModeMoveTarget) {
        if (m_pSelUnit != nullptr) BeginCmdWindowSelect(m_pSelUnit);
        return;
    }
    UNITSTRUCT* unit = GetUnitOnHex(hex);
    if (unit == nullptr || unit == m_pSelUnit || unit == m_pCmdUnit || m_pCurCountry == nullptr) return;
    if (m_pDoc->m_dwHexCell[hex] & kCellFogged) return;
    const COUNTRYSTRUCT* viewer = m_pDoc->m_pViewCountry;
    if (viewer == nullptr || (viewer->dwFlag & kCountryCpu)) return;
    const int side = viewer->nSide;
    if ((viewer->dwFlag & kCountryFog) && side >= 0 && side < 3 &&
        (unit->dwFlag & (HiddenFromSideBit(side) | (kUnitContactForSide0 << side))))
        return;
    const bool seen =
        unit->nArms >= 0 && unit->nArms < kArmsCount && (viewer->dwArmsAvail[unit->nArms] & kArmsSeen) != 0;
    if (seen) {
        OpenPerformanceWindow(unit, unit->nArms, 0, true);
        return;
    }
    PlaySE(kSeUnseenType);
    if (viewer->dwFlag & kCountryConfirmWindow) Dialogs().MessageBox("未確認兵器です", kBoxOk);
}

void CZRKGameView::OnContextMenu(PointI client)
{
    if ((m_dwDispOption & kDispMapShown) == 0) return;
    CancelOrContextMenu(client.x, client.y);
}

void CZRKGameView::CancelOrContextMenu(int x, int y)
{
    if (m_pDoc == nullptr || (m_pDoc->m_dwGameOption & kOptFullAutoRunning)) return;
    switch (m_nCmdMode) {
        case kModeChooseUnit:
        case kModeProduction:
        case kModeDeployment: {
            if (m_pDoc->m_GameData.nFlowState == PHASE_ENDPHASE) return;
            if (m_pCmdUnit != nullptr) {
                CancelCurrentCommand();
                return;
            }
            if (m_pSelUnit != nullptr) Dialogs().MessageBox(kSelectionWithoutCommandUnit, kBoxOk);
            if ((m_dwState & kViewHumanPhase) == 0) return;
            std::vector<int> greyed;
            const COUNTRYSTRUCT* cur = m_pDoc->m_pCurCountry;
            if (cur == nullptr || (cur->dwFlag & kCountryErrorMessages) == 0) {
                if (cur == nullptr || FindNextIdleUnit(*cur, m_nNextUnitSlot) < 0)
                    greyed.push_back(kCmdNextUnitKey);
                if (CheckProduceCommand() != 0) greyed.push_back(kCmdProduce);
                if (CheckDeployCommand() != 0) greyed.push_back(kCmdDeploy);
                if (!CanHumanAct()) greyed.push_back(kCmdEndPhase);
            }
            if (m_pFrame != nullptr) m_pFrame->ShowContextMenu({x, y}, greyed);
            return;
        }
        case kModeMovePending:
            if (m_pFrame == nullptr) return;
            if (m_dwState & kViewMoveBar) m_pFrame->SendCommand(kCmdViewCommandWindow2);
            if (m_dwState & kViewLoadBar) m_pFrame->SendCommand(kCmdLoadBar);
            return;
        case kModeUnload:
            if (m_pSelUnit != nullptr) {
                const HEXINDEX hex = GetUnitMapHex(m_pDoc->m_GameData, *m_pSelUnit);
                MarkSourceAndTarget(hex, -1);
                m_nCmdSubMode = 0;
                ClickUnload(hex);
            }
            return;
        case kModeRoute:
            m_dwState |= kViewOrderEntry;
            CloseCommandBars(false);
            if (m_nCmdSubMode == 1 && (m_dwState & kViewMoveUndoable) && m_pSelUnit != nullptr)
                (void)UndoUnitMove(*m_pDoc, *m_pSelUnit, m_SavedUnit);
            m_nCmdSubMode = 0;
            CancelCurrentCommand();
            return;
        case kModeMoveTarget:
        case kModeMerge:
        case kModeAttack:
        case kModeMarch:
        case kModeBombing:
            CancelCurrentCommand();
            return;
        default:  // 0 and 6: nothing is being entered that could step back
            return;
    }
}

}  // namespace zrv
