// Writes the sample scenarios: for every scenario record of the data library
// a scenario file (.SC2) and its map (.MB2) in "<stage>/Scenario/", through
// the game's own writers, so the files carry the same framing, check value and
// unit-data version as any the game writes itself.
//
// Both samples are the same two-country border war on one 32 x 32 area:
// country slot 0 is the federation (country id 1, side 0, the campaign's
// player, human), slot 1 the empire (id 2, side 1, computer). Each side holds
// its half of the map with a capital city, a second city, a port and an
// airfield, and starts with a small mixed force of its own unit types.
//
// With a second folder it also writes there the test battle "CLASH.SC2" and
// its map: the first sample, with one of the empire's rifle companies
// already across the river next to the federation's line.
//
// Usage: scenariogen <stage folder> [<test scenario folder>]

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/DataLibrary.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/GameFiles.h"

namespace {

using namespace zrv;

// Terrains the samples use (indexes of the library's terrain table).
enum Terrain : int {
    kCity = 2,
    kPort = 3,
    kAirfield = 4,
    kMountain = 6,
    kPlain = 7,
    kHills = 8,
    kRuins = 10,
    kSea = 11,  // sea where ships may be deployed
    kShallows = 15,
    kForest = 16,
    kCapital = 80,  // capital-type city (index 1 shares its overview block, so maps use 80)
    kRiver = 12,
    kMarsh = 13,
    kSnowfield = 14,
    kFort = 35,
    kDesert = 79,
    kDesertAirfield = 83,
    kDesertFort = 84,
};

// The playable area: columns and rows 40..71.
constexpr MapRect kArea = {40, 40, 71, 71};
// Columns below this belong to the federation, the rest to the empire.
constexpr int kBorderColumn = 56;

// What differs between the samples.
struct SampleSpec {
    const char* fileName;  // as in the library's scenario record
    uint32_t startDate;
    uint32_t endDate;  // the date of the last turn
    uint8_t rain;      // the header's rain and ice levels
    uint8_t ice;
};

constexpr SampleSpec kSamples[] = {
    {"SAMPLE01.SC2", PackDate(41, 6, 21, 6), PackDate(41, 6, 30, 6), 0, 0},
    {"SAMPLE02.SC2", PackDate(41, 7, 1, 6), PackDate(41, 7, 10, 6), 0, 0},
};

// Unit classes the two countries may develop and produce: infantry, armour,
// artillery, engineers, fighters, air lifters, bombers, destroyers,
// submarines and transports.
constexpr int kClasses[] = {0, 4, 8, 12, 33, 39, 40, 57, 59, 60};

// A starting unit: type offset from the country's first type (1 for the
// federation, 12 for the empire) and its hex.
struct StartUnit {
    int typeOffset;
    int row;
    int column;  // counted from the country's home edge
};

// Offsets into each country's eleven types: 0 rifle infantry, 1 tank, 2 field
// artillery, 3 engineer, 4 fighter, 5 bomber, 6 transport, 7 destroyer,
// 8 submarine, 9 air lifter, 10 heavy tank.
constexpr StartUnit kStartUnits[] = {
    {0, 52, 12}, {0, 56, 12}, {0, 60, 12}, {1, 54, 10}, {1, 58, 10}, {2, 55, 9},
    {3, 57, 8},  {4, 50, 7},  {5, 70, 12}, {6, 62, 5},  {7, 48, 3},  {8, 66, 3},
};

// Columns counted from a country's home edge: the federation's edge is the
// area's left, the empire's its right.
int HomeColumn(int country, int fromEdge)
{
    return country == 0 ? kArea.left + fromEdge : kArea.right - fromEdge;
}

MAPCELL MakeCell(int terrain, int owner)
{
    MAPCELL cell = WithTerrain(0, terrain);
    if (const TRRNSTRUCT* t = TerrainRecord(terrain); t && t->nDurableMax > 0) {
        cell = WithDurability(cell, t->nDurableMax > 255 ? 255 : t->nDurableMax);
    }
    if (owner >= 0) cell = WithOwner(cell, owner);
    return cell;
}

struct Place {
    int row;
    int fromEdge;
    int terrain;
};

// The named and special hexes of each side, mirrored across the border.
constexpr Place kPlaces[] = {
    {55, 6, kCapital},
    {46, 10, kCity}, {62, 5, kPort}, {50, 7, kAirfield}, {58, 14, kFort},
};

const char* const kCityNames[2][3] = {
    {"アルデン", "ラインベルク", "ザント港"},
    {"ガルツ", "ケスラー", "ノルト港"},
};

void BuildMap(std::vector<MAPCELL>& cells, std::vector<MapCityRecord>& cities)
{
    cells.assign(kHexCount, MakeCell(kSea, -1));
    for (int row = kArea.top; row <= kArea.bottom; ++row) {
        for (int column = kArea.left; column <= kArea.right; ++column) {
            int owner = column < kBorderColumn ? 0 : 1;
            int fromEdge = owner == 0 ? column - kArea.left : kArea.right - column;
            int terrain = kPlain;
            if (fromEdge <= 3) {
                terrain = kSea;
            } else if (fromEdge == 4) {
                terrain = kShallows;
            } else if (column == kBorderColumn - 1 && row % 5 != 0) {
                terrain = kRiver;  // the border river, with fords every fifth row
            } else if (row <= 42) {
                terrain = kSnowfield;
            } else if (row >= 69) {
                terrain = fromEdge >= 12 ? kDesert : kMarsh;
            } else if (fromEdge >= 12 && fromEdge <= 13 && row >= 44 && row <= 48) {
                terrain = kForest;
            } else if (fromEdge >= 8 && fromEdge <= 9 && row >= 64 && row <= 66) {
                terrain = kHills;
            } else if (fromEdge == 15 && row >= 50 && row <= 52) {
                terrain = kMountain;
            }
            MAPCELL cell = MakeCell(terrain, terrain == kSea || terrain == kShallows ? -1 : owner);
            cells[static_cast<size_t>(MakeHex(row, column))] = cell;
        }
    }
    for (int country = 0; country < 2; ++country) {
        int city = 0;
        for (const Place& p : kPlaces) {
            HEXINDEX hex = MakeHex(p.row, HomeColumn(country, p.fromEdge));
            cells[static_cast<size_t>(hex)] = MakeCell(p.terrain, country);
            if (p.terrain == kCapital || p.terrain == kCity || p.terrain == kPort) {
                cities.push_back({static_cast<int16_t>(hex), kCityNames[country][city++], ""});
            }
        }
        // The desert holds an airfield and a fort of each side.
        cells[static_cast<size_t>(MakeHex(70, HomeColumn(country, 12)))] = MakeCell(kDesertAirfield, country);
        cells[static_cast<size_t>(MakeHex(70, HomeColumn(country, 14)))] = MakeCell(kDesertFort, country);
    }
    // A ruined town on the border, owned by nobody.
    cells[static_cast<size_t>(MakeHex(60, kBorderColumn))] = MakeCell(kRuins, -1);
}

void FillUnit(UNITSTRUCT& unit, int type, HEXINDEX hex)
{
    std::memset(&unit, 0, sizeof unit);
    const ARMSSTRUCT* arms = ArmsRecord(type);
    unit.dwFlag = kUnitInUse;
    unit.nArms = type;
    unit.nHex = hex;
    unit.nStrength = arms ? arms->nStrengthMax : 1;
    unit.nFuel = arms ? arms->nFuelMax : 0;
    for (int slot = 0; slot < kAmmoSlots; ++slot) {
        if (const WEAPONSTRUCT* w = WeaponRecord(type, slot); w && w->nWeaponNo > 0)
            unit.nAmmo[slot] = w->nLoad;
    }
    unit.dwCargo = MakeCargo(kNoCarrier, 0);
    unit.refSelf = kNoUnit;
    unit.refTarget = kNoUnit;
    unit.nMarchHex = -1;
    unit.nCpuTarget = -1;
}

void FillCountry(COUNTRYSTRUCT& c, int index)
{
    static const char* const kNames[2] = {"アルデン連邦", "ガルツ帝国"};
    std::memset(&c, 0, sizeof c);
    c.dwFlag = kCountryPresent | (index == 1 ? 0x40000000u : 0);
    c.nIndex = index;
    std::strncpy(c.szName, kNames[index], sizeof c.szName - 1);
    c.nDisplay = index;
    c.nCountryId = index + 1;
    c.nUnitMax = 40;
    c.nFund = 3000;
    c.nSurrenderFund = 0;
    c.nSide = index;
    c.nControl = index;  // the federation human, the empire the computer
    c.nCapital = MakeHex(kPlaces[0].row, HomeColumn(index, kPlaces[0].fromEdge));
    for (int cls : kClasses) c.dwClassMask[cls / 32] |= 1u << (cls % 32);
    int firstType = index == 0 ? 1 : 12;
    int slot = 0;
    auto add = [&](int offset, int row, int fromEdge) {
        FillUnit(c.Unit[slot++], firstType + offset, MakeHex(row, HomeColumn(index, fromEdge)));
    };
    // The heavy tanks (offset 10) come only later in the war, through
    // development, so no sample starts with them.
    for (const StartUnit& u : kStartUnits) add(u.typeOffset, u.row, u.column);
    c.nUnit = slot;
}

// Number of two-hour steps from start to end, plus one: the header's last turn.
int LastTurnBetween(uint32_t start, uint32_t end)
{
    auto hours = [](uint32_t d) {
        // Days since the start of year 0 by a 365-day calendar with the real
        // month lengths of a non-leap year; both samples lie inside one year.
        static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
        long days = DateYear(d) * 365L + kDaysBefore[(DateMonth(d) + 11) % 12] + DateDay(d);
        return days * 24 + DateHour(d);
    };
    return static_cast<int>((hours(end) - hours(start)) / 2) + 1;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string MapName(const std::string& scenarioName)
{
    std::string s = scenarioName;
    size_t dot = s.rfind('.');
    if (dot != std::string::npos) s.erase(dot);
    return s + ".MB2";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: scenariogen <stage folder> [<test scenario folder>]\n");
        return 2;
    }
    std::string stage = argv[1];
    if (stage.back() != '/') stage += '/';
    DataLibraryModule module;
    std::string why;
    if (!module.Open(stage + kDataLibraryFile, &why)) {
        std::fprintf(stderr, "scenariogen: %s\n", why.c_str());
        return 1;
    }
    SetLib(&module.Tables());

    std::vector<MAPCELL> cells;
    std::vector<MapCityRecord> cities;
    BuildMap(cells, cities);

    int written = 0;
    std::unique_ptr<GAMEDATASTRUCT> first;
    for (const SCNRBASESTRUCT& record : Lib().ScenarioData) {
        std::string name(record.szName, strnlen(record.szName, sizeof record.szName));
        const SampleSpec* spec = nullptr;
        for (const SampleSpec& s : kSamples) {
            if (name == s.fileName) spec = &s;
        }
        if (spec == nullptr) {
            std::fprintf(stderr, "scenariogen: no sample is drawn up for scenario \"%s\"\n", name.c_str());
            return 1;
        }
        auto game = std::make_unique<GAMEDATASTRUCT>();
        std::memset(game.get(), 0, sizeof *game);
        SCNRHEADSTRUCT& head = game->Head;
        // The record's first 48 bytes read as one text are its area name.
        std::strncpy(head.szName, record.szArea, sizeof head.szName - 1);
        head.dwStartDate = spec->startDate;
        int last = LastTurnBetween(spec->startDate, spec->endDate);
        // A great victory must be won within the first two thirds of the turns.
        head.dwTurnLimit = static_cast<uint32_t>(last * 2 / 3) << 16 | static_cast<uint32_t>(last);
        head.dwArea = 0;
        head.dwHeadFlag = 0;
        head.byCampaign = 1;
        head.byRain = spec->rain;
        head.byIce = spec->ice;
        head.nEndState = 0;  // nobody has surrendered
        for (int i = 0; i < 2; ++i) FillCountry(game->Country[i], i);
        for (int i = 2; i < kCountryCount; ++i) {
            game->Country[i].nIndex = i;
            game->Country[i].nCapital = -1;
        }
        if (!WriteBytes(stage + "Scenario/" + name, BuildScenarioFile(*game))) {
            std::fprintf(stderr, "scenariogen: cannot write %s\n", name.c_str());
            return 1;
        }
        std::string map = MapName(name);
        if (!WriteBytes(stage + "Scenario/" + map,
                        BuildMapFile(kArea, std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount),
                                     cities, true))) {
            std::fprintf(stderr, "scenariogen: cannot write %s\n", map.c_str());
            return 1;
        }
        if (!first) first = std::move(game);
        ++written;
    }
    if (argc == 3 && first) {
        std::string folder = argv[2];
        if (folder.back() != '/') folder += '/';
        // The empire's first rifle company stands two hexes from the
        // federation's northern rifle company.
        first->Country[1].Unit[0].nHex = MakeHex(52, 54);
        if (!WriteBytes(folder + "CLASH.SC2", BuildScenarioFile(*first)) ||
            !WriteBytes(folder + "CLASH.MB2",
                        BuildMapFile(kArea, std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount), cities,
                                     true))) {
            std::fprintf(stderr, "scenariogen: cannot write the test scenario into %s\n", folder.c_str());
            return 1;
        }
    }
    std::printf("scenariogen: %d scenarios written\n", written);
    return written > 0 ? 0 : 1;
}
