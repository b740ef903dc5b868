// The status strip's refresh, which runs each time the pointer reaches a new
// hex: every panel drawn again over the background, with the unit panel of a
// unit carrying its weapons and cargo, and without a unit. The sample data
// library and the generated pictures of the stage folder are used.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/SWndView.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"

namespace {

using namespace zrv;

struct Strip {
    ScriptedDialogService dialogs;
    DataLibraryModule library;
    std::unique_ptr<CZRKGameDoc> doc = std::make_unique<CZRKGameDoc>();
    std::unique_ptr<CZRKGameView> view;
    std::unique_ptr<CSWndView> strip;
    static constexpr HEXINDEX kHex = MakeHex(54, 50);
    UNITSTRUCT* unit = nullptr;

    Strip()
    {
        SetDialogs(&dialogs);
        std::string why;
        if (!library.Open(std::string(VELMORATH_BENCH_STAGE_DIR) + "/" + kDataLibraryFile, &why))
            std::fprintf(stderr, "data library: %s\n", why.c_str());
        SetLib(&library.Tables());
        platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);
        view = std::make_unique<CZRKGameView>();
        view->SetDocument(doc.get());
        doc->SetView(view.get());
        view->SetClientSize(1024, 600);
        view->OnInitialUpdate();
        strip = std::make_unique<CSWndView>(*view);
        strip->OnInitialUpdate(1280);
        view->SetStatusStrip(strip.get());

        GAMEDATASTRUCT& g = doc->m_GameData;
        g.dwStateFlag = 0x70000000u;  // weather, snow, day and night
        g.dwDateTime = 8u << 24 | 41u << 16 | 6u << 8 | 22u;
        g.dwEndDate = 6u << 24 | 41u << 16 | 6u << 8 | 30u;
        for (int i = 0; i < 2; ++i) {
            COUNTRYSTRUCT& c = g.Country[i];
            c.dwFlag = kCountryPresent;
            c.nIndex = i;
            c.nSide = i;
            c.nUnitMax = 64;
            c.nFund = 1234567;
        }
        doc->SetCurrentCountry(0);
        doc->m_pViewCountry = &g.Country[0];
        view->SetCurrentCountry(0, &g.Country[0]);
        // A unit with weapons carrying two more, on a road hex with an owner.
        COUNTRYSTRUCT& c = g.Country[0];
        unit = &c.Unit[0];
        InitUnitRecord(&c, *unit, 0, kHex, 2, 0, &g, g.CarryUnit);
        for (int slot = 1; slot <= 2; ++slot) {
            UNITSTRUCT& cargo = c.Unit[slot];
            InitUnitRecord(&c, cargo, slot, -1, 1, 0, &g, g.CarryUnit);
            cargo.dwFlag |= kUnitCarried;
            cargo.dwCargo = MakeCargo(0, 0);
        }
        unit->dwFlag |= kUnitCarries;
        unit->dwCargo = MakeCargo(kNoCarrier, 2);
        unit->nExp = 180;
        doc->m_dwHexCell[kHex] = WithOwner(WithTerrain(0, 7), 0) | 0x03000000u | 0x00003200u;
        doc->m_dwHexUnit[kHex] = unit->refSelf;
        view->RebuildUnitDisplayMap();
    }
    ~Strip()
    {
        view->SetStatusStrip(nullptr);
        strip.reset();
        doc->SetView(nullptr);
        view.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
    }
};

void BM_RefreshStatusWithUnitPanel(benchmark::State& state)
{
    Strip s;
    for (auto _ : state) {
        s.strip->RefreshStatus(Strip::kHex, false, s.unit, false);
        benchmark::DoNotOptimize(s.strip->Picture().GetBits());
    }
}
BENCHMARK(BM_RefreshStatusWithUnitPanel)->Unit(benchmark::kMicrosecond);

void BM_RefreshStatusHexOnly(benchmark::State& state)
{
    Strip s;
    for (auto _ : state) {
        s.strip->RefreshStatus(Strip::kHex + 1, false, nullptr, false);
        benchmark::DoNotOptimize(s.strip->Picture().GetBits());
    }
}
BENCHMARK(BM_RefreshStatusHexOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
