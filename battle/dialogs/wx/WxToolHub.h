#pragma once
// The map view's tool windows on wx. The view keeps what each window shows
// and its open bit; this side makes, tells and destroys the windows. Windows
// not built yet keep the hub's defaults (nothing happens).

#include <memory>

#include "battle/dialogs/BattleSpecContext.h"
#include "battle/dialogs/wx/PerformanceWindows.h"
#include "battle/dialogs/wx/TableWindows.h"
#include "battle/dialogs/wx/SituationWindows.h"
#include "battle/dialogs/wx/PlacementWindows.h"
#include "battle/engine/PlacementView.h"
#include "battle/engine/ViewToolHub.h"

class wxWindow;

namespace zrv {

class WxToolHub : public ViewToolHub {
public:
    // owner: the main window; doc and view: what the windows show and
    // whose pictures they use (both outlive the hub's windows).
    WxToolHub(wxWindow* owner, CZRKGameDoc& doc, DialogView* view);
    ~WxToolHub() override;

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
    SituationWindows& Situation() { return m_situation; }

    // The situation table, the progress window and the event popup.
    void RedrawSituationPages(uint32_t mask) override { m_situation.RedrawSituationPages(mask); }
    void UpdateProgress(int value) override { (void)value, m_situation.UpdateProgress(); }
    bool ShowHistoryEvent(int event, bool movie) override;
    void StepHistoryDisplay() override { m_situation.StepHistoryDisplay(); }
    int HistoryDisplayState() const override { return m_situation.HistoryDisplayState(); }
    void SetHistoryDisplayState(int state) override { m_situation.SetHistoryDisplayState(state); }
    void RaiseHistoryPopup() override { m_situation.RaiseHistoryPopup(); }
    bool HasHistoryWindow() const override { return m_situation.HasHistoryWindow(); }
    void HideHistoryPopup() override { m_situation.HideHistoryPopup(); }
    void DestroyHistoryPopup() override { m_situation.DestroyHistoryPopup(); }

    // The view as the production and deployment windows see it; until it
    // is given, those windows do not open.
    void SetPlacementView(PlacementView* placement);

    bool OpenProductionWindow() override;
    bool OpenDeploymentWindow() override;
    void CloseProductionWindow() override;
    void CloseDeploymentWindow() override;
    bool IsProductionWindowOpen() const override;
    bool IsDeploymentWindowOpen() const override;
    void UnitProducedAt(HEXINDEX hex) override;
    void CarryOverPlacedAt(HEXINDEX hex) override;
    void ProducibleTypesChanged(int retired, int added) override;

private:
    wxWindow* m_owner;
    BattleSpecContext m_context;
    PerformanceWindows m_performance;
    TableWindows m_tables;
    SituationWindows m_situation;
    std::unique_ptr<PlacementWindows> m_placement;
};

}  // namespace zrv
