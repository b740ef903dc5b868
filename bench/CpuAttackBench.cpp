// The computer player's attack choice on a full 128 x 128 map: one unit
// among 64 enemies with the search over its firing positions, and the
// anti-air threat of 64 enemies. Heap allocations per call are counted.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
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

struct BenchBattle {
    std::vector<ARMSSTRUCT> arms = std::vector<ARMSSTRUCT>(3);
    std::vector<WEAPONSTRUCT> weapons = std::vector<WEAPONSTRUCT>(3 * kWeaponSlots);
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    DataLibrary lib;
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    std::vector<MAPCELL> cells = std::vector<MAPCELL>(kHexCount, 7);
    std::vector<UnitRef> hexUnit = std::vector<UnitRef>(kHexCount, kNoUnit);
    std::vector<uint32_t> claim = std::vector<uint32_t>(kHexCount);
    std::vector<uint32_t> move = std::vector<uint32_t>(kHexCount, 0xC0000000u);
    std::vector<uint32_t> coverage = std::vector<uint32_t>(kHexCount);
    CpuTurnState state;
    GameRandom random{7};
    std::unique_ptr<CpuAttackWorld> world;

    BenchBattle()
    {
        for (int t = 1; t <= 2; ++t) {
            ARMSSTRUCT& a = arms[static_cast<size_t>(t)];
            a.nArmsNo = t;
            a.nClass = t == 1 ? 2 : 20;
            a.nStrengthMax = 10;
            a.nDomain = 1;
            a.Arm[0].nSetId = 2;
            a.Arm[0].nCount[0] = 20;
            WEAPONSTRUCT& w = weapons[static_cast<size_t>(t * kWeaponSlots)];
            w.nWeaponNo = t;
            w.nPieces = 1;
            w.dwWeaponFlag = kThreatAntiAir;
            w.nAttack[0] = 4, w.nAttack[1] = 8, w.nAttack[2] = 8;
            w.nRange[0] = 1, w.nRange[1] = 3, w.nRange[2] = 1, w.nRange[3] = 3;
            w.nAccuracy = 60;
        }
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        SetLib(&lib);
        for (int c = 0; c < 2; ++c) {
            game->Country[c].dwFlag = kCountryPresent;
            game->Country[c].nSide = c;
            game->Country[c].nIndex = c;
        }
        std::mt19937 rng(3);
        for (int slot = 0; slot < kUnitSlots; ++slot) {
            UNITSTRUCT& u = game->Country[0].Unit[slot];
            HEXINDEX h;
            do h = MakeHex(50 + static_cast<int>(rng() % 28), 50 + static_cast<int>(rng() % 28));
            while (hexUnit[static_cast<size_t>(h)] != kNoUnit);
            u.dwFlag = kUnitInUse;
            u.nArms = 2;
            u.nHex = h;
            u.nStrength = 10;
            u.nAmmo[0] = 20;
            u.refSelf = MakeUnitRef(0, slot);
            u.dwCargo = MakeCargo(kNoCarrier, 0);
            hexUnit[static_cast<size_t>(h)] = u.refSelf;
        }
        UNITSTRUCT& a = game->Country[1].Unit[0];
        a.dwFlag = kUnitInUse;
        a.nArms = 1;
        a.nHex = MakeHex(64, 64);
        a.nStrength = 10;
        a.nAmmo[0] = 20;
        a.refSelf = MakeUnitRef(1, 0);
        a.dwCargo = MakeCargo(kNoCarrier, 0);
        hexUnit[static_cast<size_t>(a.nHex)] = a.refSelf;
        HEXINDEX ring[GetHexCountInRadius(4) + 1];
        const int n = GetHexesInRange(a.nHex, 4, ring);
        for (int i = 0; i < n; ++i) move[static_cast<size_t>(ring[i])] = 1;
        world = std::make_unique<CpuAttackWorld>(CpuAttackWorld{
            *game, std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount),
            std::span<UnitRef, kHexCount>(hexUnit.data(), kHexCount),
            std::span<uint32_t, kHexCount>(claim.data(), kHexCount),
            std::span<const uint32_t, kHexCount>(move.data(), kHexCount),
            std::span<const uint32_t, kHexCount>(coverage.data(), kHexCount), state.objectiveArea,
            state.TargetList(), random});
    }
    ~BenchBattle() { SetLib(nullptr); }
};

void BM_EvaluateUnitAttackWithSearch(benchmark::State& st)
{
    BenchBattle b;
    UNITSTRUCT& a = b.game->Country[1].Unit[0];
    long allocations = 0;
    for (auto _ : st) {
        const long before = g_allocations;
        benchmark::DoNotOptimize(CpuEvaluateUnitAttack(a, *b.world, kPolicyAdvance, false, 0));
        allocations += g_allocations - before;
    }
    st.counters["allocs/call"] = static_cast<double>(allocations) / static_cast<double>(st.iterations());
}
BENCHMARK(BM_EvaluateUnitAttackWithSearch)->Unit(benchmark::kMicrosecond);

void BM_BuildThreatMap(benchmark::State& st)
{
    BenchBattle b;
    long allocations = 0;
    for (auto _ : st) {
        const long before = g_allocations;
        CpuBuildThreatMap(1, 1, *b.game, b.world->claim, b.state);
        allocations += g_allocations - before;
    }
    st.counters["allocs/call"] = static_cast<double>(allocations) / static_cast<double>(st.iterations());
}
BENCHMARK(BM_BuildThreatMap)->Unit(benchmark::kMicrosecond);

}  // namespace
