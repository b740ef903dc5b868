#include <gtest/gtest.h>

#include <functional>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using namespace zrvtest;

constexpr uint32_t kWeatherOn = 0x40000000u;
constexpr uint32_t kSnowOn = 0x20000000u;
constexpr uint32_t kDayNightOn = 0x10000000u;

class UnitRulesTest : public RuleTest {};

TEST_F(UnitRulesTest, WeatherEffectKeepsClassAndLightApart)
{
    struct Case {
        uint32_t state;
        int weather, light, effect;
    } cases[] = {
        {0, 7, 2, 0},                  // both options off: nothing at all
        {kDayNightOn, 7, 2, 0x20000},  // night falls without weather too
        {kWeatherOn, 0, 2, 0},         // fine, light ignored without day/night
        {kWeatherOn, 1, 0, 1},
        {kWeatherOn, 2, 0, 2},
        {kWeatherOn, 4, 0, 2},
        {kWeatherOn, 3, 0, 3},
        {kWeatherOn, 5, 0, 3},
        {kWeatherOn, 6, 0, 4},
        {kWeatherOn, 7, 0, 5},
        {kWeatherOn | kDayNightOn, 7, 2, 0x20005},  // fog at night
        {kWeatherOn | kDayNightOn, 0, 1, 0x10000},  // moonlit night reads as light 1
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << k.state << " weather " << k.weather);
        game->dwStateFlag = k.state;
        game->nWeather = k.weather;
        game->nLight = k.light;
        EXPECT_EQ(GetWeatherEffect(*game), k.effect);
    }
}

TEST_F(UnitRulesTest, MovePointsHalveOnceForWeatherAndNight)
{
    rules->Arms(kFixtureInfantry).nMovePoint = 5;
    rules->Arms(kFixtureFighter).nMovePoint = 20;
    rules->Arms(kFixtureDestroyer).nMovePoint = 12;
    rules->Arms(kFixtureSubmarine).nMovePoint = 7;
    struct Case {
        const char* name;
        int type;
        uint32_t state;
        int weather, light;
        bool inWater;
        int move;
    } cases[] = {
        {"fog: aircraft full", kFixtureFighter, kWeatherOn, 7, 0, false, 20},
        {"fog: infantry 5 -> 3", kFixtureInfantry, kWeatherOn, 7, 0, false, 3},
        {"fog: ship halved", kFixtureDestroyer, kWeatherOn, 7, 0, false, 6},
        {"night fog halves once", kFixtureInfantry, kWeatherOn | kDayNightOn, 7, 2, false, 3},
        {"night alone halves ground", kFixtureInfantry, kWeatherOn | kDayNightOn, 0, 2, false, 3},
        {"night spares ships", kFixtureDestroyer, kWeatherOn | kDayNightOn, 0, 2, false, 12},
        {"dusk spares ground", kFixtureInfantry, kWeatherOn | kDayNightOn, 0, 1, false, 5},
        {"storm halves ships", kFixtureDestroyer, kWeatherOn, 3, 0, false, 6},
        {"storm spares ground", kFixtureInfantry, kWeatherOn, 3, 0, false, 5},
        {"snow class halves ground", kFixtureInfantry, kWeatherOn, 6, 0, false, 3},
        {"snow class spares air", kFixtureFighter, kWeatherOn, 6, 0, false, 20},
        {"submerged on battery halved", kFixtureSubmarine, 0, 0, 0, true, 4},
        {"submerged ignores fog", kFixtureSubmarine, kWeatherOn, 7, 0, true, 4},
        {"surfaced submarine in storm", kFixtureSubmarine, kWeatherOn, 3, 0, false, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        game->dwStateFlag = k.state;
        game->nWeather = k.weather;
        game->nLight = k.light;
        UNITSTRUCT u{};
        u.nArms = k.type;
        u.dwFlag = kUnitInUse | (k.inWater ? kUnitInWater : 0);
        CalcUnitMovePoints(u, game.get());
        EXPECT_EQ(u.nMove, k.move);
    }
    // A type that never runs on battery alone keeps its points under water.
    rules->Arms(kFixtureSubmarine).dwArmsFlag |= 1u << 10;
    UNITSTRUCT u{};
    u.nArms = kFixtureSubmarine;
    u.dwFlag = kUnitInUse | kUnitInWater;
    CalcUnitMovePoints(u, nullptr);
    EXPECT_EQ(u.nMove, 7);
}

TEST_F(UnitRulesTest, InitUnitRecordFillsTheRecordAndKeepsSerialsApart)
{
    COUNTRYSTRUCT& c = game->Country[1];
    // Serials 1 and 1002 are taken modulo 1000 by the country and by the pool.
    c.Unit[5].dwFlag = kUnitInUse;
    c.Unit[5].nSerial = 1;
    game->CarryUnit[100].dwFlag = kUnitInUse;
    game->CarryUnit[100].nSerial = 1002;
    // A record out of use does not count.
    c.Unit[6].nSerial = 3;
    c.nNextSerial = 1;
    c.dwFlag &= ~0x40000000u;

    UNITSTRUCT& u = c.Unit[0];
    u.nExp = 77;
    InitUnitRecord(&c, u, 0, MakeHex(10, 10), kFixtureSubmarine, 0x123, game.get(), game->CarryUnit);
    EXPECT_EQ(u.dwFlag, kUnitInUse | kUnitActed | kUnitSide1 | (3u << 24));
    EXPECT_EQ(u.nArms, kFixtureSubmarine);
    EXPECT_EQ(u.nHex, MakeHex(10, 10));
    EXPECT_EQ(u.nStrength, 1);  // counted in pieces
    EXPECT_EQ(u.nFuel, 50);
    EXPECT_EQ(u.nAmmo[0], 12);
    EXPECT_EQ(u.nBattery, 20);
    EXPECT_EQ(u.nExp, 0);
    EXPECT_EQ(u.dwCargo, 0xFFFF0000u);
    EXPECT_EQ(u.nMove, 8);
    EXPECT_EQ(u.nSerial, 3);
    EXPECT_EQ(c.nNextSerial, 4);
    EXPECT_EQ(u.refSelf, MakeUnitRef(1, 0));
    EXPECT_EQ(u.dwBirthDate, 0x123u);
    EXPECT_NE(c.dwFlag & 0x40000000u, 0u) << "a computer-controlled country is marked CPU-run";

    // Without a slot no serial is taken and the reference is the country alone.
    UNITSTRUCT loose{};
    InitUnitRecord(&game->Country[0], loose, -1, -1, kFixtureTank, 0, nullptr, {});
    EXPECT_EQ(loose.refSelf, 0u);
    EXPECT_EQ(loose.nSerial, 0);
    EXPECT_EQ(loose.nStrength, 10);
    EXPECT_EQ(loose.dwFlag & kUnitSide1, 0u);
    // Without a country: display 1, side 1.
    InitUnitRecord(nullptr, loose, -1, -1, kFixtureTank, 0, nullptr, {});
    EXPECT_EQ(loose.dwFlag, kUnitInUse | kUnitActed | kUnitSide1 | (1u << 24));
    EXPECT_EQ(loose.refSelf, 1u);
}

TEST_F(UnitRulesTest, SerialsOfManyNewUnitsStayUniqueModulo1000)
{
    COUNTRYSTRUCT& c = game->Country[0];
    for (int i = 0; i < kCarryUnitCount; ++i) {
        game->CarryUnit[i].dwFlag = kUnitInUse;
        game->CarryUnit[i].nSerial = 1000 + 2 * i;  // every even residue below 500
    }
    for (int s = 0; s < kUnitSlots; ++s) Place(0, s, kFixtureInfantry, -1);
    for (int s = 0; s < kUnitSlots; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(IsSerialUnique(c.Unit[s], c.Unit, game->CarryUnit, c.Unit[s].nSerial), 1);
    }
}

TEST_F(UnitRulesTest, CarrierChainsAreBoundedAndLoopsRefused)
{
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, MakeHex(30, 30));
    UNITSTRUCT& inf = Place(0, 1, kFixtureInfantry, MakeHex(30, 31));
    Board(inf, ship);
    std::span<const UNITSTRUCT> units = game->Country[0].Unit;
    EXPECT_EQ(GetOutermostCarrier(units, inf), &ship);
    EXPECT_EQ(GetUnitMapHex(*game, inf), MakeHex(30, 30));
    EXPECT_EQ(GetUnitMapHex(*game, ship), MakeHex(30, 30));

    // A slot naming a record out of use, a slot beyond 63: the chain ends at the unit.
    UNITSTRUCT& lost = Place(0, 2, kFixtureInfantry, -1);
    lost.dwFlag |= kUnitCarried;
    for (int slot : {40, 64, 0xFFFE}) {
        SCOPED_TRACE(slot);
        lost.dwCargo = MakeCargo(slot, 0);
        EXPECT_EQ(GetOutermostCarrier(units, lost), &lost);
        EXPECT_EQ(GetCarrier(units, lost), nullptr);
        EXPECT_EQ(CheckUnitIndexes(units, lost), UnitIndexFault::Carrier);
    }

    // Two units carrying each other: refused, not followed for ever.
    UNITSTRUCT& a = Place(0, 3, kRuleTransport, -1);
    UNITSTRUCT& b = Place(0, 4, kRuleTransport, -1);
    a.dwFlag |= kUnitCarried | kUnitCarries;
    b.dwFlag |= kUnitCarried | kUnitCarries;
    a.dwCargo = MakeCargo(4, 1);
    b.dwCargo = MakeCargo(3, 1);
    EXPECT_EQ(GetOutermostCarrier(units, a), nullptr);
    EXPECT_EQ(GetUnitMapHex(*game, a), -1);
    EXPECT_EQ(CheckUnitIndexes(units, a), UnitIndexFault::Carrier);
    int bad = -2;
    EXPECT_FALSE(CheckGameIndexes(*game, nullptr, &bad));
    EXPECT_EQ(bad, 2);
    std::array<UNITSTRUCT*, 8> list{};
    EXPECT_EQ(ListUnitAndCargo(game->Country[0].Unit, a, list), 2);
    EXPECT_EQ(list[0], &a);
    EXPECT_EQ(list[1], &b);
    EXPECT_EQ(list[2], nullptr);
}

TEST_F(UnitRulesTest, CargoListsNeverWritePastTheirCapacity)
{
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, MakeHex(30, 30));
    UNITSTRUCT& inner = Place(0, 1, kRuleTransport, -1);
    Board(inner, ship);
    for (int s = 2; s < 6; ++s) Board(Place(0, s, kFixtureInfantry, -1), s < 4 ? ship : inner);

    std::array<UNITSTRUCT*, 3> two{};
    EXPECT_EQ(ListCarriedUnits(game->Country[0].Unit, ship, std::span(two).first(2)), 3);
    EXPECT_EQ(two[2], nullptr) << "the third carried unit found no room and was not written";
    EXPECT_EQ(two[0], &inner);

    std::array<UNITSTRUCT*, 7> all{};
    EXPECT_EQ(ListUnitAndCargo(game->Country[0].Unit, ship, all), 6);
    EXPECT_EQ(all[0], &ship);
    EXPECT_EQ(all[1], &inner);  // breadth first: ship's cargo before inner's
    EXPECT_EQ(all[4], &game->Country[0].Unit[4]);
    EXPECT_EQ(all[6], nullptr);

    std::array<UNITSTRUCT*, 4> cut{};
    cut.fill(&ship);
    EXPECT_EQ(ListUnitAndCargo(game->Country[0].Unit, ship, cut), 3);
    EXPECT_EQ(cut[3], nullptr);

    EXPECT_EQ(CountCarriedOfClass(game->Country[0].Unit, ship, 1), 2);
    // Detaching the last unit of a carrier clears its carrying bit.
    EXPECT_EQ(DetachFromCarrier(game->Country[0].Unit, game->Country[0].Unit[4]), &inner);
    EXPECT_EQ(CargoCount(inner.dwCargo), 1);
    EXPECT_EQ(DetachFromCarrier(game->Country[0].Unit, game->Country[0].Unit[5]), &inner);
    EXPECT_EQ(inner.dwFlag & kUnitCarries, 0u);
    EXPECT_EQ(DetachFromCarrier(game->Country[0].Unit, ship), nullptr);
}

TEST_F(UnitRulesTest, CarrierRoomCountsCarrySpaceAndOddCarryClasses)
{
    // Room: class 1 two places, class 2 one; the carry-space slot holds pieces.
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, MakeHex(30, 30));
    struct Case {
        int pieces;
        std::array<int, kCarryClasses> capacity;
    } caps[] = {
        {0, {0, 2, 1, 0, 0, 0, 0}}, {1, {0, 3, 2, 0, 1, 0, 0}}, {5, {0, 4, 4, 0, 4, 0, 0}},  // capped at 4
    };
    for (const Case& k : caps) {
        SCOPED_TRACE(k.pieces);
        ship.nAmmo[1] = k.pieces;
        EXPECT_EQ(GetCarrierCapacity(kRuleTransport, &ship), k.capacity);
    }
    EXPECT_EQ(GetCarrierCapacity(kRuleTransport, nullptr), caps[0].capacity);

    // Room test: a slot of 1 piece gives nothing (count less one).
    ship.nAmmo[1] = 1;
    UNITSTRUCT& t1 = Place(0, 1, kFixtureTank, -1);  // carry class 3
    rules->Arms(kFixtureTank).nCarryClass = 2;
    Board(t1, ship);
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, ship, nullptr), 1);
    UNITSTRUCT& t2 = Place(0, 2, kFixtureTank, -1);
    Board(t2, ship);
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, ship, nullptr), 0);
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, ship, &t2), 1);
    ship.nAmmo[1] = 2;  // now one extra place for class 2
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, ship, nullptr), 1);

    // An aircraft of carry class -1 takes a class-0 place, never index -1.
    UNITSTRUCT& top = Place(0, 10, kRuleFlatTop, MakeHex(31, 30));
    UNITSTRUCT& f1 = Place(0, 11, kFixtureFighter, -1);
    UNITSTRUCT& f2 = Place(0, 12, kFixtureFighter, -1);
    UNITSTRUCT& f3 = Place(0, 13, kFixtureFighter, -1);
    Board(f1, top);
    Board(f2, top);
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, top, nullptr), 1);
    Board(f3, top);
    EXPECT_EQ(HasCarrierRoom(game->Country[0].Unit, top, nullptr), 0);
}

TEST_F(UnitRulesTest, StrengthFuelAndConditionLevels)
{
    UNITSTRUCT& guns = Place(0, 0, kRuleGuns, MakeHex(20, 20));
    struct Units {
        int strength, amount, units;
    } pieces[] = {{1, 0, 1}, {0, 0, 1}, {5, 0, 5}, {10, 0, 10}, {4, 1, 5}};
    for (const Units& k : pieces) {
        SCOPED_TRACE(k.strength);
        guns.nStrength = k.strength;
        EXPECT_EQ(GetStrengthUnits(guns, k.amount), k.units);
    }
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(20, 21));
    tank.nStrength = 3;
    EXPECT_EQ(GetStrengthUnits(tank, 2), 5);

    UNITSTRUCT& bomber = Place(0, 2, kRuleBomber, MakeHex(20, 22));
    bomber.nFuel = 0;
    EXPECT_EQ(GetUnitFuelTotal(bomber), 10u | kFuelTotalDropTanks);
    EXPECT_EQ(GetUnitConditionLevels(bomber) >> 16, 3) << "drop tanks report fuel level 3 whatever the fuel";
    bomber.nAmmo[1] = 0;
    EXPECT_EQ(GetUnitFuelTotal(bomber), 0u);

    struct Level {
        int fuel, strength, levels;
    } levels[] = {
        {50, 10, 0}, {26, 10, 0}, {25, 10, 1 << 16}, {8, 10, 2 << 16},
        {30, 4, 1},  {30, 5, 0},  {30, 2, 2},        {0, 1, 2 << 16 | 2},
    };
    for (const Level& k : levels) {
        SCOPED_TRACE(testing::Message() << k.fuel << "/" << k.strength);
        tank.nFuel = k.fuel;
        tank.nStrength = k.strength;
        EXPECT_EQ(GetUnitConditionLevels(tank), k.levels);
    }
}

TEST_F(UnitRulesTest, CellCopyPutsWaderTypesInTheWaterUnlessARouteCarriesThem)
{
    UNITSTRUCT& am = Place(0, 0, kRuleAmphibian, MakeHex(20, 20));
    UNITSTRUCT& sub = Place(0, 1, kFixtureSubmarine, MakeHex(21, 20));
    const MAPCELL sea = WithTerrain(0, kFixtureSea);
    struct Case {
        const char* name;
        MAPCELL cell;
        bool inWater;
    } cases[] = {
        {"deep water", sea, true},
        {"plain", WithTerrain(0, kFixturePlain), false},
        {"bridge strong enough", WithDurability(WithRoutes(sea, 1), 10), false},
        {"bridge too weak", WithDurability(WithRoutes(sea, 1), 9), true},
        {"shallows are not deep", WithTerrain(0, kFixtureShallows), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetUnitHexCell(am, k.cell);
        EXPECT_EQ(am.dwHexCell, k.cell);
        EXPECT_EQ((am.dwFlag & kUnitInWater) != 0, k.inWater);
    }
    // A 0 cell keeps the copy and the bit.
    SetUnitHexCell(am, sea);
    SetUnitHexCell(am, 0);
    EXPECT_EQ(am.dwHexCell, sea);
    EXPECT_NE(am.dwFlag & kUnitInWater, 0u);
    EXPECT_EQ(GetUnitDomain(am), 4) << "a ground unit in the water counts as submerged";
    // Other domains keep bit 21: a submerged submarine stays submerged on land cells too.
    sub.dwFlag |= kUnitInWater;
    SetUnitHexCell(sub, WithTerrain(0, kFixturePlain));
    EXPECT_NE(sub.dwFlag & kUnitInWater, 0u);
    EXPECT_EQ(GetUnitDomain(sub), 4);
    sub.dwFlag &= ~kUnitInWater;
    EXPECT_EQ(GetUnitDomain(sub), 3);
}

TEST_F(UnitRulesTest, PricesScaleWithStrength)
{
    EXPECT_EQ(GetArmsUnitPrice(kFixtureTank), 200);
    EXPECT_EQ(GetArmsUnitPrice(kRuleGuns), 20);
    EXPECT_EQ(GetArmsUnitPrice(9999), 0);
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
    tank.nStrength = 5;
    EXPECT_EQ(GetFuelPrice(tank, 10), 5);
    EXPECT_EQ(GetFuelPrice(tank, 1), 1) << "never below 1";
    EXPECT_EQ(GetFuelPrice(tank, 0), 0);
    EXPECT_EQ(GetRoundPrice(tank, 0, 4), 2);
    UNITSTRUCT& guns = Place(0, 1, kRuleGuns, MakeHex(20, 21));
    guns.nStrength = 3;
    EXPECT_EQ(GetRoundPrice(guns, 0, 4), 8) << "pieces pay per round whatever the strength";

    // Resupply cost: missing fuel and rounds of the current set.
    tank.nFuel = 40;
    tank.nAmmo[0] = 2;
    EXPECT_EQ(GetUnitResupplyCost(tank), 5 + 5);
    // Class 26 counts fuel only below a fifth.
    UNITSTRUCT& truck = Place(0, 2, kRuleSupplyTruck, MakeHex(20, 22));
    truck.nFuel = 10;
    truck.nAmmo[0] = 0;
    EXPECT_EQ(GetUnitResupplyCost(truck), 0);
    truck.nFuel = 9;
    EXPECT_EQ(GetUnitResupplyCost(truck), 41);
}

TEST_F(UnitRulesTest, BombsSupplyStockAndWeaponLoad)
{
    UNITSTRUCT& bomber = Place(0, 0, kRuleBomber, MakeHex(20, 20));
    EXPECT_EQ(GetBombLoadState(bomber), 1);
    game->dwHexCell[bomber.nHex] = WithTerrain(0, kFixturePlain);
    rules->Terrain(kFixturePlain).nHeight = 1;
    bomber.dwHexCell = WithTerrain(0, kFixturePlain);
    EXPECT_EQ(GetBombingRange(bomber), 3u);
    bomber.nAmmo[0] = 0;
    EXPECT_EQ(GetBombLoadState(bomber), 0);
    EXPECT_EQ(GetBombingRange(bomber), 0u);
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(20, 21));
    EXPECT_EQ(GetBombLoadState(tank), -1);
    EXPECT_EQ(HasNoAttackWeapon(tank), 0);
    UNITSTRUCT& truck = Place(0, 2, kRuleSupplyTruck, MakeHex(20, 22));
    EXPECT_EQ(HasNoAttackWeapon(truck), 1);
    truck.nAmmo[0] = 3;
    EXPECT_EQ(GetSupplyStock(truck), 3u | 5u << 16);
    EXPECT_EQ(HasSupplyStock(kRuleSupplyTruck), 1);
    EXPECT_EQ(HasSupplyStock(kFixtureTank), 0);

    // Load: bit 3 of the weapon flags picks surface or air; jettison pending
    // leaves out droppables.
    bomber.nAmmo[0] = 4;
    rules->Weapon(kRuleBomber, 0).nLoad = 6;
    rules->Weapon(kRuleBomber, 0).dwWeaponFlag |= 1u << 3;
    EXPECT_EQ(SumUnitWeaponValue(bomber, 1, -1), 6);
    EXPECT_EQ(SumUnitWeaponValue(bomber, 0, -1), 0);
    bomber.dwOrder |= kOrderJettisonPending;
    EXPECT_EQ(SumUnitWeaponValue(bomber, 1, -1), 0);
    EXPECT_EQ(SumUnitWeaponValue(bomber, 1, 9), 0);
}

TEST_F(UnitRulesTest, BaseHexesFollowTerrainRoutesAndSnow)
{
    UNITSTRUCT& fighter = Place(0, 0, kFixtureFighter, MakeHex(20, 20));  // base kind 3
    UNITSTRUCT& inf = Place(0, 1, kFixtureInfantry, MakeHex(20, 21));     // base kind 2
    const MAPCELL airfield = WithTerrain(0, kFixtureAirfield);            // 0x6200: kind 2 -> 2, kind 3 -> 6
    EXPECT_EQ(CanUseHexAsBase(fighter, *game, airfield, false), 1);
    EXPECT_EQ(CanUseHexAsBase(inf, *game, airfield, false), 1);
    EXPECT_EQ(CanUseHexAsBase(fighter, *game, WithTerrain(0, kFixturePlain), false), 0);
    // A railway of kind 3 serves kind 2 on plain terrain for ground units only.
    const MAPCELL rail = WithDurability(WithRoutes(WithTerrain(0, kFixturePlain), 1 << 3), 30);
    EXPECT_EQ(CanUseHexAsBase(inf, *game, rail, false), 1);
    EXPECT_EQ(CanUseHexAsBase(fighter, *game, rail, false), 0);
    // Bit 0 alone closes under snow.
    rules->Terrain(kFixturePlain).dwBaseField = 0x100;
    EXPECT_EQ(CanUseHexAsBase(inf, *game, WithTerrain(0, kFixturePlain), false), 1);
    game->dwStateFlag = kWeatherOn | kSnowOn;
    EXPECT_EQ(CanUseHexAsBase(inf, *game, WithTerrain(0, kFixturePlain), false), 0);
    EXPECT_EQ(CanUseHexAsBase(inf, *game, airfield, false), 1);
    // No-air-base terrain refuses the air classes (33-54), boarding or not;
    // class 58 is the carrier, a ship class, which it never refuses.
    rules->Terrain(kFixtureSea).dwBaseField = 0x6000;
    UNITSTRUCT& top = Place(0, 2, kRuleFlatTop, MakeHex(20, 22));
    EXPECT_EQ(CanUseHexAsBase(fighter, *game, WithTerrain(0, kFixtureSea), true), 0);
    EXPECT_EQ(CanUseHexAsBase(fighter, *game, WithTerrain(0, kFixtureSea), false), 0);
    EXPECT_EQ(CanUseHexAsBase(top, *game, WithTerrain(0, kFixtureSea), true), 1);
    EXPECT_EQ(CanUseHexAsBase(top, *game, WithTerrain(0, kFixtureSea), false), 1);
}

TEST_F(UnitRulesTest, EnterableNeighboursSkipBlockedAndHiddenHexes)
{
    const HEXINDEX here = MakeHex(20, 20);
    UNITSTRUCT& inf = Place(0, 0, kFixtureInfantry, here);
    HexNeighbours nb = GetNeighbourSlots(here);
    game->dwHexCell[nb[0]] = WithTerrain(0, kFixtureSea);      // no cost
    game->dwHexCell[nb[1]] |= kCellClosedSide0;                // blocked for side 0
    UNITSTRUCT& enemy = Place(1, 0, kFixtureInfantry, nb[2]);  // unseen enemy
    (*sensor)[static_cast<size_t>(nb[2])] = 0;
    UNITSTRUCT& friendUnit = Place(0, 1, kFixtureInfantry, nb[3]);  // unseen own unit
    (*sensor)[static_cast<size_t>(nb[3])] = 0;
    (void)enemy;
    (void)friendUnit;
    std::array<HEXINDEX, 7> out{};
    NeighbourSearch how;
    EXPECT_EQ(ListEnterableNeighbourHexes(here, inf, *game, game->dwHexCell, *hexUnit, *sensor, how, out), 1);
    EXPECT_EQ(out[0], nb[4]);
    EXPECT_EQ(out[1], nb[5]);
    EXPECT_EQ(out[2], -1);
    how.ownUnitsAllowed = true;
    ListEnterableNeighbourHexes(here, inf, *game, game->dwHexCell, *hexUnit, *sensor, how, out);
    EXPECT_EQ(out[0], nb[3]);
    // A shared route crosses water when it carries the unit.
    game->dwHexCell[here] = WithDurability(WithRoutes(game->dwHexCell[here], 1), 20);
    game->dwHexCell[nb[0]] = WithDurability(WithRoutes(game->dwHexCell[nb[0]], 1), 20);
    how.ownUnitsAllowed = false;
    ListEnterableNeighbourHexes(here, inf, *game, game->dwHexCell, *hexUnit, *sensor, how, out);
    EXPECT_EQ(out[0], nb[0]);
    // A capacity of 2 holds one hex and the end mark.
    std::array<HEXINDEX, 2> small{};
    ListEnterableNeighbourHexes(here, inf, *game, game->dwHexCell, *hexUnit, *sensor, how, small);
    EXPECT_EQ(small[1], -1);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

using namespace zrvtest;

TEST_F(RuleTest, IndexesFromFilesAreChecked)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureTank, MakeHex(20, 20));
    std::span<const UNITSTRUCT> units = game->Country[0].Unit;
    EXPECT_EQ(CheckUnitIndexes(units, u), UnitIndexFault::None);
    EXPECT_TRUE(CheckGameIndexes(*game));
    struct Case {
        const char* name;
        std::function<void()> spoil, mend;
        UnitIndexFault fault;
    } cases[] = {
        {"type", [&] { u.nArms = 5000; }, [&] { u.nArms = kFixtureTank; }, UnitIndexFault::Type},
        {"negative type", [&] { u.nArms = -1; }, [&] { u.nArms = kFixtureTank; }, UnitIndexFault::Type},
        {"mode", [&] { u.nMode = 6; }, [&] { u.nMode = 0; }, UnitIndexFault::Mode},
        {"class", [&] { rules->Arms(kFixtureTank).nClass = 63; },
         [&] { rules->Arms(kFixtureTank).nClass = 4; }, UnitIndexFault::Class},
        {"carry class", [&] { rules->Arms(kFixtureTank).nCarryClass = 7; },
         [&] { rules->Arms(kFixtureTank).nCarryClass = 3; }, UnitIndexFault::CarryClass},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        k.spoil();
        EXPECT_EQ(CheckUnitIndexes(units, u), k.fault);
        EXPECT_FALSE(CheckGameIndexes(*game));
        // The accessors stay harmless on the spoilt record.
        EXPECT_GE(GetUnitResupplyCost(u), 0);
        CalcUnitMovePoints(u, game.get());
        k.mend();
    }
    game->Country[1].nCountryId = 34;
    int bad = -1;
    EXPECT_FALSE(CheckGameIndexes(*game, &bad));
    EXPECT_EQ(bad, 1);
}

}  // namespace
}  // namespace zrv
