#pragma once
// Fixtures of the unit list and the reference tables: the rule fixture
// library with move-type words that repeat, a terrain left out of the table
// and a terrain of known costs; a battle whose first country has a carrier
// with cargo two levels deep; and a view that records what the list asks of it.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "battle/engine/UnitRules.h"
#include "battle/engine/ViewToolHub.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "support/FixtureLibrary.h"

namespace tabletest {

using namespace zrv;

// Terrain 5 is left out of the terrain table; terrain 6 costs 3 (4 in snow)
// for move type 0 and is impassable for move type 1.
inline constexpr int kHiddenTerrain = 5;
inline constexpr int kCostlyTerrain = 6;

struct TableLibrary {
    std::deque<std::string> texts;
    std::vector<TRRNSTRUCT> terrain;
    std::vector<CostRow> cost, costSnow;
    std::vector<const char*> moveWord, unitName;
    std::vector<ARMSSTRUCT> arms;
    DataLibrary lib;

    TableLibrary()
    {
        const DataLibrary& base = zrvtest::FixtureLibrary();
        lib = base;
        terrain.assign(base.TerrainBase.begin(), base.TerrainBase.end());
        cost.assign(base.TerrainCostTable.begin(), base.TerrainCostTable.end());
        costSnow.assign(base.TerrainCostTableSnow.begin(), base.TerrainCostTableSnow.end());
        terrain[kHiddenTerrain].dwTrrnFlag |= 0x00008000u;
        cost[0][kCostlyTerrain] = 3;
        costSnow[0][kCostlyTerrain] = 4;
        cost[1][kCostlyTerrain] = 0;
        costSnow[1][kCostlyTerrain] = 0;
        // Move types 2 and 3 share a word, and so do 10, 11 and 12.
        for (int m = 0; m < 34; ++m) {
            int word = m;
            if (m == 3) word = 2;
            if (m == 11 || m == 12) word = 10;
            texts.push_back("MOVE" + std::to_string(word));
            moveWord.push_back(texts.back().c_str());
        }
        // The other-language names sort the other way round from the
        // shown ones ("UNITJ1".."UNITJ6").
        for (const char* n : {"none", "zulu", "yankee", "xray", "whiskey", "victor", "uniform"}) unitName.push_back(n);
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        arms[zrvtest::kFixtureFighter].nPrice = 1500;  // 10 x 1500 = 15,000
        arms[zrvtest::kFixtureInfantry].nNation = 0;
        lib.ArmsData = arms;
        lib.UnitName = unitName;
        lib.TerrainBase = terrain;
        lib.TerrainCostTable = cost;
        lib.TerrainCostTableSnow = costSnow;
        lib.MsgMoveTypeJ = moveWord;
    }
};

class ScopedTableLibrary {
public:
    ScopedTableLibrary() { SetLib(&m_lib.lib); }
    ~ScopedTableLibrary() { SetLib(nullptr); }
    TableLibrary& Lib() { return m_lib; }

private:
    TableLibrary m_lib;
};

// A view that records what the unit list asks of it.
class RecordingHost : public ToolWindowHost {
public:
    void CloseToolWindow(ToolWindow) override {}
    void ClosePerformanceSlot(int) override {}
    COUNTRYSTRUCT* ListCountry() const override { return country; }
    bool IsUnitInMapArea(const UNITSTRUCT& unit) const override
    {
        const HEXINDEX hex = game != nullptr ? GetUnitMapHex(*game, unit) : unit.nHex;
        return IsMapHex(hex) && HexColumn(hex) >= game->rcMapArea.left && HexColumn(hex) <= game->rcMapArea.right &&
               HexRow(hex) >= game->rcMapArea.top && HexRow(hex) <= game->rcMapArea.bottom;
    }
    HEXINDEX CentreOnUnit(const UNITSTRUCT& unit) override
    {
        calls.push_back("centre");
        const HEXINDEX hex = GetUnitMapHex(*game, unit);
        return (unit.dwFlag & kUnitInPool) ? -1 : hex;
    }
    void ShowStatusOf(HEXINDEX hex, UNITSTRUCT*) override { calls.push_back("status " + std::to_string(hex)); }
    bool FlashUnitHex(HEXINDEX hex) override
    {
        calls.push_back("flash " + std::to_string(hex));
        return flashCutShort;
    }
    void PointAndClickHex(HEXINDEX hex, UNITSTRUCT&) override { calls.push_back("click " + std::to_string(hex)); }
    void DisposeUnit(UNITSTRUCT& unit) override { calls.push_back("dispose " + std::to_string(unit.nSerial)); }
    bool IsDeploymentOpen() const override { return deploymentOpen; }
    int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool report) override
    {
        calls.push_back("performance " + std::to_string(unit != nullptr ? unit->nSerial : -1) + " " +
                        std::to_string(arms) + " " + std::to_string(country) + (report ? " report" : ""));
        return 1;
    }

    GAMEDATASTRUCT* game = nullptr;
    COUNTRYSTRUCT* country = nullptr;
    bool flashCutShort = false;
    bool deploymentOpen = false;
    std::vector<std::string> calls;
};

// A battle: country 0 present with a map area of columns 10..40, rows
// 20..50. Units are added with Unit().
struct TableBattle {
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    RecordingHost host;

    TableBattle()
    {
        game->rcMapArea = {10, 20, 40, 50};
        for (int c = 0; c < 2; ++c) {
            COUNTRYSTRUCT& k = game->Country[c];
            k.dwFlag = kCountryPresent;
            k.nIndex = c;
            for (int s = 0; s < kUnitSlots; ++s) {
                k.Unit[s].dwCargo = MakeCargo(kNoCarrier, 0);
                k.Unit[s].refSelf = MakeUnitRef(c, s);
            }
        }
        for (UNITSTRUCT& u : game->CarryUnit) u.dwCargo = MakeCargo(kNoCarrier, 0);
        host.game = game.get();
        host.country = &game->Country[0];
    }

    // A unit in use of country 0 at slot.
    UNITSTRUCT& Unit(int slot, int type, int serial, HEXINDEX hex, int strength = 10)
    {
        UNITSTRUCT& u = game->Country[0].Unit[slot];
        u.dwFlag = kUnitInUse;
        u.nArms = type;
        u.nSerial = serial;
        u.nHex = hex;
        u.nStrength = strength;
        u.nFuel = 50;
        return u;
    }
    // Puts cargo aboard carrier (both of country 0).
    void Board(UNITSTRUCT& cargo, UNITSTRUCT& carrier)
    {
        cargo.dwFlag |= kUnitCarried;
        cargo.dwCargo = MakeCargo(RefSlot(carrier.refSelf), CargoCount(cargo.dwCargo));
        cargo.nHex = -1;
        carrier.dwFlag |= kUnitCarries;
        carrier.dwCargo = MakeCargo(CargoCarrier(carrier.dwCargo), CargoCount(carrier.dwCargo) + 1);
    }
    // A used carry-over pool record.
    UNITSTRUCT& Pool(int index, int type, int serial)
    {
        UNITSTRUCT& u = game->CarryUnit[index];
        u.dwFlag = kUnitInUse | kUnitInPool;
        u.nArms = type;
        u.nSerial = serial;
        u.nHex = -1;
        u.nStrength = 10;
        return u;
    }
};

// Installs a scripted dialog service for a test.
class ScopedDialogs {
public:
    ScopedDialogs() { SetDialogs(&service); }
    ~ScopedDialogs() { SetDialogs(nullptr); }
    ScriptedDialogService service;
};

}  // namespace tabletest
