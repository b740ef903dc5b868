// The map animations' work per tick, beside their 75 ms (explosion frame)
// and 50 ms (slide step) ticks: one explosion frame drawn on seven hexes,
// each over its own saved background, and one slide step, which redraws two
// hexes and converts their window rectangles to RGB as the canvas does.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "battle/engine/HexGeometry.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#ifdef VELMORATH_BENCH_WX
#include "platform/wx/SurfaceCanvas.h"
#endif

namespace {

using namespace zrv;

struct Field {
    DataLibrary lib;
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    std::vector<std::array<int32_t, 3>> pictures;
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc = std::make_unique<CZRKGameDoc>();
    std::unique_ptr<CZRKGameView> view;
    static constexpr HEXINDEX kCentre = MakeHex(60, 60);

    Field()
    {
        for (int t = 0; t < kTerrainCount; ++t) terrain[t].nPicture = 241;
        for (int p = 0; p < 96; ++p) pictures.push_back({(95 - p) * 42, 0, 42});
        lib.TerrainBase = terrain;
        lib.UnitGraphicsOffset = pictures;
        SetLib(&lib);
        SetDialogs(&dialogs);
        platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);
        view = std::make_unique<CZRKGameView>();
        view->SetDocument(doc.get());
        view->SetClientSize(1024, 768);
        view->OnInitialUpdate();
        view->OnSize(1024, 768);
        view->ApplyViewOptions(kDispMapShown, kDispMapShown);
        view->CenterOnHex(kCentre);
        view->m_dwHexUnitCode[kCentre] = kCodeDrawn | (12u << 20) | 5u;
    }
    ~Field()
    {
        view.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
    }
};

void BM_ExplosionFrameOnSevenHexes(benchmark::State& state)
{
    Field f;
    std::array<HEXINDEX, 8> ring{};
    GetHexesInRange(Field::kCentre, 1, ring);
    std::vector<std::unique_ptr<CDib>> backgrounds;
    for (int i = 0; i < 7; ++i) {
        auto dib = std::make_unique<CDib>();
        dib->Create(48, 48, f.view->GetPalette()->GetColorTable());
        backgrounds.push_back(std::move(dib));
    }
    int frame = 0;
    for (auto _ : state) {
        for (int i = 0; i < 7; ++i) {
            f.view->HexToCell(ring[static_cast<size_t>(i)], true);
            f.view->DrawExplosionFrame(frame % 10, 4, 0, backgrounds[static_cast<size_t>(i)].get(), false);
        }
        ++frame;
        benchmark::DoNotOptimize(f.view->GetDib()->GetBits());
    }
}
BENCHMARK(BM_ExplosionFrameOnSevenHexes)->Unit(benchmark::kMicrosecond);

void BM_SlideStep(benchmark::State& state)
{
    Field f;
    const HEXINDEX from = Field::kCentre, to = Field::kCentre + 1;
    const uint32_t code = f.view->m_dwHexUnitCode[from];
    bool forth = true;
    for (auto _ : state) {
        const HEXINDEX a = forth ? from : to, b = forth ? to : from;
        f.view->m_dwHexUnitCode[static_cast<size_t>(a)] = 0;
        f.view->m_dwHexUnitCode[static_cast<size_t>(b)] = code;
        for (HEXINDEX h : {a, b}) {
            f.view->HexToCell(h, false);
            f.view->RedrawHex(h, true, true);
#ifdef VELMORATH_BENCH_WX
            const PointI at = f.view->m_ptCell;
            wxImage img = platform::SurfaceToImage(f.view->GetDib()->Surface(), at.x, at.y - 14, 56, 56);
            benchmark::DoNotOptimize(img.GetData());
#endif
        }
        forth = !forth;
    }
}
BENCHMARK(BM_SlideStep)->Unit(benchmark::kMicrosecond);

}  // namespace
