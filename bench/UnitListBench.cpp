// The unit list after an order: the rows of a carrier and its cargo are taken
// out and put back, and the list sorted again, in a list of 64 units (eight
// carriers with three units aboard each, one of them carrying another) and
// the 250 records of a campaign's carry-over pool. Sorted by class (the
// opening sort), by name (string compares) and by X (the hexes).
//   build/bench/bench_UnitListBench
#include <benchmark/benchmark.h>

#ifdef VELMORATH_BENCH_DIALOGS
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/UnitListModel.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"

namespace {

using namespace zrv;

constexpr int kTypes = 40;

struct BenchLibrary {
    std::vector<ARMSSTRUCT> arms;
    std::deque<std::string> texts;
    std::vector<const char*> names, classes, levels, status;
    DataLibrary lib;

    BenchLibrary()
    {
        arms.resize(kTypes);
        for (int t = 0; t < kTypes; ++t) {
            arms[t].nArmsNo = t;
            arms[t].nClass = (t * 7) % 63;
            arms[t].nStrengthMax = 10;
            arms[t].nFuelMax = 60;
            arms[t].nMovePoint = 6;
            texts.push_back("Type " + std::to_string((t * 13) % kTypes) + (t % 2 ? " mk" : " Ausf"));
            names.push_back(texts.back().c_str());
        }
        for (int c = 0; c < 63; ++c) {
            texts.push_back("C" + std::to_string(c));
            classes.push_back(texts.back().c_str());
        }
        for (const char* s : {"L0", "L1", "L2", "L3", "L4", "L5"}) levels.push_back(s);
        for (const char* s : {"S0", "S1", "S2", "S3", "S4", "S5"}) status.push_back(s);
        lib.ArmsData = arms;
        lib.UnitNameJ = names;
        lib.MsgUnitType = classes;
        lib.MsgLevel = levels;
        lib.MsgStatus = status;
        lib.g_nMaxUnit = kTypes;
    }
};

class BenchHost : public ToolWindowHost {
public:
    void CloseToolWindow(ToolWindow) override {}
    void ClosePerformanceSlot(int) override {}
    COUNTRYSTRUCT* ListCountry() const override { return country; }
    bool IsUnitInMapArea(const UNITSTRUCT& unit) const override { return IsMapHex(unit.nHex); }
    COUNTRYSTRUCT* country = nullptr;
};

struct BenchBattle {
    BenchLibrary library;
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    BenchHost host;
    UNITSTRUCT* carrier = nullptr;

    BenchBattle()
    {
        SetLib(&library.lib);
        COUNTRYSTRUCT& c = game->Country[0];
        c.dwFlag = kCountryPresent;
        host.country = &c;
        for (int s = 0; s < kUnitSlots; ++s) {
            UNITSTRUCT& u = c.Unit[s];
            u.dwFlag = kUnitInUse;
            u.nArms = (s * 11) % kTypes;
            u.nSerial = s + 1;
            u.refSelf = MakeUnitRef(0, s);
            u.nHex = MakeHex(10 + s % 17, 20 + (s * 5) % 23);
            u.nStrength = 1 + s % 10;
            u.nFuel = s;
            u.nExp = s * 3;
            u.dwCargo = MakeCargo(kNoCarrier, 0);
        }
        // Carriers in slots 0, 8, ..., 56 with slots +1..+3 aboard, and +4
        // aboard +1.
        for (int k = 0; k < 8; ++k) {
            UNITSTRUCT& ship = c.Unit[k * 8];
            for (int i = 1; i <= 3; ++i) BoardCarrier(c.Unit[k * 8 + i], ship);
            BoardCarrier(c.Unit[k * 8 + 4], c.Unit[k * 8 + 1]);
        }
        for (int i = 0; i < kCarryUnitCount; ++i) {
            UNITSTRUCT& u = game->CarryUnit[i];
            u.dwFlag = kUnitInUse | kUnitInPool;
            u.nArms = (i * 3) % kTypes;
            u.nSerial = 100 + i;
            u.nHex = -1;
            u.nStrength = 5;
            u.dwCargo = MakeCargo(kNoCarrier, 0);
        }
        carrier = &c.Unit[24];
    }
    ~BenchBattle() { SetLib(nullptr); }
};

void RemoveAppendSort(benchmark::State& state, int column)
{
    BenchBattle b;
    UnitListModel model(*b.game, b.host, true);
    model.Fill();
    if (column != 1) model.ClickColumn(column);
    for (auto _ : state) {
        model.RemoveRows(*b.carrier, true);
        model.AppendRows(*b.carrier, true);
        benchmark::DoNotOptimize(model.RowCount());
    }
    state.counters["rows"] = model.RowCount();
}

void BM_CarrierRowsAgainByClass(benchmark::State& state)
{
    RemoveAppendSort(state, 1);
}
void BM_CarrierRowsAgainByName(benchmark::State& state)
{
    RemoveAppendSort(state, 3);
}
void BM_CarrierRowsAgainByX(benchmark::State& state)
{
    RemoveAppendSort(state, 7);
}
BENCHMARK(BM_CarrierRowsAgainByClass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CarrierRowsAgainByName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CarrierRowsAgainByX)->Unit(benchmark::kMicrosecond);

// The whole list filled and sorted, as the window opens.
void BM_FillAndSort(benchmark::State& state)
{
    BenchBattle b;
    UnitListModel model(*b.game, b.host, true);
    for (auto _ : state) {
        model.Fill();
        benchmark::DoNotOptimize(model.RowCount());
    }
}
BENCHMARK(BM_FillAndSort)->Unit(benchmark::kMicrosecond);

}  // namespace
#else
// Built without the dialogs: nothing to measure.
static void BM_NoDialogs(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(0);
}
BENCHMARK(BM_NoDialogs);
#endif
