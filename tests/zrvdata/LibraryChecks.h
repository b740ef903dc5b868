#pragma once
// Consistency checks over a whole data library: counts, ranges, cross
// references, date order, the end markers and the texts. Each fault is one
// line naming the table and the entry.

#include <string>
#include <vector>

#include "foundation/DataLibrary.h"

namespace zrvtest {

// What the programs pass when they format a library text: 's' a text, 'd' a
// number. index -1 names a single text.
struct TextFormat {
    std::string table;
    int index;
    std::string args;
};

std::vector<std::string> CheckLibrary(const zrv::DataLibrary& lib, const std::vector<TextFormat>& formats);

}  // namespace zrvtest
