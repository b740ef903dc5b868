#include "battle/view/MapPictures.h"

#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

// Offsets of the coast-like modes' pictures.
constexpr auto& V = kCoastPictureOffset;

int ShapeIndex(uint32_t mask)
{
    for (int s = 0; s < 18; ++s)
        if (kShapes[s] == mask) return s;
    return -1;
}

int SingleDirection(uint32_t mask)
{
    for (int k = 0; k < 6; ++k)
        if (mask == (1u << k)) return k;
    return -1;
}

// Flags of the terrain of a cell; a terrain index outside the table has none.
uint32_t TerrainFlags(MAPCELL cell)
{
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    return t != nullptr ? t->dwTrrnFlag : 0;
}

MAPCELL CellAt(std::span<const MAPCELL> cells, HEXINDEX hex)
{
    return (hex >= 0 && static_cast<size_t>(hex) < cells.size()) ? cells[static_cast<size_t>(hex)] : 0;
}

}  // namespace

HEXINDEX RawNeighbour(HEXINDEX hex, int direction)
{
    // Odd rows lie half a hex right, so their south and north neighbours are
    // one index further east than an even row's.
    static constexpr int kEven[6] = {1, 128, 127, -1, -129, -128};
    static constexpr int kOdd[6] = {1, 129, 128, -1, -128, -127};
    if (direction < 0 || direction > 5 || !IsMapHex(hex)) return kNoHex;
    int n = hex + ((HexRow(hex) & 1) ? kOdd[direction] : kEven[direction]);
    return IsMapHex(n) ? n : kNoHex;
}

uint32_t ConnectionWord(const TerrainContext& ctx, HEXINDEX hex, int direction)
{
    const MAPCELL cell = CellAt(ctx.live, hex);
    uint32_t word = 0;
    if ((cell & kCellRouteMask) != 0 && (TerrainFlags(cell) & (1u << 25)) == 0) {
        for (int kind = 0; kind < kRouteKinds; ++kind) {
            const MAPCELL kindBit = 1u << (24 + kind);
            if ((cell & kindBit) == 0) continue;
            uint32_t part = 0;
            if (direction >= 0) {
                HEXINDEX n = RawNeighbour(hex, direction);
                if (n == kNoHex || (CellAt(ctx.live, n) & kindBit) == 0) continue;
                part = (kindBit >> 16) | (1u << direction);
            } else {
                part = kindBit >> 16;
                for (int d = 0; d < 6; ++d) {
                    HEXINDEX n = RawNeighbour(hex, d);
                    if (n != kNoHex && (CellAt(ctx.live, n) & kindBit) != 0) part |= 1u << d;
                }
            }
            word = (word << 16) | part;
        }
    }
    if ((cell & kCellFog) != 0) word |= kConnCover;
    if ((ctx.dispOption & 0x02000000u) != 0 && ctx.currentSide >= 0) {
        const MAPCELL blocked = ctx.currentSide == 0 ? 0xC0000000u : 0xA0000000u;
        if ((cell & blocked) != 0) word |= kConnNoEntry;
    }
    if ((ctx.dispOption & 0x04000000u) == 0 && ctx.washedOut != nullptr && ctx.washedOut(ctx.user, hex))
        word &= ~kConnFirstRoad;
    return word;
}

int TerrainPicture(const TerrainContext& ctx, HEXINDEX hex, int half)
{
    const MAPCELL cell = CellAt(ctx.live, hex);
    const int terrain = CellTerrain(cell);
    const TRRNSTRUCT* rec = TerrainRecord(terrain);
    if (rec == nullptr) return kPicFallback;
    const int base = rec->nPicture;
    const int mode = rec->nConnectMode;
    if (mode == 0) return base;

    // One bit per neighbour inside the array, in direction order; a missing
    // neighbour takes no bit position.
    uint32_t a = 0, b = 0;
    int bit = 0;
    for (int d = 0; d < 6; ++d) {
        HEXINDEX n = RawNeighbour(hex, d);
        if (n == kNoHex) continue;
        const MAPCELL live = CellAt(ctx.live, n);
        const uint32_t f = TerrainFlags(live);
        const uint32_t fs = TerrainFlags(CellAt(ctx.saved, n));
        const bool same = CellTerrain(live) == terrain;
        bool inA = false, inB = false;
        switch (mode) {
            case 1:
                inA = same;
                break;
            case 2:
                inA = (f & 0x1) != 0;
                break;
            case 3:
                inA = (fs & 0x1C) != 0;
                inB = !inA && (fs & 0x2) != 0;
                break;
            case 4:
                inA = !same && (f & 0xC) != 0;
                inB = same;
                break;
            case 5:
                inA = (f & 0x4) != 0;
                break;
            case 6:
                inA = (f & 0x42) != 0;
                break;
            case 7:
                inA = (f & 0x4) != 0;
                inB = !inA && (f & 0x2) != 0;
                break;
            case 8:
                inA = (f & 0x20) != 0;
                break;
            case 9:
                inA = (fs & 0xC0) != 0;
                inB = !inA && (fs & 0x2) != 0;
                break;
            case 10:
                inA = (f & 0x100) != 0;
                inB = !inA && (f & 0x40) != 0;
                break;
            case 11:
                inA = (f & 0x100) != 0;
                break;
            default:
                return kPicFallback;
        }
        if (inA) a |= 1u << bit;
        if (inB) b |= 1u << bit;
        ++bit;
    }

    switch (mode) {
        case 3: {
            int k = SingleDirection(b);
            if (k < 0) return kPicFallback;
            uint32_t u = (a | a << 6) >> (k + 2);
            if ((u & 0x38) != 0) return kPicFallback;
            return base + k * 8 + static_cast<int>(u & 7);
        }
        case 4: {
            int s = ShapeIndex(a);
            if (s < 0) return kPicFallback;
            const int r = base + 4 * s;
            const uint32_t left = kShapes[((s % 6) + 1 + s / 6) % 6];
            const uint32_t right = kShapes[((s % 6) + 5) % 6];
            if (b == 0) return r;
            if (b == left) return r + 1;
            if (b == right) return r + 2;
            if (b == (left | right)) return r + 3;
            return kPicFallback;
        }
        case 7:
        case 10: {
            int s = ShapeIndex(a), k = SingleDirection(b);
            if (s < 0 || k < 0 || V[k][s] < 0) return kPicFallback;
            return base + V[k][s];
        }
        case 9: {
            if (b == 0) break;
            int k = SingleDirection(b);
            if (k < 0) return kPicFallback;
            const uint32_t u = ((a | a << 6) >> (k + 2)) & 0x3F;
            int j = u == 0x01 ? 0 : u == 0x02 ? 1 : u == 0x04 ? 2 : -1;
            if (j < 0) return kPicFallback;
            return kPicPierBase + 3 * k + j;
        }
        default:
            break;
    }
    return base + PartVariant(a, half * 3);
}

}  // namespace zrv
