#pragma once
// The construction check asked with funds given instead of the country's:
// the computer player asks what a richer country could do, writing nothing.

#include <span>

#include "battle/engine/Construction.h"

namespace zrv {

int CheckConstructionKindWithFunds(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                                   std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, int kind,
                                   bool acted, int funds);

}  // namespace zrv
