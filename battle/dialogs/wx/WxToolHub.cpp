#include "battle/dialogs/wx/WxToolHub.h"

namespace zrv {

WxToolHub::WxToolHub(wxWindow* owner, CZRKGameDoc& doc, DialogView* view)
    : m_context(doc, view), m_performance(owner, m_context)
{
}

void WxToolHub::DestroyAllWindows()
{
    m_performance.DestroyAll();
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

}  // namespace zrv
