#pragma once
// The list dialogs' tables: the column tables (title, alignment, width in
// 6-pixel characters) and the sort state of a header click. The row text
// rules of the list itself are platform's (RowText.h).

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/core/RowText.h"

namespace zrv {

using platform::ColumnAlign;

// One column of a list dialog's table: title, alignment and width in
// characters of 6 pixels.
struct ListColumn {
    const char* title;
    ColumnAlign align;
    int chars;
    int Width() const { return chars * 6; }
};

// Header-click sorting. The key is the column in the low bits with bit 31 for
// descending. Each column keeps a toggle.
//   CheckThenFlip: toggles start 0; a click sorts by the toggle and then
//   flips it (the first click ascending).
//   FlipThenCheck: toggles start 1 except the initial sort column's; a click
//   flips first and then sorts by it (the initial column's first click
//   descending, any other's ascending).
class SortState {
public:
    enum class Convention { CheckThenFlip, FlipThenCheck };
    static constexpr uint32_t kDescending = 0x80000000u;

    SortState(Convention convention, int columns, int initialColumn = 0);
    // A click on column's header: the key to sort by.
    uint32_t Click(int column);
    uint32_t Key() const { return m_key; }

private:
    Convention m_convention;
    std::vector<int> m_toggle;
    uint32_t m_key;
};

// Sorts rows stably by key with less, a total order on the column
// (less(a, b, column)); bit 31 of key reverses it.
template <class Row, class Less>
void SortRows(std::vector<Row>& rows, uint32_t key, Less less)
{
    const int column = static_cast<int>(key & ~SortState::kDescending);
    if (key & SortState::kDescending) {
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) { return less(b, a, column); });
    } else {
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) { return less(a, b, column); });
    }
}

}  // namespace zrv
