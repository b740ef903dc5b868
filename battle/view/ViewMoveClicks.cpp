// The clicks that complete a move or an attack: the destination of a move
// (mode 4), an attack target beside the pending move (mode 5) and the target
// of the attack command (mode 8).
#include <algorithm>

#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"

namespace zrv {

namespace {

constexpr int kCmdViewCommandWindow2 = 32822;
constexpr int kCmdLoadBar = 32835;
// Reach word bits 30-31: the hex cannot be reached.
constexpr uint32_t kReachBlocked = 0xC0000000u;
// A country whose units get no attack targets marked.
constexpr uint32_t kCountryNoTargetMarks = 0x04000000u;

}  // namespace

// The document's move and take-back tell the view to draw the unit at its
// start again; the pending move keeps showing it at its destination.
CZRKGameView::PendingDisplay CZRKGameView::SavePendingDisplay(HEXINDEX start) const
{
    PendingDisplay d;
    d.start = start;
    if (IsMapHex(start)) d.startCode = m_dwHexUnitCode[static_cast<size_t>(start)];
    if (IsMapHex(m_nTargetHex)) d.targetCode = m_dwHexUnitCode[static_cast<size_t>(m_nTargetHex)];
    return d;
}

void CZRKGameView::RestorePendingDisplay(const PendingDisplay& d)
{
    if (IsMapHex(d.start)) m_dwHexUnitCode[static_cast<size_t>(d.start)] = d.startCode;
    if (IsMapHex(m_nTargetHex)) m_dwHexUnitCode[static_cast<size_t>(m_nTargetHex)] = d.targetCode;
}

int CZRKGameView::ClickMoveDestination(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(hex) ||
        (m_pDoc->m_dwHexMove[hex] & kReachBlocked) != 0)
        return 0;
    const bool carried = (sel->dwFlag & kUnitCarried) != 0;
    const int result = ExecuteMove(hex);
    LogEffect("move", result, hex);
    if (result == -1 || result == 4) return 0;
    if (carried && result == 3) {
        EndSelection(true);
        return 0;
    }
    // A route ending on a unit's hex boards it: the load bar follows.
    const bool onUnit = IsMapHex(m_nTargetHex) && IsUnitRef(m_pDoc->m_dwHexUnit[m_nTargetHex]) &&
                        m_pDoc->m_dwHexUnit[m_nTargetHex] != sel->refSelf;
    const int command = onUnit ? kCmdLoadBar : kCmdViewCommandWindow2;
    m_nCandidateHex.fill(-1);
    if (command == kCmdViewCommandWindow2) FillAttackCandidates();
    m_nCmdMode = kModeMovePending;
    if (m_pFrame != nullptr) m_pFrame->SendCommand(command);
    return 0;
}

void CZRKGameView::FillAttackCandidates()
{
    m_nCandidateHex.fill(-1);
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(m_nTargetHex)) return;
    if (m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryNoTargetMarks)) return;
    if (m_pDoc->CheckAttackFromHex(*sel, m_nTargetHex) != 0) return;
    // The targets as they would stand after the move: the move is applied
    // for the search and taken back.
    UNITSTRUCT saved{};
    const HEXINDEX start = GetUnitMapHex(m_pDoc->m_GameData, *sel);
    const PendingDisplay shown = SavePendingDisplay(start);
    const bool moved = start != m_nTargetHex && MoveUnitTo(*m_pDoc, *sel, m_nTargetHex, &saved).Done();
    std::array<UNITSTRUCT*, 65> targets{};
    ListTargetsInRange(*sel, m_pDoc->m_GameData, true, false, targets);
    if (moved) (void)UndoUnitMove(*m_pDoc, *sel, saved);
    RestorePendingDisplay(shown);
    size_t n = 0;
    for (UNITSTRUCT* t : targets) {
        if (t == nullptr || n + 1 >= m_nCandidateHex.size()) break;
        const HEXINDEX h = GetUnitMapHex(m_pDoc->m_GameData, *t);
        if (IsMapHex(h)) m_nCandidateHex[n++] = h;
    }
    if (n > 0) MarkHexList(4, true);
}

int CZRKGameView::ClickMovePending(HEXINDEX hex)
{
    if (hex == m_nTargetHex) return 0;
    return ClickAttackTarget(hex);
}

int CZRKGameView::ClickAttackTarget(HEXINDEX hex)
{
    UNITSTRUCT* sel = m_pSelUnit;
    if (sel == nullptr || m_pDoc == nullptr || !IsMapHex(hex)) return 0;
    // Only a marked candidate counts.
    const auto end = std::find(m_nCandidateHex.begin(), m_nCandidateHex.end(), -1);
    if (std::find(m_nCandidateHex.begin(), end, hex) == end) return 0;
    UNITSTRUCT* target = GetUnitOnHex(hex);
    if (target == nullptr) return 0;
    const int mode = m_nCmdMode;
    // The pending move is made now; the decision may take it back.
    m_dwState |= kViewOrderEntry;
    // The bars' closing must not show the pending move again: it is made now.
    CloseCommandBars(false);
    bool movedFirst = false;
    const PendingDisplay shown = SavePendingDisplay(GetUnitMapHex(m_pDoc->m_GameData, *sel));
    if (IsMapHex(m_nTargetHex) && GetUnitMapHex(m_pDoc->m_GameData, *sel) != m_nTargetHex)
        movedFirst = MoveUnitTo(*m_pDoc, *sel, m_nTargetHex, &m_SavedUnit).Done();
    MarkHex4(hex);
    uint32_t mask = 0;
    if (AskAttackDecision(*sel, *target, true, movedFirst, false, mask) == kAnswerOk) {
        m_nCmdMode = kModeNone;
        ExecuteAttack(*sel, *target, mask);
        return 0;
    }
    if (movedFirst) (void)UndoUnitMove(*m_pDoc, *sel, m_SavedUnit);
    RestorePendingDisplay(shown);
    CancelCurrentCommand();
    if (mode == kModeMovePending) m_nCmdMode = kModeMovePending;
    return 0;
}

}  // namespace zrv
