#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/HexRoutes.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr int kPlain = 0;
constexpr int kAllWeather = 1;
constexpr int kNoLinks = 2;
// Terrain flags: mud never closes its routes; routes are not drawn joined.
constexpr uint32_t kMudImmune = 1u << 22;
constexpr uint32_t kNoJoins = 1u << 25;
constexpr MAPCELL kRoad = 0x01000000u, kKind1 = 0x02000000u, kRail = 0x08000000u, kRail2 = 0x10000000u;

class Routes : public testing::Test {
protected:
    void SetUp() override
    {
        terrain[kAllWeather].dwTrrnFlag = kMudImmune;
        terrain[kNoLinks].dwTrrnFlag = kNoJoins;
        for (int k = 0; k < 5; ++k) {
            roads[k].dwTrrnFlag = 0x10u << k;
            roads[k].dwBaseField = 0x1000u << k;
            roads[k].nDurableMax = 0x7777;  // beyond the first two dwords: never ORed
        }
        roads[0].nRainLimit = 4;  // the road washes out; railways do not
        lib.TerrainBase = terrain;
        lib.RoadBase = roads;
        SetLib(&lib);
        state = std::make_unique<GAMEDATASTRUCT>();
        std::memset(state.get(), 0, sizeof *state);
        cells.assign(kHexCount, 0);
    }
    void TearDown() override { SetLib(nullptr); }

    TRRNSTRUCT terrain[3] = {};
    TRRNSTRUCT roads[5] = {};
    DataLibrary lib;
    std::unique_ptr<GAMEDATASTRUCT> state;
    std::vector<MAPCELL> cells;
};

TEST_F(Routes, UsableRouteUnderRain)
{
    struct Case {
        const char* what;
        MAPCELL routes;
        int durability, terrain;
        bool weather;
        int rain, usable;
        uint32_t flags;
    };
    const Case cases[] = {
        {"no routes", 0, 10, kPlain, false, 0, 0, 0},
        {"durability 0", kRoad | kRail, 0, kPlain, false, 0, 0, 0},
        {"road, dry", kRoad, 10, kPlain, true, 3, 1, 0x10},
        {"road at the rain limit", kRoad, 10, kPlain, true, 4, 0, 0},
        {"road at the limit, weather off", kRoad, 10, kPlain, false, 4, 1, 0x10},
        {"road at the limit, all-weather terrain", kRoad, 10, kAllWeather, true, 12, 1, 0x10},
        {"road closed, railway open", kRoad | kRail, 10, kPlain, true, 4, 1, 0x80},
        {"two open kinds OR together", kKind1 | kRail2, 10, kPlain, true, 12, 1, 0x20 | 0x100},
        {"terrain beyond the table", kRoad, 10, 100, false, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        MAPCELL cell = WithDurability(WithTerrain(k.routes, k.terrain), k.durability);
        state->dwStateFlag = k.weather ? kStateWeather : 0;
        state->nRainLevel = k.rain;
        TRRNSTRUCT out;
        std::memset(&out, 0xEE, sizeof out);
        EXPECT_EQ(HasUsableRoute(cell, *state, &out), k.usable);
        EXPECT_EQ(out.dwTrrnFlag, k.flags);
        EXPECT_EQ(out.dwBaseField, k.flags << 8);
        EXPECT_EQ(out.nDurableMax, 0);  // cleared, never ORed
        EXPECT_EQ(HasUsableRoute(cell, *state), k.usable);
    }
}

TEST_F(Routes, LinksPackOneTwoAndThreeKinds)
{
    HEXINDEX c = MakeHex(40, 40);
    HEXINDEX east = GetNeighbour(c, kDirEast), sw = GetNeighbour(c, kDirSouthWest);
    HEXINDEX nw = GetNeighbour(c, kDirNorthWest);
    cells[east] = kRoad | kRail;
    cells[sw] = kRoad;
    cells[nw] = kRail2;

    cells[c] = kRoad;
    EXPECT_EQ(GetRouteLinks(std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount), c, -1),
              0x0100u | (1u << kDirEast) | (1u << kDirSouthWest));
    std::span<const MAPCELL, kHexCount> map(cells.data(), kHexCount);
    EXPECT_EQ(GetRouteLinks(map, c, kDirEast), 0x0100u | 1u);
    EXPECT_EQ(GetRouteLinks(map, c, kDirWest), 0u);  // not joined that way: nothing

    cells[c] = kRoad | kRail;
    EXPECT_EQ(GetRouteLinks(map, c, -1), ((0x0100u | 0x01u | 0x04u) << 16) | (0x0800u | 0x01u));
    EXPECT_EQ(GetRouteLinks(map, c, kDirSouthWest), 0x0100u | 0x04u);  // the railway gives nothing

    // Three kinds: only the last two remain.
    cells[c] = kRoad | kRail | kRail2;
    EXPECT_EQ(GetRouteLinks(map, c, -1), ((0x0800u | 0x01u) << 16) | (0x1000u | (1u << kDirNorthWest)));
    // A kind with no neighbour carrying it still marks itself.
    cells[c] = kKind1;
    EXPECT_EQ(GetRouteLinks(map, c, -1), 0x0200u);

    cells[c] = WithTerrain(kRoad, kNoLinks);
    EXPECT_EQ(GetRouteLinks(map, c, -1), 0u);
    cells[c] = 0;
    EXPECT_EQ(GetRouteLinks(map, c, -1), 0u);
    EXPECT_EQ(GetRouteLinks(map, -1, -1), 0u);
    EXPECT_EQ(GetRouteLinks(map, c, 6), 0u);
}

TEST_F(Routes, LinksAtTheMapEdge)
{
    std::span<const MAPCELL, kHexCount> map(cells.data(), kHexCount);
    // The last hex of a row joins nothing on the next row's first hex.
    HEXINDEX edge = MakeHex(20, 127);
    cells[edge] = kRoad;
    cells[edge + 1] = kRoad;  // row 21, column 0: not a neighbour
    cells[GetNeighbour(edge, kDirWest)] = kRoad;
    EXPECT_EQ(GetRouteLinks(map, edge, -1), 0x0100u | (1u << kDirWest));
}

}  // namespace
}  // namespace zrv
