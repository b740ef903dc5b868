#include "battle/engine/HexRoutes.h"

#include <cstring>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "foundation/DataLibrary.h"

namespace zrv {
int HasUsableRoute(MAPCELL cell, const GAMEDATASTRUCT& state, TRRNSTRUCT* outRoad)
{
    if (outRoad) std::memset(outRoad, 0, sizeof *outRoad);
    int routes = CellRoutes(cell);
    if (routes == 0 || CellDurability(cell) == 0) return 0;
    const TRRNSTRUCT* terrain = TerrainRecord(CellTerrain(cell));
    if (!terrain) return 0;
    // Rain closes a route kind only on terrain that mud does not spare.
    bool rainCloses = (state.dwStateFlag & kStateWeather) && !IsMudImmune(*terrain);
    int usable = 0;
    for (int k = 0; k < kRouteKinds; ++k) {
        const TRRNSTRUCT* road = ((routes >> k) & 1) ? RoadRecord(k) : nullptr;
        if (!road) continue;
        if (rainCloses && road->nRainLimit != 0 && state.nRainLevel >= road->nRainLimit) continue;
        usable = 1;
        if (outRoad) {
            outRoad->dwTrrnFlag |= road->dwTrrnFlag;
            outRoad->dwBaseField |= road->dwBaseField;
        }
    }
    return usable;
}

uint32_t GetRouteLinks(std::span<const MAPCELL, kHexCount> cells, HEXINDEX hex, int direction)
{
    if (!IsMapHex(hex)) return 0;
    MAPCELL cell = cells[hex];
    int routes = CellRoutes(cell);
    if (routes == 0) return 0;
    const TRRNSTRUCT* terrain = TerrainRecord(CellTerrain(cell));
    if (!terrain || RoutesBelongToTerrain(*terrain)) return 0;

    HexNeighbours slots = GetNeighbourSlots(hex);
    auto joins = [&](int d, MAPCELL routeBit) {
        return slots[d] != kNoHex && (cells[slots[d]] & routeBit) != 0;
    };
    uint32_t result = 0;
    bool first = true;
    for (int k = 0; k < kRouteKinds; ++k) {
        if (!((routes >> k) & 1)) continue;
        MAPCELL routeBit = 1u << (24 + k);
        uint32_t value = routeBit >> 16;
        if (direction >= 0) {
            if (direction >= kHexDirections || !joins(direction, routeBit)) continue;
            value |= 1u << direction;
        } else {
            for (int d = 0; d < kHexDirections; ++d) {
                if (joins(d, routeBit)) value |= 1u << d;
            }
        }
        result = first ? value : (result << 16) | value;
        first = false;
    }
    return result;
}

}  // namespace zrv
