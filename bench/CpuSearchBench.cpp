// The computer player's hex searches on a full 128 x 128 map with 64 units a
// country (the terrain and units as the move range benchmark builds them):
// the route step, the withdrawal hex, a carrier's destination, an air
// unit's bombing target, a builder's work site, and the walk of 64 units
// toward what they should take. Heap allocations per call are counted.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "battle/cpu/CpuBombing.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuTransport.h"
#include "battle/cpu/CpuTurnState.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/cpu/CpuWorks.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/MoveRange.h"
#include "foundation/DataLibrary.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(size_t n)
{
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

using namespace zrv;

constexpr int kPlain = 7, kForest = 11, kHill = 10, kCity = 9, kSea = 2;
constexpr int kInfantry = 1, kTransport = 2, kBomber = 3;

// Orders go nowhere: every one is carried out as nothing.
class NoOrders : public OrderExecutor {
public:
    int ExecuteCpuAction(int, UNITSTRUCT&, int) override { return 0; }
    int CpuMoveUnitToward(UNITSTRUCT&, HEXINDEX, const CpuMoveFlags&) override { return 0; }
};

struct BenchBattle {
    std::vector<ARMSSTRUCT> arms = std::vector<ARMSSTRUCT>(4);
    std::vector<WEAPONSTRUCT> weapons = std::vector<WEAPONSTRUCT>(4 * kWeaponSlots);
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    std::vector<TRRNSTRUCT> roads = std::vector<TRRNSTRUCT>(kRouteKinds);
    std::vector<CostRow> cost = std::vector<CostRow>(kMoveTypes);
    DataLibrary lib;
    std::unique_ptr<CZRKGameDoc> doc;
    std::unique_ptr<CpuTurnState> state = std::make_unique<CpuTurnState>();
    NoOrders orders;

    BenchBattle()
    {
        for (int t = 1; t <= 3; ++t) {
            ARMSSTRUCT& a = arms[static_cast<size_t>(t)];
            a.nArmsNo = t;
            a.nMoveType = t == kBomber ? 33 : 0;
            a.nMovePoint = t == kBomber ? 20 : 8;
            a.nSight = 3;
            a.nDomain = t == kBomber ? 0 : 1;
            a.nWeight = 10;
            a.nFuelMax = 100;
            a.nStrengthMax = 10;
            a.nBaseKind = 2;
            a.nReplenish = 2;
            a.nClass = t == kInfantry ? 0 : t == kTransport ? 20 : 40;
            a.nCarryClass = t == kInfantry ? 1 : -1;
            a.dwArmsFlag = t == kInfantry ? 1u << 3 : 0u;
            a.Arm[0].nSetId = 1;
            a.Arm[0].nCount[0] = 10;
            WEAPONSTRUCT& w = weapons[static_cast<size_t>(t * kWeaponSlots)];
            w.nWeaponNo = t;
            w.nPieces = 1;
            w.nAttack[1] = 6;
            w.nRange[0] = w.nRange[1] = w.nRange[2] = w.nRange[3] = 1;
        }
        arms[kTransport].nCarry[1] = 2;
        for (int t = 0; t < kTerrainCount; ++t) terrain[static_cast<size_t>(t)].nCover = 5;
        terrain[kCity].dwTrrnFlag = 1u << 10 | 1u << 11 | 1u << 28 | 1u << 29 | 1u << 31;
        terrain[kCity].dwBaseField = 0x4606;
        terrain[kCity].nDurableMax = 100;
        terrain[kCity].nDurableRate = 10;
        terrain[kPlain].nBuiltForm = 35;
        for (CostRow& row : cost) {
            row.fill(2);
            row[kSea] = 0;
            row[kForest] = 3;
            row[kHill] = 5;
            for (int k = 0; k < kRouteKinds; ++k) row[static_cast<size_t>(kCostTerrainColumns + k)] = 1;
        }
        cost[33].fill(1);
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.RoadBase = roads;
        lib.TerrainCostTable = cost;
        lib.TerrainCostTableSnow = cost;
        lib.g_nMaxUnit = 4;
        lib.g_nLandUnit = kInfantry;
        SetLib(&lib);

        doc = std::make_unique<CZRKGameDoc>();
        GAMEDATASTRUCT& game = doc->m_GameData;
        std::mt19937 rng(12345);
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            const int r = static_cast<int>(rng() % 100);
            const int t = r < 60 ? kPlain : r < 75 ? kForest : r < 85 ? kHill : r < 95 ? kCity : kSea;
            MAPCELL c = WithTerrain(0, t);
            if (t == kCity) c = WithOwner(c, static_cast<int>(rng() % 2));
            if (HexRow(h) % 8 == 0 || HexColumn(h) % 8 == 0) c = WithDurability(WithRoutes(c, 1), 100);
            doc->m_dwHexCell[h] = c;
        }
        for (int ci = 0; ci < 2; ++ci) {
            COUNTRYSTRUCT& country = game.Country[ci];
            country.dwFlag = kCountryPresent;
            country.nIndex = ci;
            country.nSide = ci;
            country.nFund = 5000;
            country.nUnitMax = 64;
            country.nUnit = kUnitSlots;
            country.nCapital = MakeHex(20 + 80 * ci, 20 + 80 * ci);
            doc->m_dwHexCell[country.nCapital] = WithOwner(WithTerrain(0, kCity), ci);
            for (int s = 0; s < kUnitSlots; ++s) {
                UNITSTRUCT& u = country.Unit[s];
                HEXINDEX h;
                do {
                    h = static_cast<HEXINDEX>(rng() % kHexCount);
                } while (doc->m_dwHexUnit[h] != kNoUnit || CellTerrain(doc->m_dwHexCell[h]) == kSea);
                u.dwFlag = kUnitInUse;
                u.nArms = s == 0 ? kTransport : s == 1 ? kBomber : kInfantry;
                u.nHex = h;
                u.nStrength = 8;
                u.nAmmo[0] = 10;
                u.refSelf = MakeUnitRef(ci, s);
                u.dwCargo = MakeCargo(kNoCarrier, 0);
                u.nFuel = 100;
                u.nMove = 8;
                u.dwHexCell = doc->m_dwHexCell[h];
                doc->m_dwHexUnit[h] = u.refSelf;
            }
        }
        // The transport carries one infantry unit.
        UNITSTRUCT& carrier = game.Country[1].Unit[0];
        UNITSTRUCT& cargo = game.Country[1].Unit[2];
        doc->m_dwHexUnit[cargo.nHex] = kNoUnit;
        cargo.dwFlag |= kUnitCarried;
        cargo.nHex = kNoHex;
        cargo.dwCargo = MakeCargo(0, 0);
        carrier.dwFlag |= kUnitCarries;
        carrier.dwCargo = MakeCargo(kNoCarrier, 1);
        doc->SetCurrentCountry(1);
        doc->SetOrderExecutor(&orders);
    }
    ~BenchBattle()
    {
        doc->SetOrderExecutor(nullptr);
        SetLib(nullptr);
    }
    UNITSTRUCT& Own(int slot) { return doc->m_GameData.Country[1].Unit[slot]; }
    bool Reach(UNITSTRUCT& u)
    {
        return CheckUnitMove(u, doc->m_GameData, doc->m_dwHexCell, HexWords(state->grid.data(), kHexCount),
                             HexWords(doc->m_dwHexMove), doc->m_MoveRules) == 0;
    }
};

template <typename Fn>
void Measure(benchmark::State& st, Fn fn)
{
    long allocations = 0;
    for (auto _ : st) {
        const long before = g_allocations;
        fn();
        allocations += g_allocations - before;
    }
    st.counters["allocs/call"] = static_cast<double>(allocations) / static_cast<double>(st.iterations());
}

void BM_RouteStep(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& u = b.Own(5);
    const HEXINDEX target = b.doc->m_GameData.Country[0].nCapital;
    Measure(st, [&] { benchmark::DoNotOptimize(CpuRouteStep(*b.doc, *b.state, u, target, {}).step); });
}
BENCHMARK(BM_RouteStep)->Unit(benchmark::kMicrosecond);

void BM_FindWithdrawalHex(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& u = b.Own(5);
    u.dwSupplyFlag |= kCpuUnitNeedsStock;
    b.Reach(u);
    Measure(st, [&] {
        benchmark::DoNotOptimize(CpuFindWithdrawalHex(*b.doc, *b.state, u, b.doc->m_dwHexMove, {}, 0));
    });
}
BENCHMARK(BM_FindWithdrawalHex)->Unit(benchmark::kMicrosecond);

void BM_FindTransportDestination(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& carrier = b.Own(0);
    Measure(st, [&] {
        b.Reach(carrier);
        benchmark::DoNotOptimize(CpuFindTransportDestination(*b.doc, *b.state, carrier, false));
    });
}
BENCHMARK(BM_FindTransportDestination)->Unit(benchmark::kMicrosecond);

void BM_FindBombingTargetHex(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& bomber = b.Own(1);
    Measure(st, [&] { benchmark::DoNotOptimize(CpuFindBombingTargetHex(*b.doc, *b.state, bomber)); });
}
BENCHMARK(BM_FindBombingTargetHex)->Unit(benchmark::kMicrosecond);

void BM_FindWorkSite(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& u = b.Own(5);
    b.Reach(u);
    Measure(st, [&] {
        std::memset(b.doc->m_dwHexCpu, 0, sizeof b.doc->m_dwHexCpu);
        benchmark::DoNotOptimize(CpuFindWorkSite(*b.doc, u, true, kMaxDurability, false, false));
    });
}
BENCHMARK(BM_FindWorkSite)->Unit(benchmark::kMicrosecond);

void BM_ActUnits64(benchmark::State& st)
{
    BenchBattle b;
    Measure(st, [&] { benchmark::DoNotOptimize(CpuActUnits(*b.doc, *b.state, 9, false, false)); });
}
BENCHMARK(BM_ActUnits64)->Unit(benchmark::kMillisecond);

}  // namespace
