#include "battle/dialogs/wx/TableWindows.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/settings.h>

#include "foundation/Dib.h"
#include "platform/core/Paths.h"
#include "platform/core/PlayLog.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {
namespace {

constexpr int kUnitListId = 1006;
constexpr int kTerrainListId = 1148;
constexpr int kMoveTypeComboId = 1146;
constexpr int kMoveTypeLabelId = 1149;
constexpr int kIconSize = 12;

// The state icons of "UList136.pxs" in the view's colours; index 0 is
// transparent. Without the picture the rows go without icons.
wxBitmap StateIcons(const RgbQuad* colours)
{
    CDib dib;
    if (colours == nullptr || !dib.CreateFromPXS(colours, platform::ProgramFolder() + "UList136.pxs")) return {};
    const platform::Surface8 s = dib.Surface();
    if (s.Height() < kIconSize || s.Table() == nullptr) return {};
    wxImage img = platform::SurfaceToImage(s, 0, 0, s.Width(), kIconSize);
    img.InitAlpha();
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) == 0) img.SetAlpha(x, y, 0);
    return wxBitmap(img);
}

// Asks the host to close which once the current event is over.
void AskToClose(ToolWindowHost& host, ToolWindow which)
{
    ToolWindowHost* h = &host;
    wxTheApp->CallAfter([h, which] { h->CloseToolWindow(which); });
}

}  // namespace

ListMetrics SystemListMetrics()
{
    ListMetrics m;
    auto metric = [](wxSystemMetric id, int fallback) {
        const int v = wxSystemSettings::GetMetric(id);
        return v > 0 ? v : fallback;
    };
    m.cxEdge = metric(wxSYS_EDGE_X, 2);
    m.cxVScroll = metric(wxSYS_VSCROLL_X, 16);
    m.cyHScroll = metric(wxSYS_HSCROLL_Y, 16);
    return m;
}

// --- unit list ---------------------------------------------------------------------------

UnitListWindow::UnitListWindow(GAMEDATASTRUCT& game, ToolWindowHost& host, bool campaign)
    : PaintedDialog(nullptr, "部隊表", 510, 300), m_host(host), m_model(game, host, campaign)
{
    SetWindowStyleFlag(GetWindowStyleFlag() | wxRESIZE_BORDER);
    m_list = new platform::FullRowListCtrl(this, kUnitListId, wxPoint(0, 0), GetClientSize());
    m_list->SetGothicFont();
    m_list->SetShowSelectionAlways(true);
    m_list->SetColumns(ReportListColumns(UnitListColumns()));
    std::array<int, 4> rect{};
    std::array<int, kUnitListColumns> widths{};
    const bool kept = m_host.UnitListLayout(rect, widths);
    if (kept)
        for (int c = 0; c < kUnitListColumns; ++c) m_list->SetColumnWidth(c, widths[static_cast<size_t>(c)]);
    m_model.Fill();
    ShowRows();

    m_list->onClick = [this](int row) {
        // Run after the list's own handling: the click may ask a question
        // and dispose of the unit, which takes rows away.
        const UNITSTRUCT* unit = m_model.RowUnit(row);
        if (unit == nullptr) return;
        CallAfter([this, unit] {
            const int r = m_model.FindRow(*unit);
            if (r < 0) return;
            if (platform::PlayLogEnabled()) platform::PlayLog("unit list click " + std::to_string(unit->nSerial));
            m_model.ClickRow(r);
        });
    };
    m_list->onItemChanged = [this](int row) { m_selected = m_model.RowUnit(row); };
    m_list->onRightClick = [this](int row) {
        const UNITSTRUCT* unit = m_model.RowUnit(row);
        if (unit == nullptr) return;
        CallAfter([this, unit] {
            const int r = m_model.FindRow(*unit);
            if (r < 0) return;
            if (platform::PlayLogEnabled())
                platform::PlayLog("unit list performance " + std::to_string(unit->nSerial) + " type " +
                                  std::to_string(unit->nArms));
            m_model.RightClickRow(r);
        });
    };
    m_list->onColumnClick = [this](int column) {
        m_model.ClickColumn(column);
        ShowRows();
        if (platform::PlayLogEnabled())
            platform::PlayLog("unit list sorted by column " + std::to_string(column) +
                              (m_model.SortState().Descending() ? " descending" : " ascending"));
    };
    Bind(wxEVT_SIZE, &UnitListWindow::OnSize, this);

    if (kept) {
        SetSize(rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1]);
    } else {
        Place();
    }
    UpdateTitle();
    SetToolClose([this] { AskToClose(m_host, ToolWindow::UnitList); });
}

void UnitListWindow::StorePlacement()
{
    const wxRect r = GetScreenRect();
    std::array<int, kUnitListColumns> widths{};
    for (int c = 0; c < kUnitListColumns; ++c) widths[static_cast<size_t>(c)] = m_list->GetColumnWidth(c);
    m_host.KeepUnitListLayout({r.x, r.y, r.x + r.width, r.y + r.height}, widths);
}

void UnitListWindow::Place()
{
    // Twenty rows under the header, from the first row's rectangle.
    RowRect first;
    const RowRect* row = nullptr;
    if (m_model.RowCount() > 0) {
        int right = 0;
        for (int c = 0; c < kUnitListColumns; ++c) right += m_list->GetColumnWidth(c);
        first = {0, m_list->HeaderHeight(), right, m_list->HeaderHeight() + m_list->RowHeight()};
        row = &first;
    }
    const ClientSize size = m_model.OpeningSize(row, SystemListMetrics());
    SetClientSize(size.width, size.height);
}

void UnitListWindow::OnSize(wxSizeEvent& e)
{
    if (m_list != nullptr) m_list->SetSize(GetClientSize());
    e.Skip();
}

void UnitListWindow::ShowRows()
{
    m_list->SetVirtualRows(
        m_model.RowCount(), [this](int row, int column) { return m_model.CellText(row, column); },
        [this](int row) { return m_model.RowIcon(row); });
    const int row = m_selected != nullptr ? m_model.FindRow(*m_selected) : -1;
    m_list->Select(row);
    if (row < 0) m_selected = nullptr;
}

void UnitListWindow::RemoveRows(UNITSTRUCT& unit, bool withCargo)
{
    if (!m_model.RemoveRows(unit, withCargo)) return;
    ShowRows();
}

void UnitListWindow::AppendRows(UNITSTRUCT& unit, bool withCargo)
{
    m_model.AppendRows(unit, withCargo);
    ShowRows();
}

bool UnitListWindow::SelectRow(const UNITSTRUCT& unit)
{
    const int row = m_model.FindRow(unit);
    if (row < 0) return false;
    m_selected = &unit;
    m_list->Select(row);
    m_list->SetFocus();
    return true;
}

void UnitListWindow::Activate()
{
    Raise();
    m_list->SetFocus();
}

void UnitListWindow::SetIcons(const wxBitmap& strip)
{
    if (strip.IsOk()) m_list->SetImages(strip, kIconSize, kIconSize);
}

void UnitListWindow::UpdateTitle()
{
    SetTitle(SjisToWx(m_model.Caption()));
}

// --- terrain table -----------------------------------------------------------------------

TerrainTableWindow::TerrainTableWindow(ToolWindowHost& host)
    : PaintedDialog(nullptr, "地形表", TerrainTableLayoutFor(SystemListMetrics().cxVScroll).clientWidth,
                    TerrainTableLayoutFor(0).clientHeight),
      m_host(host),
      m_entries(TerrainTableModel::MoveTypeEntries())
{
    const TerrainTableLayout l = TerrainTableLayoutFor(SystemListMetrics().cxVScroll);
    Label(kMoveTypeLabelId, "移動形式選択", l.labelX, l.labelY, l.labelW, l.labelH);
    m_combo = new wxChoice(this, kMoveTypeComboId);
    for (const auto& e : m_entries) m_combo->Append(SjisToWx(e.text));
    // The toolkit's drop-down list needs more height than the layout's
    // line to show its text; it keeps its place and width.
    Place(m_combo, l.comboX, l.comboY, l.comboW, std::max(l.comboH, m_combo->GetBestSize().y));
    m_list = new platform::FullRowListCtrl(this, kTerrainListId, wxPoint(l.listX, l.listY),
                                           wxSize(l.listW, l.listH));
    m_list->SetGothicFont();
    m_list->SetShowSelectionAlways(true);
    m_list->SetColumns(ReportListColumns(TerrainTableColumns()));
    ShowRows();
    m_list->onColumnClick = [this](int column) {
        m_model.ClickColumn(column);
        ShowRows();
    };
    m_combo->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        const int k = m_combo->GetSelection();
        if (k < 0 || k >= static_cast<int>(m_entries.size())) return;
        m_model.ChooseMoveType(m_entries[static_cast<size_t>(k)].moveType);
        ShowRows();
        if (platform::PlayLogEnabled())
            platform::PlayLog("terrain table move type " + std::to_string(m_model.MoveType()));
    });
    SetToolClose([this] { AskToClose(m_host, ToolWindow::TerrainTable); });
}

void TerrainTableWindow::ShowRows()
{
    m_list->SetVirtualRows(m_model.RowCount(), [this](int row, int column) { return m_model.CellText(row, column); });
}

// --- the hub's side ------------------------------------------------------------------------

TableWindows::TableWindows(GAMEDATASTRUCT& game, std::function<bool()> campaign, const DialogView* view)
    : m_game(game), m_campaign(std::move(campaign)), m_view(view)
{
}

TableWindows::~TableWindows()
{
    DestroyAll();
}

bool TableWindows::Create(ToolWindow which)
{
    if (m_host == nullptr) return false;
    if (which == ToolWindow::UnitList) {
        if (m_unitList == nullptr) {
            m_unitList = new UnitListWindow(m_game, *m_host, m_campaign && m_campaign());
            m_unitList->SetIcons(StateIcons(m_view != nullptr ? m_view->ColorTable() : nullptr));
        }
        m_unitList->Show();
        m_unitList->Activate();
        return true;
    }
    if (which == ToolWindow::TerrainTable) {
        if (m_terrain == nullptr) m_terrain = new TerrainTableWindow(*m_host);
        m_terrain->Show();
        return true;
    }
    return false;
}

bool TableWindows::Destroy(ToolWindow which)
{
    if (which == ToolWindow::UnitList && m_unitList != nullptr) {
        UnitListWindow* w = m_unitList;
        m_unitList = nullptr;
        // The view keeps the placement for the next opening and the next
        // run; the window itself goes later, when the view may be gone.
        w->StorePlacement();
        w->Destroy();
        return true;
    }
    if (which == ToolWindow::TerrainTable && m_terrain != nullptr) {
        TerrainTableWindow* w = m_terrain;
        m_terrain = nullptr;
        w->Destroy();
        return true;
    }
    return false;
}

bool TableWindows::Raise(ToolWindow which)
{
    wxWindow* w = which == ToolWindow::UnitList       ? static_cast<wxWindow*>(m_unitList)
                  : which == ToolWindow::TerrainTable ? static_cast<wxWindow*>(m_terrain)
                                                      : nullptr;
    if (w == nullptr) return false;
    if (w == m_unitList) {
        m_unitList->Activate();
    } else {
        w->Raise();
    }
    return true;
}

void TableWindows::DestroyAll()
{
    Destroy(ToolWindow::UnitList);
    Destroy(ToolWindow::TerrainTable);
}

void TableWindows::RemoveUnitListRows(UNITSTRUCT& unit, bool withCargo)
{
    if (m_unitList != nullptr) m_unitList->RemoveRows(unit, withCargo);
}

void TableWindows::AppendUnitListRows(UNITSTRUCT& unit, bool withCargo)
{
    if (m_unitList != nullptr) m_unitList->AppendRows(unit, withCargo);
}

void TableWindows::SelectUnitListRow(const UNITSTRUCT& unit)
{
    if (m_unitList != nullptr) m_unitList->SelectRow(unit);
}

void TableWindows::UpdateUnitListTitle()
{
    if (m_unitList != nullptr) m_unitList->UpdateTitle();
}

}  // namespace zrv
