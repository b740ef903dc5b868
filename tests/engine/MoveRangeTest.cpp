#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "engine/MapFixture.h"

namespace zrv {
namespace {

using zrvtest::kFixtureDestroyer;
using zrvtest::kFixtureFighter;
using zrvtest::kFixtureInfantry;
using zrvtest::kFixtureSubmarine;

// Infantry (move type 0) pays 2 on plain, 1 on a route, 5 on hills, 3 in
// forest; mountains are impassable.
class MoveRangeTest : public MapFixture {
protected:
    // A close-fire fake: the listed shooters can fire at anything.
    MoveRules FiringShooters(std::set<const UNITSTRUCT*> shooters)
    {
        MoveRules r;
        r.canCloseFire = [shooters](const UNITSTRUCT& s, const UNITSTRUCT&, const GAMEDATASTRUCT&) {
            return shooters.count(&s) != 0;
        };
        return r;
    }
    bool Reached(HEXINDEX h) const { return !(reach[h] & kReachNotReached); }
    int Cost(HEXINDEX h) const { return static_cast<int>(reach[h] & kReachCostMask); }
    int Check(UNITSTRUCT& u, const MoveRules& r = NoMoveRules(), const MoveAreaOptions& o = {})
    {
        return CheckUnitMove(u, *state, CCells(), Grid(), Reach(), r, o);
    }
};

TEST_F(MoveRangeTest, PlainAreaCostsAndDestinations)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    EXPECT_EQ(Check(u), 0);
    EXPECT_FALSE(Reached(kCentre)) << "the start is not reached without a route back into it";
    for (HEXINDEX h : {MakeHex(64, 65), MakeHex(64, 67), MakeHex(64, 70)}) {
        SCOPED_TRACE(h);
        EXPECT_TRUE(Reached(h));
        EXPECT_EQ(Cost(h), 2 * GetHexDistance(kCentre, h));
        // Beyond the unit's 6 points a reached hex is not a destination.
        EXPECT_EQ((reach[h] & kReachNoDestination) != 0, Cost(h) > 6);
    }
    EXPECT_EQ(grid[kCentre] & kGridCostMask, 2u) << "the start's grid cost is restored";
}

TEST_F(MoveRangeTest, PerTurnCapKeepsDearTerrainOutUnlessARouteIsCheapEnough)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    u.nMove = 4;
    const HEXINDEX hill = GetNeighbour(kCentre, kDirEast);
    SetTerrain(hill, kTerrainHill);
    EXPECT_EQ(Check(u), 0);
    EXPECT_FALSE(Reached(hill)) << "cost 5 with 4 move points";

    // A road through both hexes carries the unit in for 1.
    SetRoute(kCentre, 1);
    SetRoute(hill, 1);
    u.dwHexCell = cells[kCentre];
    EXPECT_EQ(Check(u), 0);
    ASSERT_TRUE(Reached(hill));
    EXPECT_EQ(Cost(hill), 1);
    EXPECT_TRUE(reach[hill] & kReachStrongRoute);

    // A road too weak for the unit's weight (10) does not.
    SetRoute(hill, 1, 5);
    EXPECT_EQ(Check(u), 0);
    EXPECT_FALSE(Reached(hill));
    EXPECT_TRUE(grid[hill] & kGridWeakRoute);

    // A route cost above the move points is cut like a terrain cost.
    SetRoute(hill, 1);
    rules.cost[0][kCostTerrainColumns + 0] = 5;
    EXPECT_EQ(Check(u), 0);
    EXPECT_FALSE(Reached(hill));
}

TEST_F(MoveRangeTest, MudClosesRoadsOnTerrainThatIsNotAllWeather)
{
    // Route kind 1 closes when the rain level reaches 6.
    // Both hexes are hills, so that the all-weather flag covers both ends.
    SetTerrain(kCentre, kTerrainHill);
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    u.nMove = 4;
    const HEXINDEX hill = GetNeighbour(kCentre, kDirEast);
    SetTerrain(hill, kTerrainHill);
    SetRoute(kCentre, 1 << 1);
    SetRoute(hill, 1 << 1);
    u.dwHexCell = cells[kCentre];
    state->dwStateFlag = 0x40000000u;
    struct Case {
        int rain;
        bool weather, allWeather, reached;
    };
    const Case cases[] = {{5, true, false, true},
                          {6, true, false, false},
                          {9, true, false, false},
                          {6, false, false, true},
                          {6, true, true, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "rain " << k.rain << " weather " << k.weather << " all-weather "
                                        << k.allWeather);
        state->nRainLevel = k.rain;
        state->dwStateFlag = k.weather ? 0x40000000u : 0;
        rules.terrain[kTerrainHill].dwTrrnFlag = k.allWeather ? (1u << 22) : 0;
        EXPECT_EQ(Check(u), 0);
        EXPECT_EQ(Reached(hill), k.reached);
    }
}

TEST_F(MoveRangeTest, SnowSeasonUsesTheSnowRow)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX east = GetNeighbour(kCentre, kDirEast);
    state->dwStateFlag = 0x60000000u;
    EXPECT_EQ(Check(u), 0);
    EXPECT_EQ(Cost(east), 3) << "the fixture's snow row pays one more on land";
    state->dwStateFlag = 0x20000000u;  // snow season without weather: normal row
    EXPECT_EQ(Check(u), 0);
    EXPECT_EQ(Cost(east), 2);
}

// A corridor along row 64 (columns 60..72) between mountains.
class CorridorTest : public MoveRangeTest {
protected:
    void SetUp() override
    {
        MoveRangeTest::SetUp();
        for (HEXINDEX h = 0; h < kHexCount; ++h) SetTerrain(h, kTerrainMountain);
        for (int col = 60; col <= 72; ++col) SetTerrain(MakeHex(64, col), zrvtest::kFixturePlain);
    }
};

TEST_F(CorridorTest, ZoneOfControlIsReachedButNeverLeft)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, MakeHex(64, 62));
    UNITSTRUCT& enemy = Place(1, 0, kFixtureInfantry, MakeHex(63, 67));  // next to (64,67) and (64,68)
    int tests = 0;
    MoveRules r;
    r.canCloseFire = [&](const UNITSTRUCT& s, const UNITSTRUCT& target, const GAMEDATASTRUCT&) {
        ++tests;
        // A ground mover is tested as if it stood on the neighbour.
        EXPECT_EQ(&target, &u);
        return &s == &enemy && target.dwHexCell != static_cast<MAPCELL>(kTerrainMountain);
    };
    EXPECT_EQ(Check(u, r), 0);
    EXPECT_EQ(tests, 6);
    EXPECT_EQ(u.dwHexCell, cells[MakeHex(64, 62)]) << "the stored cell is restored";
    EXPECT_TRUE(Reached(MakeHex(64, 67)));
    EXPECT_TRUE(reach[MakeHex(64, 67)] & kReachZoneOfControl);
    EXPECT_FALSE(reach[MakeHex(62, 67)] & kReachZoneOfControl) << "only where the test succeeds";
    EXPECT_FALSE(Reached(MakeHex(64, 69))) << "a zone-of-control hex is not left";
    EXPECT_FALSE(Reached(MakeHex(63, 67)));
    EXPECT_EQ(reach[MakeHex(63, 67)] & (kReachEnemy | kReachBlocked), kReachEnemy);

    // A non-ground mover: one test, and every neighbour is in the zone.
    UNITSTRUCT& plane = Place(0, 1, kFixtureFighter, MakeHex(64, 60));
    tests = 0;
    EXPECT_EQ(Check(plane, FiringShooters({&enemy})), 0);
    for (HEXINDEX n : GetNeighbourSlots(MakeHex(63, 67))) EXPECT_TRUE(reach[n] & kReachZoneOfControl);
}

TEST_F(CorridorTest, EnemyThatCannotFireBlocksOnlyAsDestination)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, MakeHex(64, 62));
    u.nMove = 20;
    Place(1, 0, kFixtureInfantry, MakeHex(64, 65));
    EXPECT_EQ(Check(u, FiringShooters({})), 0);
    EXPECT_TRUE(Reached(MakeHex(64, 65)));
    EXPECT_TRUE(reach[MakeHex(64, 65)] & kReachNoDestination);
    EXPECT_EQ(reach[MakeHex(64, 65)] & (kReachEnemy | kReachBlocked), kReachEnemy | kReachBlocked);
    EXPECT_TRUE(Reached(MakeHex(64, 68)));
    EXPECT_FALSE(reach[MakeHex(64, 68)] & kReachNoDestination);

    // A hidden enemy is not known: it neither blocks nor marks.
    UNITSTRUCT& hidden = Place(1, 1, kFixtureInfantry, MakeHex(64, 66));
    hidden.dwFlag |= HiddenFromSideBit(0);
    EXPECT_EQ(Check(u, FiringShooters({&hidden})), 0);
    EXPECT_EQ(reach[MakeHex(64, 66)] & (kReachEnemy | kReachBlocked | kReachNoDestination), 0u);
}

TEST_F(CorridorTest, FriendsBlockUnlessTheMoverMayBoard)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, MakeHex(64, 62));
    u.nMove = 2;  // one step: friends are passed through, but not this turn
    UNITSTRUCT& own = Place(0, 1, kFixtureInfantry, MakeHex(64, 63));
    Place(2, 0, kFixtureInfantry, MakeHex(64, 61));
    EXPECT_EQ(Check(u), kErrNoDestination) << "both neighbours are taken";
    MoveRules boards;
    boards.canBoard = [&](const UNITSTRUCT&, const UNITSTRUCT& carrier, const GAMEDATASTRUCT&) {
        return &carrier == &own;
    };
    EXPECT_EQ(Check(u, boards), 0);
    EXPECT_FALSE(reach[MakeHex(64, 63)] & kReachNotDestination);
    EXPECT_TRUE(reach[MakeHex(64, 61)] & kReachBlocked) << "another country's unit is never boarded here";
    MoveAreaOptions noUnits;
    noUnits.bNoUnits = true;
    EXPECT_EQ(Check(u, NoMoveRules(), noUnits), 0);
}

TEST_F(MoveRangeTest, RefusalOrder)
{
    // The carrier: a destroyer, not a free-cargo carrier class.
    UNITSTRUCT& carrier = Place(2, 5, kFixtureDestroyer, MakeHex(70, 70));
    carrier.dwFlag |= kUnitCarries;
    UNITSTRUCT& u = Place(2, 0, kFixtureInfantry, MakeHex(70, 70));
    u.dwFlag |= kUnitMoved | kUnitCarried;
    u.dwCargo = MakeCargo(5, 0);
    u.nFuel = 0;
    state->Country[2].nSide = 2;
    struct Step {
        int expected;
        std::function<void()> mend;
    };
    const Step steps[] = {
        {kErrNoFuelRange, [&] { u.nFuel = 5; }},
        {kErrAlreadyMoved, [&] { u.dwFlag &= ~kUnitMoved; }},
        {kErrCarried, [&] { rules.arms[kFixtureDestroyer].nClass = kClassFreeCargoCarrier; }},
        {kErrOutsideSides, [&] { state->Country[2].nSide = 0; }},
        {0, [] {}},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(BuildMoveCostGrid(u, *state, CCells(), Grid()), s.expected);
        s.mend();
    }
    // bCarriedOk lets any carried unit move.
    rules.arms[kFixtureDestroyer].nClass = 35;
    MoveAreaOptions ok;
    ok.bCarriedOk = true;
    EXPECT_EQ(BuildMoveCostGrid(u, *state, CCells(), Grid(), ok), 0);
    EXPECT_EQ(BuildMoveCostGrid(u, *state, CCells(), Grid()), kErrCarried);
}

TEST_F(MoveRangeTest, NoDestinationVersusNoNeighbourOpen)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    u.nFuel = 1;  // every neighbour costs 2
    EXPECT_EQ(Check(u), kErrNoDestination);
    u.nFuel = 50;
    for (HEXINDEX n : GetNeighbourSlots(kCentre)) SetTerrain(n, kTerrainMountain);
    EXPECT_EQ(Check(u), kErrNoNeighbourOpen);
}

TEST_F(MoveRangeTest, DamagedMapsAndUnitsAreRefusedSafely)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    // A terrain index past the cost columns is impassable, not a route column.
    const HEXINDEX odd = GetNeighbour(kCentre, kDirEast);
    SetTerrain(odd, 93);
    SetRoute(odd, 1);
    EXPECT_EQ(Check(u), 0);
    EXPECT_FALSE(Reached(odd));
    EXPECT_EQ(grid[odd] & (kGridCostMask | kGridRouteMask), 0u);

    // A move type beyond the table's rows: nothing is passable.
    rules.arms[kFixtureInfantry].nMoveType = 99;
    EXPECT_EQ(Check(u), kErrNoNeighbourOpen);
    rules.arms[kFixtureInfantry].nMoveType = 0;

    // A unit off the map that is not carried.
    u.nHex = kNoHex;
    EXPECT_EQ(ComputeMoveArea(u, *state, CCells(), Grid(), Reach(), {}, NoMoveRules()), kErrNoNeighbourOpen);
    for (HEXINDEX h = 0; h < kHexCount; ++h) ASSERT_TRUE(reach[h] & kReachNotReached);
}

TEST_F(MoveRangeTest, CostsSaturateBelowTheFlagBits)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    u.nMove = 0x10000;
    u.nFuel = 0x10000;
    rules.cost[0][kTerrainForest] = 0x9000;
    const HEXINDEX e1 = MakeHex(64, 65), e2 = MakeHex(64, 66);
    SetTerrain(e1, kTerrainForest);
    SetTerrain(e2, kTerrainForest);
    for (HEXINDEX h = 0; h < kHexCount; ++h)
        if (h != kCentre && h != e1 && h != e2) SetTerrain(h, kTerrainMountain);
    EXPECT_EQ(Check(u), 0);
    EXPECT_EQ(grid[e1] & kGridCostMask, static_cast<uint32_t>(kCostSaturated));
    EXPECT_EQ(Cost(e1), kCostSaturated);
    EXPECT_EQ(reach[e1] & ~kReachCostMask & ~kReachNoDestination, 0u) << "no cost spilled into the flags";
    EXPECT_FALSE(Reached(e2)) << "a saturated hex is never expanded";
}

TEST_F(MoveRangeTest, TurnsToReach)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX far = MakeHex(64, 68);  // cost 8, 6 points a turn
    EXPECT_EQ(TurnsToReach(kCentre, u, *state, CCells(), Grid(), Reach(), false, NoMoveRules()), 0);
    EXPECT_EQ(TurnsToReach(far, u, *state, CCells(), Grid(), Reach(), false, NoMoveRules()), 2);
    EXPECT_EQ(TurnsToReach(far, u, *state, CCells(), Grid(), Reach(), true, NoMoveRules()), 2 << 16 | 4);
    SetTerrain(far, kTerrainMountain);
    EXPECT_EQ(TurnsToReach(far, u, *state, CCells(), Grid(), Reach(), false, NoMoveRules()), -1);
    u.dwFlag |= kUnitMoved;
    EXPECT_EQ(TurnsToReach(MakeHex(64, 66), u, *state, CCells(), Grid(), Reach(), false, NoMoveRules()), -1);
    // No movement points: unreachable, never a division by zero.
    u.dwFlag &= ~kUnitMoved;
    u.nMove = 0;
    EXPECT_EQ(TurnsToReach(MakeHex(64, 66), u, *state, CCells(), Grid(), Reach(), false, NoMoveRules()), -1);
}

TEST_F(MoveRangeTest, RouteRunsFromTheHexAfterTheStartToTheTarget)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    u.nMove = 30;
    ASSERT_EQ(Check(u), 0);
    std::vector<HEXINDEX> route(64, 12345);
    for (HEXINDEX to : {MakeHex(64, 67), MakeHex(60, 61), MakeHex(69, 66), GetNeighbour(kCentre, kDirWest)}) {
        SCOPED_TRACE(to);
        const int n = BuildRouteToHex(u, kCentre, to, grid, reach, route);
        ASSERT_EQ(n, GetHexDistance(kCentre, to));
        EXPECT_EQ(route[static_cast<size_t>(n)], kNoHex);
        EXPECT_EQ(route[static_cast<size_t>(n - 1)], to);
        HEXINDEX prev = kCentre;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(GetHexDistance(prev, route[static_cast<size_t>(i)]), 1);
            prev = route[static_cast<size_t>(i)];
        }
        EXPECT_EQ(GetRouteEndHex(u, route), to);
    }
    EXPECT_EQ(BuildRouteToHex(u, kCentre, kCentre, grid, reach, route), 0);
    EXPECT_EQ(route[0], kNoHex);
    EXPECT_EQ(GetRouteEndHex(u, route), kCentre);
}

TEST_F(MoveRangeTest, RouteTieBreaks)
{
    // Two rows up: (63,64) and (63,63) both cost 2. Same preference (both
    // point south), so the earlier direction (south-east) wins, unless the
    // flags word with the mask says otherwise.
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    ASSERT_EQ(Check(u), 0);
    const HEXINDEX to = MakeHex(62, 64);
    std::vector<HEXINDEX> route(8);
    ASSERT_EQ(BuildRouteToHex(u, kCentre, to, grid, reach, route), 2);
    EXPECT_EQ(route[0], MakeHex(63, 64));
    std::vector<uint32_t> flags(kHexCount, 0);
    flags[MakeHex(63, 64)] = 0x10;
    ASSERT_EQ(BuildRouteToHex(u, kCentre, to, grid, reach, route, flags, 0x10), 2);
    EXPECT_EQ(route[0], MakeHex(63, 63));
    EXPECT_EQ(BuildRouteToHex(u, kCentre, to, grid, reach, route, flags, 0x01), 2);
    EXPECT_EQ(route[0], MakeHex(63, 64)) << "bits outside the mask do not count";

    // A cheaper step wins a tie of reach cost: forest (3) against plain (2)
    // is not a tie, so make both neighbours cost the same to reach first.
    // Preference: from (64,67) towards the start in the same row, west gets
    // the column bonus over north-west and south-west.
    const HEXINDEX east3 = MakeHex(64, 67);
    ASSERT_EQ(BuildRouteToHex(u, kCentre, east3, grid, reach, route), 3);
    EXPECT_EQ(route[0], MakeHex(64, 65));
    EXPECT_EQ(route[1], MakeHex(64, 66));
}

TEST_F(MoveRangeTest, RouteWithoutQualifyingNeighbourFails)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    ASSERT_EQ(Check(u), 0);
    // Nothing around the target is reached.
    const HEXINDEX to = MakeHex(30, 30);
    std::fill(reach.begin(), reach.end(), kReachNotReached);
    reach[to] = 8;
    std::vector<HEXINDEX> route(16, 7);
    EXPECT_EQ(BuildRouteToHex(u, kCentre, to, grid, reach, route), kRouteFailed);
    EXPECT_EQ(route[0], kNoHex);
    // Two hexes that point at each other with equal costs must not loop forever.
    std::fill(reach.begin(), reach.end(), 4u);
    for (HEXINDEX h = 0; h < kHexCount; ++h) grid[h] = 2;
    const int n = BuildRouteToHex(u, MakeHex(1, 1), MakeHex(100, 100), grid, reach, route);
    EXPECT_EQ(n, kRouteFailed);
    EXPECT_EQ(route[0], kNoHex);
    // A route longer than the buffer is refused, not overrun.
    ASSERT_EQ(Check(u), 0);
    std::vector<HEXINDEX> tiny(2);
    EXPECT_EQ(BuildRouteToHex(u, kCentre, MakeHex(64, 70), grid, reach, tiny), kRouteFailed);
}

TEST_F(MoveRangeTest, WalkRouteResults)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const std::vector<HEXINDEX> base{MakeHex(64, 65), MakeHex(64, 66), MakeHex(64, 67), kNoHex};
    struct Case {
        const char* what;
        std::function<MoveRules()> setup;
        int result;
        std::vector<HEXINDEX> route;
    };
    UNITSTRUCT* ambusher = nullptr;
    auto ambushRules = [&] {
        MoveRules r;
        r.canCloseFire = [&](const UNITSTRUCT& s, const UNITSTRUCT& t, const GAMEDATASTRUCT&) {
            // Fires only while the mover stands on the cell of (64,66).
            return &s == ambusher && &t == &u && t.dwHexCell == cells[MakeHex(64, 66)];
        };
        return r;
    };
    const Case cases[] = {
        {"free end", [] { return MoveRules{}; }, kWalkComplete, base},
        {"own country on the end", [&] { Place(0, 1, kFixtureInfantry, MakeHex(64, 67)); return MoveRules{}; },
         kWalkComplete, base},
        {"ally of another country on the end",
         [&] { Place(2, 0, kFixtureInfantry, MakeHex(64, 67)); return MoveRules{}; }, kWalkShortened,
         {MakeHex(64, 65), MakeHex(64, 66), kNoHex, kNoHex}},
        {"allies all along",
         [&] {
             for (int c = 65; c <= 67; ++c) Place(2, c - 64, kFixtureInfantry, MakeHex(64, c));
             return MoveRules{};
         },
         kWalkNoFreeHex, {kNoHex, MakeHex(64, 66), MakeHex(64, 67), kNoHex}},
        {"hidden enemy next to the second hex",
         [&] {
             cells[MakeHex(64, 66)] = WithDurability(cells[MakeHex(64, 66)], 7);  // a cell of its own
             ambusher = &Place(1, 0, kFixtureInfantry, MakeHex(63, 66));
             ambusher->dwFlag |= HiddenFromSideBit(0);
             return ambushRules();
         },
         kWalkAmbushed, {MakeHex(64, 65), MakeHex(64, 66), kNoHex, kNoHex}},
        {"hidden enemy next to a hex of an own unit: no ambush there",
         [&] {
             cells[MakeHex(64, 66)] = WithDurability(cells[MakeHex(64, 66)], 7);
             ambusher = &Place(1, 0, kFixtureInfantry, MakeHex(63, 66));
             ambusher->dwFlag |= HiddenFromSideBit(0);
             Place(0, 1, kFixtureInfantry, MakeHex(64, 66));
             return ambushRules();
         },
         kWalkComplete, {MakeHex(64, 65), MakeHex(64, 66), kNoHex, kNoHex}},
        {"a seen enemy does not ambush",
         [&] {
             cells[MakeHex(64, 66)] = WithDurability(cells[MakeHex(64, 66)], 7);
             ambusher = &Place(1, 0, kFixtureInfantry, MakeHex(63, 66));
             return ambushRules();
         },
         kWalkComplete, base},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        for (int c = 0; c < 4; ++c)
            for (int s = 1; s < kUnitSlots; ++s)
                if (state->Country[c].Unit[s].dwFlag) Remove(state->Country[c].Unit[s]);
        if (state->Country[2].Unit[0].dwFlag) Remove(state->Country[2].Unit[0]);
        if (state->Country[1].Unit[0].dwFlag) Remove(state->Country[1].Unit[0]);
        cells.assign(kHexCount, static_cast<MAPCELL>(zrvtest::kFixturePlain));
        ambusher = nullptr;
        const MoveRules r = k.setup();
        std::vector<HEXINDEX> route = base;
        const MAPCELL stored = u.dwHexCell;
        EXPECT_EQ(WalkRoute(u, route, *state, CCells(), Units(), r), k.result);
        EXPECT_EQ(route, k.route);
        EXPECT_EQ(u.dwHexCell, stored);
    }
}

class FuelTest : public MoveRangeTest {
protected:
    void SetUp() override
    {
        MoveRangeTest::SetUp();
        // Drop tanks in slots 1 and 3 of the fighter; slot 2 is a gun.
        for (int s : {1, 3}) rules.weapons[kFixtureFighter * kWeaponSlots + s].byType = kWeaponTypeDropTank;
        rules.weapons[kFixtureFighter * kWeaponSlots + 2].byType = 12;
    }
};

TEST_F(FuelTest, DropTanksInSlotOrderThenFuelThenBattery)
{
    UNITSTRUCT& f = Place(0, 0, kFixtureFighter, kCentre);
    f.nAmmo[1] = 3;
    f.nAmmo[2] = 9;
    f.nAmmo[3] = 4;
    f.nFuel = 5;
    EXPECT_EQ(GetFuelRange(f, *state), 3 + 4 + 5);
    ConsumeMoveFuel(f, 5, false);
    EXPECT_EQ(f.nAmmo[1], 0);
    EXPECT_EQ(f.nAmmo[3], 2);
    EXPECT_EQ(f.nAmmo[2], 9) << "only drop tanks are fuel";
    EXPECT_EQ(f.nFuel, 5);
    ConsumeMoveFuel(f, 10, false);
    EXPECT_EQ(f.nAmmo[3], 0);
    EXPECT_EQ(f.nFuel, 0) << "a shortfall leaves no negative fuel";
    EXPECT_EQ(f.nBattery, 0);
    EXPECT_EQ(f.nMoved, 15);
}

TEST_F(FuelTest, BatteryRechargeShortfallAndBatteryMoves)
{
    // The submarine's battery holds 20.
    UNITSTRUCT& s = Place(0, 0, kFixtureSubmarine, MakeHex(10, 10));
    s.nBattery = 10;
    s.nMoved = 1;
    ConsumeMoveFuel(s, 3, false);  // recharge (4 mod 2 + 3) / 2 = 1
    EXPECT_EQ(s.nBattery, 11);
    EXPECT_EQ(s.nFuel, 47);
    s.nMoved = 0;
    ConsumeMoveFuel(s, 5, false);  // (5 mod 2 + 5) / 2 = 3
    EXPECT_EQ(s.nBattery, 14);
    s.nBattery = 19;
    ConsumeMoveFuel(s, 8, false);
    EXPECT_EQ(s.nBattery, 20) << "never above the capacity";

    // Short of fuel: the rest comes from a battery that holds at least 1.
    s.nFuel = 2;
    ConsumeMoveFuel(s, 6, false);
    EXPECT_EQ(s.nFuel, 0);
    EXPECT_EQ(s.nBattery, 16);
    s.nBattery = 0;
    s.dwFlag |= kUnitInWater;  // no recharge under water
    ConsumeMoveFuel(s, 3, false);
    EXPECT_EQ(s.nBattery, 0);

    // Under water on the battery: never below 0.
    s.nBattery = 10;
    ConsumeMoveFuel(s, 4, true);
    EXPECT_EQ(s.nBattery, 6);
    ConsumeMoveFuel(s, 20, true);
    EXPECT_EQ(s.nBattery, 0);
}

TEST_F(FuelTest, FuelRangeOfASubmarineOnItsBatteryAlone)
{
    UNITSTRUCT& s = Place(0, 0, kFixtureSubmarine, MakeHex(10, 10));
    s.nBattery = 25;
    s.nFuel = 30;
    EXPECT_EQ(GetFuelRange(s, *state), 50);
    EXPECT_EQ(s.nBattery, 20) << "cut to the capacity and stored";
    s.dwFlag |= kUnitInWater;
    EXPECT_EQ(GetFuelRange(s, *state), 20);
    // A type with the second-flag bit 2 never runs on its battery alone; one
    // with bit 1 only in a storm.
    rules.arms[kFixtureSubmarine].dwArmsFlag |= 1u << 10;
    EXPECT_EQ(GetFuelRange(s, *state), 50);
    rules.arms[kFixtureSubmarine].dwArmsFlag = (rules.arms[kFixtureSubmarine].dwArmsFlag & ~(1u << 10)) | 1u << 9;
    EXPECT_EQ(GetFuelRange(s, *state), 50);
    state->dwStateFlag = 0x40000000u;
    state->nWeather = 5;  // class 3
    EXPECT_EQ(GetFuelRange(s, *state), 20);
}

TEST_F(FuelTest, MinimumFuelUse)
{
    MoveRules away, atBase;
    away.hexSupply = [](const UNITSTRUCT&, const GAMEDATASTRUCT&) { return 61; };
    atBase.hexSupply = [](const UNITSTRUCT&, const GAMEDATASTRUCT&) { return 55; };
    UNITSTRUCT& f = Place(0, 0, kFixtureFighter, kCentre);
    f.nMove = 7;
    EXPECT_EQ(GetMinimumFuelUse(f, *state, away), 4) << "half of 7, rounded up";
    EXPECT_EQ(GetMinimumFuelUse(f, *state, atBase), 0);
    EXPECT_EQ(GetMinimumFuelUse(f, *state, NoMoveRules()), 4) << "no supply rule: not at a base";

    UNITSTRUCT& s = Place(0, 1, kFixtureSubmarine, MakeHex(10, 10));
    s.dwFlag |= kUnitInWater;
    EXPECT_EQ(GetMinimumFuelUse(s, *state, away), 4);
    s.dwFlag &= ~kUnitInWater;
    struct Case {
        int battery, fuel, use;
    };
    for (const Case& k : {Case{20, 10, 0}, Case{17, 10, 4}, Case{19, 10, 2}, Case{17, 3, 2}, Case{17, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << k.battery << " " << k.fuel);
        s.nBattery = k.battery;
        s.nFuel = k.fuel;
        EXPECT_EQ(GetMinimumFuelUse(s, *state, away), k.use);
    }
}

TEST_F(MoveRangeTest, MoveUnitToHexTakesItsCargoAlong)
{
    UNITSTRUCT& ship = Place(0, 0, kFixtureDestroyer, MakeHex(10, 10));
    ship.dwFlag |= kUnitCarries;
    UNITSTRUCT& a = Place(0, 3, kFixtureInfantry, kNoHex);
    a.dwFlag |= kUnitCarried | kUnitCarries;
    a.dwCargo = MakeCargo(0, 1);
    UNITSTRUCT& b = Place(0, 2, kFixtureInfantry, kNoHex);
    b.dwFlag |= kUnitCarried;
    b.dwCargo = MakeCargo(3, 0);
    const UNITSTRUCT aBefore = a, bBefore = b;
    EXPECT_TRUE(MoveUnitToHex(ship, *state, MakeHex(11, 11), 4, false));
    EXPECT_EQ(ship.nHex, MakeHex(11, 11));
    // The cargo stays off the map (hex -1) and stands where its carrier does;
    // its records are not written.
    EXPECT_EQ(std::memcmp(&a, &aBefore, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&b, &bBefore, sizeof b), 0);
    EXPECT_EQ(a.nHex, kNoHex);
    EXPECT_EQ(GetUnitMapHex(*state, a), MakeHex(11, 11));
    EXPECT_EQ(GetUnitMapHex(*state, b), MakeHex(11, 11));
    EXPECT_EQ(ship.nFuel, 46);
    EXPECT_TRUE(ship.dwFlag & kUnitMoved);
    EXPECT_FALSE(MoveUnitToHex(ship, *state, MakeHex(12, 12), 4, false));
    EXPECT_EQ(ship.nHex, MakeHex(11, 11));

    // The list: the unit, then breadth first; a cycle from a damaged file ends.
    std::array<UNITSTRUCT*, 65> out{};
    EXPECT_EQ(ListUnitWithCargo(ship, *state, out), 3);
    EXPECT_EQ(out[1], &a);
    EXPECT_EQ(out[2], &b);
    EXPECT_EQ(out[3], nullptr);
    b.dwFlag |= kUnitCarries;
    ship.dwFlag |= kUnitCarried;
    ship.dwCargo = MakeCargo(2, 1);  // the ship is "carried" by b
    EXPECT_EQ(ListUnitWithCargo(ship, *state, out), 3);
    std::array<UNITSTRUCT*, 2> small{};
    EXPECT_EQ(ListUnitWithCargo(ship, *state, small), 1);
    EXPECT_EQ(small[1], nullptr);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

TEST(HexNeighbourSlots, InlineFormAgreesWithTheGeometryEverywhere)
{
    for (HEXINDEX h = -2; h < kHexCount + 2; ++h) ASSERT_EQ(GetNeighbourSlotsInline(h), GetNeighbourSlots(h)) << h;
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

// How the costs of a random map are drawn for the search comparison.
enum class CostRegime {
    kTable,     // the library's rows as they stand, 4..43 move points
    kDear,      // terrain costs 40..200 and route costs 0..60: the steps past
                // the small-cost table, over the whole map
    kSaturate,  // costs up to 0x400: sums run into the saturated cost
};

// The bucket open list against the scan it replaces: the same reach maps and
// routes, ties included, over random maps with roads, mud, bridges, friends
// and enemies with and without zones of control.
class SearchComparison : public MoveRangeTest {
protected:
    void DrawCosts(CostRegime regime, std::mt19937& rng)
    {
        if (regime == CostRegime::kTable) return;
        const int terrainTop = regime == CostRegime::kDear ? 200 : 0x400;
        const int terrainLow = regime == CostRegime::kDear ? 40 : 1;
        const int routeTop = regime == CostRegime::kDear ? 60 : 0x200;
        for (auto* table : {&rules.cost, &rules.snow}) {
            for (CostRow& row : *table) {
                for (int t = 0; t < kCostTerrainColumns; ++t) {
                    // Keep the impassable terrains impassable.
                    if (row[static_cast<size_t>(t)] != 0)
                        row[static_cast<size_t>(t)] =
                            terrainLow +
                            static_cast<int>(rng() % static_cast<unsigned>(terrainTop - terrainLow + 1));
                }
                for (int k = 0; k < kRouteKinds; ++k)
                    row[static_cast<size_t>(kCostTerrainColumns + k)] =
                        static_cast<int>(rng() % static_cast<unsigned>(routeTop + 1));
            }
        }
    }

    struct Totals {
        int reached = 0;    // hexes reached
        int routes = 0;     // routes compared
        int saturated = 0;  // hexes reached at the saturated cost
    };
    Totals Compare(CostRegime regime, std::mt19937& rng, int maps)
    {
        const int terrains[] = {zrvtest::kFixturePlain,
                                zrvtest::kFixturePlain,
                                kTerrainForest,
                                kTerrainHill,
                                kTerrainMountain,
                                zrvtest::kFixtureSea,
                                95};
        std::vector<uint32_t> grid2(kHexCount), reach2(kHexCount);
        std::vector<HEXINDEX> route1(kHexCount + 1), route2(kHexCount + 1);
        Totals totals;
        for (int map = 0; map < maps; ++map) {
            SCOPED_TRACE(testing::Message() << "map " << map);
            DrawCosts(regime, rng);
            for (HEXINDEX h = 0; h < kHexCount; ++h) {
                MAPCELL c = static_cast<MAPCELL>(terrains[rng() % std::size(terrains)]);
                if (rng() % 4 == 0)
                    c = WithDurability(WithRoutes(c, static_cast<int>(rng() % 32)),
                                       static_cast<int>(rng() % 30));
                if (rng() % 50 == 0) c |= kCellClosedSide0;
                cells[h] = c;
            }
            std::fill(unitMap.begin(), unitMap.end(), kNoUnit);
            std::set<const UNITSTRUCT*> shooters;
            for (int c = 0; c < 4; ++c) {
                for (int s = 0; s < 24; ++s) {
                    const HEXINDEX h = static_cast<HEXINDEX>(rng() % kHexCount);
                    if (unitMap[h] != kNoUnit) continue;
                    UNITSTRUCT& u = Place(c, s, s % 3 == 0 ? zrvtest::kFixtureTank : kFixtureInfantry, h);
                    if (rng() % 2) shooters.insert(&u);
                    if (rng() % 5 == 0) u.dwFlag |= HiddenFromSideBit(0);
                }
            }
            state->dwStateFlag = rng() % 2 ? 0x40000000u : 0x60000000u;
            state->nRainLevel = static_cast<int>(rng() % 10);
            UNITSTRUCT& mover = state->Country[0].Unit[0];
            mover.nMove = 4 + static_cast<int>(rng() % 40);
            if (regime != CostRegime::kTable) mover.nMove = kCostSaturated;
            const MoveRules r = FiringShooters(shooters);
            MoveAreaOptions scan;
            scan.openList = OpenList::kLinearScan;
            const int code1 = ComputeMoveArea(mover, *state, CCells(), Grid(), Reach(), {}, r);
            const int code2 = ComputeMoveArea(mover, *state, CCells(), HexWords(grid2.data(), kHexCount),
                                              HexWords(reach2.data(), kHexCount), scan, r);
            EXPECT_EQ(code1, code2);
            EXPECT_EQ(grid, grid2);
            if (!SameReach(reach2)) return totals;
            int routes = 0;
            for (HEXINDEX to = static_cast<HEXINDEX>(rng() % 97); to < kHexCount; to += 97) {
                if (reach[to] & kReachNotReached) continue;
                ++routes;
                const int n1 = BuildRouteToHex(mover, mover.nHex, to, grid, reach, route1);
                const int n2 = BuildRouteToHex(mover, mover.nHex, to, grid2, reach2, route2);
                EXPECT_EQ(n1, n2) << to;
                if (n1 > 0 && n1 == n2) {
                    EXPECT_TRUE(std::equal(route1.begin(), route1.begin() + n1 + 1, route2.begin())) << to;
                }
            }
            totals.routes += routes;
            for (uint32_t w : reach) {
                if (w & kReachNotReached) continue;
                ++totals.reached;
                if ((w & kReachCostMask) == kCostSaturated) ++totals.saturated;
            }

            // The same map from another start, a corner or an edge every
            // other map, with and without the units.
            std::mt19937 startRng(static_cast<uint32_t>(map));
            const HEXINDEX corners[] = {MakeHex(0, 0),
                                        MakeHex(0, kMapSize - 1),
                                        MakeHex(kMapSize - 1, 0),
                                        MakeHex(kMapSize - 1, kMapSize - 1),
                                        MakeHex(0, 57),
                                        MakeHex(kMapSize - 1, 33),
                                        MakeHex(41, 0),
                                        MakeHex(90, kMapSize - 1)};
            MoveAreaOptions other;
            other.startHex = map % 2 == 0 ? corners[static_cast<size_t>(map / 2) % std::size(corners)]
                                          : static_cast<HEXINDEX>(startRng() % kHexCount);
            other.bNoUnits = map % 3 == 0;
            MoveAreaOptions otherScan = other;
            otherScan.openList = OpenList::kLinearScan;
            EXPECT_EQ(ComputeMoveArea(mover, *state, CCells(), Grid(), Reach(), other, r),
                      ComputeMoveArea(mover, *state, CCells(), HexWords(grid2.data(), kHexCount),
                                      HexWords(reach2.data(), kHexCount), otherScan, r));
            if (!SameReach(reach2)) return totals;
        }
        return totals;
    }

    // Reports the first few hexes that differ.
    bool SameReach(const std::vector<uint32_t>& other)
    {
        int shown = 0;
        for (HEXINDEX h = 0; h < kHexCount && shown < 5; ++h) {
            if (reach[h] == other[h]) continue;
            ADD_FAILURE() << "hex " << h << std::hex << ": " << reach[h] << " against " << other[h];
            ++shown;
        }
        return shown == 0;
    }
};

TEST_F(SearchComparison, BucketSearchMatchesTheLinearScanOnRandomMaps)
{
    std::mt19937 rng(20261210);
    const Totals totals = Compare(CostRegime::kTable, rng, 24);
    // The maps must exercise the search, not end at the start.
    EXPECT_GT(totals.reached, 24 * 1000);
    EXPECT_GT(totals.routes, 24 * 10);
}

TEST_F(SearchComparison, BucketSearchMatchesTheLinearScanWithDearAndSaturatingCosts)
{
    struct Case {
        const char* name;
        CostRegime regime;
        uint32_t seed;
    };
    const Case cases[] = {
        {"steps past the small-cost table", CostRegime::kDear, 7},
        {"sums up to the saturated cost", CostRegime::kSaturate, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 rng(c.seed);
        const Totals totals = Compare(c.regime, rng, 6);
        EXPECT_GT(totals.reached, 6 * 1000);
        EXPECT_GT(totals.routes, 6 * 10);
        EXPECT_EQ(totals.saturated > 0, c.regime == CostRegime::kSaturate);
    }
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

TEST_F(MoveRangeTest, WithSeveralSharedRoutesTheLastCheaperKindCounts)
{
    // Kinds 0 and 2 on both hexes of a hill step (cost 5): kind 0 costs 1,
    // kind 2 costs 3. Each is compared with the terrain's 5, not with the
    // other, so kind 2, the later one, sets the step.
    rules.cost[0][kCostTerrainColumns + 0] = 1;
    rules.cost[0][kCostTerrainColumns + 2] = 3;
    SetTerrain(kCentre, kTerrainHill);
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX hill = GetNeighbour(kCentre, kDirEast);
    SetTerrain(hill, kTerrainHill);
    SetRoute(kCentre, 1 | 4);
    SetRoute(hill, 1 | 4);
    u.dwHexCell = cells[kCentre];
    EXPECT_EQ(Check(u), 0);
    EXPECT_EQ(Cost(hill), 3);
    // Only kind 0 shared: 1.
    SetRoute(hill, 1);
    EXPECT_EQ(Check(u), 0);
    EXPECT_EQ(Cost(hill), 1);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

TEST_F(CorridorTest, StandardRulesTakeTheEngagementTestForZones)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, MakeHex(64, 62));
    UNITSTRUCT& armed = Place(1, 0, kFixtureInfantry, MakeHex(63, 67));
    armed.nAmmo[0] = 20;
    EXPECT_EQ(Check(u, StandardMoveRules()), 0);
    EXPECT_TRUE(reach[MakeHex(64, 67)] & kReachZoneOfControl);
    EXPECT_FALSE(Reached(MakeHex(64, 69)));
    // Without rounds it cannot fire: no zone, it only blocks its own hex.
    armed.nAmmo[0] = 0;
    EXPECT_EQ(Check(u, StandardMoveRules()), 0);
    EXPECT_FALSE(reach[MakeHex(64, 67)] & kReachZoneOfControl);
    EXPECT_TRUE(Reached(MakeHex(64, 69)));
}

}  // namespace
}  // namespace zrv
