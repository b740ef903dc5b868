#pragma once
// The performance windows (性能表): up to four modeless windows, one per slot
// of the map view, each showing the performance card of a unit or a bare
// unit type with the unit data sheet below it. The view keeps which
// unit each slot shows; this hub side makes, tells and destroys the windows.

#include <array>
#include <memory>

#include "battle/dialogs/BattleSpecContext.h"
#include "battle/engine/ViewToolHub.h"

class wxWindow;

namespace zrv {

class SpecTableWindow;

class PerformanceWindows {
public:
    // owner: the window they are centred on; context: pictures and game.
    PerformanceWindows(wxWindow* owner, const BattleSpecContext& context);
    ~PerformanceWindows();

    // The view they report to (its close requests and evolution table).
    void SetHost(ToolWindowHost* host) { m_host = host; }

    // Shows unit (null: the type alone) of armsType in slot; country < 0
    // shows no country. False when the window could not be made.
    bool Show(int slot, int armsType, UNITSTRUCT* unit, int country);
    void Focus(int slot);
    void Destroy(int slot);
    void DestroyAll();
    void UnitChanged(int slot);
    void ArmsChanged(int slot);
    // The window of slot, or null.
    SpecTableWindow* Window(int slot) const;

private:
    wxWindow* m_owner;
    const BattleSpecContext& m_context;
    ToolWindowHost* m_host = nullptr;
    std::array<SpecTableWindow*, kPerformanceSlots> m_windows{};
};

}  // namespace zrv
