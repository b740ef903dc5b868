// The view's side of its tool windows: their open bits, the progress window
// of the computer phases, the situation table's redraws, and what the battle
// dialogs read and set in the view.
#include <algorithm>

#include "battle/view/ZRKGameView.h"

namespace zrv {

bool CZRKGameView::OpenToolWindow(ToolWindow which)
{
    if (IsToolWindowOpen(which)) {
        m_pHub->RaiseToolWindow(which);
        return true;
    }
    if (!m_pHub->CreateToolWindow(which)) return false;
    m_dwDispOption |= ToolWindowBit(which);
    return true;
}

void CZRKGameView::CloseToolWindow(ToolWindow which)
{
    // The bit goes first: a window destroyed here may report its closing
    // again, and then finds itself closed already.
    if (!IsToolWindowOpen(which)) return;
    m_dwDispOption &= ~ToolWindowBit(which);
    m_pHub->DestroyToolWindow(which);
}

void CZRKGameView::OpenProgressWindow()
{
    LogEffect("progress-open", 0);
    // The progress window shares its option bit with the reduced map.
    if (IsToolWindowOpen(ToolWindow::Progress) || (m_dwDispOption & kDispHqMap) == 0) return;
    if (m_pWindow != nullptr && m_pWindow->IsMinimised()) return;
    OpenToolWindow(ToolWindow::Progress);
}

void CZRKGameView::UpdateProgressWindow(int value)
{
    LogEffect("progress", value);
    if (IsToolWindowOpen(ToolWindow::Progress)) m_pHub->UpdateProgress(value);
}

void CZRKGameView::GetToolWindowPlace(ToolWindow which, int& x, int& y) const
{
    x = 0x7FFF, y = 0;
    if (which == ToolWindow::Progress) x = m_nProgX, y = m_nProgY;
}

void CZRKGameView::StoreToolWindowPlace(ToolWindow which, int x, int y)
{
    if (which == ToolWindow::Progress) m_nProgX = x, m_nProgY = y;
}

void CZRKGameView::NotifySituationTable(int mask)
{
    if (IsToolWindowOpen(ToolWindow::SituationTable)) m_pHub->RedrawSituationPages(static_cast<uint32_t>(mask));
}

void CZRKGameView::SetTargetHexes(std::span<const HEXINDEX> hexes)
{
    size_t n = std::min(hexes.size(), m_nCandidateHex.size() - 1);
    std::copy_n(hexes.begin(), n, m_nCandidateHex.begin());
    m_nCandidateHex[n] = -1;
}

const RgbQuad* CZRKGameView::ColorTable() const
{
    return GetPalette() != nullptr ? GetPalette()->GetColorTable() : nullptr;
}

}  // namespace zrv
