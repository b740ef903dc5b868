#include "battle/dialogs/wx/WxToolHub.h"

namespace zrv {

WxToolHub::WxToolHub(wxWindow* owner, CZRKGameDoc& doc, DialogView* view)
    : m_owner(owner),
      m_context(doc, view),
      m_performance(owner, m_context),
      m_tables(doc.m_GameData, [&doc] { return (doc.m_dwGameOption & kOptionCampaign) != 0; }, view),
      m_situation(owner, doc, view)
{
}

WxToolHub::~WxToolHub() = default;

bool WxToolHub::CreateToolWindow(ToolWindow which)
{
    m_tables.SetHost(Host());
    m_situation.SetHost(Host());
    // Each family answers only for its own windows.
    return m_tables.Create(which) || m_situation.Create(which);
}

void WxToolHub::DestroyToolWindow(ToolWindow which)
{
    m_tables.Destroy(which);
    m_situation.Destroy(which);
}

void WxToolHub::RaiseToolWindow(ToolWindow which)
{
    m_tables.Raise(which);
    m_situation.Raise(which);
}

void WxToolHub::DestroyAllWindows()
{
    m_performance.DestroyAll();
    m_tables.DestroyAll();
    m_situation.DestroyAll();
    if (m_placement) m_placement->CloseAll();
}

bool WxToolHub::ShowHistoryEvent(int event, bool movie)
{
    m_situation.SetHost(Host());
    return m_situation.ShowHistoryEvent(event, movie);
}

bool WxToolHub::ShowPerformanceWindow(int slot, int armsType, UNITSTRUCT* unit, int country, int flag)
{
    (void)flag;
    m_performance.SetHost(Host());
    return m_performance.Show(slot, armsType, unit, country);
}

void WxToolHub::FocusPerformanceWindow(int slot)
{
    m_performance.Focus(slot);
}

void WxToolHub::DestroyPerformanceWindow(int slot)
{
    m_performance.Destroy(slot);
}

void WxToolHub::PerformanceUnitChanged(int slot)
{
    m_performance.UnitChanged(slot);
}

void WxToolHub::PerformanceArmsChanged(int slot)
{
    m_performance.ArmsChanged(slot);
}

void WxToolHub::RemoveUnitListRows(UNITSTRUCT& unit, bool withCargo)
{
    m_tables.RemoveUnitListRows(unit, withCargo);
}

void WxToolHub::AppendUnitListRows(UNITSTRUCT& unit, bool withCargo)
{
    m_tables.AppendUnitListRows(unit, withCargo);
}

void WxToolHub::SelectUnitListRow(const UNITSTRUCT& unit)
{
    m_tables.SelectUnitListRow(unit);
}

void WxToolHub::UpdateUnitListTitle()
{
    m_tables.UpdateUnitListTitle();
}

// --- production and deployment ------------------------------------------------------------

void WxToolHub::SetPlacementView(PlacementView* placement)
{
    m_placement.reset();
    if (placement != nullptr)
        m_placement = std::make_unique<PlacementWindows>(m_owner, m_context.Doc(), *placement, m_context.View());
}

bool WxToolHub::OpenProductionWindow()
{
    return m_placement && m_placement->Open(false);
}

bool WxToolHub::OpenDeploymentWindow()
{
    return m_placement && m_placement->Open(true);
}

void WxToolHub::CloseProductionWindow()
{
    if (m_placement) m_placement->Close(false);
}

void WxToolHub::CloseDeploymentWindow()
{
    if (m_placement) m_placement->Close(true);
}

bool WxToolHub::IsProductionWindowOpen() const
{
    return m_placement && m_placement->IsOpen(false);
}

bool WxToolHub::IsDeploymentWindowOpen() const
{
    return m_placement && m_placement->IsOpen(true);
}

void WxToolHub::UnitProducedAt(HEXINDEX hex)
{
    if (m_placement) m_placement->UnitPlaced(false, hex);
}

void WxToolHub::CarryOverPlacedAt(HEXINDEX hex)
{
    if (m_placement) m_placement->UnitPlaced(true, hex);
}

void WxToolHub::ProducibleTypesChanged(int retired, int added)
{
    if (m_placement) m_placement->TypesChanged(retired, added);
}

}  // namespace zrv
