#include "battle/view/ViewPlacement.h"

#include "battle/view/ZRKGameView.h"

namespace zrv {

void CZRKGameView::PostCommand(int id)
{
    if (m_pWindow == nullptr || m_pFrame == nullptr) return;
    m_pWindow->Post([this, id] {
        if (m_pFrame != nullptr) m_pFrame->SendCommand(id);
    });
}

void ViewPlacement::ClearHexMarks(bool bRedraw)
{
    m_view.ClearHexMarks(bRedraw);
}

uint32_t ViewPlacement::PlacementMark(HEXINDEX hex) const
{
    return IsMapHex(hex) ? m_view.m_dwHexMarkView[static_cast<size_t>(hex)] : 0u;
}

void ViewPlacement::SetPlacementMark(HEXINDEX hex, uint32_t mark)
{
    if (IsMapHex(hex)) m_view.m_dwHexMarkView[static_cast<size_t>(hex)] = mark;
}

bool ViewPlacement::HexShowsUnit(HEXINDEX hex) const
{
    return IsMapHex(hex) && m_view.m_dwHexUnitCode[static_cast<size_t>(hex)] != 0;
}

void ViewPlacement::ClearHexUnitCode(HEXINDEX hex)
{
    if (IsMapHex(hex)) m_view.m_dwHexUnitCode[static_cast<size_t>(hex)] = 0;
}

void ViewPlacement::RedrawMap(bool rebuildUnits)
{
    m_view.RedrawMap(rebuildUnits);
}

int ViewPlacement::PlaceIndex() const
{
    return m_view.m_nPlaceArms;
}

bool ViewPlacement::PlaceArmed() const
{
    return (m_view.m_dwState & kViewPlaceChosen) != 0;
}

void ViewPlacement::SetPlaceIndex(int index)
{
    m_view.m_nPlaceArms = index;
}

void ViewPlacement::SetPlaceArmed(bool armed)
{
    if (armed)
        m_view.m_dwState |= kViewPlaceChosen;
    else
        m_view.m_dwState &= ~kViewPlaceChosen;
}

int ViewPlacement::CommandMode() const
{
    return m_view.m_nCmdMode;
}

void ViewPlacement::SetCommandMode(int mode)
{
    m_view.m_nCmdMode = mode;
}

void ViewPlacement::ReopenCommandWindows(bool keep)
{
    m_view.ReopenCommandWindows(keep);
}

int ViewPlacement::CheckProduceCommand()
{
    return m_view.CheckProduceCommand();
}

int ViewPlacement::CheckDeployCommand()
{
    return m_view.CheckDeployCommand();
}

void ViewPlacement::PostViewCommand(int id)
{
    m_view.PostCommand(id);
}

int ViewPlacement::OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport)
{
    return m_view.OpenPerformanceWindow(unit, arms, country, bReport);
}

int ViewPlacement::ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country)
{
    return m_view.ShowEvolutionTable(arms, unit, country);
}

bool ViewPlacement::IsUnitListOpen() const
{
    return m_view.IsToolWindowOpen(ToolWindow::UnitList);
}

int ViewPlacement::AddUnitListEntry(UNITSTRUCT& unit, int mode)
{
    return m_view.AddUnitListEntry(unit, mode);
}

void ViewPlacement::UpdateUnitListEntry(UNITSTRUCT& unit, bool bOutermost)
{
    m_view.UpdateUnitListEntry(unit, bOutermost);
}

PointI ViewPlacement::PlacementWindowPos() const
{
    return m_view.m_ptPlaceWnd;
}

void ViewPlacement::SetPlacementWindowPos(PointI pos)
{
    m_view.m_ptPlaceWnd = pos;
}

}  // namespace zrv
