// The battle map view: rendering every visible hex of a 1024 x 768 window
// into the off-screen buffer, and converting the window's part of the buffer
// into RGB as the canvas does on a paint. Pictures come from the stage
// folder; the terrain mixes shapes (mode 1 grass groups), routes, owners and
// a unit on every fourth hex, so every drawing path runs.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#ifdef VELMORATH_BENCH_WX
#include "platform/wx/SurfaceCanvas.h"
#endif

namespace {

using namespace zrv;

struct Scene {
    DataLibrary lib;
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    std::vector<std::array<int32_t, 3>> pictures;
    std::vector<ARMSSTRUCT> arms = std::vector<ARMSSTRUCT>(8);
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc = std::make_unique<CZRKGameDoc>();
    std::unique_ptr<CZRKGameView> view;

    Scene(int w, int h)
    {
        for (int t = 0; t < kTerrainCount; ++t) {
            terrain[t].nPicture = 241 + 16 * (t % 10);
            terrain[t].nConnectMode = 1;
            terrain[t].dwTrrnFlag = t % 3 == 0 ? 0x80000000u : 0;
        }
        for (int p = 0; p < 96; ++p) pictures.push_back({(95 - p) * 42, 0, 42});
        for (int a = 0; a < 8; ++a) arms[a].nPicture = 5 + a;
        lib.TerrainBase = terrain;
        lib.UnitGraphicsOffset = pictures;
        lib.ArmsData = arms;
        SetLib(&lib);
        SetDialogs(&dialogs);
        platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);

        for (int hex = 0; hex < kHexCount; ++hex) {
            const int r = HexRow(hex), c = HexColumn(hex);
            MAPCELL cell = static_cast<MAPCELL>((r / 3 + c / 4) % 4);
            if (c % 7 == 0) cell |= 1u << 24;
            if (r % 9 == 0) cell |= 1u << 25;
            cell = WithOwner(cell, (r + c) % 2);
            doc->m_dwHexCell[hex] = cell;
        }
        COUNTRYSTRUCT& viewer = doc->m_GameData.Country[0];
        viewer.dwFlag = kCountryPresent;
        doc->m_pViewCountry = &viewer;

        view = std::make_unique<CZRKGameView>();
        view->SetDocument(doc.get());
        view->SetClientSize(w, h);
        view->OnInitialUpdate();
        for (int hex = 0; hex < kHexCount; hex += 4)
            view->m_dwHexUnitCode[hex] =
                kCodeDrawn | (12u << 20) | (uint32_t(hex % 8) << 16) | uint32_t(5 + hex % 8);
        view->OnSize(w, h);
        view->ApplyViewOptions(kDispMapShown | kDispHexLines, kDispMapShown | kDispHexLines);
    }
    ~Scene()
    {
        view.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
    }
};

void BM_RenderVisibleMap(benchmark::State& state)
{
    Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int step = 0;
    for (auto _ : state) {
        // A new origin each time, so that every iteration renders everything.
        s.view->RenderMap(56 * (step % 20) + (step & 1) * 28, 42 * (step % 17));
        ++step;
        benchmark::DoNotOptimize(s.view->GetDib()->GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderVisibleMap)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

#ifdef VELMORATH_BENCH_WX
void BM_ConvertForWindow(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Scene s(w, h);
    s.view->RenderMap(0, 0);
    const PointI src = s.view->BlitSource();
    for (auto _ : state) {
        wxImage img = platform::SurfaceToImage(s.view->GetDib()->Surface(), src.x, src.y, w, h);
        benchmark::DoNotOptimize(img.GetData());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(w) * h * 3);
}
BENCHMARK(BM_ConvertForWindow)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
#endif

}  // namespace
