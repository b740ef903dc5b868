#pragma once
// The map view's tool windows on wx. The view keeps what each window shows
// and its open bit; this side makes, tells and destroys the windows. Windows
// not built yet keep the hub's defaults (nothing happens).

#include "battle/dialogs/BattleSpecContext.h"
#include "battle/dialogs/wx/PerformanceWindows.h"
#include "battle/dialogs/wx/TableWindows.h"
#include "battle/engine/ViewToolHub.h"

class wxWindow;

namespace zrv {

class WxToolHub : public ViewToolHub {
public:
    // owner: the main window; doc and view: what the windows show and
    // whose pictures they use (both outlive the hub's windows).
    WxToolHub(wxWindow* owner, CZRKGameDoc& doc, DialogView* view);

    bool CreateToolWindow(ToolWindow which) override;
    void DestroyToolWindow(ToolWindow which) override;
    void RaiseToolWindow(ToolWindow which) override;
    void DestroyAllWindows() override;

    bool ShowPerformanceWindow(int slot, int armsType, UNITSTRUCT* unit, int country, int flag) override;
    void FocusPerformanceWindow(int slot) override;
    void DestroyPerformanceWindow(int slot) override;
    void PerformanceUnitChanged(int slot) override;
    void PerformanceArmsChanged(int slot) override;

    // The unit list's rows follow the units.
    void RemoveUnitListRows(UNITSTRUCT& unit, bool withCargo) override;
    void AppendUnitListRows(UNITSTRUCT& unit, bool withCargo) override;
    void SelectUnitListRow(const UNITSTRUCT& unit) override;
    void UpdateUnitListTitle() override;

    PerformanceWindows& Performance() { return m_performance; }
    // The unit list and the terrain table.
    TableWindows& Tables() { return m_tables; }

private:
    BattleSpecContext m_context;
    PerformanceWindows m_performance;
    TableWindows m_tables;
};

}  // namespace zrv
