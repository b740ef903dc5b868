// Reach map, route back-tracking and the full sight rebuild on a full
// 128 x 128 map: 64 units a country, a mixed terrain with roads.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "battle/engine/MoveRange.h"
#include "battle/engine/Sight.h"
#include "foundation/DataLibrary.h"

namespace {

using namespace zrv;

constexpr int kPlain = 7, kForest = 11, kHill = 10, kMountain = 12, kSea = 2;

struct BenchLibrary {
    std::vector<ARMSSTRUCT> arms = std::vector<ARMSSTRUCT>(3);
    std::vector<WEAPONSTRUCT> weapons = std::vector<WEAPONSTRUCT>(3 * kWeaponSlots);
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    std::vector<TRRNSTRUCT> roads = std::vector<TRRNSTRUCT>(kRouteKinds);
    std::vector<CostRow> cost = std::vector<CostRow>(kMoveTypes);
    DataLibrary lib;

    BenchLibrary()
    {
        for (int t = 1; t <= 2; ++t) {
            ARMSSTRUCT& a = arms[static_cast<size_t>(t)];
            a.nMoveType = 0;
            a.nMovePoint = 8;
            a.nSight = t == 1 ? 3 : 5;
            a.wRadar = t == 2 ? 6 : 0;
            a.nDomain = t == 1 ? 1 : 3;
            a.nWeight = 10;
            a.nFuelMax = 100;
        }
        for (CostRow& row : cost) {
            row.fill(2);
            row[kSea] = 0;
            row[kForest] = 3;
            row[kHill] = 5;
            row[kMountain] = 0;
            for (int k = 0; k < kRouteKinds; ++k) row[static_cast<size_t>(kCostTerrainColumns + k)] = 1;
        }
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.RoadBase = roads;
        lib.TerrainCostTable = cost;
        lib.TerrainCostTableSnow = cost;
    }
};

struct BenchMap {
    BenchLibrary library;
    std::unique_ptr<GAMEDATASTRUCT> state = std::make_unique<GAMEDATASTRUCT>();
    std::vector<MAPCELL> cells = std::vector<MAPCELL>(kHexCount);
    std::vector<UnitRef> unitMap = std::vector<UnitRef>(kHexCount, kNoUnit);
    std::vector<uint32_t> coverage = std::vector<uint32_t>(kHexCount);
    std::vector<uint32_t> grid = std::vector<uint32_t>(kHexCount);
    std::vector<uint32_t> reach = std::vector<uint32_t>(kHexCount);
    MoveRules rules;

    explicit BenchMap(int countries)
    {
        SetLib(&library.lib);
        std::memset(state.get(), 0, sizeof *state);
        std::mt19937 rng(12345);
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            const int r = static_cast<int>(rng() % 100);
            const int t = r < 60 ? kPlain : r < 75 ? kForest : r < 85 ? kHill : r < 92 ? kMountain : kSea;
            MAPCELL c = WithTerrain(0, t);
            // Roads every eighth row and column.
            if (HexRow(h) % 8 == 0 || HexColumn(h) % 8 == 0) c = WithDurability(WithRoutes(c, 1), 100);
            cells[static_cast<size_t>(h)] = c;
        }
        for (int c = 0; c < countries; ++c) {
            COUNTRYSTRUCT& country = state->Country[c];
            country.dwFlag = kCountryPresent | 0x00010000u;  // fog of war
            country.nSide = c % 2;
            for (int s = 0; s < kUnitSlots; ++s) {
                UNITSTRUCT& u = country.Unit[s];
                HEXINDEX h;
                do {
                    h = static_cast<HEXINDEX>(rng() % kHexCount);
                } while (unitMap[static_cast<size_t>(h)] != kNoUnit);
                u.dwFlag = kUnitInUse;
                u.nArms = 1 + s % 2;
                u.nHex = h;
                u.refSelf = MakeUnitRef(c, s);
                u.dwCargo = MakeCargo(kNoCarrier, 0);
                u.nFuel = 100000;
                u.nMove = 8;
                u.dwHexCell = cells[static_cast<size_t>(h)];
                unitMap[static_cast<size_t>(h)] = u.refSelf;
            }
        }
        // Every ground enemy holds a zone of control.
        rules.canCloseFire = [](const UNITSTRUCT& s, const UNITSTRUCT&, const GAMEDATASTRUCT&) {
            return s.nArms == 1;
        };
    }
    ~BenchMap() { SetLib(nullptr); }

    std::span<const MAPCELL, kHexCount> Cells() { return std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount); }
    HexWords Grid() { return HexWords(grid.data(), kHexCount); }
    HexWords Reach() { return HexWords(reach.data(), kHexCount); }
};

// A unit whose points never cut a cost, so the search covers the whole map.
UNITSTRUCT& FarMover(BenchMap& m)
{
    UNITSTRUCT& u = m.state->Country[0].Unit[0];
    u.nMove = 30000;
    return u;
}

void BM_ReachMapFullMap(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = FarMover(m);
    int reached = 0;
    for (auto _ : st) {
        int code = ComputeMoveArea(u, *m.state, m.Cells(), m.Grid(), m.Reach(), {}, m.rules);
        benchmark::DoNotOptimize(code);
    }
    for (uint32_t w : m.reach) reached += (w & kReachNotReached) ? 0 : 1;
    st.counters["reached"] = reached;
}
BENCHMARK(BM_ReachMapFullMap)->Unit(benchmark::kMicrosecond);

void BM_ReachMapOneTurn(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = m.state->Country[0].Unit[0];
    for (auto _ : st) {
        int code = CheckUnitMove(u, *m.state, m.Cells(), m.Grid(), m.Reach(), m.rules);
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_ReachMapOneTurn)->Unit(benchmark::kMicrosecond);

void BM_RouteAcrossTheMap(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = FarMover(m);
    (void)ComputeMoveArea(u, *m.state, m.Cells(), m.Grid(), m.Reach(), {}, m.rules);
    // The farthest reached hex.
    HEXINDEX to = kNoHex;
    int far = -1;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = m.reach[static_cast<size_t>(h)];
        if (!(w & kReachNotReached) && static_cast<int>(w & kReachCostMask) > far) {
            far = static_cast<int>(w & kReachCostMask);
            to = h;
        }
    }
    std::vector<HEXINDEX> route(kHexCount + 1);
    int length = 0;
    for (auto _ : st) {
        length = BuildRouteToHex(u, u.nHex, to, m.grid, m.reach, route);
        benchmark::DoNotOptimize(length);
    }
    st.counters["length"] = length;
}
BENCHMARK(BM_RouteAcrossTheMap)->Unit(benchmark::kMicrosecond);

void BM_SightRecomputeEightCountries(benchmark::State& st)
{
    BenchMap m(8);
    for (auto _ : st) {
        RecomputeCoverage(0, *m.state, HexCells(m.cells.data(), kHexCount), HexWords(m.coverage.data(), kHexCount));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SightRecomputeEightCountries)->Unit(benchmark::kMicrosecond);

// The parts of a reach map: without units (no zones to mark), the cost grid
// alone, and the search with the linear-scan open list it replaced.
void BM_ReachMapFullMapNoUnits(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = FarMover(m);
    MoveAreaOptions o;
    o.bNoUnits = true;
    for (auto _ : st) {
        int code = ComputeMoveArea(u, *m.state, m.Cells(), m.Grid(), m.Reach(), o, m.rules);
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_ReachMapFullMapNoUnits)->Unit(benchmark::kMicrosecond);

void BM_CostGridOnly(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = FarMover(m);
    for (auto _ : st) {
        int code = BuildMoveCostGrid(u, *m.state, m.Cells(), m.Grid());
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_CostGridOnly)->Unit(benchmark::kMicrosecond);

void BM_ReachMapFullMapLinearScan(benchmark::State& st)
{
    BenchMap m(2);
    UNITSTRUCT& u = FarMover(m);
    MoveAreaOptions o;
    o.openList = OpenList::kLinearScan;
    for (auto _ : st) {
        int code = ComputeMoveArea(u, *m.state, m.Cells(), m.Grid(), m.Reach(), o, m.rules);
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_ReachMapFullMapLinearScan)->Unit(benchmark::kMicrosecond);
}  // namespace
