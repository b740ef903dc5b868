#pragma once
// A table of the library's content as the generator emits it: CP932 text
// cells, row-major, the header row first.

#include <span>
#include <string_view>

namespace zrvcontent {

struct ContentTable {
    const char* name;
    int columns;
    int rows;  // data rows, without the header
    const char* const* cells;

    const char* Header(int col) const { return cells[col]; }
    // Data row r (0-based), column c.
    const char* Cell(int r, int c) const { return cells[(r + 1) * columns + c]; }
    // Index of the column with this header, or -1.
    int Column(std::string_view header) const
    {
        for (int c = 0; c < columns; ++c) {
            if (header == cells[c]) return c;
        }
        return -1;
    }
};

}  // namespace zrvcontent
