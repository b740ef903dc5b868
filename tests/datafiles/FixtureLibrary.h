#pragma once
// A small data library and sample records for the data-file tests and fuzz
// targets: just the texts, version string and bounds the file code consults.

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"

namespace datafiles_test {

inline constexpr const char* kFixtureUnitVersion = "UV1.2";
inline constexpr int kFixtureMaxUnit = 100;
inline constexpr int kFixtureMaxScnr = 12;

inline const std::array<const char*, 23>& FixtureErrorMessages()
{
    static const std::array<const char*, 23> texts = {"E0",
                                                      "E1",
                                                      "ユニットデータのバージョン(%s)が違います",
                                                      "E3",
                                                      "E4",
                                                      "E5",
                                                      "E6",
                                                      "E7",
                                                      "E8",
                                                      "E9",
                                                      "ファイルの種類が違います",
                                                      "バージョンが違います",
                                                      "%sは開けません",
                                                      "ファイルが壊れています",
                                                      "%sを作成できません",
                                                      "E15",
                                                      "E16",
                                                      "E17",
                                                      "兵器図鑑が読めません",
                                                      "E19",
                                                      "E20",
                                                      "ユニットデータが違います",
                                                      "保存データではありません"};
    return texts;
}

inline const zrv::DataLibrary& FixtureLibrary()
{
    static const zrv::DataLibrary lib = [] {
        zrv::DataLibrary l;
        l.ErrorMessage = FixtureErrorMessages();
        l.g_szUnitVersion = kFixtureUnitVersion;
        l.g_nMaxUnit = kFixtureMaxUnit;
        l.g_nMaxScnr = kFixtureMaxScnr;
        return l;
    }();
    return lib;
}

// Answers every box as its default button would and keeps nothing (fuzzing
// runs millions of reads).
class SilentDialogs : public zrv::DialogService {
public:
    int MessageBox(std::string_view, unsigned style) override { return zrv::DefaultAnswer(style); }
};

// Fills n bytes with a pattern that differs per field, so that a field copied
// to the wrong place or dropped shows in a comparison.
inline void Pattern(void* p, size_t n, unsigned seed)
{
    auto* b = static_cast<unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>((i * 131 + seed * 29 + 7) & 0xFF);
}

inline void SetText(char* field, size_t n, const char* text)
{
    std::memset(field, 0, n);
    std::memcpy(field, text, std::min(std::strlen(text), n - 1));
}

inline void MakeSampleUnit(zrv::UNITSTRUCT& u, int country, int slot, unsigned seed)
{
    Pattern(&u, sizeof u, seed);
    u.dwFlag = zrv::kUnitInUse | 0x40000000u;
    u.nArms = 1 + (slot * 7 + country) % (kFixtureMaxUnit - 1);
    u.nHex = zrv::MakeHex(10 + country, 5 + slot);
    u.nMode = slot % 6;
    u.dwCargo = zrv::MakeCargo(zrv::kNoCarrier, 0);
    u.refSelf = zrv::MakeUnitRef(country, slot);
    u.refTarget = zrv::kNoUnit;
    u.nMarchHex = -1;
    u.nCpuTarget = zrv::MakeHex(20, 20);
}

inline void MakeSampleCountry(zrv::COUNTRYSTRUCT& c, int index, unsigned seed)
{
    Pattern(&c, sizeof c, seed);
    c.dwFlag = zrv::kCountryPresent | (index == 1 ? 0x40000000u : 0u);
    c.nIndex = index;
    SetText(c.szName, sizeof c.szName, index == 0 ? "ヴェルモア連邦" : "北方同盟");
    c.nDisplay = index + 3;
    c.nCountryId = index + 1;
    c.nCapital = zrv::MakeHex(12, 12 + index);
    c.nSide = index % 2;
    c.nUnit = 3;
    c.nSideChange = 12;
    c.nNewSide = 1 - index % 2;
    for (int cls = 0; cls < zrv::kClassCount; ++cls) {
        for (int k = 0; k < zrv::kClassListWords; ++k) {
            const uint32_t type = static_cast<uint32_t>(1 + (cls * 3 + k) % (kFixtureMaxUnit - 1));
            c.dwClassList[cls][k] = k > 5 ? 0xFFFFFFFFu : (k == 1 ? type | 0x80000000u : type);
        }
    }
    for (int s = 0; s < zrv::kUnitSlots; ++s) {
        if (s < 3) {
            MakeSampleUnit(c.Unit[s], index, s, seed + static_cast<unsigned>(s));
        } else {
            // Slots not in use hold whatever they hold.
            Pattern(&c.Unit[s], sizeof c.Unit[s], seed + 100u + static_cast<unsigned>(s));
            c.Unit[s].dwFlag &= ~zrv::kUnitInUse;
        }
    }
    c.Unit[1].dwCargo = zrv::MakeCargo(0, 0);
    c.Unit[0].dwCargo = zrv::MakeCargo(zrv::kNoCarrier, 1);
}

inline void MakeSampleHead(zrv::SCNRHEADSTRUCT& h, unsigned seed)
{
    Pattern(&h, sizeof h, seed);
    SetText(h.szName, sizeof h.szName, "北海道上陸作戦");
    h.dwStartDate = zrv::PackDate(44, 6, 6, 4);
    SetText(h.szUnitVersion, sizeof h.szUnitVersion, kFixtureUnitVersion);
    h.byCampaign = 1;
}

// A sound saved campaign game: two countries in play, the rest absent (and full
// of noise), every reserved run non-zero.
inline std::unique_ptr<zrv::GAMEDATASTRUCT> MakeSampleGame()
{
    auto g = std::make_unique<zrv::GAMEDATASTRUCT>();
    Pattern(g.get(), sizeof *g, 1);
    g->nVersion = zrv::kGameDataVersion;
    g->nScenario = 3;
    g->nFlowState = zrv::PHASE_HUMAN;
    g->nCurCountry = 0;
    g->dwGameOption = zrv::kOptionCampaign | 0x10000u;
    MakeSampleHead(g->Head, 2);
    for (int i = 0; i < zrv::kCountryCount; ++i) {
        if (i < 2) {
            MakeSampleCountry(g->Country[i], i, 10u + static_cast<unsigned>(i));
        } else {
            g->Country[i].dwFlag &= ~zrv::kCountryPresent;
        }
    }
    for (int i = 0; i < zrv::kCarryUnitCount; ++i) {
        if (i < 4) {
            MakeSampleUnit(g->CarryUnit[i], 0, i, 300u + static_cast<unsigned>(i));
            g->CarryUnit[i].nHex = -1;
        } else {
            g->CarryUnit[i].dwFlag &= ~zrv::kUnitInUse;
        }
    }
    for (int hex = 0; hex < zrv::kHexCount; ++hex) {
        zrv::MAPCELL c = zrv::WithTerrain(static_cast<zrv::MAPCELL>(hex) * 2654435761u, hex % 91);
        c = zrv::WithOwner(c, hex % 9 - 1);
        g->dwHexCell[hex] = c;
    }
    g->rcMapArea = {2, 3, 100, 90};
    g->nHistory = 2;
    SetText(g->szMB2File, sizeof g->szMB2File, "HOKKAIDO.MB2");
    return g;
}

inline std::unique_ptr<zrv::CAMPAIGNSTRUCT> MakeSampleCampaign()
{
    auto r = std::make_unique<zrv::CAMPAIGNSTRUCT>();
    Pattern(r.get(), sizeof *r, 5);
    r->nVersion = zrv::kGameDataVersion;
    r->nNextScenario = 4;
    r->nLastScenario = 3;
    SetText(r->szTitle, sizeof r->szTitle, "次の作戦");
    SetText(r->szUnitVersion, sizeof r->szUnitVersion, kFixtureUnitVersion);
    r->nHistory = 1;
    for (int i = 0; i < 8; ++i) r->byCountryId[i] = i < 2 ? static_cast<uint8_t>(i + 1) : 0xFF;
    MakeSampleCountry(r->Player, 0, 40);
    r->Player.nIndex = -1;
    r->Player.nUnit = 0;
    for (auto& u : r->Player.Unit) u = {};
    for (int i = 0; i < zrv::kCarryUnitCount; ++i) {
        if (i < 5) {
            MakeSampleUnit(r->CarryUnit[i], 0, i, 500u + static_cast<unsigned>(i));
        } else {
            r->CarryUnit[i].dwFlag &= ~zrv::kUnitInUse;
        }
    }
    return r;
}

inline std::array<uint32_t, zrv::kArmsCount> MakeSampleGuide()
{
    std::array<uint32_t, zrv::kArmsCount> t;
    for (uint32_t i = 0; i < zrv::kArmsCount; ++i) t[i] = ((i << 12) | i) & 0xFFFFFFu;
    t[5] |= 0x20000000u | 0x04000000u;
    return t;
}

struct SampleMap {
    zrv::MapRect rect{1, 2, 120, 110};
    std::vector<zrv::MAPCELL> cells;
    std::vector<zrv::MapCityRecord> cities;
};

inline SampleMap MakeSampleMap()
{
    SampleMap m;
    m.cells.resize(zrv::kHexCount);
    for (int hex = 0; hex < zrv::kHexCount; ++hex) {
        // Bit 7 set here and there: the reader must clear it where no city is.
        zrv::MAPCELL c = zrv::WithTerrain(static_cast<zrv::MAPCELL>(hex) * 40503u, hex % 91);
        m.cells[hex] = zrv::WithOwner(c, hex % 9 - 1);
    }
    m.cities = {{zrv::MakeHex(10, 10), "札幌", "道都"},
                {zrv::MakeHex(20, 30), "", "名前のない記録"},
                {zrv::MakeHex(40, 50), "旭川", ""}};
    return m;
}

inline std::span<const zrv::MAPCELL, zrv::kHexCount> CellSpan(const std::vector<zrv::MAPCELL>& cells)
{
    return std::span<const zrv::MAPCELL, zrv::kHexCount>(cells.data(), zrv::kHexCount);
}

// One scrambled and one plain file of each kind, from our own writers. The
// library in use must be the fixture library (the scenario writer stamps its
// version string).
struct SeedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

inline std::vector<SeedFile> SeedFiles()
{
    std::vector<SeedFile> seeds;
    auto game = MakeSampleGame();
    auto campaign = MakeSampleCampaign();
    auto guide = MakeSampleGuide();
    SampleMap map = MakeSampleMap();
    for (bool scrambled : {true, false}) {
        const std::string tag = scrambled ? "scrambled" : "plain";
        seeds.push_back({"game-" + tag + ".DG2", zrv::BuildGameFile(*game, scrambled)});
        seeds.push_back({"scenario-" + tag + ".SC2", zrv::BuildScenarioFile(*game, scrambled)});
        seeds.push_back({"campaign-" + tag + ".DC2", zrv::BuildCampaignFile(*campaign, scrambled)});
        seeds.push_back(
            {"guide-" + tag + ".ADW", zrv::BuildWeaponGuideFile(guide, kFixtureUnitVersion, scrambled)});
        seeds.push_back({"map-" + tag + ".MB2",
                         zrv::BuildMapFile(map.rect, CellSpan(map.cells), map.cities, true, scrambled)});
    }
    return seeds;
}

}  // namespace datafiles_test
