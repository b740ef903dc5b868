// The situation table's update on every status notification: the sheet told
// that every page changed while the operations page is on screen, on a full
// 128 x 128 map with 512 cities of the opposing side and 64 units in every
// country (the list filled from the whole map, each city's distance to the
// nearest own unit, the sort and the header). The income page's count of the
// map, which a tab change to it runs, is measured beside it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "battle/dialogs/StatusPages.h"
#include "battle/engine/HexGeometry.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/DibPal.h"
#include "platform/core/Paths.h"

namespace {

using namespace zrv;

constexpr int kCity = 9;

class PaletteView : public DialogView {
public:
    const RgbQuad* ColorTable() const override { return palette.GetColorTable(); }
    CDibPal palette;
};

struct Scene {
    DataLibrary lib;
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(128);
    std::vector<const char*> terrainName = std::vector<const char*>(128, "town");
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc = std::make_unique<CZRKGameDoc>();
    PaletteView view;

    Scene()
    {
        terrain[kCity].dwTrrnFlag = 1u << 11;
        lib.TerrainBase = terrain;
        lib.TerrainName = terrainName;
        SetLib(&lib);
        SetDialogs(&dialogs);
        platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);
        view.palette.Create(platform::ProgramFolder() + "Game2.PLB");

        GAMEDATASTRUCT& g = doc->m_GameData;
        for (int i = 0; i < kCountryCount; ++i) {
            g.Country[i].dwFlag = kCountryPresent;
            g.Country[i].nIndex = i;
            g.Country[i].nSide = i % 2;
            g.Country[i].nCapital = -1;
        }
        doc->m_rcMapArea = {0, 0, 127, 127};
        // 512 cities of side 1 spread over the map, 512 of side 0 between them.
        int cities = 0;
        for (HEXINDEX h = 0; h < kHexCount; h += 16) {
            const int owner = (cities % 2 == 0 ? 1 : 0) + 2 * ((cities / 2) % 4);
            doc->m_dwHexCell[h] = WithDurability(WithOwner(kCity, owner), 50);
            ++cities;
        }
        // 64 units in every country.
        for (int c = 0; c < kCountryCount; ++c)
            for (int s = 0; s < kUnitSlots; ++s) {
                UNITSTRUCT& u = g.Country[c].Unit[s];
                u.dwFlag = kUnitInUse;
                u.nHex = (c * 2027 + s * 257) % kHexCount;
            }
        doc->m_pCurCountry = &g.Country[0];
    }
};

void BM_SituationUpdateAllOnOperationsPage(benchmark::State& state)
{
    Scene s;
    DialogCard card(&s.view, kStatusPageW, kStatusPageH);
    std::unique_ptr<CDib> header = card.LoadPicture("status02.pxs");
    OperationsPageModel ops(*s.doc, &s.view);
    StatusSheetModel sheet([&](int page) {
        if (page != 0) return;
        ops.Fill();
        ops.DrawHeader(card, header.get());
    });
    for (auto _ : state) {
        sheet.Update(kStatusAllPages);
        benchmark::DoNotOptimize(ops.RowCount());
    }
    state.counters["rows"] = ops.RowCount();
}
BENCHMARK(BM_SituationUpdateAllOnOperationsPage)->Unit(benchmark::kMicrosecond);

void BM_IncomePageRedraw(benchmark::State& state)
{
    Scene s;
    DialogCard card(&s.view, kStatusPageW, kStatusPageH);
    std::unique_ptr<CDib> status12 = card.LoadPicture("status12.pxs");
    IncomePageModel income(*s.doc, &s.view);
    for (auto _ : state) benchmark::DoNotOptimize(income.Redraw(card, status12.get()));
}
BENCHMARK(BM_IncomePageRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
