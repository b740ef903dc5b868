#include "battle/dialogs/wx/WxToolHub.h"

namespace zrv {

WxToolHub::WxToolHub(wxWindow* owner, CZRKGameDoc& doc, DialogView* view)
    : m_context(doc, view),
      m_performance(owner, m_context),
      m_tables(doc.m_GameData, [&doc] { return (doc.m_dwGameOption & kOptionCampaign) != 0; }, view),
      m_situation(owner, doc, view)
{
}

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

}  // namespace zrv
