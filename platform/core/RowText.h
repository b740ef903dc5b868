#pragma once
// The text rules of a full-row list, without a window: shortening a text that
// does not fit with "..." (never half a double-byte character) and where each
// column of a row goes. Texts are CP932; widths come from an injected
// measuring function.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Pixel width of a text in the list's font.
using TextWidthFn = std::function<int(std::string_view)>;

// text when it fits in width with offset to spare; else the longest front of
// it (whole characters, at least one byte) that fits with "..." after it,
// and "..." appended. *shortened tells which.
std::string MakeShortString(std::string_view text, int width, int offset, const TextWidthFn& measure,
                            bool* shortened = nullptr);

enum class ColumnAlign { Left, Right, Center };

// Where one row's parts go, in client pixels.
struct RowCell {
    int left = 0, right = 0;  // the text's rectangle (narrowed)
    std::string text;         // shortened as needed
    ColumnAlign align = ColumnAlign::Left;
};
struct RowPlan {
    int boundsRight = 0;  // the last column's right edge: a selection ends here
    int fillRight = 0;    // an unselected row is filled to here
    bool icon = false;    // the icon is drawn at the left of column 0
    std::vector<RowCell> cells;
};
// Lays out a row of texts under columns (widths and alignments) with an
// icon of iconWidth (0: none) in column 0, for a client of clientWidth.
RowPlan LayoutRow(std::span<const int> widths, std::span<const ColumnAlign> aligns,
                  std::span<const std::string> texts, int iconWidth, int clientWidth, const TextWidthFn& measure);
// Whether the area right of the columns is painted with the rows: the
// battle program's lists when the client is wider, the menu program's also
// when it is as wide.
bool ExtendsPastColumns(int boundsRight, int clientWidth, bool orEqual);

}  // namespace platform
