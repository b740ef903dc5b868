#include "battle/dialogs/wx/PerformanceWindows.h"

#include "battle/dialogs/wx/SpecTableWindow.h"
#include "battle/engine/UnitRules.h"
#include "platform/core/PlayLog.h"

namespace zrv {

PerformanceWindows::PerformanceWindows(wxWindow* owner, const BattleSpecContext& context)
    : m_owner(owner), m_context(context)
{
}

PerformanceWindows::~PerformanceWindows()
{
    DestroyAll();
}

SpecTableWindow* PerformanceWindows::Window(int slot) const
{
    if (slot < 0 || slot >= kPerformanceSlots) return nullptr;
    return m_windows[static_cast<size_t>(slot)];
}

bool PerformanceWindows::Show(int slot, int armsType, UNITSTRUCT* unit, int country)
{
    if (slot < 0 || slot >= kPerformanceSlots || ArmsRecord(armsType) == nullptr) return false;
    Destroy(slot);
    // The unit's own country; a bare type the current one; a negative army none.
    COUNTRYSTRUCT* c = nullptr;
    if (country >= 0) {
        c = m_context.CurrentCountry();
        if (unit != nullptr) {
            const int own = RefCountry(unit->refSelf);
            c = own < kCountryCount ? &m_context.Doc().m_GameData.Country[own] : nullptr;
        }
    }
    auto* w = new SpecTableWindow(m_owner, m_context, m_host, slot, armsType, unit, c);
    m_windows[static_cast<size_t>(slot)] = w;
    // The window may also go with its owner.
    w->Bind(wxEVT_DESTROY, [this, w, slot](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == w && m_windows[static_cast<size_t>(slot)] == w)
            m_windows[static_cast<size_t>(slot)] = nullptr;
        e.Skip();
    });
    w->Show();
    // The windows all stand centred on their owner: one mapped exactly over
    // another may be told of no exposure (no window manager), so it is
    // painted once shown.
    w->CallAfter([w] { w->Refresh(); });
    if (platform::PlayLogEnabled())
        platform::PlayLog("spec window " + std::to_string(slot) + " shown [" + w->GetTitle().utf8_string() + "]");
    return true;
}

void PerformanceWindows::Focus(int slot)
{
    if (SpecTableWindow* w = Window(slot)) {
        w->Raise();
        w->SetFocus();
        w->Refresh();
        if (platform::PlayLogEnabled()) platform::PlayLog("spec window " + std::to_string(slot) + " focused");
    }
}

void PerformanceWindows::Destroy(int slot)
{
    SpecTableWindow* w = Window(slot);
    if (w == nullptr) return;
    m_windows[static_cast<size_t>(slot)] = nullptr;
    w->Destroy();
    if (platform::PlayLogEnabled()) platform::PlayLog("spec window " + std::to_string(slot) + " closed");
}

void PerformanceWindows::DestroyAll()
{
    for (int slot = 0; slot < kPerformanceSlots; ++slot) Destroy(slot);
}

void PerformanceWindows::UnitChanged(int slot)
{
    if (SpecTableWindow* w = Window(slot)) w->UnitChanged();
}

void PerformanceWindows::ArmsChanged(int slot)
{
    if (SpecTableWindow* w = Window(slot)) w->ArmsChanged();
}

}  // namespace zrv
