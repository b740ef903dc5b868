#pragma once
// The world the start tests and the hand-over fuzz target build games in,
// without the test framework: the fixture scenario "FIXTURE.SC2" and its map,
// and a starter that records what it was asked to start.
//
// The fixture scenario: countries 0 (side 0, human, id 1), 1 (side 1,
// computer, id 2) and 2 (side 0, human, id 1) on a 21 x 21 area of plain with
// each capital on a city; country 0 has an infantry and a tank, country 1 a
// destroyer at sea, country 2 an infantry. Each country owns the hexes of its
// own rows of the area.

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "battle/engine/HandOverDoc.h"
#include "foundation/GameFiles.h"
#include "foundation/GameRecords.h"
#include "support/FixtureLibrary.h"

namespace startuptest {

using namespace zrv;

class RecordingStarter : public ProgramStarter {
public:
    Result Start(const std::string& nativePath) override
    {
        started.push_back(nativePath);
        if (onStart) onStart();
        Result r;
        r.ok = succeed;
        if (!succeed) r.reason = "No such file or directory";
        return r;
    }
    std::vector<std::string> started;
    bool succeed = true;
    std::function<void()> onStart;
};

inline constexpr MapRect kFixtureArea = {40, 40, 60, 60};
inline constexpr HEXINDEX kCapital0 = MakeHex(42, 45);
inline constexpr HEXINDEX kCapital1 = MakeHex(58, 55);
inline constexpr HEXINDEX kCapital2 = MakeHex(50, 42);
inline constexpr HEXINDEX kSeaHex = MakeHex(58, 59);
inline constexpr uint32_t kFixtureStart = PackDate(41, 6, 29, 6);

inline void AddUnit(COUNTRYSTRUCT& c, int slot, int type, HEXINDEX hex)
{
    UNITSTRUCT& u = c.Unit[slot];
    u.dwFlag = kUnitInUse;
    u.nArms = type;
    u.nHex = hex;
    u.nStrength = 10;
    u.nFuel = 50;
    u.dwCargo = MakeCargo(kNoCarrier, 0);
    ++c.nUnit;
}

inline void MakeScenario(GAMEDATASTRUCT& g)
{
    std::memset(&g, 0, sizeof g);
    std::strncpy(g.Head.szName, "試験", sizeof g.Head.szName - 1);
    g.Head.dwStartDate = kFixtureStart;
    g.Head.dwTurnLimit = (20u << 16) | 30u;
    g.Head.byCampaign = 1;
    const int ids[3] = {1, 2, 1};
    const HEXINDEX capitals[3] = {kCapital0, kCapital1, kCapital2};
    const char* names[3] = {"ノルデン", "ズーダン", "オスタル"};
    for (int i = 0; i < 3; ++i) {
        COUNTRYSTRUCT& c = g.Country[i];
        c.dwFlag = kCountryPresent;
        c.nIndex = i;
        c.nCountryId = ids[i];
        c.nSide = i == 1 ? 1 : 0;
        c.nControl = i == 1 ? 1 : 0;
        c.nDisplay = i;
        c.nFund = 1000;
        c.nUnitMax = 30;
        c.nCapital = capitals[i];
        c.dwClassMask[0] = 0xFFFFFFFFu;
        std::strncpy(c.szName, names[i], sizeof c.szName - 1);
    }
    for (int i = 3; i < kCountryCount; ++i) g.Country[i].nCapital = -1;
    AddUnit(g.Country[0], 0, zrvtest::kFixtureInfantry, MakeHex(43, 45));
    AddUnit(g.Country[0], 1, zrvtest::kFixtureTank, MakeHex(44, 46));
    AddUnit(g.Country[1], 0, zrvtest::kFixtureDestroyer, kSeaHex);
    AddUnit(g.Country[2], 0, zrvtest::kFixtureInfantry, MakeHex(50, 43));
}

// Rows 40-47 belong to country 0, 48-52 to country 2, 53-60 to country 1;
// the last column is sea.
inline std::span<const MAPCELL, kHexCount> MapCells()
{
    static std::vector<MAPCELL> cells = [] {
        std::vector<MAPCELL> c(kHexCount, WithTerrain(0, zrvtest::kFixtureSea));
        for (int row = kFixtureArea.top; row <= kFixtureArea.bottom; ++row) {
            for (int col = kFixtureArea.left; col <= kFixtureArea.right; ++col) {
                int owner = row <= 47 ? 0 : row <= 52 ? 2 : 1;
                MAPCELL cell = col == kFixtureArea.right
                                   ? WithTerrain(0, zrvtest::kFixtureSea)
                                   : WithOwner(WithTerrain(0, zrvtest::kFixturePlain), owner);
                c[static_cast<size_t>(MakeHex(row, col))] = cell;
            }
        }
        for (HEXINDEX h : {kCapital0, kCapital1, kCapital2}) {
            c[static_cast<size_t>(h)] = WithTerrain(c[static_cast<size_t>(h)], zrvtest::kFixtureCity);
        }
        return c;
    }();
    return std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount);
}

inline std::vector<MapCityRecord> Cities()
{
    return {{static_cast<int16_t>(kCapital0), "ノルデン市", ""},
            {static_cast<int16_t>(kCapital1), "ズーダン市", ""}};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace startuptest
