// Terrain pictures: "terrain.pxs" (overlays and fixed pictures, numbered from 1
// at the top) stacked over "terrain0.pxs" (the ground pictures that the frost
// sets "terrain1.pxs".."terrain3.pxs" replace, same size).
//
// Picture numbers (each 56 x 42, the hex stored in three bands of 14 rows):
//   1-80      road overlays, 1 + kind x 16 + variant, kinds 0-4
//   224       cover overlay, 225 no-entry overlay, 227 fallback
//   241-400   ground of the ten terrain colour groups, 16 variants each:
//             grass 241, forest 257, farmland 273, desert 289, rough 305,
//             mountain 321, swamp 337, shallow water 353, deep water 369,
//             city 385
//   401-448   rivers (connection mode 3: + 8k + 0..7)
//   449-472   hills (mode 4: + 4s + 0..3)
//   473-544   coast (mode 7: + V, V <= 71)
//   545-616   reef and shoal edge (mode 10: + V)
//   617-632   ridges (mode 5), 633-648 marsh (mode 6), 649-664 town (mode 8),
//   665-680   open sea (mode 11), each + 0..15
//   681-795   spare ground (grass)
//   796-813   piers and bridges (mode 9: 796 + 3k + j)
// Every other number holds the fallback picture.
#include <algorithm>
#include <cmath>
#include <functional>

#include "battle/view/CoastPictures.h"
#include "tools/artgen/Art.h"

namespace artgen {
namespace {

constexpr int kW = 56;
constexpr int kCell = 42;
constexpr int kUpperPictures = 240;
constexpr int kAllPictures = 816;

using HexFn = std::function<int(int x, int y)>;  // index at hex pixel (56 x 56), 0 transparent

// Packs a 56 x 56 hex into picture number n (1-based) of s: band 0 holds the
// two top corner triangles with the complementary bottom ones, bands 1 and 2
// the hex rows 14-41.
void PutHex(Surface8& s, int n, const HexFn& hex)
{
    int top = (n - 1) * kCell;
    for (int r = 0; r < 14; ++r)
        for (int x = 0; x < kW; ++x) {
            int v;
            if (x < 28) v = x >= 27 - 2 * r ? hex(x, r) : hex(x + 28, 42 + r);
            else v = x <= 28 + 2 * r ? hex(x, r) : hex(x - 28, 42 + r);
            s.SetPixel(x, top + r, uint8_t(v));
        }
    for (int r = 14; r < 42; ++r)
        for (int x = 0; x < kW; ++x) s.SetPixel(x, top + r, uint8_t(hex(x, r)));
}

// Sector 0-5 (the hex directions, clockwise from east) of a hex pixel.
int Sector(int x, int y)
{
    double a = std::atan2(y - 27.5, x - 27.5) * 180.0 / M_PI;
    if (a < 0) a += 360;
    return int(std::lround(a / 60.0)) % 6;
}

double Dist(int x, int y)
{
    return std::hypot(x - 27.5, y - 27.5);
}

// Ground texture of a colour group, frost 0-3 whitening the ground.
int Ground(int group, int x, int y, int seed, int frost)
{
    using namespace pal;
    uint32_t h = Hash(uint32_t(x), uint32_t(y), uint32_t(seed * 31 + group));
    int n = GroupSize(group);
    int shade = n / 2 - 1 + int(h % 3);
    switch (group) {
    case Forest: {
        // Round tree crowns on a darker floor.
        static const int kTrees[][2] = {{14, 16}, {30, 12}, {42, 22}, {20, 30}, {36, 36}, {12, 42}, {28, 46}, {46, 40}};
        shade = 1 + int(h % 2);
        for (auto& t : kTrees) {
            int dx = x - t[0] - int(Hash(uint32_t(t[0]), uint32_t(seed)) % 3), dy = y - t[1];
            int d = dx * dx + dy * dy;
            if (d <= 20) shade = dx + dy < -2 ? 7 : (dx + dy < 2 ? 5 : 3);
        }
        break;
    }
    case Farm:
        shade = ((x + y / 2) / 4) % 2 ? 5 : 3;
        if (h % 7 == 0) shade = 2;
        break;
    case Desert:
        shade = 4 + int(h % 3);
        if ((y + int(4 * std::sin(x / 6.0 + seed))) % 12 == 0) shade = 2;
        break;
    case Rough:
        shade = 3 + int(h % 3);
        if (h % 23 == 0) shade = 0;
        if (h % 29 == 0) shade = 7;
        break;
    case Mountain: {
        shade = 3 + int(h % 2);
        static const int kPeaks[][3] = {{20, 30, 14}, {36, 34, 12}, {28, 22, 10}};
        for (auto& p : kPeaks) {
            int dy = y - (p[1] - p[2]);
            if (dy >= 0 && dy <= p[2] && std::abs(x - p[0]) <= dy) {
                shade = x < p[0] ? 6 : 1;
                if (dy < 3) shade = 7;
            }
        }
        break;
    }
    case Swamp:
        shade = 2 + int(h % 2);
        if (((x / 5 + y / 3 + seed) % 5) == 0) shade = 5;
        if (h % 13 == 0) shade = 0;
        break;
    case Shallow:
    case Deep:
        shade = group == Shallow ? 4 + int(h % 2) : 3 + int(h % 2);
        if ((x + 2 * y + int(3 * std::sin(y / 3.0 + seed))) % 14 == 0) shade += 2;
        break;
    case City: {
        shade = 1 + int(h % 2);
        int bx = x / 9, by = y / 9;
        uint32_t b = Hash(uint32_t(bx), uint32_t(by), uint32_t(seed));
        if (x % 9 >= 2 && y % 9 >= 2 && b % 3 != 0) shade = (y % 9 < 4) ? 5 : 3 + int(b % 2);
        break;
    }
    default: break;
    }
    if (frost > 0 && int(Hash(uint32_t(x), uint32_t(y), 777u + uint32_t(frost)) % 8) < frost * 2)
        shade = n - 1;
    return TerrainShade(group, shade);
}

// A road overlay: lines from the centre toward the directions of the variant
// bits (upper half: 1 east, 2 north-east, 4 north-west, 8 west; lower half: 1
// east, 2 south-east, 4 south-west, 8 west), each half drawn in its own rows.
void PutRoad(Surface8& s, int n, int kind, int variant)
{
    Surface8 hex(kW, 56);
    static const int kUpper[4][2] = {{56, 28}, {42, 4}, {14, 4}, {0, 28}};
    static const int kLower[4][2] = {{56, 28}, {42, 52}, {14, 52}, {0, 28}};
    const uint8_t colours[5][2] = {
        {pal::TerrainShade(pal::Route, 2), pal::TerrainShade(pal::Route, 4)},
        {pal::kGrey1, pal::kGrey4},
        {pal::TerrainShade(pal::Route, 4), pal::kGrey5},
        {pal::Wood(5), pal::Wood(8)},
        {pal::TerrainShade(pal::Shallow, 2), pal::TerrainShade(pal::Shallow, 5)},
    };
    int width = kind == 2 ? 5 : kind == 3 ? 2 : 4;
    for (int half = 0; half < 2; ++half) {
        Surface8 part(kW, 56);
        for (int b = 0; b < 4; ++b) {
            if (!(variant & (1 << b))) continue;
            const int* e = half == 0 ? kUpper[b] : kLower[b];
            ThickLine(part, 28, 28, e[0], e[1], width, colours[kind][0]);
            ThickLine(part, 28, 28, e[0], e[1], std::max(1, width - 2), colours[kind][1]);
            if (kind == 1) {  // sleepers across the rail
                for (int t = 4; t < 28; t += 5) {
                    int x = 28 + (e[0] - 28) * t / 28, y = 28 + (e[1] - 28) * t / 28;
                    part.FillRect({x - 1, y - 1, x + 2, y + 2}, pal::Wood(3));
                }
            }
        }
        for (int y = half == 0 ? 0 : 28; y < (half == 0 ? 28 : 56); ++y)
            for (int x = 0; x < kW; ++x)
                if (int v = part.GetPixel(x, y)) hex.SetPixel(x, y, uint8_t(v));
    }
    PutHex(s, n, [&](int x, int y) { return hex.GetPixel(x, y); });
}

// Land (group) toward the directions in mask, water elsewhere.
int Coast(int land, int water, uint32_t mask, int x, int y, int seed, int frost)
{
    bool isLand = (mask >> Sector(x, y)) & 1;
    double d = Dist(x, y) + (Hash(uint32_t(x), uint32_t(y), uint32_t(seed)) % 3);
    if (isLand && d > 11) return Ground(land, x, y, seed, frost);
    if (isLand && d > 8) return pal::TerrainShade(pal::Desert, 6);
    return Ground(water, x, y, seed, frost);
}

void FillLower(Surface8& s, int frost)
{
    using namespace pal;
    auto lower = [&](int n, const HexFn& f) { PutHex(s, n - kUpperPictures, f); };
    for (int n = kUpperPictures + 1; n <= kAllPictures; ++n)
        lower(n, [&](int x, int y) { return Ground(Grass, x, y, n, frost); });
    for (int g = 0; g < 10; ++g)
        for (int v = 0; v < 16; ++v)
            lower(241 + 16 * g + v, [&](int x, int y) { return Ground(g, x, y, v, frost); });
    // Rivers: land with water from the centre toward k and the masked sides.
    for (int k = 0; k < 6; ++k)
        for (int u = 0; u < 8; ++u) {
            uint32_t dirs = 1u << k;
            for (int j = 0; j < 3; ++j)
                if (u & (1 << j)) dirs |= 1u << ((k + 2 + j) % 6);
            lower(401 + 8 * k + u, [&](int x, int y) {
                bool wet = Dist(x, y) < 5 || (((dirs >> Sector(x, y)) & 1) && std::abs(std::sin((std::atan2(y - 27.5, x - 27.5) - Sector(x, y) * M_PI / 3))) * Dist(x, y) < 4);
                return wet ? Ground(Shallow, x, y, k, frost) : Ground(Grass, x, y, u, frost);
            });
        }
    const auto& kShapes = zrv::kShapes;
    for (int sh = 0; sh < 6; ++sh)
        for (int v = 0; v < 4; ++v)
            lower(449 + 4 * sh + v, [&](int x, int y) {
                bool slope = (kShapes[sh] >> Sector(x, y)) & 1;
                return Ground(slope ? Rough : Mountain, x, y, v, frost);
            });
    const auto& V = zrv::kCoastPictureOffset;
    for (int k = 0; k < 6; ++k)
        for (int sh = 0; sh < 18; ++sh) {
            if (V[k][sh] < 0) continue;
            uint32_t land = kShapes[sh];
            lower(473 + V[k][sh], [&](int x, int y) { return Coast(Grass, Shallow, land, x, y, k, frost); });
            lower(545 + V[k][sh], [&](int x, int y) { return Coast(Shallow, Deep, land, x, y, k, frost); });
        }
    const int extra[4] = {Mountain, Swamp, City, Deep};
    for (int e = 0; e < 4; ++e)
        for (int v = 0; v < 16; ++v)
            lower(617 + 16 * e + v, [&](int x, int y) { return Ground(extra[e], x, y, v + 5, frost); });
    // Piers: water crossed by planks from side k to side (k + 2 + j).
    for (int k = 0; k < 6; ++k)
        for (int j = 0; j < 3; ++j) {
            int a = k, b = (k + 2 + j) % 6;
            lower(796 + 3 * k + j, [&](int x, int y) {
                int sec = Sector(x, y);
                double ang = std::atan2(y - 27.5, x - 27.5) - sec * M_PI / 3;
                bool plank = (sec == a || sec == b || Dist(x, y) < 4) && std::abs(std::sin(ang)) * Dist(x, y) < 3;
                return plank ? int(Wood((x + y) % 3 == 0 ? 4 : 7)) : Ground(Shallow, x, y, k, frost);
            });
        }
}

}  // namespace

bool MakeTerrainArt(const std::string& dir, const ContentInputs& content)
{
    using namespace pal;
    Surface8 upper(kW, kUpperPictures * kCell);
    auto fallback = [](int x, int y) { return ((x / 4 + y / 4) % 2) ? int(kGrey3) : int(kGrey4); };
    for (int n = 1; n <= kUpperPictures; ++n) PutHex(upper, n, fallback);
    for (int kind = 0; kind < 5; ++kind)
        for (int v = 0; v < 16; ++v) {
            PutHex(upper, 1 + kind * 16 + v, [](int, int) { return 0; });
            PutRoad(upper, 1 + kind * 16 + v, kind, v);
        }
    // Cover: a veil of every other pixel, so the ground shows through.
    PutHex(upper, 224, [](int x, int y) { return (x + y) % 2 ? int(kGrey5) : 0; });
    // No entry: a red cross.
    PutHex(upper, 225, [](int x, int y) {
        int a = std::abs((x - 28) - (y - 28)), b = std::abs((x - 28) + (y - 28));
        return (Dist(x, y) < 16 && (a < 3 || b < 3)) ? int(kTextRed) : 0;
    });
    if (!Save(dir, "terrain.pxs", upper)) return false;

    const char* names[4] = {"terrain0.pxs", "terrain1.pxs", "terrain2.pxs", "terrain3.pxs"};
    for (int frost = 0; frost < 4; ++frost) {
        Surface8 lower(kW, (kAllPictures - kUpperPictures) * kCell);
        FillLower(lower, frost);
        if (!Save(dir, names[frost], lower)) return false;
    }

    // The small hexes of the HQ map: terrain t at rows 8t, each quarter in
    // the colour of the matching pixel of the terrain's 2 x 2 overview
    // pattern, so the HQ map and the overview map show a terrain alike.
    // Terrains 0 and 1 are left out: the owner patches use their blocks.
    Surface8 mini(8, 800);
    static const char* kMiniHex[8] = {"..XXXX..", ".XXXXXX.", "XXXXXXXX", "XXXXXXXX",
                                      "XXXXXXXX", "XXXXXXXX", ".XXXXXX.", "..XXXX.."};
    for (int t = 2; t <= 90; ++t) {
        const auto& p = content.overview[size_t(t)];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (kMiniHex[y][x] == 'X') mini.SetPixel(x, 8 * t + y, p[size_t((y >= 4) * 2 + (x >= 4))]);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            mini.SetPixel(x, 728 + y, (x + y) % 2 && kMiniHex[y][x] == 'X' ? kGrey5 : 0);
    for (int d = 0; d < 16; ++d) {
        int set = d % kSetCount;
        mini.FillRect({(d & 1) * 4, (d >> 1) * 2, (d & 1) * 4 + 4, (d >> 1) * 2 + 2}, Set(set, d < 8 ? 6 : 3));
        mini.FillRect({0, 736 + 4 * d, 4, 740 + 4 * d}, Set(set, d < 8 ? 7 : 4));
        mini.FillRect({4, 736 + 4 * d, 8, 740 + 4 * d}, Set(set, d < 8 ? 2 : 1));
    }
    return Save(dir, "minihex.pxs", mini);
}

}  // namespace artgen
