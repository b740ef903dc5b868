#pragma once
// Hex geometry of the 128 x 128 battle map: neighbours, distance, filled
// rings, and the pixel-to-hex conversion of the full-size map picture.
//
// A hex is a HEXINDEX (row << 7 | column). Odd rows sit half a hex to the
// right of even rows. Directions run clockwise from east:
//   0 east, 1 south-east, 2 south-west, 3 west, 4 north-west, 5 north-east.
// Nothing here keeps state or touches the game (the hex-index basics come
// from the records header, which needs only the standard library). Every
// list goes into a span whose size is the capacity, so a radius taken from
// library data can never write past the caller's buffer.

#include <array>
#include <cstdint>
#include <span>

#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr HEXINDEX kNoHex = -1;
inline constexpr int kHexDirections = 6;

enum HexDirection : int {
    kDirEast = 0,
    kDirSouthEast = 1,
    kDirSouthWest = 2,
    kDirWest = 3,
    kDirNorthWest = 4,
    kDirNorthEast = 5,
};

// Full-size map cell: 56 pixels wide, rows 42 pixels apart, the top 14 pixels
// of each row band holding the slanted edges.
inline constexpr int kHexCellWidth = 56;
inline constexpr int kHexRowHeight = 42;
inline constexpr int kHexSlantHeight = 14;

// A hex as row and column. Unlike a HEXINDEX it can stand for a place off the
// map (negative or beyond 127), which the ring walk needs near the edges.
struct HexPos {
    int row = 0;
    int column = 0;

    static constexpr HexPos FromIndex(HEXINDEX hex) { return {HexRow(hex), HexColumn(hex)}; }
    constexpr bool IsOnMap() const { return row >= 0 && row < kMapSize && column >= 0 && column < kMapSize; }
    // The index, or kNoHex for a place off the map.
    constexpr HEXINDEX Index() const { return IsOnMap() ? MakeHex(row, column) : kNoHex; }
    friend constexpr bool operator==(HexPos, HexPos) = default;
};

// The place one step away in direction (0..5); may be off the map.
HexPos StepHex(HexPos from, int direction);

// The neighbour in direction 0..5, or kNoHex when it lies off the map (above
// row 0, below row 127, or beyond column 0 or 127: the map does not wrap).
HEXINDEX GetNeighbour(HEXINDEX hex, int direction);

// All six neighbours by direction, kNoHex where there is none. Callers that
// need to know a neighbour's direction use this form: the slot is the
// direction, also next to the map edges.
using HexNeighbours = std::array<HEXINDEX, kHexDirections>;
HexNeighbours GetNeighbourSlots(HEXINDEX hex);

// The same slots by index arithmetic, inline for the inner loops of the
// searches (a test holds the two to the same answer over the whole map).
inline HexNeighbours GetNeighbourSlotsInline(HEXINDEX hex)
{
    HexNeighbours s;
    s.fill(kNoHex);
    if (!IsMapHex(hex)) return s;
    const int row = HexRow(hex), column = HexColumn(hex);
    const bool odd = (row & 1) != 0;
    const bool left = column > 0, right = column < kMapSize - 1;
    const bool up = row > 0, down = row < kMapSize - 1;
    // Odd rows lean right: their diagonals keep the column or go one right;
    // even rows' diagonals keep it or go one left.
    const int leanLeft = odd ? 0 : -1, leanRight = odd ? 1 : 0;
    const bool leftOk = odd || left, rightOk = !odd || right;
    if (right) s[kDirEast] = hex + 1;
    if (down && rightOk) s[kDirSouthEast] = hex + kMapSize + leanRight;
    if (down && leftOk) s[kDirSouthWest] = hex + kMapSize + leanLeft;
    if (left) s[kDirWest] = hex - 1;
    if (up && leftOk) s[kDirNorthWest] = hex - kMapSize + leanLeft;
    if (up && rightOk) s[kDirNorthEast] = hex - kMapSize + leanRight;
    return s;
}

// Calls visit(neighbour) for each neighbour that exists, in direction order:
// away from the edges by fixed offsets (every neighbour exists there), at the
// edges through the slots. For the inner loops of the searches.
template <class Visit>
[[gnu::always_inline]] inline void ForEachNeighbourInline(HEXINDEX hex, Visit&& visit)
{
    const int row = HexRow(hex), column = HexColumn(hex);
    if (row > 0 && row < kMapSize - 1 && column > 0 && column < kMapSize - 1) {
        const HEXINDEX lean = row & 1;
        visit(hex + 1);
        visit(hex + kMapSize + lean);
        visit(hex + kMapSize + lean - 1);
        visit(hex - 1);
        visit(hex - kMapSize + lean - 1);
        visit(hex - kMapSize + lean);
    } else {
        for (HEXINDEX n : GetNeighbourSlotsInline(hex))
            if (n != kNoHex) visit(n);
    }
}

// The neighbours that exist, in direction order, packed. Writes at most
// out.size() - 1 of them and a -1 terminator (nothing when out is empty);
// returns the number written without the terminator.
int GetNeighbours(HEXINDEX hex, std::span<HEXINDEX> out);

// Number of hex steps between a and b (1 for neighbours).
int GetHexDistance(HEXINDEX a, HEXINDEX b);

// Hexes within radius r of a hex on an open plane: 3r(r+1) + 1.
constexpr int GetHexCountInRadius(int r)
{
    return r < 0 ? 0 : 3 * r * (r + 1) + 1;
}

// Writes center, then ring 1, ring 2, ... ring radius, each ring starting
// south-east of the centre's east end and running clockwise (radius 1:
// centre, SE, SW, W, NW, NE, E). Only hexes on the map are written; near an
// edge the rings are clipped, never wrapped to the far side. Stops when out
// has room only for the terminator; writes the -1 terminator when there is
// room for it. Returns the number of hexes written. A buffer of
// GetHexCountInRadius(radius) + 1 always holds the whole list.
int GetHexesInRange(HEXINDEX center, int radius, std::span<HEXINDEX> out);

// Reads hexes from cursor up to a -1 terminator (or the end of the span) and
// moves cursor past them and the terminator. Returns bit d for each listed
// hex that is hex's neighbour in direction d, and bit 31 when a listed hex is
// not a neighbour at all.
uint32_t GetDirectionMask(HEXINDEX hex, std::span<const HEXINDEX>& cursor);

inline constexpr uint32_t kDirMaskNotNeighbour = 0x80000000u;

// The full-size hex under pixel (x, y) of the map picture, or kNoHex for a
// pixel that belongs to no hex of the map (above row 0, beyond row or column
// 127, negative coordinates).
HEXINDEX PixelToHex(int x, int y);

}  // namespace zrv
