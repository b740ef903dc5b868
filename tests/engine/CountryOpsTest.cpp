// Country record operations: capital relocation, removing units with their
// cargo, the development lists and offers, deployment hexes, slots.

#include <gtest/gtest.h>

#include <cstring>

#include "battle/engine/CountryOps.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "engine/RuleFixture.h"

namespace {

using namespace zrv;
using zrvtest::RuleTest;
using zrvtest::ScriptedDraws;

class CountryOpsTest : public RuleTest {
protected:
    void SetUp() override
    {
        RuleTest::SetUp();
        game->rcMapArea = MapRect{30, 30, 70, 70};
        game->dwDateTime = PackDate(41, 3, 10, 8);
    }
    void City(HEXINDEX hex, int owner)
    {
        game->dwHexCell[hex] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), owner);
    }
    std::span<const MAPCELL, kHexCount> Cells() const
    {
        return std::span<const MAPCELL, kHexCount>(game->dwHexCell, kHexCount);
    }
};

TEST_F(CountryOpsTest, CountryWithoutCityKeepsItsLostCapital)
{
    const HEXINDEX capital = game->Country[0].nCapital;
    City(capital, 0);
    EXPECT_EQ(RelocateCapital(*game, 0, capital, Cells()), 0);
    EXPECT_EQ(game->Country[0].nCapital, capital);
    // A capital that is not the lost hex stays, and that is a success.
    EXPECT_EQ(RelocateCapital(*game, 0, MakeHex(2, 2), Cells()), 1);
    EXPECT_EQ(game->Country[0].nCapital, capital);
}

TEST_F(CountryOpsTest, CapitalMovesToNearestUnthreatenedCityInsideTheArea)
{
    const HEXINDEX capital = MakeHex(40, 40);
    const HEXINDEX threatened = MakeHex(40, 43), far = MakeHex(40, 50), outside = MakeHex(40, 38);
    game->rcMapArea.left = 39;
    City(capital, 0);
    City(threatened, 0);       // 3 away, five enemies stand round it
    City(far, 0);              // 10 away
    City(MakeHex(40, 42), 1);  // nearer, but not owned
    City(outside, 0);          // 2 away, outside the playable area
    const HEXINDEX enemies[] = {MakeHex(40, 41), MakeHex(39, 41), MakeHex(41, 41), MakeHex(38, 41),
                                MakeHex(42, 41)};
    for (int i = 0; i < 5; ++i) Place(1, i, zrvtest::kFixtureInfantry, enemies[i]);
    EXPECT_EQ(FindCapitalRelocation(*game, 0, capital, Cells()), far);
    // With four enemies the threatened city is fine again; the nearer city
    // outside the area still loses to it.
    game->Country[1].Unit[4].dwFlag = 0;
    EXPECT_EQ(RelocateCapital(*game, 0, capital, Cells()), 1);
    EXPECT_EQ(game->Country[0].nCapital, threatened);
}

TEST_F(CountryOpsTest, CapitalSearchCountsOnlyTheEnemiesItsSideSees)
{
    const HEXINDEX capital = MakeHex(40, 40), near = MakeHex(40, 43), far = MakeHex(40, 50);
    City(capital, 0);
    City(near, 0);
    City(far, 0);
    const HEXINDEX enemies[] = {MakeHex(40, 44), MakeHex(39, 44), MakeHex(41, 44), MakeHex(38, 44),
                                MakeHex(42, 44)};
    for (int i = 0; i < 5; ++i) Place(1, i, zrvtest::kFixtureInfantry, enemies[i]);
    EXPECT_EQ(FindCapitalRelocation(*game, 0, capital, Cells()), far);
    // One of the five is hidden from side 0: four seen enemies are no threat.
    game->Country[1].Unit[2].dwFlag |= HiddenFromSideBit(0);
    EXPECT_EQ(FindCapitalRelocation(*game, 0, capital, Cells()), near);
}

TEST_F(CountryOpsTest, CapitalTieGoesToTheFirstHex)
{
    const HEXINDEX capital = MakeHex(40, 40);
    City(capital, 0);
    City(MakeHex(40, 42), 0);
    City(MakeHex(40, 38), 0);
    EXPECT_EQ(FindCapitalRelocation(*game, 0, capital, Cells()), MakeHex(40, 38));
}

TEST_F(CountryOpsTest, RemovingACarrierRemovesNestedCargo)
{
    COUNTRYSTRUCT& c = game->Country[0];
    UNITSTRUCT& ship = Place(0, 3, zrvtest::kRuleTransport, MakeHex(40, 41));
    UNITSTRUCT& truck = Place(0, 5, zrvtest::kRuleSupplyTruck, MakeHex(40, 42));
    UNITSTRUCT& gun = Place(0, 1, zrvtest::kRuleGuns, MakeHex(40, 43));
    Place(0, 7, zrvtest::kFixtureInfantry, MakeHex(40, 44));
    c.nUnit = 4;
    Board(truck, ship);
    Board(gun, truck);  // carried by the cargo: found breadth first, slot 1 before nothing else
    EXPECT_EQ(RemoveCountryUnit(c, ship), 3);
    EXPECT_EQ(c.nUnit, 1);
    EXPECT_FALSE(truck.dwFlag & kUnitInUse);
    EXPECT_FALSE(gun.dwFlag & kUnitInUse);
    EXPECT_TRUE(c.Unit[7].dwFlag & kUnitInUse);
}

TEST_F(CountryOpsTest, RemovingCargoLeavesItsCarrierOneLighter)
{
    COUNTRYSTRUCT& c = game->Country[0];
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, MakeHex(40, 41));
    UNITSTRUCT& a = Place(0, 1, zrvtest::kFixtureInfantry, MakeHex(40, 42));
    c.nUnit = 2;
    Board(a, ship);
    EXPECT_EQ(RemoveCountryUnit(c, a), 1);
    EXPECT_EQ(CargoCount(ship.dwCargo), 0);
    EXPECT_FALSE(ship.dwFlag & kUnitCarries);
    EXPECT_EQ(c.nUnit, 1);
}

TEST_F(CountryOpsTest, PoolKeptUnitStopsWithOne)
{
    COUNTRYSTRUCT& c = game->Country[0];
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, MakeHex(40, 41));
    UNITSTRUCT& a = Place(0, 1, zrvtest::kFixtureInfantry, MakeHex(40, 42));
    c.nUnit = 2;
    Board(a, ship);
    ship.dwFlag |= kUnitInPool;
    EXPECT_EQ(RemoveCountryUnit(c, ship), 1);
    EXPECT_EQ(c.nUnit, 2);
    EXPECT_TRUE(a.dwFlag & kUnitInUse);
}

TEST_F(CountryOpsTest, CarrierLoopEnds)
{
    COUNTRYSTRUCT& c = game->Country[0];
    UNITSTRUCT& a = Place(0, 0, zrvtest::kRuleTransport, MakeHex(40, 41));
    UNITSTRUCT& b = Place(0, 1, zrvtest::kRuleTransport, MakeHex(40, 42));
    c.nUnit = 2;
    Board(b, a);
    // A damaged file: each carries the other.
    a.dwFlag |= kUnitCarried;
    a.dwCargo = MakeCargo(1, 1);
    EXPECT_EQ(RemoveCountryUnit(c, a), 2);
    EXPECT_EQ(c.nUnit, 0);
}

TEST_F(CountryOpsTest, NearestOwnUnitIgnoresCarriedAndOffMapUnits)
{
    COUNTRYSTRUCT& c = game->Country[0];
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, -1);
    UNITSTRUCT& a = Place(0, 1, zrvtest::kFixtureInfantry, MakeHex(40, 42));
    Board(a, ship);
    EXPECT_EQ(GetNearestOwnUnitDistance(c, MakeHex(40, 40)), -1);
    Place(0, 2, zrvtest::kFixtureInfantry, MakeHex(40, 44));
    EXPECT_EQ(GetNearestOwnUnitDistance(c, MakeHex(40, 40)), 4);
}

TEST_F(CountryOpsTest, TypeSeenKeepsItsFirstDateAndPassesToItsSide)
{
    game->Country[2] = game->Country[0];  // a second present country of side 0
    game->Country[2].nIndex = 2;
    game->Country[3] = game->Country[1];
    game->Country[3].nIndex = 3;
    game->Country[3].nSide = 2;  // neutral: sees everything passed on
    const uint32_t first = PackDate(40, 5, 1);
    PassArmsTypeOn(*game, game->Country[0], zrvtest::kFixtureTank, first);
    PassArmsTypeOn(*game, game->Country[0], zrvtest::kFixtureTank, PackDate(41, 1, 1));
    for (int i : {0, 2, 3}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(game->Country[i].dwArmsAvail[zrvtest::kFixtureTank], kAvailSeen | first);
    }
    EXPECT_EQ(game->Country[1].dwArmsAvail[zrvtest::kFixtureTank], 0u);
}

TEST_F(CountryOpsTest, DevelopmentOfferDrawsOnlyInTheStartMonth)
{
    // Type 2 (tank, nation 1, class 4) starts in the month of the game date.
    COUNTRYSTRUCT& c = game->Country[0];
    std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
    c.dwClassMask[0] = 1u << 4;
    c.nCountryId = 1;
    for (int t = 1; t < zrvtest::kRuleTypeCount; ++t) {
        if (t != zrvtest::kFixtureTank) rules->Arms(t).nNation = 9;
    }
    rules->Arms(zrvtest::kFixtureTank).dwDateFrom = PackDate(41, 2, 20);
    rules->Arms(zrvtest::kFixtureTank).dwDateNewEnd = PackDate(41, 6, 1);
    rules->Refresh();
    const int offer = 4 << 16 | zrvtest::kFixtureTank;

    struct Case {
        uint32_t date;
        uint32_t flag;
        int draw;  // -1: no draw expected
        int want;
    };
    const Case cases[] = {
        {PackDate(41, 2, 10), 0, 9, offer},              // 9 % 28 below day 10
        {PackDate(41, 2, 10), 0, 10, -1},                // 10 is not below 10
        {PackDate(41, 2, 10), 0, 30, offer},             // February has 28 days: 30 % 28 = 2
        {PackDate(41, 2, 10), kCountryNewWeaponsDayOne, -1, offer},
        {PackDate(41, 3, 1), 0, -1, offer},              // a later month: no draw
        {PackDate(41, 1, 30), 0, -1, -1},                // before the start month
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << k.date << " draw " << std::dec << k.draw);
        game->dwDateTime = k.date;
        c.dwFlag = kCountryPresent | k.flag;
        ScriptedDraws draws = k.draw < 0 ? ScriptedDraws{} : ScriptedDraws{k.draw};
        EXPECT_EQ(FindDevelopmentOffer(c, *game, draws), k.want);
        EXPECT_EQ(draws.Asked(), k.draw < 0 ? 0 : 1);
    }
    // Funds below the full unit: nothing, after the draw.
    game->dwDateTime = PackDate(41, 3, 1);
    c.nFund = 199;
    ScriptedDraws none{};
    EXPECT_EQ(FindDevelopmentOffer(c, *game, none), -1);
    // A class that already got its new type this phase is not offered.
    c.nFund = 200;
    c.dwNewWeaponSet[0] = 1u << 4;
    EXPECT_EQ(FindDevelopmentOffer(c, *game, none), -1);
}

TEST_F(CountryOpsTest, DevelopAndRetireWorkOnTheClassList)
{
    COUNTRYSTRUCT& c = game->Country[0];
    std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
    rules->Arms(zrvtest::kFixtureTank).nEvolution = 2;
    rules->Refresh();
    c.nFund = 150;  // the full unit costs 200
    EXPECT_EQ(DevelopArmsType(*game, c, zrvtest::kFixtureTank, true), 0);
    EXPECT_EQ(c.nFund, 150);
    EXPECT_EQ(c.dwArmsAvail[zrvtest::kFixtureTank], 0u);
    c.nFund = 250;
    EXPECT_EQ(DevelopArmsType(*game, c, zrvtest::kFixtureTank, true), 1);
    EXPECT_EQ(c.nFund, 50);
    EXPECT_EQ(c.dwClassList[4][2], static_cast<uint32_t>(zrvtest::kFixtureTank));
    EXPECT_EQ(c.dwClassList[4][0], static_cast<uint32_t>(zrvtest::kFixtureTank));
    EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailSeen);

    EXPECT_EQ(RetireArmsType(c, zrvtest::kFixtureTank), 1);
    EXPECT_EQ(c.dwClassList[4][0], kNoListEntry);
    EXPECT_EQ(c.dwClassList[4][2], static_cast<uint32_t>(zrvtest::kFixtureTank) | 0x80000000u);
    EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureTank] & kAvailRetired);
    EXPECT_EQ(GetEmptyClassListCode(c.dwClassList[4]), 31);

    // A type below the first used step is only marked retired.
    c.dwClassList[0][1] = zrvtest::kFixtureInfantry;
    rules->Arms(zrvtest::kFixtureRetired).nEvolution = 0;
    rules->Refresh();
    EXPECT_EQ(RetireArmsType(c, zrvtest::kFixtureRetired), 0);
    EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureRetired] & kAvailRetired);
    EXPECT_EQ(GetEmptyClassListCode(c.dwClassList[0]), 0);
}

TEST_F(CountryOpsTest, AvailableListEntry)
{
    const uint32_t date = PackDate(41, 1, 1);
    rules->Arms(zrvtest::kFixtureTank).dwDateFrom = PackDate(40, 1, 1);
    rules->Arms(zrvtest::kFixtureRetired).dwDateFrom = PackDate(42, 1, 1);
    rules->Refresh();
    ClassList list;
    std::memset(list, 0xFF, sizeof list);
    EXPECT_EQ(FindAvailableListEntry(date, list), -1);
    list[3] = zrvtest::kFixtureTank;
    EXPECT_EQ(FindAvailableListEntry(date, list), 3);
    list[2] = zrvtest::kFixtureRetired;  // the first used entry is not yet out
    EXPECT_EQ(FindAvailableListEntry(date, list), -1);
    list[0] = zrvtest::kFixtureTank;
    EXPECT_EQ(FindAvailableListEntry(date, list), 3);
    list[3] = kNoListEntry;
    EXPECT_EQ(FindAvailableListEntry(date, list), 10);
    list[0] = zrvtest::kFixtureRetired;
    EXPECT_EQ(FindAvailableListEntry(date, list), -1);
}

TEST_F(CountryOpsTest, DeploymentHexesRoundTheCapital)
{
    COUNTRYSTRUCT& c = game->Country[0];
    const HEXINDEX capital = c.nCapital;
    HEXINDEX ring[64];
    const int n = GetHexesInRange(capital, 2, ring);
    ASSERT_EQ(ring[0], capital);
    // Ring 1 is taken whoever owns it; further out only own hexes.
    const HEXINDEX near = ring[1], enemyNear = ring[2], occupied = ring[3];
    const HEXINDEX ownFar = ring[8], foreignFar = ring[9], sea = ring[10];
    for (int i = 0; i < n; ++i) game->dwHexCell[ring[i]] = WithOwner(WithTerrain(0, zrvtest::kFixturePlain), 1);
    game->dwHexCell[near] = WithOwner(game->dwHexCell[near], 0);
    game->dwHexCell[ownFar] = WithOwner(game->dwHexCell[ownFar], 0);
    game->dwHexCell[sea] = WithOwner(WithTerrain(0, zrvtest::kFixtureSea), 0);
    game->dwHexCell[enemyNear] |= kCellClosedSide0;
    Place(1, 0, zrvtest::kFixtureInfantry, occupied);
    (void)foreignFar;

    HEXINDEX out[64];
    const auto cells = Cells();
    const int got = FilterCandidateHexes(c, cells, *hexUnit, kDeployGround, std::span(ring, n + 1), out, false);
    std::vector<HEXINDEX> list(out, out + got);
    EXPECT_EQ(out[got], -1);
    EXPECT_EQ(list.front(), capital);
    EXPECT_NE(std::find(list.begin(), list.end(), near), list.end());
    EXPECT_NE(std::find(list.begin(), list.end(), ownFar), list.end());
    EXPECT_EQ(std::find(list.begin(), list.end(), enemyNear), list.end());
    EXPECT_EQ(std::find(list.begin(), list.end(), occupied), list.end());
    EXPECT_EQ(std::find(list.begin(), list.end(), foreignFar), list.end());
    EXPECT_EQ(std::find(list.begin(), list.end(), sea), list.end());
    EXPECT_EQ(got, 6);  // capital, four ring-1 hexes (not the closed or the occupied one), own far hex

    const int naval = FilterCandidateHexes(c, cells, *hexUnit, kDeployNaval, std::span(ring, n + 1), out, true);
    ASSERT_EQ(naval, 1);
    EXPECT_EQ(out[0], sea);
}

TEST_F(CountryOpsTest, RemovedCountryLeavesItsHexesAndCities)
{
    UNITSTRUCT& u = Place(1, 2, zrvtest::kFixtureInfantry, MakeHex(50, 40));
    game->Country[1].nUnit = 1;
    const HEXINDEX city = MakeHex(50, 40), field = MakeHex(50, 41), other = MakeHex(50, 42);
    game->dwHexCell[city] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);
    game->dwHexCell[field] = WithOwner(WithTerrain(0, zrvtest::kFixturePlain), 1);
    game->dwHexCell[other] = WithOwner(WithTerrain(0, zrvtest::kFixturePlain), 0);
    UNITSTRUCT& guest = Place(0, 0, zrvtest::kFixtureInfantry, field);
    auto live = std::make_unique<std::array<MAPCELL, kHexCount>>();
    std::memcpy(live->data(), game->dwHexCell, sizeof game->dwHexCell);
    (void)u;

    RemoveCountryFromPlay(*game, 1, *live, *hexUnit);
    EXPECT_FALSE(game->Country[1].dwFlag & kCountryPresent);
    EXPECT_EQ(game->Country[1].nUnit, 0);
    EXPECT_EQ(game->Country[1].Unit[2].dwFlag, 0u);
    EXPECT_EQ((*hexUnit)[city], kNoUnit);
    EXPECT_EQ((*live)[city], WithTerrain(0, zrvtest::kFixtureCity + 1));
    EXPECT_EQ(game->dwHexCell[city], (*live)[city]);
    EXPECT_EQ((*live)[field], WithTerrain(0, zrvtest::kFixturePlain));
    EXPECT_EQ(guest.dwHexCell, (*live)[field]);
    EXPECT_EQ(CellOwner((*live)[other]), 0);
}

TEST_F(CountryOpsTest, PoolUnitEntersTheFirstFreeSlot)
{
    COUNTRYSTRUCT& c = game->Country[0];
    Place(0, 0, zrvtest::kFixtureInfantry, MakeHex(40, 41));
    c.nUnit = 1;
    UNITSTRUCT& pool = game->CarryUnit[7];
    InitUnitRecord(nullptr, pool, -1, -1, zrvtest::kFixtureTank, 0, game.get(), {});
    pool.dwFlag |= kUnitInPool | kUnitOffMap;
    pool.dwOrder = 5;
    EXPECT_EQ(PlacePoolUnit(c, pool, MakeHex(40, 42)), 1);
    const UNITSTRUCT& u = c.Unit[1];
    EXPECT_FALSE(pool.dwFlag & kUnitInUse);
    EXPECT_EQ(u.dwFlag & (kUnitInUse | kUnitActed | kUnitInPool), kUnitInUse | kUnitActed);
    EXPECT_EQ(u.dwOrder, 0u);
    EXPECT_EQ(u.nMarchHex, -1);
    EXPECT_EQ(u.nHex, MakeHex(40, 42));
    EXPECT_EQ(u.refSelf, MakeUnitRef(0, 1));
    EXPECT_EQ(c.nUnit, 2);
    for (int s = 2; s < kUnitSlots; ++s) c.Unit[s].dwFlag = kUnitInUse;
    EXPECT_EQ(FindFreeUnitSlot(c), -1);
    EXPECT_EQ(PlacePoolUnit(c, game->CarryUnit[8], MakeHex(40, 43)), -1);
}

TEST_F(CountryOpsTest, SmallReadings)
{
    COUNTRYSTRUCT& c = game->Country[0];
    EXPECT_EQ(GetCountryDisplayIndex(c, false), c.nDisplay);
    EXPECT_EQ(GetCountryDisplayIndex(c, true), c.nCountryId + 8);
    EXPECT_EQ(CountHumanCountries(*game), 1);
    std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
    EXPECT_EQ(GetHeaviestProducedType(c), 0);
    rules->Arms(zrvtest::kFixtureTank).nWeight = 30;
    rules->Refresh();
    c.dwClassList[4][0] = zrvtest::kFixtureTank;
    c.dwClassList[0][0] = zrvtest::kFixtureInfantry;
    c.dwClassList[40][0] = zrvtest::kFixtureInfantry;
    EXPECT_EQ(GetHeaviestProducedType(c), 30);
    MarkArmsTypeDeveloped(c, zrvtest::kFixtureDestroyer);
    EXPECT_EQ(c.dwClassList[57][0], static_cast<uint32_t>(zrvtest::kFixtureDestroyer) | 0x80000000u);
    EXPECT_TRUE(c.dwArmsAvail[zrvtest::kFixtureDestroyer] & kAvailDevListed);
}

}  // namespace
