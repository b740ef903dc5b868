// Which terrain picture a hex picks from its neighbours, and the route
// overlay variants.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "battle/view/MapPictures.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

TEST(PartVariant, FoldsUpperMasksAndKeepsLowerOnes)
{
    constexpr int T[8] = {0, 8, 4, 12, 2, 10, 6, 14};
    for (uint32_t mask = 0; mask < 64; ++mask) {
        SCOPED_TRACE(mask);
        for (int part = 0; part < 3; ++part) EXPECT_EQ(PartVariant(mask, part), T[mask >> 3] + int(mask & 1));
        for (int part = 3; part < 6; ++part) EXPECT_EQ(PartVariant(mask, part), int(mask & 15));
    }
}

class TerrainPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&ViewLibrary());
        live.assign(kHexCount, kPlain);
        saved.assign(kHexCount, kPlain);
        ctx.live = live;
        ctx.saved = saved;
    }
    void TearDown() override { SetLib(nullptr); }

    // Sets the neighbour of hex in direction d in both maps.
    void Around(HEXINDEX hex, int d, int terrain)
    {
        HEXINDEX n = RawNeighbour(hex, d);
        ASSERT_NE(n, kNoHex);
        live[n] = saved[n] = static_cast<MAPCELL>(terrain);
    }

    std::vector<MAPCELL> live, saved;
    TerrainContext ctx;
};

TEST_F(TerrainPictureTest, ModesPickTheirPictureFromTheNeighbours)
{
    const HEXINDEX h = MakeHex(60, 60);  // even row
    struct Case {
        const char* name;
        int terrain;
        std::vector<std::pair<int, int>> around;  // direction, terrain
        int upper, lower;
    };
    const std::vector<Case> cases = {
        {"mode 0 ignores its neighbours", kSea, {{0, kSea}, {3, kSea}}, 369, 369},
        {"mode 1 same terrain east and south-west", kGrass, {{0, kGrass}, {2, kGrass}}, 242, 246},
        {"mode 1 alone", kGrass, {}, 241, 241},
        {"mode 3 river mouth north-west, water east", kRiver, {{4, kFlag02}, {0, kFlag04}}, 434, 434},
        {"mode 3 two mouths: unknown", kRiver, {{4, kFlag02}, {1, kFlag02}}, 227, 227},
        {"mode 4 slope east", kHill, {{0, kFlag0C}}, 449, 449},
        {"mode 4 same hill to the left", kHill, {{0, kFlag0C}, {1, kHill}}, 450, 450},
        {"mode 4 same hill to the right", kHill, {{0, kFlag0C}, {5, kHill}}, 451, 451},
        {"mode 4 same hill both sides", kHill, {{0, kFlag0C}, {1, kHill}, {5, kHill}}, 452, 452},
        {"mode 4 shape not in the table", kHill, {{0, kFlag0C}, {2, kFlag0C}}, 227, 227},
        {"mode 7 coast", kCoast, {{0, kFlag04}, {1, kFlag04}, {2, kFlag02}}, 503, 503},
        {"mode 7 without the other kind", kCoast, {{0, kFlag04}, {1, kFlag04}}, 227, 227},
        {"mode 9 without landing: as mode 1", kPier, {}, 665, 665},
        {"mode 9 pier west, deck east", kPier, {{3, kFlag02}, {0, kFlagC0}}, 806, 806},
        {"mode 10 shoal", kShoal, {{0, kFlag100}, {1, kFlag40}}, 545, 545},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        live[h] = saved[h] = static_cast<MAPCELL>(c.terrain);
        for (auto [d, t] : c.around) Around(h, d, t);
        EXPECT_EQ(TerrainPicture(ctx, h, 0), c.upper);
        EXPECT_EQ(TerrainPicture(ctx, h, 1), c.lower);
    }
}

TEST_F(TerrainPictureTest, MissingNeighboursAtTheArrayEdgeShiftTheMask)
{
    // Last row: no south neighbours, so west takes bit 1 instead of bit 3.
    const HEXINDEX last = MakeHex(127, 60), middle = MakeHex(60, 60);
    for (HEXINDEX h : {last, middle}) {
        live[h] = kGrass;
        Around(h, 3, kGrass);
    }
    EXPECT_EQ(TerrainPicture(ctx, last, 1), 241 + 2);
    EXPECT_EQ(TerrainPicture(ctx, middle, 1), 241 + 8);
    // First row: no north neighbours; west is bit 3 either way.
    const HEXINDEX first = MakeHex(0, 60);
    live[first] = kGrass;
    Around(first, 3, kGrass);
    EXPECT_EQ(TerrainPicture(ctx, first, 1), 241 + 8);
    // A terrain index beyond the table falls back.
    SetLib(nullptr);
    EXPECT_EQ(TerrainPicture(ctx, middle, 0), kPicFallback);
}

TEST_F(TerrainPictureTest, ConnectionWordCarriesRoutesCoverAndNoEntry)
{
    const HEXINDEX h = MakeHex(60, 60);
    const MAPCELL road = 1u << 24, rail = 1u << 25;
    live[h] = kPlain | road | rail | kCellFog;
    live[RawNeighbour(h, 0)] = kPlain | road;
    live[RawNeighbour(h, 3)] = kPlain | road | rail;
    // All directions: road (kind 0) east and west, then rail west; the
    // second kind moves the first to the high half.
    EXPECT_EQ(ConnectionWord(ctx, h, -1), (0x0100u | 0x09u) << 16 | (0x0200u | 0x08u) | kConnCover);
    // Toward one direction only a kind the neighbour shares counts.
    EXPECT_EQ(ConnectionWord(ctx, h, 0), 0x0100u | 0x01u | kConnCover);
    EXPECT_EQ(ConnectionWord(ctx, h, 1), kConnCover);

    // Washed out: the road disappears unless roads are always shown.
    ctx.washedOut = [](const void*, HEXINDEX) { return true; };
    const uint32_t washed = ConnectionWord(ctx, h, 0);
    EXPECT_EQ(washed & 0x1F00u, 0u);
    ctx.dispOption = kDispRoadsAlways;
    EXPECT_EQ(ConnectionWord(ctx, h, 0) & 0xFFFFu, 0x0101u);
    // The rail is never washed out.
    ctx.dispOption = 0;
    EXPECT_EQ(ConnectionWord(ctx, h, 3) & 0xFFFFu, 0x0208u);

    // No entry: shown marks, a current country, and that side's closed bits.
    ctx.washedOut = nullptr;
    live[h] = kPlain | kCellClosedSide1;
    ctx.dispOption = kDispNoEntryMarks;
    ctx.currentSide = 0;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), 0u);
    ctx.currentSide = 1;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), kConnNoEntry);
    live[h] = kPlain | kCellClosedAll;
    ctx.currentSide = 0;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), kConnNoEntry);
    ctx.currentSide = -1;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), 0u);
    ctx.dispOption = 0;
    ctx.currentSide = 0;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), 0u);

    // Routes that belong to the terrain are not drawn as overlays.
    live[h] = kDesertPic | road;
    EXPECT_EQ(ConnectionWord(ctx, h, -1), 0u);
}

}  // namespace
}  // namespace viewtest
