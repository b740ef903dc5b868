#pragma once
// How a hex picks its pictures from the terrain store: the connection word of
// its routes and the terrain picture of its upper and lower half. Pure
// functions of a cell array and the data library's terrain table, so the
// choice can be checked without drawing.
//
// The terrain store is one column of 56 x 42 pictures numbered from 1 at the
// top. A hex picture holds three 14-row bands: band 0 the four corner
// triangles, bands 1 and 2 the hex's middle rows.

#include <cstdint>
#include <span>

#include "battle/engine/HexGeometry.h"
#include "battle/view/CoastPictures.h"
#include "foundation/GameRecords.h"

namespace zrv {

// Fixed pictures of the terrain store.
inline constexpr int kPicCover = 224;     // cell in fog for the viewing country
inline constexpr int kPicNoEntry = 225;   // closed to the current country
inline constexpr int kPicFallback = 227;  // a shape the tables do not know
inline constexpr int kPicPierBase = 796;  // mode 9 pictures 796..813

// Connection word bits.
inline constexpr uint32_t kConnCover = 0x80000000u;
inline constexpr uint32_t kConnNoEntry = 0x40000000u;
inline constexpr uint32_t kConnFirstRoad = 0x01000100u;  // route kind bit 24 in the low half

// The 18 shapes a mode 4, 7 or 10 terrain knows (kShapes) stand in
// CoastPictures.h with the picture offsets that go with them.

// Overlay variant 0..15 of a part for a mask of six direction bits. Upper
// parts (0-2) read the mask in a folded order so that a route through the top
// of the hex meets the picture of its neighbour above.
constexpr int PartVariant(uint32_t mask, int part)
{
    constexpr int T[8] = {0, 8, 4, 12, 2, 10, 6, 14};
    if (part <= 2) return T[(mask >> 3) & 7] + static_cast<int>(mask & 1);
    return static_cast<int>(mask & 15);
}

// The neighbour of hex in direction 0..5 by index arithmetic, or kNoHex when
// the index leaves 0..16383. Columns are deliberately not tested: a hex in
// the first or last column takes the hex at the other end of the adjacent
// row as its west or east neighbour, which never matters in play because
// every playable area keeps a margin of four hexes.
HEXINDEX RawNeighbour(HEXINDEX hex, int direction);

// What the choice needs besides the cells.
struct TerrainContext {
    std::span<const MAPCELL> live;   // the document's cells (16384)
    std::span<const MAPCELL> saved;  // the saved map of the game state (16384)
    uint32_t dispOption = 0;         // the view's option word
    int currentSide = -1;            // side of the view's current country, -1 none
    // The weather covers the hex's roads; null: never.
    bool (*washedOut)(const void* user, HEXINDEX hex) = nullptr;
    const void* user = nullptr;
};

// Connection word of hex toward direction (0..5), or toward all directions
// with direction -1.
uint32_t ConnectionWord(const TerrainContext& ctx, HEXINDEX hex, int direction);

// Picture number of hex's upper (half 0) or lower (half 1) half.
int TerrainPicture(const TerrainContext& ctx, HEXINDEX hex, int half);

// The render walks down the map row by row. The next row starts at the
// south-west neighbour of this row's first cell when that keeps it over the
// window's left edge, else at the south-east one; startX is the first cell's
// left edge in pixels and col its column (half a cell is 28 pixels).
inline void StepToNextRow(int row, int& startX, int& col)
{
    const bool odd = (row & 1) != 0;
    if (startX > 28) {
        startX -= 28;
        if (!odd) --col;
    } else {
        startX += 28;
        if (odd) ++col;
    }
}

}  // namespace zrv
