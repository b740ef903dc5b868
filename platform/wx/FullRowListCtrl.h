#pragma once
// The game's full-row list: a report list drawn by hand (the toolkit's own
// list cannot be owner-drawn), with a header of titled columns, whole-row
// selection that ends at the last column while unselected rows are filled to
// the client's edge, 12 x 12 icons (settable) from one picture strip, texts
// shortened with "..." that never split a double-byte character, and the
// game's gothic face. Rows are kept in the control or come from a callback
// (virtual rows). Texts are CP932.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/window.h>

#include "platform/core/RowText.h"
#include "platform/wx/ScriptPlayer.h"

namespace platform {

// The game's fixed-pitch gothic face at a pixel height, bold or not.
wxFont GothicFont(int pixelHeight, bool bold = false);

class FullRowListCtrl : public wxWindow, public LoggedRows {
public:
    struct Column {
        std::string title;  // CP932
        ColumnAlign align = ColumnAlign::Left;
        int width = 60;
    };

    FullRowListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    // --- columns and rows -------------------------------------------------------
    void SetColumns(std::vector<Column> columns);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // Kept rows: texts per column (CP932), an icon (-1 none) and the caller's data.
    int AppendRow(std::vector<std::string> texts, int image = -1, uintptr_t data = 0);
    void DeleteRow(int row);
    void DeleteAllRows();
    void SetRowText(int row, int column, std::string text);
    uintptr_t GetRowData(int row) const;
    // Virtual rows: count rows whose texts and icons come from the callbacks.
    void SetVirtualRows(int count, std::function<std::string(int row, int column)> text,
                        std::function<int(int row)> image = {});
    int RowCount() const;
    std::string RowText(int row, int column) const;

    // --- selection -------------------------------------------------------------
    int GetSelection() const { return m_selected; }
    // Selects row (-1: none) and brings it into sight; no event.
    void Select(int row);
    void EnsureVisible(int row);
    // Show the selection also without the focus.
    void SetShowSelectionAlways(bool on) { m_showAlways = on; }
    // Keep the selection when rows are filled again (off: cleared).
    void SetKeepSelection(bool on) { m_keepSelection = on; }

    // --- looks -----------------------------------------------------------------
    // The icons: cells of cx x cy laid left to right in strip; white is
    // transparent.
    void SetImages(const wxBitmap& strip, int cx = 12, int cy = 12);
    void SetImageSize(int cx, int cy);
    // The gothic face of height 12.
    void SetGothicFont();
    // The menu program's lists paint past the columns also at equal widths.
    void SetMenuVariant(bool on) { m_menuVariant = on; }
    int HeaderHeight() const { return m_headerH; }
    int RowHeight() const { return m_rowH; }

    // --- what the player does ------------------------------------------------------
    std::function<void(int row)> onItemChanged;
    std::function<void(int row)> onClick;
    std::function<void(int row)> onDoubleClick;
    std::function<void(int row)> onRightClick;
    std::function<void(int column)> onColumnClick;

    // The rows for the test player's log.
    std::vector<std::string> RowsForLog() const override;

private:
    void OnPaint(wxPaintEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnMouse(wxMouseEvent& e);
    void OnKey(wxKeyEvent& e);
    void OnFocus(wxFocusEvent& e);
    void OnScroll(wxScrollWinEvent& e);
    int RowAt(int y) const;
    int ColumnAt(int x) const;
    void UpdateScroll();
    void ChangeSelection(int row);
    int Measure(std::string_view sjis) const;

    struct Row {
        std::vector<std::string> texts;
        int image = -1;
        uintptr_t data = 0;
    };
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    bool m_virtual = false;
    int m_virtualCount = 0;
    std::function<std::string(int, int)> m_virtualText;
    std::function<int(int)> m_virtualImage;
    int m_selected = -1;
    int m_top = 0;  // first row shown
    bool m_showAlways = true;
    bool m_keepSelection = true;
    bool m_menuVariant = false;
    wxBitmap m_images;
    int m_cxImage = 12, m_cyImage = 12;
    int m_headerH = 18, m_rowH = 14;
};

}  // namespace platform
