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

// The game's rules single out terrain indexes by number (cities, ports,
// airfields, industrial sites, fortresses, the plain and the desert that
// construction leaves): each such index must hold a terrain of that kind,
// and the city flag must not turn up elsewhere. Kept apart from CheckLibrary
// because the rule tests' fixture library numbers its few terrains freely.
std::vector<std::string> CheckTerrainRoles(const zrv::DataLibrary& lib);

}  // namespace zrvtest
