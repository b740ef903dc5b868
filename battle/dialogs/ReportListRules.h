#pragma once
// What the unit list and the reference tables share without a window: the
// sort state of their column clicks, the compare of names that folds the case
// of ASCII letters only, the first size of a list that shows a fixed number of
// rows, and the columns' titles, alignments and default widths.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/RowText.h"

namespace zrv {

// One column: its title (CP932), alignment and default width in pixels.
struct ReportColumn {
    const char* title;
    platform::ColumnAlign align;
    int width;
};

// Widths are given in characters of six pixels.
inline constexpr int kListCharWidth = 6;

// The column clicks: each column has a toggle; a column sorts descending
// while its toggle is set. At first every toggle is set but the first
// column's, which sorts ascending.
class ListSortState {
public:
    ListSortState(int columns, int first);
    // The clicked column becomes the sort column and its toggle flips; true
    // when it now sorts descending. A column outside the list changes nothing.
    bool Click(int column);
    int Column() const { return m_column; }
    bool Descending() const { return m_toggle[static_cast<size_t>(m_column)] != 0; }

private:
    int m_column;
    std::vector<int> m_toggle;
};

// Negative, 0 or positive as a sorts before, with or after b, folding the
// case of ASCII letters; both bytes of a double-byte character compare as
// they stand (a trail byte is never folded).
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);

// Sign of a 64-bit key difference, so that no difference overflows an int.
constexpr int KeyOrder(int64_t a, int64_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The system measures the sizing adds to.
struct ListMetrics {
    int cxEdge = 2;      // a sunken edge
    int cxVScroll = 16;  // a vertical scroll bar's width
    int cyHScroll = 16;  // a horizontal scroll bar's height
};

// The rectangle of a list's first row in client pixels.
struct RowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The client size a list window opens with to show `shown` rows under its
// header: width from the row's right edge, height for the header and the
// rows; the edges add to the width, and a list with more rows than shown
// adds a vertical scroll bar's width, and with more than shown - 1 rows the
// height gives up a horizontal scroll bar's height less one.
struct ClientSize {
    int width = 0, height = 0;
};
ClientSize ListOpeningSize(const RowRect& firstRow, int shown, int rows, const ListMetrics& metrics);

// The unit list's stand-in row rectangle when it has no row yet.
inline constexpr RowRect kUnitListEmptyRow{0, 16, 510, 29};

}  // namespace zrv
