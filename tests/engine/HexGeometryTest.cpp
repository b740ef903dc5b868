#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>
#include <vector>

#include "battle/engine/HexGeometry.h"

namespace zrv {
namespace {

std::string Name(HEXINDEX h)
{
    return "(" + std::to_string(HexRow(h)) + "," + std::to_string(HexColumn(h)) + ")";
}

// Breadth-first step counts over the whole map from one hex, using only the
// neighbour rule.
std::vector<int> StepCounts(HEXINDEX from)
{
    std::vector<int> steps(kHexCount, -1);
    std::deque<HEXINDEX> queue{from};
    steps[from] = 0;
    while (!queue.empty()) {
        HEXINDEX h = queue.front();
        queue.pop_front();
        for (HEXINDEX n : GetNeighbourSlots(h)) {
            if (n == kNoHex || steps[n] >= 0) continue;
            steps[n] = steps[h] + 1;
            queue.push_back(n);
        }
    }
    return steps;
}

TEST(HexGeometry, NeighboursAreMutualOverTheWholeMap)
{
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        HexNeighbours slots = GetNeighbourSlots(h);
        for (int d = 0; d < kHexDirections; ++d) {
            HEXINDEX n = slots[d];
            if (n == kNoHex) continue;
            SCOPED_TRACE(Name(h) + " direction " + std::to_string(d));
            // The way back is the opposite direction, and the start is among
            // the neighbour's neighbours.
            ASSERT_EQ(GetNeighbour(n, (d + 3) % 6), h);
            ASSERT_EQ(GetHexDistance(h, n), 1);
            ASSERT_EQ(std::abs(HexColumn(n) - HexColumn(h)) <= 1, true);
        }
    }
}

TEST(HexGeometry, DistanceOneExactlyForNeighboursAndSymmetric)
{
    for (HEXINDEX a = 0; a < kHexCount; ++a) {
        HexNeighbours slots = GetNeighbourSlots(a);
        std::set<HEXINDEX> near(slots.begin(), slots.end());
        near.erase(kNoHex);
        int ra = HexRow(a), ca = HexColumn(a);
        for (int r = std::max(0, ra - 2); r <= std::min(kMapSize - 1, ra + 2); ++r) {
            for (int c = std::max(0, ca - 3); c <= std::min(kMapSize - 1, ca + 3); ++c) {
                HEXINDEX b = MakeHex(r, c);
                bool adjacent = near.count(b) != 0;
                ASSERT_EQ(GetHexDistance(a, b) == 1, adjacent) << Name(a) << " to " << Name(b);
            }
        }
        // Symmetry against a spread of far hexes too.
        for (HEXINDEX b = a % 11; b < kHexCount; b += 11) {
            ASSERT_EQ(GetHexDistance(a, b), GetHexDistance(b, a)) << Name(a) << " to " << Name(b);
        }
    }
}

TEST(HexGeometry, DistanceEqualsStepCountInAnInteriorWindow)
{
    const int top = 50, left = 50, size = 20;
    for (int r = top; r < top + size; ++r) {
        for (int c = left; c < left + size; ++c) {
            HEXINDEX a = MakeHex(r, c);
            std::vector<int> steps = StepCounts(a);
            for (int r2 = top; r2 < top + size; ++r2) {
                for (int c2 = left; c2 < left + size; ++c2) {
                    HEXINDEX b = MakeHex(r2, c2);
                    ASSERT_EQ(GetHexDistance(a, b), steps[b]) << Name(a) << " to " << Name(b);
                }
            }
        }
    }
}

TEST(HexGeometry, DistanceToTheNextRowFromEvenAndOddRows)
{
    struct Case {
        int row, column, row2, column2, distance;
    };
    const Case cases[] = {
        {40, 40, 41, 40, 1}, {40, 40, 41, 41, 2}, {40, 40, 41, 42, 3},
        {40, 40, 41, 39, 1}, {41, 40, 42, 40, 1}, {41, 40, 42, 41, 1},
        {41, 40, 42, 39, 2}, {41, 40, 42, 42, 2}, {40, 40, 40, 40, 0},
    };
    for (const Case& k : cases) {
        HEXINDEX a = MakeHex(k.row, k.column), b = MakeHex(k.row2, k.column2);
        SCOPED_TRACE(Name(a) + " to " + Name(b));
        EXPECT_EQ(GetHexDistance(a, b), k.distance);
    }
    // The far corner: checked against the step count rather than by hand.
    EXPECT_EQ(GetHexDistance(0, kHexCount - 1), StepCounts(0)[kHexCount - 1]);
}

TEST(HexGeometry, NeighbourOmissionsAtTheEdges)
{
    struct Case {
        int row, column;
        std::vector<int> missing;
    };
    const Case cases[] = {
        {0, 5, {kDirNorthWest, kDirNorthEast}},
        {0, 0, {kDirSouthWest, kDirWest, kDirNorthWest, kDirNorthEast}},
        {0, 127, {kDirEast, kDirNorthWest, kDirNorthEast}},
        {20, 127, {kDirEast}},
        {21, 127, {kDirEast, kDirSouthEast, kDirNorthEast}},
        {20, 0, {kDirWest, kDirSouthWest, kDirNorthWest}},
        {21, 0, {kDirWest}},
        {127, 60, {kDirSouthEast, kDirSouthWest}},
        {127, 127, {kDirEast, kDirSouthEast, kDirSouthWest, kDirNorthEast}},
        {64, 64, {}},
    };
    for (const Case& k : cases) {
        HEXINDEX h = MakeHex(k.row, k.column);
        SCOPED_TRACE(Name(h));
        HexNeighbours slots = GetNeighbourSlots(h);
        std::vector<HEXINDEX> expectPacked;
        for (int d = 0; d < kHexDirections; ++d) {
            bool gone = std::find(k.missing.begin(), k.missing.end(), d) != k.missing.end();
            EXPECT_EQ(slots[d] == kNoHex, gone) << "direction " << d;
            if (!gone) expectPacked.push_back(slots[d]);
        }
        HEXINDEX out[7];
        int n = GetNeighbours(h, out);
        ASSERT_EQ(n, static_cast<int>(expectPacked.size()));
        EXPECT_TRUE(std::equal(expectPacked.begin(), expectPacked.end(), out));
        EXPECT_EQ(out[n], kNoHex);
    }
    EXPECT_EQ(GetNeighbour(MakeHex(5, 5), 6), kNoHex);
    EXPECT_EQ(GetNeighbour(-1, 0), kNoHex);
}

TEST(HexGeometry, IndexOffsetsByRowParity)
{
    const int even[] = {1, 128, 127, -1, -129, -128};
    const int odd[] = {1, 129, 128, -1, -128, -127};
    HEXINDEX e = MakeHex(40, 40), o = MakeHex(41, 40);
    for (int d = 0; d < kHexDirections; ++d) {
        EXPECT_EQ(GetNeighbour(e, d) - e, even[d]) << d;
        EXPECT_EQ(GetNeighbour(o, d) - o, odd[d]) << d;
    }
}

TEST(HexGeometry, RangeOfRadiusZeroAndOne)
{
    HEXINDEX c = MakeHex(40, 40);
    HEXINDEX out[8];
    std::fill(std::begin(out), std::end(out), 12345);
    EXPECT_EQ(GetHexesInRange(c, 0, out), 1);
    EXPECT_EQ(out[0], c);
    EXPECT_EQ(out[1], kNoHex);
    EXPECT_EQ(out[2], 12345);

    for (HEXINDEX center : {MakeHex(40, 40), MakeHex(41, 40)}) {
        SCOPED_TRACE(Name(center));
        ASSERT_EQ(GetHexesInRange(center, 1, out), 7);
        const int order[] = {kDirSouthEast, kDirSouthWest, kDirWest, kDirNorthWest, kDirNorthEast, kDirEast};
        EXPECT_EQ(out[0], center);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i + 1], GetNeighbour(center, order[i])) << i;
        EXPECT_EQ(out[7], kNoHex);
    }
}

// Every ring over the whole map holds exactly the map hexes at its distance,
// 6r of them where the ring lies inside the map.
TEST(HexGeometry, RingsOverTheWholeMap)
{
    std::vector<HEXINDEX> out(GetHexCountInRadius(3) + 1);
    for (HEXINDEX c = 0; c < kHexCount; ++c) {
        int n = GetHexesInRange(c, 3, out);
        ASSERT_EQ(out[n], kNoHex);
        std::set<HEXINDEX> got(out.begin(), out.begin() + n);
        ASSERT_EQ(static_cast<int>(got.size()), n) << "duplicate around " << Name(c);
        // Rings come in order of distance.
        for (int i = 1; i < n; ++i) ASSERT_LE(GetHexDistance(c, out[i - 1]), GetHexDistance(c, out[i]));
        std::set<HEXINDEX> expect;
        int perRing[4] = {};
        int rc = HexRow(c), cc = HexColumn(c);
        for (int r = std::max(0, rc - 3); r <= std::min(kMapSize - 1, rc + 3); ++r) {
            for (int col = std::max(0, cc - 4); col <= std::min(kMapSize - 1, cc + 4); ++col) {
                int d = GetHexDistance(c, MakeHex(r, col));
                if (d <= 3) {
                    expect.insert(MakeHex(r, col));
                    ++perRing[d];
                }
            }
        }
        ASSERT_EQ(got, expect) << Name(c);
        bool inside = rc >= 3 && rc <= 124 && cc >= 3 && cc <= 124;
        if (inside) {
            for (int r = 1; r <= 3; ++r) {
                ASSERT_EQ(perRing[r], 6 * r) << Name(c);
            }
        }
    }
}

TEST(HexGeometry, RangeNearTheLeftEdgeStaysOnItsSide)
{
    std::vector<HEXINDEX> out(GetHexCountInRadius(2) + 1);
    for (int row : {0, 1, 40, 41, 127}) {
        HEXINDEX c = MakeHex(row, 0);
        int n = GetHexesInRange(c, 2, out);
        SCOPED_TRACE(Name(c));
        EXPECT_GT(n, 1);
        for (int i = 0; i < n; ++i) EXPECT_LE(HexColumn(out[i]), 3) << Name(out[i]);
    }
}

TEST(HexGeometry, RangeNeverWritesPastTheBuffer)
{
    HEXINDEX c = MakeHex(64, 64);
    for (int room : {0, 1, 2, 5, 20}) {
        SCOPED_TRACE(room);
        std::vector<HEXINDEX> buf(room + 2, 777);
        std::span<HEXINDEX> out(buf.data(), room);
        int n = GetHexesInRange(c, 40, out);
        EXPECT_EQ(n, std::max(0, room - 1));
        if (room > 0) {
            EXPECT_EQ(buf[n], kNoHex);
        }
        EXPECT_EQ(buf[room], 777);
        EXPECT_EQ(buf[room + 1], 777);
    }
    // A whole radius-5 list (the largest sight and weapon range) fits in its count.
    std::vector<HEXINDEX> full(GetHexCountInRadius(5) + 1);
    EXPECT_EQ(GetHexesInRange(c, 5, full), 91);
    EXPECT_EQ(GetHexesInRange(kNoHex, 2, full), 0);
    EXPECT_EQ(full[0], kNoHex);
}

TEST(HexGeometry, DirectionMaskReadsOneListAndMarksStrangers)
{
    HEXINDEX c = MakeHex(41, 40);
    const HEXINDEX lists[] = {
        GetNeighbour(c, kDirEast),      GetNeighbour(c, kDirWest), kNoHex,  // first list
        GetNeighbour(c, kDirSouthEast), MakeHex(10, 10),           kNoHex,  // second
        GetNeighbour(c, kDirNorthEast),                                     // third, no terminator
    };
    std::span<const HEXINDEX> cursor(lists);
    EXPECT_EQ(GetDirectionMask(c, cursor), (1u << kDirEast) | (1u << kDirWest));
    EXPECT_EQ(cursor.size(), 4u);
    EXPECT_EQ(GetDirectionMask(c, cursor), (1u << kDirSouthEast) | kDirMaskNotNeighbour);
    EXPECT_EQ(cursor.size(), 1u);
    EXPECT_EQ(GetDirectionMask(c, cursor), 1u << kDirNorthEast);
    EXPECT_TRUE(cursor.empty());
    EXPECT_EQ(GetDirectionMask(c, cursor), 0u);
}

TEST(HexGeometry, PixelToHex)
{
    struct Case {
        int x, y;
        HEXINDEX hex;
        const char* what;
    };
    const Case cases[] = {
        {28, 20, MakeHex(0, 0), "middle of the first hex"},
        {28, 0, MakeHex(0, 0), "top corner of row 0"},
        {0, 0, kNoHex, "slanted band above row 0"},
        {55, 0, kNoHex, "slanted band above row 0, right half"},
        {1, 13, MakeHex(0, 0), "bottom of the band near the cell's left end"},
        {0, 13, kNoHex, "left corner of the band still belongs above row 0"},
        {84, 20, MakeHex(0, 1), "second hex of row 0"},
        {56, 42 + 20, MakeHex(1, 0), "odd row shifted right: its first hex spans 28..83"},
        {30, 42 + 20, MakeHex(1, 0), "odd row, x'' >= 0"},
        {10, 42 + 20, MakeHex(1, 0), "odd row left of its first hex: column 0"},
        {56, 42 + 0, MakeHex(1, 0), "top corner of an odd-row hex"},
        {28, 42 + 0, MakeHex(0, 0), "band of row 1 below the corner of row 0"},
        {2, 42 + 1, MakeHex(1, 0), "odd row band left of its first hex: column 0"},
        {28, 84 + 0, MakeHex(2, 0), "top corner of an even-row hex"},
        {56, 84 + 0, MakeHex(1, 0), "even row band between two corners"},
        {56 * 127 + 28, 42 * 127 + 20, MakeHex(127, 127), "last hex"},
        {56 * 128 + 28, 42 * 127 + 20, kNoHex, "beyond column 127"},
        {28, 42 * 128 + 20, kNoHex, "below row 127"},
        {-1, 20, kNoHex, "negative x"},
        {20, -1, kNoHex, "negative y"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(PixelToHex(k.x, k.y), k.hex) << "(" << k.x << "," << k.y << ")";
    }
}

// Every hex's own centre maps back to it.
TEST(HexGeometry, PixelToHexOfEachCentre)
{
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        int x = HexColumn(h) * 56 + 28 + ((HexRow(h) & 1) ? 28 : 0);
        int y = HexRow(h) * 42 + 28;
        if (x >= 56 * 128) continue;
        ASSERT_EQ(PixelToHex(x, y), h) << Name(h);
    }
}

}  // namespace
}  // namespace zrv
