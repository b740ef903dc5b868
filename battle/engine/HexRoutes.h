#pragma once
// The two route functions of the hex geometry that look at the library's
// terrain and route tables: whether a hex's roads and railways can be used
// under the weather, and how a hex's routes join its neighbours' (drawing).

#include <cstdint>
#include <span>

#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// 1 when the cell has a route kind that is open: it needs route bits and a
// durability above 0; with weather in force a kind closes on terrain that is
// not all-weather once the rain level reaches its RoadBase rain limit (a
// limit of 0 never closes). With outRoad, that record is cleared and takes
// the OR of the first two dwords (flags and base field) of every open kind.
// A terrain or route kind beyond the library's tables offers no route.
int HasUsableRoute(MAPCELL cell, const GAMEDATASTRUCT& state, TRRNSTRUCT* outRoad = nullptr);

// Route joins of hex for drawing: per route kind present, in ascending order,
// (route bit >> 16) | the bits of the directions whose neighbour carries the
// same kind (only direction when it is 0..5; a kind not joined that way gives
// nothing). The first value sits in bits 0-15; each later one shifts the
// result left by 16 first, so only the last two kinds remain. 0 when the hex
// has no routes or its terrain does not join routes.
uint32_t GetRouteLinks(std::span<const MAPCELL, kHexCount> cells, HEXINDEX hex, int direction);

}  // namespace zrv
