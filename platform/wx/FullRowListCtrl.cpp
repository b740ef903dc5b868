#include "platform/wx/FullRowListCtrl.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "platform/core/Text.h"
#include "platform/gfx/Font8.h"

namespace platform {
namespace {

wxString FromSjis(std::string_view s)
{
    return wxString::FromUTF8(SjisToUtf8(s));
}

}  // namespace

wxFont GothicFont(int pixelHeight, bool bold)
{
    wxFontInfo info(wxSize(0, pixelHeight));
    info.FaceName(wxString::FromUTF8(FontFamilyFor("")));
    if (bold) info.Bold();
    return wxFont(info);
}

FullRowListCtrl::FullRowListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_SUNKEN | wxVSCROLL | wxWANTS_CHARS)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetGothicFont();
    Bind(wxEVT_PAINT, &FullRowListCtrl::OnPaint, this);
    Bind(wxEVT_SIZE, &FullRowListCtrl::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &FullRowListCtrl::OnMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &FullRowListCtrl::OnMouse, this);
    Bind(wxEVT_RIGHT_DOWN, &FullRowListCtrl::OnMouse, this);
    Bind(wxEVT_MOUSEWHEEL, &FullRowListCtrl::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &FullRowListCtrl::OnKey, this);
    Bind(wxEVT_SET_FOCUS, &FullRowListCtrl::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &FullRowListCtrl::OnFocus, this);
    Bind(wxEVT_SCROLLWIN_TOP, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &FullRowListCtrl::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &FullRowListCtrl::OnScroll, this);
}

void FullRowListCtrl::SetColumns(std::vector<Column> columns)
{
    m_columns = std::move(columns);
    Refresh();
}

int FullRowListCtrl::GetColumnWidth(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_columns[static_cast<size_t>(column)].width : 0;
}

void FullRowListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= ColumnCount()) return;
    m_columns[static_cast<size_t>(column)].width = std::max(0, width);
    Refresh();
}

int FullRowListCtrl::AppendRow(std::vector<std::string> texts, int image, uintptr_t data)
{
    m_virtual = false;
    m_rows.push_back({std::move(texts), image, data});
    UpdateScroll();
    Refresh();
    return static_cast<int>(m_rows.size()) - 1;
}

void FullRowListCtrl::DeleteRow(int row)
{
    if (m_virtual || row < 0 || row >= static_cast<int>(m_rows.size())) return;
    m_rows.erase(m_rows.begin() + row);
    if (m_selected == row) {
        m_selected = -1;
    } else if (m_selected > row) {
        --m_selected;
    }
    UpdateScroll();
    Refresh();
}

void FullRowListCtrl::DeleteAllRows()
{
    m_rows.clear();
    m_virtualCount = 0;
    if (!m_keepSelection) m_selected = -1;
    m_top = 0;
    UpdateScroll();
    Refresh();
}

void FullRowListCtrl::SetRowText(int row, int column, std::string text)
{
    if (m_virtual || row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0) return;
    auto& texts = m_rows[static_cast<size_t>(row)].texts;
    if (texts.size() <= static_cast<size_t>(column)) texts.resize(static_cast<size_t>(column) + 1);
    texts[static_cast<size_t>(column)] = std::move(text);
    Refresh();
}

uintptr_t FullRowListCtrl::GetRowData(int row) const
{
    return !m_virtual && row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)].data : 0;
}

void FullRowListCtrl::SetVirtualRows(int count, std::function<std::string(int, int)> text,
                                     std::function<int(int)> image)
{
    m_virtual = true;
    m_rows.clear();
    m_virtualCount = std::max(0, count);
    m_virtualText = std::move(text);
    m_virtualImage = std::move(image);
    if (!m_keepSelection || m_selected >= m_virtualCount) m_selected = -1;
    UpdateScroll();
    Refresh();
}

int FullRowListCtrl::RowCount() const
{
    return m_virtual ? m_virtualCount : static_cast<int>(m_rows.size());
}

std::string FullRowListCtrl::RowText(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0) return {};
    if (m_virtual) return m_virtualText ? m_virtualText(row, column) : std::string();
    const auto& texts = m_rows[static_cast<size_t>(row)].texts;
    return static_cast<size_t>(column) < texts.size() ? texts[static_cast<size_t>(column)] : std::string();
}

void FullRowListCtrl::Select(int row)
{
    m_selected = row >= 0 && row < RowCount() ? row : -1;
    if (m_selected >= 0) EnsureVisible(m_selected);
    Refresh();
}

void FullRowListCtrl::EnsureVisible(int row)
{
    const int shown = std::max(1, (GetClientSize().y - m_headerH) / m_rowH);
    if (row < m_top) {
        m_top = row;
    } else if (row >= m_top + shown) {
        m_top = row - shown + 1;
    }
    UpdateScroll();
    Refresh();
}

void FullRowListCtrl::SetImages(const wxBitmap& strip, int cx, int cy)
{
    m_images = strip;
    // White is transparent: a strip without its own mask gets one.
    if (m_images.IsOk() && m_images.GetMask() == nullptr) m_images.SetMask(new wxMask(m_images, *wxWHITE));
    SetImageSize(cx, cy);
}

void FullRowListCtrl::SetImageSize(int cx, int cy)
{
    m_cxImage = std::max(0, cx);
    m_cyImage = std::max(0, cy);
    m_rowH = std::max(m_rowH, m_cyImage + 2);
    Refresh();
}

void FullRowListCtrl::SetGothicFont()
{
    SetFont(GothicFont(12));
    m_rowH = std::max(14, m_cyImage + 2);
    m_headerH = 18;
    Refresh();
}

int FullRowListCtrl::Measure(std::string_view sjis) const
{
    wxClientDC dc(const_cast<FullRowListCtrl*>(this));
    dc.SetFont(GetFont());
    return dc.GetTextExtent(FromSjis(sjis)).x;
}

void FullRowListCtrl::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetFont(GetFont());
    const wxSize client = GetClientSize();
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const wxColour high = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const wxColour highText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc.SetBackground(wxBrush(window));
    dc.Clear();

    std::vector<int> widths;
    std::vector<ColumnAlign> aligns;
    for (const Column& c : m_columns) {
        widths.push_back(c.width);
        aligns.push_back(c.align);
    }
    const TextWidthFn measure = [&dc](std::string_view s) { return dc.GetTextExtent(FromSjis(s)).x; };

    // Header: one button face per column, the title by the column's alignment.
    int x = 0;
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    for (const Column& c : m_columns) {
        dc.SetBrush(wxBrush(face));
        dc.DrawRectangle(x, 0, c.width, m_headerH);
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
        const std::string title = MakeShortString(c.title, c.width, 12, measure);
        const wxRect r(x + 6, 0, std::max(0, c.width - 12), m_headerH);
        const int flags = c.align == ColumnAlign::Right    ? wxALIGN_RIGHT
                          : c.align == ColumnAlign::Center ? wxALIGN_CENTER_HORIZONTAL
                                                                : wxALIGN_LEFT;
        dc.DrawLabel(FromSjis(title), r, flags | wxALIGN_CENTER_VERTICAL);
        x += c.width;
    }
    if (x < client.x) {
        dc.SetBrush(wxBrush(face));
        dc.DrawRectangle(x, 0, client.x - x, m_headerH);
    }

    const bool focused = HasFocus();
    const int rows = RowCount();
    for (int row = m_top, y = m_headerH; row < rows && y < client.y; ++row, y += m_rowH) {
        std::vector<std::string> texts;
        for (int c = 0; c < ColumnCount(); ++c) texts.push_back(RowText(row, c));
        const int image = m_virtual ? (m_virtualImage ? m_virtualImage(row) : -1) : m_rows[static_cast<size_t>(row)].image;
        const RowPlan plan =
            LayoutRow(widths, aligns, texts, image >= 0 && m_images.IsOk() ? m_cxImage : 0, client.x, measure);
        const bool selected = row == m_selected && (focused || m_showAlways);
        dc.SetPen(*wxTRANSPARENT_PEN);
        if (selected) {
            // The highlight ends at the last column.
            dc.SetBrush(wxBrush(high));
            dc.DrawRectangle(0, y, plan.boundsRight, m_rowH);
            dc.SetTextForeground(highText);
        } else {
            const int right = ExtendsPastColumns(plan.boundsRight, client.x, m_menuVariant) ? plan.fillRight
                                                                                                : plan.boundsRight;
            dc.SetBrush(wxBrush(window));
            dc.DrawRectangle(0, y, right, m_rowH);
            dc.SetTextForeground(text);
        }
        if (plan.icon && m_images.IsOk()) {
            const wxRect cell(image * m_cxImage, 0, m_cxImage, m_cyImage);
            if (cell.GetRight() < m_images.GetWidth() && cell.GetBottom() < m_images.GetHeight())
                dc.DrawBitmap(m_images.GetSubBitmap(cell), 0, y + (m_rowH - m_cyImage) / 2, true);
        }
        for (const RowCell& cell : plan.cells) {
            const wxRect r(cell.left, y, std::max(0, cell.right - cell.left), m_rowH);
            const int flags = cell.align == ColumnAlign::Right    ? wxALIGN_RIGHT
                              : cell.align == ColumnAlign::Center ? wxALIGN_CENTER_HORIZONTAL
                                                                       : wxALIGN_LEFT;
            dc.DrawLabel(FromSjis(cell.text), r, flags | wxALIGN_CENTER_VERTICAL);
        }
        if (row == m_selected && focused) {
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.SetPen(wxPen(text, 1, wxPENSTYLE_DOT));
            dc.DrawRectangle(0, y, plan.boundsRight, m_rowH);
        }
    }
}

void FullRowListCtrl::OnSize(wxSizeEvent& e)
{
    UpdateScroll();
    Refresh();
    e.Skip();
}

int FullRowListCtrl::RowAt(int y) const
{
    if (y < m_headerH) return -1;
    const int row = m_top + (y - m_headerH) / m_rowH;
    return row < RowCount() ? row : -1;
}

int FullRowListCtrl::ColumnAt(int x) const
{
    int left = 0;
    for (int c = 0; c < ColumnCount(); ++c) {
        left += m_columns[static_cast<size_t>(c)].width;
        if (x < left) return c;
    }
    return -1;
}

void FullRowListCtrl::ChangeSelection(int row)
{
    if (row == m_selected) return;
    m_selected = row;
    if (row >= 0) EnsureVisible(row);
    Refresh();
    if (row >= 0 && onItemChanged) onItemChanged(row);
}

void FullRowListCtrl::OnMouse(wxMouseEvent& e)
{
    if (e.GetEventType() == wxEVT_MOUSEWHEEL) {
        m_top = std::clamp(m_top - e.GetWheelRotation() / std::max(1, e.GetWheelDelta()) * 3, 0,
                           std::max(0, RowCount() - 1));
        UpdateScroll();
        Refresh();
        return;
    }
    SetFocus();
    const wxPoint p = e.GetPosition();
    if (p.y < m_headerH) {
        const int column = ColumnAt(p.x);
        // A title clicked twice in quick succession sorts twice: the second
        // press comes as a double click.
        if ((e.LeftDown() || e.LeftDClick()) && column >= 0 && onColumnClick) onColumnClick(column);
        return;
    }
    const int row = RowAt(p.y);
    if (row >= 0) ChangeSelection(row);
    if (e.LeftDown() && onClick) onClick(row);
    if (e.LeftDClick() && row >= 0 && onDoubleClick) onDoubleClick(row);
    if (e.RightDown() && onRightClick) onRightClick(row);
}

void FullRowListCtrl::OnKey(wxKeyEvent& e)
{
    const int rows = RowCount();
    const int page = std::max(1, (GetClientSize().y - m_headerH) / m_rowH);
    int to = m_selected;
    switch (e.GetKeyCode()) {
    case WXK_UP: to = std::max(0, m_selected - 1); break;
    case WXK_DOWN: to = std::min(rows - 1, m_selected + 1); break;
    case WXK_PAGEUP: to = std::max(0, m_selected - page); break;
    case WXK_PAGEDOWN: to = std::min(rows - 1, m_selected + page); break;
    case WXK_HOME: to = rows > 0 ? 0 : -1; break;
    case WXK_END: to = rows - 1; break;
    default: e.Skip(); return;
    }
    ChangeSelection(to);
}

void FullRowListCtrl::OnFocus(wxFocusEvent& e)
{
    Refresh();
    e.Skip();
}

void FullRowListCtrl::OnScroll(wxScrollWinEvent& e)
{
    const int rows = RowCount();
    const int page = std::max(1, (GetClientSize().y - m_headerH) / m_rowH);
    const wxEventType t = e.GetEventType();
    if (t == wxEVT_SCROLLWIN_TOP) {
        m_top = 0;
    } else if (t == wxEVT_SCROLLWIN_BOTTOM) {
        m_top = rows - page;
    } else if (t == wxEVT_SCROLLWIN_LINEUP) {
        --m_top;
    } else if (t == wxEVT_SCROLLWIN_LINEDOWN) {
        ++m_top;
    } else if (t == wxEVT_SCROLLWIN_PAGEUP) {
        m_top -= page;
    } else if (t == wxEVT_SCROLLWIN_PAGEDOWN) {
        m_top += page;
    } else {
        m_top = e.GetPosition();
    }
    m_top = std::clamp(m_top, 0, std::max(0, rows - page));
    UpdateScroll();
    Refresh();
}

void FullRowListCtrl::UpdateScroll()
{
    const int page = std::max(1, (GetClientSize().y - m_headerH) / m_rowH);
    const int rows = RowCount();
    m_top = std::clamp(m_top, 0, std::max(0, rows - page));
    SetScrollbar(wxVERTICAL, m_top, page, rows);
}

std::vector<std::string> FullRowListCtrl::RowsForLog() const
{
    std::vector<std::string> out;
    for (int r = 0; r < RowCount(); ++r) {
        std::string line = r == m_selected ? "*" : "";
        for (int c = 0; c < ColumnCount(); ++c) {
            if (c > 0) line += " | ";
            line += SjisToUtf8(RowText(r, c));
        }
        out.push_back(line);
    }
    return out;
}

}  // namespace platform
