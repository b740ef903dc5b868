#include "battle/engine/HexGeometry.h"

#include <cstdlib>

namespace zrv {
namespace {

// Row and column steps by direction, for even and for odd rows. Odd rows sit
// half a hex to the right, so their diagonal neighbours lean one column right.
struct Step {
    int dr;
    int dc;
};
constexpr Step kEvenRowSteps[kHexDirections] = {{0, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};
constexpr Step kOddRowSteps[kHexDirections] = {{0, 1}, {1, 1}, {1, 0}, {0, -1}, {-1, 0}, {-1, 1}};

// The ring walk: from the ring's east end, k steps in each of these directions
// in turn visits the ring clockwise starting south-east.
constexpr int kRingSides[kHexDirections] = {kDirSouthWest, kDirWest, kDirNorthWest,
                                            kDirNorthEast, kDirEast, kDirSouthEast};

}  // namespace

HexPos StepHex(HexPos from, int direction)
{
    // (row & 1) also gives the right parity for the negative rows a ring walk
    // passes through above the map.
    const Step& s = (from.row & 1) ? kOddRowSteps[direction] : kEvenRowSteps[direction];
    return {from.row + s.dr, from.column + s.dc};
}

HEXINDEX GetNeighbour(HEXINDEX hex, int direction)
{
    if (!IsMapHex(hex) || direction < 0 || direction >= kHexDirections) return kNoHex;
    return StepHex(HexPos::FromIndex(hex), direction).Index();
}

HexNeighbours GetNeighbourSlots(HEXINDEX hex)
{
    HexNeighbours slots;
    for (int d = 0; d < kHexDirections; ++d) slots[d] = GetNeighbour(hex, d);
    return slots;
}

int GetNeighbours(HEXINDEX hex, std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    for (HEXINDEX h : GetNeighbourSlots(hex)) {
        if (h == kNoHex) continue;
        if (n + 1 >= out.size()) break;
        out[n++] = h;
    }
    out[n] = kNoHex;
    return static_cast<int>(n);
}

int GetHexDistance(HEXINDEX a, HEXINDEX b)
{
    // Walking diagonally, every second row buys one column for free; which
    // rows do depends on the start row's parity and on the side b lies on.
    int ra = HexRow(a), ca = HexColumn(a);
    int rb = HexRow(b), cb = HexColumn(b);
    int dc = std::abs(ca - cb);
    int dr = std::abs(ra - rb);
    int t = dr;
    if (((ra & 1) && ca < cb) || (!(ra & 1) && ca > cb)) ++t;
    int h = t / 2;
    return h >= dc ? dr : dr + dc - h;
}

int GetHexesInRange(HEXINDEX center, int radius, std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    const size_t room = out.size() - 1;  // one place kept for the terminator
    size_t n = 0;
    auto put = [&](HexPos p) {
        HEXINDEX h = p.Index();
        if (h == kNoHex || n >= room) return;
        out[n++] = h;
    };
    if (IsMapHex(center)) {
        HexPos c = HexPos::FromIndex(center);
        put(c);
        // The walk runs over places off the map too, so a ring near an edge
        // is clipped there and never wraps into the columns of the far side.
        for (int k = 1; k <= radius && n < room; ++k) {
            HexPos p = c;
            for (int i = 0; i < k; ++i) p = StepHex(p, kDirEast);
            for (int side : kRingSides) {
                for (int i = 0; i < k; ++i) {
                    p = StepHex(p, side);
                    put(p);
                }
            }
        }
    }
    out[n] = kNoHex;
    return static_cast<int>(n);
}

uint32_t GetDirectionMask(HEXINDEX hex, std::span<const HEXINDEX>& cursor)
{
    uint32_t mask = 0;
    HexNeighbours slots = GetNeighbourSlots(hex);
    size_t i = 0;
    for (; i < cursor.size() && cursor[i] != kNoHex; ++i) {
        uint32_t bit = kDirMaskNotNeighbour;
        for (int d = 0; d < kHexDirections; ++d) {
            if (slots[d] != kNoHex && slots[d] == cursor[i]) bit = 1u << d;
        }
        mask |= bit;
    }
    if (i < cursor.size()) ++i;  // past the terminator
    cursor = cursor.subspan(i);
    return mask;
}

HEXINDEX PixelToHex(int x, int y)
{
    if (x < 0 || y < 0) return kNoHex;
    int row = y / kHexRowHeight;
    int yy = y % kHexRowHeight;
    const int half = kHexCellWidth / 2;
    if (yy < kHexSlantHeight) {
        // In the band of slanted edges: measure the distance from the nearest
        // cell corner and see whether the pixel lies above the edge. The
        // floor modulus keeps the left end of an odd row (x' < 0) on the same
        // zig-zag as the rest of the row.
        int xp = x - ((row & 1) ? half : 0);
        int m = ((xp % kHexCellWidth) + kHexCellWidth) % kHexCellWidth;
        if (m >= half) m = kHexCellWidth - 1 - m;
        if (kHexSlantHeight - (m + 1) / 2 > yy) --row;
    }
    if (row < 0 || row >= kMapSize) return kNoHex;
    int xpp = x - ((row & 1) ? half : 0);
    // Left of the first hex of an odd row: the nearest hex is column 0.
    int column = xpp < 0 ? 0 : xpp / kHexCellWidth;
    if (column >= kMapSize) return kNoHex;
    return MakeHex(row, column);
}

}  // namespace zrv
