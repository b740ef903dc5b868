#pragma once
// The map view's modeless table windows: the unit list (部隊表) and the
// terrain table (地形表). Each is a tool window with one full-row list whose
// rows come from its model; the hub makes, tells and destroys them, and a
// window that closes itself asks its host, the view, to close it.

#include <functional>
#include <memory>
#include <vector>

#include <wx/bitmap.h>

#include "battle/dialogs/ReferenceTables.h"
#include "battle/dialogs/UnitListModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/engine/DialogView.h"
#include "battle/engine/ViewToolHub.h"
#include "platform/wx/FullRowListCtrl.h"

class wxChoice;

namespace zrv {

// The system measures the list windows size themselves with.
ListMetrics SystemListMetrics();

// A table's columns as the full-row list takes them.
template <size_t N>
std::vector<platform::FullRowListCtrl::Column> ReportListColumns(const std::array<ReportColumn, N>& table)
{
    std::vector<platform::FullRowListCtrl::Column> columns;
    for (const ReportColumn& c : table) columns.push_back({c.title, c.align, c.width});
    return columns;
}

class UnitListWindow : public PaintedDialog {
public:
    UnitListWindow(GAMEDATASTRUCT& game, ToolWindowHost& host, bool campaign);
    // Hands the window rectangle and the column widths to the view.
    void StorePlacement();

    void RemoveRows(UNITSTRUCT& unit, bool withCargo);
    void AppendRows(UNITSTRUCT& unit, bool withCargo);
    bool SelectRow(const UNITSTRUCT& unit);
    void UpdateTitle();
    // The state icons, 12 x 12 side by side (none: rows without icons).
    void SetIcons(const wxBitmap& strip);
    const UnitListModel& Model() const { return m_model; }
    // Comes forward with the keys going to its list.
    void Activate();

private:
    // The list shows the model's rows again, keeping the selected unit.
    void ShowRows();
    void Place();
    void OnSize(wxSizeEvent& e);

    ToolWindowHost& m_host;
    UnitListModel m_model;
    platform::FullRowListCtrl* m_list = nullptr;
    const UNITSTRUCT* m_selected = nullptr;
};

class TerrainTableWindow : public PaintedDialog {
public:
    explicit TerrainTableWindow(ToolWindowHost& host);
    const TerrainTableModel& Model() const { return m_model; }

private:
    void ShowRows();

    ToolWindowHost& m_host;
    TerrainTableModel m_model;
    std::vector<TerrainTableModel::MoveTypeEntry> m_entries;
    platform::FullRowListCtrl* m_list = nullptr;
    wxChoice* m_combo = nullptr;
};

// The two windows for the hub.
class TableWindows {
public:
    // game: the battle; campaign: whether the game is a campaign (asked at
    // each opening).
    // view: its colours draw the state icons (may be null).
    TableWindows(GAMEDATASTRUCT& game, std::function<bool()> campaign, const DialogView* view);
    ~TableWindows();
    void SetHost(ToolWindowHost* host) { m_host = host; }

    // UnitList and TerrainTable; false for the others or without a host.
    bool Create(ToolWindow which);
    bool Destroy(ToolWindow which);
    bool Raise(ToolWindow which);
    void DestroyAll();

    void RemoveUnitListRows(UNITSTRUCT& unit, bool withCargo);
    void AppendUnitListRows(UNITSTRUCT& unit, bool withCargo);
    void SelectUnitListRow(const UNITSTRUCT& unit);
    void UpdateUnitListTitle();

    UnitListWindow* UnitList() const { return m_unitList; }
    TerrainTableWindow* TerrainTable() const { return m_terrain; }

private:
    GAMEDATASTRUCT& m_game;
    std::function<bool()> m_campaign;
    const DialogView* m_view;
    ToolWindowHost* m_host = nullptr;
    UnitListWindow* m_unitList = nullptr;
    TerrainTableWindow* m_terrain = nullptr;
};

}  // namespace zrv
