// The two small maps: the HQ map of a 120 x 120 area drawn whole into the
// off-screen buffer (wall, small hexes, owner and unit patches, edge strips),
// and the overview window's picture of the same area: rendering its terrain
// patterns, and a paint (the map bytes copied and the frame drawn).
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"

namespace {

using namespace zrv;

struct Scene {
    DataLibrary lib;
    std::vector<std::array<uint8_t, 4>> patterns;
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc = std::make_unique<CZRKGameDoc>();
    std::unique_ptr<CZRKGameView> view;

    Scene()
    {
        for (int t = 0; t < 128; ++t)
            patterns.push_back({uint8_t(100 + t % 80), uint8_t(101 + t % 80), uint8_t(102 + t % 80),
                                uint8_t(103 + t % 80)});
        lib.SMapPatternData = patterns;
        lib.SMapPatternDataL = patterns;
        SetLib(&lib);
        SetDialogs(&dialogs);
        platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);

        GAMEDATASTRUCT& g = doc->m_GameData;
        for (int i = 0; i < 2; ++i) {
            g.Country[i].dwFlag = kCountryPresent;
            g.Country[i].nDisplay = i;
        }
        for (int hex = 0; hex < kHexCount; ++hex) {
            const int r = HexRow(hex), c = HexColumn(hex);
            MAPCELL cell = static_cast<MAPCELL>(2 + (r * 7 + c * 3) % 80);
            if ((r + c) % 11 == 0) cell |= kCellFog;
            doc->m_dwHexCell[hex] = WithOwner(cell, (r / 10 + c / 10) % 2);
        }
        // A unit on every seventh hex, up to the countries' 64 slots each.
        int slots[2] = {0, 0};
        for (int hex = 0; hex < kHexCount; hex += 7) {
            const int country = (HexRow(hex) / 10 + HexColumn(hex) / 10) % 2;
            if (slots[country] >= 64) continue;
            UNITSTRUCT& u = g.Country[country].Unit[slots[country]];
            u.dwFlag = kUnitInUse;
            u.nHex = hex;
            doc->m_dwHexUnit[hex] = MakeUnitRef(country, slots[country]++);
        }
        doc->m_pViewCountry = &g.Country[0];

        view = std::make_unique<CZRKGameView>();
        view->SetDocument(doc.get());
        view->SetClientSize(1024, 768);
        view->OnInitialUpdate();
        view->SetCurrentCountry(0, &g.Country[0]);
        view->OnSize(1024, 768);
        view->m_rcMapHexes = {4, 4, 123, 123};
        view->ApplyViewOptions(kDispMapShown | kDispHqMap | kDispUnits, kDispMapShown | kDispHqMap | kDispUnits);
        view->RecalcMapExtent(false);
    }
    ~Scene()
    {
        view.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
    }
};

void BM_DrawHQMap120(benchmark::State& state)
{
    Scene s;
    for (auto _ : state) {
        s.view->DrawHQMap();
        benchmark::DoNotOptimize(s.view->GetDib()->GetBits());
    }
    state.SetItemsProcessed(state.iterations() * 120 * 120);
}
BENCHMARK(BM_DrawHQMap120)->Unit(benchmark::kMillisecond);

void BM_OverviewRender120(benchmark::State& state)
{
    Scene s;
    CSMapDlg& dlg = *s.view->m_pSMapWnd;
    dlg.Layout(s.view->m_rcMapHexes);
    dlg.OnInitDialog();
    for (auto _ : state) {
        dlg.RenderMap();
        benchmark::DoNotOptimize(dlg.MapBits().data());
    }
    state.SetItemsProcessed(state.iterations() * 120 * 120);
}
BENCHMARK(BM_OverviewRender120)->Unit(benchmark::kMicrosecond);

void BM_OverviewPaint120(benchmark::State& state)
{
    Scene s;
    CSMapDlg& dlg = *s.view->m_pSMapWnd;
    dlg.Layout(s.view->m_rcMapHexes);
    dlg.OnInitDialog();
    for (auto _ : state) benchmark::DoNotOptimize(dlg.Paint());
}
BENCHMARK(BM_OverviewPaint120)->Unit(benchmark::kMicrosecond);

}  // namespace
