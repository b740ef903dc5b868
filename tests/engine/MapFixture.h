#pragma once
// A bare battle map for the sight, movement and destination rules: the game
// state, live cells, unit map, coverage, grid and reach arrays, and a copy of
// the fixture library whose unit types and cost rows the rule tests may tune
// without touching the shared fixture.
//
// Countries 0 and 2 are on side 0, 1 and 3 on side 1; every cell is plain.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/MoveRules.h"
#include "battle/engine/Sight.h"
#include "foundation/DataLibrary.h"
#include "support/FixtureLibrary.h"

namespace zrv {

// Extra unit types of the rule library.
enum RuleType : int {
    kTypeRadarShip = zrvtest::kFixtureTypeCount,  // destroyer with radar 4, no sonar
    kTypeSonarShip,                               // destroyer with sonar 3
    kTypeNightInfantry,                           // infantry that sees at night
    kTypeScout,                                   // infantry with sight 6
    kRuleTypeCount,
};

// Terrains with tuned costs for the ground row 0 (infantry).
inline constexpr int kTerrainHill = 10;      // cost 5
inline constexpr int kTerrainForest = 11;    // cost 3
inline constexpr int kTerrainMountain = 12;  // cost 0 (impassable)

class RuleLibrary {
public:
    RuleLibrary()
    {
        const DataLibrary& base = zrvtest::FixtureLibrary();
        lib = base;
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        cost.assign(base.TerrainCostTable.begin(), base.TerrainCostTable.end());
        snow.assign(base.TerrainCostTableSnow.begin(), base.TerrainCostTableSnow.end());
        terrain.assign(base.TerrainBase.begin(), base.TerrainBase.end());
        roads.assign(base.RoadBase.begin(), base.RoadBase.end());

        arms.resize(kRuleTypeCount, arms[zrvtest::kFixtureDestroyer]);
        arms[kTypeRadarShip].wRadar = 4;
        arms[kTypeSonarShip].wSonar = 3;
        arms[kTypeNightInfantry] = arms[zrvtest::kFixtureInfantry];
        arms[kTypeNightInfantry].dwArmsFlag |= 1u << 8;
        arms[kTypeScout] = arms[zrvtest::kFixtureInfantry];
        arms[kTypeScout].nSight = 6;
        weapons.resize(arms.size() * kWeaponSlots);

        for (auto* table : {&cost, &snow}) {
            (*table)[0][kTerrainHill] = 5;
            (*table)[0][kTerrainForest] = 3;
            (*table)[0][kTerrainMountain] = 0;
        }
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainCostTable = cost;
        lib.TerrainCostTableSnow = snow;
        lib.TerrainBase = terrain;
        lib.RoadBase = roads;
        lib.g_nMaxUnit = kRuleTypeCount;
    }

    DataLibrary lib;
    std::vector<ARMSSTRUCT> arms;
    std::vector<WEAPONSTRUCT> weapons;
    std::vector<CostRow> cost, snow;
    std::vector<TRRNSTRUCT> terrain, roads;
};

class MapFixture : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&rules.lib);
        state = std::make_unique<GAMEDATASTRUCT>();
        std::memset(state.get(), 0, sizeof *state);
        for (int c = 0; c < 4; ++c) {
            state->Country[c].dwFlag = kCountryPresent;
            state->Country[c].nIndex = c;
            state->Country[c].nSide = c % 2;
            for (int s = 0; s < kUnitSlots; ++s) state->Country[c].Unit[s].dwCargo = MakeCargo(kNoCarrier, 0);
        }
        cells.assign(kHexCount, static_cast<MAPCELL>(zrvtest::kFixturePlain));
        unitMap.assign(kHexCount, kNoUnit);
        coverage.assign(kHexCount, 0);
        grid.assign(kHexCount, 0);
        reach.assign(kHexCount, 0);
    }
    void TearDown() override { SetLib(nullptr); }

    HexCells Cells() { return HexCells(cells.data(), kHexCount); }
    std::span<const MAPCELL, kHexCount> CCells() { return std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount); }
    HexUnits Units() { return HexUnits(unitMap.data(), kHexCount); }
    HexWords Cover() { return HexWords(coverage.data(), kHexCount); }
    HexWords Grid() { return HexWords(grid.data(), kHexCount); }
    HexWords Reach() { return HexWords(reach.data(), kHexCount); }

    // Places a new unit of type on hex; full fuel and the type's move points.
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        UNITSTRUCT& u = state->Country[country].Unit[slot];
        u = UNITSTRUCT{};
        u.dwFlag = kUnitInUse;
        u.nArms = type;
        u.nHex = hex;
        u.refSelf = MakeUnitRef(country, slot);
        u.dwCargo = MakeCargo(kNoCarrier, 0);
        u.nStrength = 10;
        u.nFuel = 50;
        u.nMove = rules.arms[static_cast<size_t>(type)].nMovePoint;
        u.dwHexCell = IsMapHex(hex) ? cells[hex] : 0;
        if (IsMapHex(hex)) unitMap[hex] = u.refSelf;
        return u;
    }
    void Remove(UNITSTRUCT& u)
    {
        if (IsMapHex(u.nHex) && unitMap[u.nHex] == u.refSelf) unitMap[u.nHex] = kNoUnit;
        u.dwFlag = 0;
    }
    void SetTerrain(HEXINDEX h, int terrain) { cells[h] = WithTerrain(cells[h], terrain); }
    void SetRoute(HEXINDEX h, int kinds, int durability = 100)
    {
        cells[h] = WithDurability(WithRoutes(cells[h], kinds), durability);
    }

    RuleLibrary rules;
    std::unique_ptr<GAMEDATASTRUCT> state;
    std::vector<MAPCELL> cells;
    std::vector<UnitRef> unitMap;
    std::vector<uint32_t> coverage, grid, reach;
};

inline constexpr HEXINDEX kCentre = MakeHex(64, 64);

}  // namespace zrv
