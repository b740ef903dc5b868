#include <gtest/gtest.h>

#include <memory>

#include "battle/engine/Construction.h"
#include "battle/engine/HexGeometry.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using namespace zrvtest;

constexpr uint32_t kWeatherOn = 0x40000000u;
constexpr uint32_t kSnowOn = 0x20000000u;
const HEXINDEX kHere = MakeHex(20, 20);
constexpr MAPCELL kRoad = 1u << 24;
constexpr MAPCELL kRoute2 = 1u << 26;
constexpr MAPCELL kRail27 = 1u << 27;
constexpr MAPCELL kRail28 = 1u << 28;

class ConstructionTest : public RuleTest {
protected:
    void SetUp() override
    {
        RuleTest::SetUp();
        live = std::make_unique<std::array<MAPCELL, kHexCount>>();
        *live = std::to_array(game->dwHexCell);
        truck = &Place(0, 0, kRuleSupplyTruck, kHere);
    }
    void SetCell(HEXINDEX hex, MAPCELL cell)
    {
        (*live)[static_cast<size_t>(hex)] = cell;
        game->dwHexCell[hex] = cell;
        if (truck && truck->nHex == hex) truck->dwHexCell = cell;
    }
    int Check(int kind, bool acted = false)
    {
        return CheckConstructionKind(*game, *live, *hexUnit, *truck, kind, acted);
    }
    void Build(int kind, uint32_t value = 0, HEXINDEX hex = -1)
    {
        ExecuteConstructionEffect(*game, *live, *truck, kind, value, hex);
    }
    int& Funds() { return game->Country[0].nFund; }

    std::unique_ptr<std::array<MAPCELL, kHexCount>> live;
    UNITSTRUCT* truck = nullptr;
};

TEST_F(ConstructionTest, UnitCheckAndEquipmentUse)
{
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(21, 21));
    EXPECT_EQ(CheckUnitConstruction(tank), 129);
    struct Case {
        const char* name;
        uint32_t flags;
        int rounds, fuel, code;
    } cases[] = {
        {"carried", kUnitCarried, 3, 50, 130},
        {"no rounds", 0, 0, 50, 131},
        {"fuel 9", 0, 3, 9, 132},
        {"fuel 10", 0, 3, 10, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        truck->dwFlag = kUnitInUse | k.flags;
        truck->nAmmo[1] = k.rounds;
        truck->nFuel = k.fuel;
        EXPECT_EQ(CheckUnitConstruction(*truck), k.code);
    }
    // Durability work with exactly 10 fuel leaves 0, one round less, acted.
    SetCell(kHere, WithDurability(game->dwHexCell[kHere], 10));
    EXPECT_EQ(Check(kBuildDurability), 0);
    Build(kBuildDurability, 10);
    EXPECT_EQ(truck->nFuel, 0);
    EXPECT_EQ(truck->nAmmo[1], 2);
    EXPECT_NE(truck->dwFlag & kUnitActed, 0u);
    EXPECT_EQ(FindConstructionSlot(*truck), 1);
}

TEST_F(ConstructionTest, DurabilityStopsAt250AndSnowHalvesTheGain)
{
    rules->Terrain(kFixturePlain).nDurableRate = 200;  // 20 per strength point of 10
    SetCell(kHere, WithDurability(game->dwHexCell[kHere], 245));
    const int before = Funds();
    EXPECT_EQ(CalcDurabilityGain(*game, *truck, kFixturePlain, 1), 20);
    Build(kBuildDurability, 1);
    EXPECT_EQ(CellDurability((*live)[kHere]), 250);
    EXPECT_EQ(CellDurability(game->dwHexCell[kHere]), 250);
    EXPECT_EQ(CellDurability(truck->dwHexCell), 250);
    EXPECT_EQ(truck->nExp, 1) << "5 added / 5";
    EXPECT_EQ(Funds(), before - 10);
    EXPECT_EQ(Check(kBuildDurability), 139);

    game->dwStateFlag = kWeatherOn | kSnowOn;
    EXPECT_EQ(CalcDurabilityGain(*game, *truck, kFixturePlain, 1), 10);
    EXPECT_EQ(CalcDurabilityGain(*game, *truck, kFixturePlain, 3), 30);
    SetCell(kHere, WithDurability(game->dwHexCell[kHere], 0));
    rules->Terrain(kFixturePlain).nDurableRate = 0;
    EXPECT_EQ(Check(kBuildDurability), 140);
    rules->Terrain(kFixturePlain).nDurableRate = 4;
    truck->nStrength = 1;
    EXPECT_EQ(Check(kBuildDurability), 141) << "the gain for one point is 0";
    Funds() = 9;
    EXPECT_EQ(Check(kBuildDurability), 134);
    EXPECT_EQ(Check(kBuildDurability, true), 136);

    // The affordable steps stop where the durability would pass 250.
    game->dwStateFlag = 0;
    rules->Terrain(kFixturePlain).nDurableRate = 10;
    truck->nStrength = 10;
    Funds() = 1000;
    SetCell(kHere, WithDurability(game->dwHexCell[kHere], 246));
    EXPECT_EQ(GetDurabilityIncreaseLimit(*game, *live, *truck), 4);
    Funds() = 40;
    EXPECT_EQ(GetDurabilityIncreaseLimit(*game, *live, *truck), 3) << "funds stay at least 10";
    Funds() = 0;
    EXPECT_EQ(GetDurabilityIncreaseLimit(*game, *live, *truck), 1);
}

TEST_F(ConstructionTest, AirfieldsFortressesAndRepair)
{
    SetCell(kHere, WithTerrain(0, kFixtureDesert));
    Funds() = 10000;
    EXPECT_EQ(Check(kBuildRemoveAirfield), 143);
    EXPECT_EQ(Check(kBuildAirfield), 0);
    Build(kBuildAirfield);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixtureDesertAirfield);
    EXPECT_EQ(CellDurability((*live)[kHere]), 50);
    EXPECT_EQ(CellOwner((*live)[kHere]), 0) << "an occupiable result takes the builder's owner";
    EXPECT_EQ(Funds(), 5000);
    EXPECT_EQ(Check(kBuildAirfield), 142);
    truck->nAmmo[1] = 3;
    truck->nFuel = 50;
    truck->dwFlag &= ~kUnitActed;
    Build(kBuildRemoveAirfield);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixtureDesert);
    EXPECT_EQ(CellOwner((*live)[kHere]), -1);
    EXPECT_EQ(Funds(), 4900);
    EXPECT_EQ(CellTerrain(game->dwHexCell[kHere]), kFixtureDesert);

    // Fortress on plain; its terrain keeps its routes, so building sets all
    // five, and removing it clears them again.
    SetCell(kHere, WithOwner(WithTerrain(0, kFixturePlain), 1));
    rules->Terrain(kFixtureFort).dwTrrnFlag |= 1u << 25;
    EXPECT_EQ(Check(kBuildFortress), 0);
    EXPECT_EQ(Check(kBuildRemoveFortress), 143);
    Build(kBuildFortress);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixtureFort);
    EXPECT_EQ(CellRoutes((*live)[kHere]), 0x1F);
    EXPECT_EQ(CellRoutes(game->dwHexCell[kHere]), 0x1F);
    EXPECT_EQ(truck->dwHexCell, (*live)[kHere]);
    Build(kBuildRemoveFortress);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixturePlain);
    EXPECT_EQ(CellRoutes((*live)[kHere]), 0);
    EXPECT_EQ(CellOwner((*live)[kHere]), -1) << "plain is not occupiable";

    // Repair: only a hex at durability 0 with a repaired form.
    truck->nAmmo[1] = 3;
    truck->nFuel = 50;
    EXPECT_EQ(Check(kBuildRepair), 137);
    SetCell(kHere, WithDurability((*live)[kHere], 0));
    EXPECT_EQ(Check(kBuildRepair), 0);
    rules->Terrain(kFixturePlain).nBuiltForm = 0;
    EXPECT_EQ(Check(kBuildRepair), 138);
    Funds() = 499;
    EXPECT_EQ(Check(kBuildRepair), 134);
}

TEST_F(ConstructionTest, IceFreezesTheLiveFormOnly)
{
    rules->Terrain(kFixtureDesertAirfield).nIceLimit = 5;
    rules->Terrain(kFixtureDesertAirfield).nFrozenForm = kFixtureCity;
    SetCell(kHere, WithTerrain(0, kFixtureDesert));
    game->nIceLevel = 5;
    Build(kBuildAirfield);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixtureDesertAirfield) << "ice counts only with the weather on";
    SetCell(kHere, WithTerrain(0, kFixtureDesert));
    game->dwStateFlag = kWeatherOn;
    Build(kBuildAirfield);
    EXPECT_EQ(CellTerrain((*live)[kHere]), kFixtureCity);
    EXPECT_EQ(CellTerrain(game->dwHexCell[kHere]), kFixtureDesertAirfield);
    game->nIceLevel = 4;
    EXPECT_EQ(GetBuiltTerrain(kBuildAirfield, kFixtureDesert, 4), kFixtureDesertAirfield);
}

TEST_F(ConstructionTest, RouteLayingOptionsByFundsSidesAndMud)
{
    std::array<int32_t, 15> out{};
    HexNeighbours nb = GetNeighbourSlots(kHere);
    // A railway of kind 27 on the unit's hex; an occupied and a closed neighbour.
    SetCell(kHere, WithDurability(game->dwHexCell[kHere] | kRail27, 20));
    Place(1, 0, kFixtureTank, nb[0]);
    SetCell(nb[1], game->dwHexCell[nb[1]] | kCellClosedSide0);
    Funds() = 149;
    EXPECT_EQ(ListRouteLayingOptions(*game, *live, *hexUnit, *truck, false, out), 0);
    EXPECT_EQ(out[0], kHere);
    EXPECT_EQ(static_cast<uint32_t>(out[1]), kLayConversion) << "funds 149: conversion only";
    EXPECT_EQ(out[2], -1);

    Funds() = 200;
    EXPECT_EQ(ListRouteLayingOptions(*game, *live, *hexUnit, *truck, false, out), 0);
    // The own hex: conversion plus the road beside its one route.
    EXPECT_EQ(static_cast<uint32_t>(out[1]), kLayConversion | kLayRoad | kRoad);
    int listed = 0;
    for (int k = 2; out[static_cast<size_t>(k)] >= 0; k += 2) {
        ++listed;
        EXPECT_NE(out[static_cast<size_t>(k)], nb[0]) << "occupied";
        EXPECT_NE(out[static_cast<size_t>(k)], nb[1]) << "closed to the side";
        EXPECT_EQ(static_cast<uint32_t>(out[static_cast<size_t>(k) + 1]),
                  kLayRoad | kRoad | kLayRailway | kRail27);
    }
    EXPECT_EQ(listed, 4);
    EXPECT_EQ(ListRouteLayingOptions(*game, *live, *hexUnit, *truck, true, out), 0);
    EXPECT_EQ(out[2], -1) << "acted: conversion only";

    // Mud: no road, the route bit stays in the word.
    rules->Road(0).nRainLimit = 4;
    game->dwStateFlag = kWeatherOn;
    game->nRainLevel = 4;
    ListRouteLayingOptions(*game, *live, *hexUnit, *truck, false, out);
    EXPECT_EQ(static_cast<uint32_t>(out[3]), kRoad | kLayRailway | kRail27);

    Funds() = 49;
    EXPECT_EQ(ListRouteLayingOptions(*game, *live, *hexUnit, *truck, false, out), 134);
    Funds() = 149;
    SetCell(kHere, game->dwHexCell[kHere] & ~kRail27);
    EXPECT_EQ(ListRouteLayingOptions(*game, *live, *hexUnit, *truck, false, out), 135);
    // Railway of the two ids that lay the other kind.
    game->Country[0].nCountryId = 15;
    EXPECT_EQ(GetRailwayBit(game->Country[0]), kRail28);
}

TEST_F(ConstructionTest, LayingAndRemovingRoutesChangesBothMaps)
{
    const HEXINDEX east = GetNeighbour(kHere, 0);
    Funds() = 1000;
    Build(kBuildLayRoute, kLayRailway | kRail27, east);
    EXPECT_EQ((*live)[east] & kCellRouteMask, kRail27);
    EXPECT_EQ(game->dwHexCell[east] & kCellRouteMask, kRail27);
    EXPECT_EQ(Funds(), 850);
    EXPECT_EQ(truck->dwHexCell & kCellRouteMask, 0u) << "the unit stands elsewhere";
    truck->dwFlag &= ~kUnitActed;
    Build(kBuildLayRoute, kLayConversion, east);
    EXPECT_EQ((*live)[east] & kCellRouteMask, kRail28);
    EXPECT_EQ(Funds(), 800);

    SetCell(kHere, WithDurability(game->dwHexCell[kHere] | kRoute2 | kRoad, 30));
    std::array<int32_t, 15> out{};
    EXPECT_EQ(ListRouteRemovalOptions(*game, *live, *hexUnit, *truck, false, out), 0);
    EXPECT_EQ(static_cast<uint32_t>(out[1]), kRoute2 | kRoad);
    EXPECT_EQ(ListRouteRemovalOptions(*game, *live, *hexUnit, *truck, true, out), 136);
    Funds() = 99;
    EXPECT_EQ(ListRouteRemovalOptions(*game, *live, *hexUnit, *truck, false, out), 134);
    Funds() = 499;
    ListRouteRemovalOptions(*game, *live, *hexUnit, *truck, false, out);
    EXPECT_EQ(static_cast<uint32_t>(out[1]), kRoad) << "bit 26 costs 500";
    Funds() = 500;
    Build(kBuildRemoveRoute, kRoute2, kHere);
    EXPECT_EQ(Funds(), 0);
    EXPECT_EQ((*live)[kHere] & kCellRouteMask, kRoad);
    EXPECT_EQ(game->dwHexCell[kHere] & kCellRouteMask, kRoad);
    EXPECT_EQ(truck->dwHexCell & kCellRouteMask, kRoad);
}

TEST_F(ConstructionTest, AnyWorkAndItsRefusal)
{
    Funds() = 1000;
    EXPECT_EQ(Check(kBuildAny), 0);
    EXPECT_EQ(Check(kBuildAny, true), 133) << "acted: nothing is left, fortress removal refused too";
    truck->nFuel = 0;
    EXPECT_EQ(Check(kBuildAny), 132);
}

}  // namespace
}  // namespace zrv
