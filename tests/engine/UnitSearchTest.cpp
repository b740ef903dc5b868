// Searches and ratings of the computer player on a small map where the right
// answer can be seen: the nearest enemy and capital, threats to a capital,
// units that want supply and ones that do not, merge amounts, bombing targets.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitSearch.h"
#include "engine/RuleFixture.h"

namespace {

using namespace zrv;
using zrvtest::RuleTest;
using zrvtest::ScriptedDraws;

class UnitSearchTest : public RuleTest {
protected:
    void SetUp() override
    {
        RuleTest::SetUp();
        game->rcMapArea = MapRect{30, 30, 70, 70};
        // A second enemy country (side 1) with its capital nearer to country 0.
        game->Country[2] = game->Country[1];
        game->Country[2].nIndex = 2;
        game->Country[2].nCapital = MakeHex(44, 40);
        for (auto& u : game->Country[2].Unit) u = UNITSTRUCT{};
        marks = std::make_unique<std::array<uint32_t, kHexCount>>();
        cost = std::make_unique<std::array<uint32_t, kHexCount>>();
        coverage = std::make_unique<std::array<uint32_t, kHexCount>>();
    }
    std::span<const MAPCELL, kHexCount> Cells() const
    {
        return std::span<const MAPCELL, kHexCount>(game->dwHexCell, kHexCount);
    }
    std::unique_ptr<std::array<uint32_t, kHexCount>> marks, cost, coverage;
};

TEST_F(UnitSearchTest, NearestEnemyUnitSkipsCarriedAndUnseen)
{
    Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 48));
    UNITSTRUCT& hidden = Place(1, 1, zrvtest::kFixtureTank, MakeHex(40, 42));
    UNITSTRUCT& ship = Place(2, 0, zrvtest::kRuleTransport, MakeHex(40, 45));
    UNITSTRUCT& cargo = Place(2, 1, zrvtest::kFixtureInfantry, MakeHex(40, 41));
    Board(cargo, ship);
    hidden.dwFlag |= HiddenFromSideBit(0);
    const HEXINDEX from = MakeHex(40, 40);

    // Without fog the hidden unit counts; its distance is left in its score.
    EXPECT_EQ(FindNearestEnemyUnitFromHex(*game, 0, from), &hidden);
    EXPECT_EQ(hidden.nCpuScore, 2);
    game->Country[0].dwFlag |= kCountryFog;
    EXPECT_EQ(FindNearestEnemyUnitFromHex(*game, 0, from), &ship);
    EXPECT_EQ(GetNearestEnemyDistanceFromHex(*game, 0, from), 5);
    // Own-side units are never enemies.
    EXPECT_EQ(GetNearestEnemyDistanceFromHex(*game, 1, MakeHex(40, 45)), kNoDistance);
}

TEST_F(UnitSearchTest, NearestEnemyCapital)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    CapitalSearch how{*cost};
    how.any = true;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), MakeHex(44, 40));
    how.withCountry = true;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), 2 << 16 | MakeHex(44, 40));
    // A lost capital is passed over while another stands.
    game->Country[2].dwFlag |= 0x20000000u;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), 1 << 16 | MakeHex(50, 40));
    game->Country[1].dwFlag |= 0x20000000u;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), 2 << 16 | MakeHex(44, 40));
    game->Country[1].dwFlag &= ~0x20000000u;
    game->Country[2].dwFlag &= ~0x20000000u;
    // Only capitals the move search reached, unless any will do.
    how.any = false;
    how.withCountry = false;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), -1);
    (*cost)[MakeHex(50, 40)] = 12;
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), MakeHex(50, 40));
    // A blocked capital counts far away.
    how.any = true;
    how.blocked = [](int c) { return c == 2; };
    EXPECT_EQ(FindNearestEnemyCapital(*game, u, how), MakeHex(50, 40));
}

TEST_F(UnitSearchTest, CapitalThreatThresholds)
{
    const HEXINDEX capital = game->Country[0].nCapital;  // (40, 40)
    struct Enemy {
        int type;
        int strength;
        int distance;
    };
    struct Case {
        const char* name;
        std::vector<Enemy> enemies;
        int want;
    };
    const int tank = zrvtest::kFixtureTank, fighter = zrvtest::kFixtureFighter, inf = zrvtest::kFixtureInfantry;
    const Case cases[] = {
        {"four tanks at 36", {{tank, 9, 2}, {tank, 9, 3}, {tank, 9, 4}, {tank, 9, 5}}, 0},
        {"four tanks at 40", {{tank, 10, 2}, {tank, 10, 3}, {tank, 10, 4}, {tank, 10, 5}}, 1},
        {"fifth unit an aircraft", {{tank, 9, 2}, {tank, 9, 3}, {tank, 9, 4}, {tank, 9, 5}, {fighter, 1, 1}}, 1},
        {"aircraft alone", {{fighter, 10, 1}, {fighter, 10, 2}, {fighter, 10, 3}, {fighter, 10, 4}, {tank, 9, 5}}, 0},
        {"air at a third", {{tank, 10, 2}, {tank, 10, 3}, {tank, 9, 4}, {fighter, 10, 1}, {fighter, 2, 2}}, 1},
        {"two heavy units", {{inf, 2, 2}, {inf, 2, 3}}, 1},
        {"too far", {{tank, 10, 6}, {tank, 10, 6}, {tank, 10, 6}, {tank, 10, 6}, {tank, 10, 6}}, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (auto& u : game->Country[1].Unit) u = UNITSTRUCT{};
        hexUnit->fill(kNoUnit);
        int slot = 0;
        for (const Enemy& e : k.enemies) {
            // A free hex at exactly the distance.
            HEXINDEX around[128];
            const int n = GetHexesInRange(capital, e.distance, around);
            HEXINDEX hex = kNoHex;
            for (int i = 0; i < n && hex == kNoHex; ++i) {
                if (GetHexDistance(around[i], capital) == e.distance && (*hexUnit)[around[i]] == kNoUnit) {
                    hex = around[i];
                }
            }
            ASSERT_NE(hex, kNoHex);
            Place(1, slot++, e.type, hex).nStrength = e.strength;
        }
        EXPECT_EQ(IsCapitalThreatened(*game, 0), k.want);
    }
}

TEST_F(UnitSearchTest, StrengthSupplyByClassAndChance)
{
    struct Case {
        const char* name;
        int type;
        int strength;
        int exp;
        uint32_t order;
        std::vector<int> draws;
        int want;
    };
    const int tank = zrvtest::kFixtureTank, ship = zrvtest::kFixtureDestroyer, fighter = zrvtest::kFixtureFighter;
    const Case cases[] = {
        {"full strength", tank, 10, 0, 0, {}, 0},
        {"tank at 6, roll under 25", tank, 6, 0, 0, {24}, 1},
        {"tank at 6, roll 25", tank, 6, 0, 0, {125}, 0},
        {"tank at 6, veteran chance", tank, 6, 180, 0, {79}, 1},
        {"tank at 7: above the band", tank, 7, 0, 0, {}, 0},
        {"tank at 3: chance 50", tank, 3, 0, 0, {49}, 1},
        {"roll taken as 0", tank, 6, 0, 0x00400000u, {}, 1},
        // The rows go by class: the fighter is of class 33, the destroyer of 57.
        {"class 33 always at 3", fighter, 3, 0, 0, {}, 1},
        {"class 33 at 5, chance 30", fighter, 5, 0, 0, {30}, 0},
        {"class 57 at 5: (6 - 5) x 20", ship, 5, 0, 0, {19}, 1},
        {"class 57 at 5, roll 20", ship, 5, 0, 0, {20}, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        UNITSTRUCT& u = Place(0, 0, k.type, MakeHex(40, 41));
        u.nStrength = k.strength;
        u.nExp = k.exp;
        u.dwOrder = k.order;
        ScriptedDraws draws{};
        for (int d : k.draws) draws = ScriptedDraws{d};
        EXPECT_EQ(UnitNeedsStrengthSupply(*game, u, draws), k.want);
        EXPECT_EQ(draws.Asked(), static_cast<int>(k.draws.size()));
    }
    // A carried unit waits for its carrier, unless the carrier is a flat-top.
    UNITSTRUCT& carrier = Place(0, 1, zrvtest::kRuleTransport, MakeHex(40, 42));
    UNITSTRUCT& cargo = Place(0, 2, zrvtest::kFixtureFighter, MakeHex(40, 43));
    cargo.nStrength = 1;
    Board(cargo, carrier);
    ScriptedDraws none{};
    EXPECT_EQ(UnitNeedsStrengthSupply(*game, cargo, none), 0);
    carrier.nArms = zrvtest::kRuleFlatTop;
    EXPECT_EQ(UnitNeedsStrengthSupply(*game, cargo, none), 1);
}

TEST_F(UnitSearchTest, FuelAndAmmunitionNeeds)
{
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 41));  // 8 movement points
    ScriptedDraws none{};
    EXPECT_EQ(UnitNeedsFuelAmmoSupply(*game, tank, none), 0);
    tank.nFuel = 16;
    EXPECT_EQ(UnitNeedsFuelAmmoSupply(*game, tank, none), 1);
    tank.dwOrder |= 0x02000000u;  // bit 25: no fuel or rounds wanted
    EXPECT_EQ(UnitNeedsFuelAmmoSupply(*game, tank, none), 0);
    tank.dwOrder = 0;
    tank.nFuel = 17;
    EXPECT_EQ(UnitNeedsFuelAmmoSupply(*game, tank, none), 0);

    // Class 35 needs no rounds at all; class 36 does.
    rules->Arms(zrvtest::kFixtureDestroyer).nClass = 35;
    rules->Refresh();
    UNITSTRUCT& gunboat = Place(0, 2, zrvtest::kFixtureDestroyer, MakeHex(40, 43));
    gunboat.nAmmo[1] = 0;
    EXPECT_EQ(NeedsAmmunition(gunboat, none), 0);
    rules->Arms(zrvtest::kFixtureDestroyer).nClass = 36;
    rules->Refresh();
    // An empty slot: yes with chance 100 - 5 x rounds left (the ship keeps 10).
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kFixtureDestroyer, MakeHex(40, 42));
    ship.nAmmo[0] = 10;
    ship.nAmmo[1] = 0;
    ScriptedDraws low{49}, high{50};
    EXPECT_EQ(UnitNeedsFuelAmmoSupply(*game, ship, low), 1);
    EXPECT_EQ(NeedsAmmunition(ship, high), 0);
    EXPECT_TRUE(low.UsedUp() && high.UsedUp());
    // An anti-submarine set whose gun is not an anti-submarine weapon: not meant to fight.
    rules->Arms(zrvtest::kFixtureDestroyer).Arm[0].nSetId = 4;
    rules->Refresh();
    EXPECT_EQ(NeedsAmmunition(ship, none), 0);
}

TEST_F(UnitSearchTest, MergeTransferDirection)
{
    UNITSTRUCT& a = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 41));
    UNITSTRUCT& b = Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 42));
    a.nStrength = 4;
    b.nStrength = 9;
    b.nCpuScore = 0;  // strength flows to a
    EXPECT_EQ(GetMergeTransferAmount(a, b), 6);
    b.nCpuScore = -1;  // to b
    EXPECT_EQ(GetMergeTransferAmount(a, b), 1 | 0x8000);
    b.nStrength = 10;
    EXPECT_EQ(GetMergeTransferAmount(a, b), 0);
}

TEST_F(UnitSearchTest, BestBombingTarget)
{
    // Enemy country 1 owns three bridges/ports of terrain index 1: one strong
    // and unwatched, one weak, one with our troops next to it.
    const HEXINDEX strong = MakeHex(60, 60), weak = MakeHex(60, 50), guarded = MakeHex(60, 40);
    for (HEXINDEX h : {strong, weak, guarded}) game->dwHexCell[h] = WithOwner(WithTerrain(0, 1), 1);
    game->dwHexCell[strong] = WithDurability(game->dwHexCell[strong], 220);
    game->dwHexCell[weak] = WithDurability(game->dwHexCell[weak], 50);
    game->dwHexCell[guarded] = WithDurability(game->dwHexCell[guarded], 230);
    Place(0, 0, zrvtest::kFixtureTank, MakeHex(61, 40));
    (*coverage)[strong] = 1;  // side 0 sees it
    const int32_t enemies[] = {1, 2, -1};
    BombingTargetContext ctx{Cells(), *hexUnit, *marks, *coverage, enemies};
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, strong, kNoUnit, ctx, false), 0x3000000u | 220u << 16);
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, weak, kNoUnit, ctx, false), 0u);
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, weak, kNoUnit, ctx, true), 0x3000000u | 50u << 16 | 0x10000000u);
    // The guarded hex is left whole for our troops only while its
    // durability is low; at 230 it is still a target.
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, guarded, kNoUnit, ctx, false), 0x3000000u | 230u << 16 | 0x10000000u);
    game->dwHexCell[guarded] = WithDurability(game->dwHexCell[guarded], 90);
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, guarded, kNoUnit, ctx, true), 0u);
    // Our own hexes are never targets.
    game->dwHexCell[strong] = WithOwner(game->dwHexCell[strong], 0);
    EXPECT_EQ(RateHexAsBombingTarget(*game, 0, strong, kNoUnit, ctx, false), 0u);
}

TEST_F(UnitSearchTest, ProductionPlanningFigures)
{
    COUNTRYSTRUCT& c = game->Country[0];
    std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
    EXPECT_EQ(GetMaxTypeCostClasses0To32(c), -1);
    c.dwClassList[0][0] = zrvtest::kFixtureInfantry;  // 200
    c.dwClassList[4][0] = zrvtest::kFixtureTank;
    rules->Arms(zrvtest::kFixtureTank).nPrice = 500;  // 5000 for the full unit: capped
    c.dwClassList[35][0] = zrvtest::kFixtureDestroyer;
    rules->Arms(zrvtest::kFixtureDestroyer).nClass = 35;
    rules->Refresh();
    EXPECT_EQ(GetMaxTypeCostClasses0To32(c), 1500);
    EXPECT_EQ(GetMaxTypeCostClasses33To54(c), 20);  // counted in pieces: one price for the unit

    Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 41)).nStrength = 7;
    Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 42)).nStrength = 5;
    Place(0, 2, zrvtest::kFixtureInfantry, MakeHex(40, 43));
    EXPECT_EQ(CountUnitsOfClass(c, 4), 2 << 16 | 12);

    c.nUnitMax = 8;  // limit 1: at least 20
    EXPECT_EQ(CountCapturableCityScore(*game, 0, Cells()), 20);
    c.nUnitMax = 80;  // limit 10: at most 100
    game->dwHexCell[MakeHex(45, 45)] = WithTerrain(0, zrvtest::kFixtureCity);
    game->dwHexCell[MakeHex(45, 46)] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);
    game->dwHexCell[MakeHex(45, 47)] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);
    game->dwHexCell[MakeHex(45, 48)] = WithTerrain(0, zrvtest::kFixtureCity) | kCellClosedSide0;
    EXPECT_EQ(CountCapturableCityScore(*game, 0, Cells()), 10);
}

TEST_F(UnitSearchTest, NearestOwnedMarkedHexAndNeighbourhood)
{
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    const int32_t list[] = {1, -1};
    EXPECT_EQ(FindNearestOwnedMarkedHex(*game, u, Cells(), *marks, list), -1);
    for (HEXINDEX h : {MakeHex(40, 45), MakeHex(40, 43), MakeHex(40, 42)}) (*marks)[h] = 3;
    game->dwHexCell[MakeHex(40, 45)] = WithOwner(game->dwHexCell[MakeHex(40, 45)], 1);
    game->dwHexCell[MakeHex(40, 43)] = WithOwner(game->dwHexCell[MakeHex(40, 43)], 1);
    game->dwHexCell[MakeHex(40, 42)] = WithOwner(game->dwHexCell[MakeHex(40, 42)], 0);
    EXPECT_EQ(FindNearestOwnedMarkedHex(*game, u, Cells(), *marks, list), 1 << 16 | MakeHex(40, 43));

    // Two neighbours: an enemy (-3) and a friend (+2); four empty (-4).
    Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 41));
    Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 39));
    EXPECT_EQ(GetHexNeighbourhoodScore(*game, *hexUnit, MakeHex(40, 40)), -5);
    EXPECT_EQ(IsAdjacentToEnemy(*game, *hexUnit, u), 1);
    EXPECT_EQ(SumSideUnitsNearHex(*game, 1, MakeHex(40, 40), 1, 2), 10u << 16 | 1u);
    EXPECT_EQ(SumSideUnitsNearHex(*game, 1, MakeHex(40, 40), 2, 2), 0u);
    EXPECT_EQ(SumEnemyUnitsNearHex(*game, 0, MakeHex(40, 40), 1, 2), 10u << 16 | 1u);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, SupplyMarksDrawInSlotOrderOnlyForMissingMarks)
{
    UNITSTRUCT& first = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 41));
    first.nStrength = 6;
    first.nAmmo[0] = 0;
    first.dwOrder = 0x02000000u;
    UNITSTRUCT& second = Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 42));
    second.nStrength = 6;
    second.nAmmo[0] = 0;
    second.dwSupplyFlag = 0x40000u | 0x20000u;  // already marked: asked nothing
    UNITSTRUCT& acted = Place(0, 2, zrvtest::kFixtureTank, MakeHex(40, 43));
    acted.nStrength = 6;
    acted.dwFlag |= kUnitActed;
    // first: the strength roll (24 < 25), then the ammunition roll (any: no rounds left).
    ScriptedDraws draws{24, 99};
    EXPECT_EQ(MarkUnitsNeedingSupply(*game, 0, Cells(), draws), 1);
    EXPECT_TRUE(draws.UsedUp());
    EXPECT_EQ(first.dwSupplyFlag & 0x60000u, 0x60000u);
    EXPECT_EQ(first.dwOrder & 0x02000000u, 0u);
    EXPECT_EQ(acted.dwSupplyFlag, 0u);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, DisposalRatingBranchOrder)
{
    const HEXINDEX at = MakeHex(40, 40);
    game->dwHexCell[at] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);  // supplied by its owner
    rules->Arms(zrvtest::kFixtureRetired).nClass = 30;
    rules->Refresh();
    struct Case {
        const char* name;
        int type;
        int strength;
        int fuel;
        uint32_t order;
        bool naval;
        int class30;
        std::vector<int> draws;
        uint32_t want;
    };
    const int tank = zrvtest::kFixtureTank, inf = zrvtest::kFixtureInfantry;
    const Case cases[] = {
        {"out of fuel for the turn", tank, 10, 3, 0, false, 0, {}, 0x10000u | 200},
        {"ordered home", tank, 10, 50, 1u << 20, false, 0, {}, 0x20000u | 200},
        {"weak on a naval hex", tank, 2, 50, 0, true, 0, {0}, 0x40000u | 40},
        {"weak elsewhere, no reason left", tank, 2, 50, 0, false, 0, {0, 0}, 0},
        {"strong enough", tank, 5, 50, 0, false, 0, {0, 1}, 0},
        {"occupier among many supply trucks", inf, 2, 50, 0, false, 3, {2, 0}, 0x100000u | 40},
        {"occupier with few supply trucks", inf, 2, 50, 0, false, 2, {2, 0}, 0},
        {"not supplied where it stands", inf, 2, 50, 0, false, 3, {2, 0}, 0x80000u | 40},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (auto& u : game->Country[0].Unit) u = UNITSTRUCT{};
        UNITSTRUCT& u = Place(0, 0, k.type, at);
        u.nStrength = k.strength;
        u.nFuel = k.fuel;
        u.dwOrder = k.order;
        for (int i = 0; i < k.class30; ++i) Place(0, 10 + i, zrvtest::kFixtureRetired, -1);
        if (k.want >> 16 == 8) game->dwHexCell[at] = WithOwner(WithTerrain(0, zrvtest::kFixturePlain), -1);
        const HEXINDEX naval[] = {k.naval ? at : MakeHex(2, 2), -1};
        DisposalContext ctx{Cells(), *hexUnit, naval};
        ctx.minimumFuelUse = 4;
        ScriptedDraws scripted = k.draws.size() == 2 ? ScriptedDraws{k.draws[0], k.draws[1]}
                                 : k.draws.size() == 1 ? ScriptedDraws{k.draws[0]}
                                                       : ScriptedDraws{};
        EXPECT_EQ(RateUnitForDisposal(*game, u, ctx, scripted), k.want);
        EXPECT_EQ(scripted.Asked(), static_cast<int>(k.draws.size()));
    }
}

TEST_F(UnitSearchTest, DisposableUnits)
{
    COUNTRYSTRUCT& c = game->Country[0];
    std::memset(c.dwClassList, 0xFF, sizeof c.dwClassList);
    c.nUnitMax = 10;
    c.nUnit = 1;
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    EXPECT_EQ(IsUnitDisposable(tank, c), 0);  // nothing listed for its class
    c.dwClassList[4][2] = zrvtest::kFixtureTank;
    EXPECT_EQ(IsUnitDisposable(tank, c), 1);
    rules->Arms(zrvtest::kFixtureTank).nEvolution = 3;  // newer than the list's first
    rules->Refresh();
    EXPECT_EQ(IsUnitDisposable(tank, c), 0);
    rules->Arms(zrvtest::kFixtureTank).nEvolution = 2;
    rules->Refresh();
    tank.nExp = 201;
    EXPECT_EQ(IsUnitDisposable(tank, c), 0);
    tank.nExp = 0;
    c.nUnit = 11;
    EXPECT_EQ(IsUnitDisposable(tank, c), 0);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, MergePartnerDirections)
{
    const HEXINDEX at = MakeHex(40, 40);
    const HEXINDEX toward = GetNeighbour(at, 0);
    // Two neighbours of the unit that are also next to the hex it looks toward.
    HEXINDEX pair[2] = {kNoHex, kNoHex};
    int found = 0;
    for (int d = 0; d < 6 && found < 2; ++d) {
        const HEXINDEX h = GetNeighbour(at, d);
        if (h != toward && GetHexDistance(h, toward) == 1) pair[found++] = h;
    }
    ASSERT_EQ(found, 2);
    game->dwHexCell[pair[0]] = WithTerrain(0, zrvtest::kFixtureFort);  // better cover than the plain
    UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureTank, at);
    UNITSTRUCT& first = Place(0, 1, zrvtest::kFixtureTank, pair[0]);
    UNITSTRUCT& second = Place(0, 2, zrvtest::kFixtureTank, pair[1]);
    u.nStrength = 5;
    first.nStrength = 6;
    second.nStrength = 4;  // weaker, so it is rated too
    const int32_t none[] = {-1};
    // The first candidate sits on better cover: strength flows to it. The
    // second rates level on cover and distance and is dropped again.
    EXPECT_EQ(FindMergePartner(*game, *hexUnit, u, toward, none, false), &first);
    EXPECT_LT(first.nCpuScore, 0);
    EXPECT_EQ(GetMergeTransferAmount(u, first), 4 | 0x8000);

    // An enemy next to the unit: the partner gives its strength to the unit.
    Place(1, 0, zrvtest::kFixtureTank, GetNeighbour(at, 3));
    EXPECT_EQ(FindMergePartner(*game, *hexUnit, u, toward, none, false), &second);
    EXPECT_EQ(second.nCpuScore, 0);
    // Only partners that have acted, when asked.
    EXPECT_EQ(FindMergePartner(*game, *hexUnit, u, toward, none, true), nullptr);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, SmallSearches)
{
    const HEXINDEX at = MakeHex(40, 40);
    Place(1, 0, zrvtest::kFixtureDestroyer, MakeHex(40, 44));
    Place(1, 1, zrvtest::kFixtureSubmarine, MakeHex(40, 46)).dwFlag |= kUnitInWater;
    Place(1, 2, zrvtest::kFixtureFighter, MakeHex(40, 43)).dwFlag |= HiddenFromSideBit(0);
    Place(1, 3, zrvtest::kFixtureTank, MakeHex(40, 47));
    EXPECT_EQ(GetNearestEnemyDistanceByClass(*game, at, 8, 0), 4);
    EXPECT_EQ(GetNearestEnemyDistanceByClass(*game, at, 1, 0), 7);
    EXPECT_EQ(GetNearestEnemyDistanceByClass(*game, at, 2, 0), 3);
    EXPECT_EQ(CountEnemyUnitsByKind(*game, 0), 1u << 16 | 1u);
    EXPECT_EQ(IsStrongEnemyClassWithinRange(*game, 0, at, 0xFFFFFFFFu, 3), 1);
    game->Country[0].dwFlag |= kCountryFog;  // the fighter is hidden from side 0
    EXPECT_EQ(IsStrongEnemyClassWithinRange(*game, 0, at, 0xFFFFFFFFu, 3), 0);

    HEXINDEX list[] = {MakeHex(40, 45), MakeHex(40, 41), MakeHex(40, 43), MakeHex(40, 41)};
    SortHexesByDistance(at, 4, list, false);
    EXPECT_EQ(list[0], MakeHex(40, 41));
    EXPECT_EQ(list[2], MakeHex(40, 43));
    SortHexesByDistance(at, 4, list, true);
    EXPECT_EQ(list[0], MakeHex(40, 45));

    (*marks)[GetNeighbour(at, 1)] = (1u << 25) | 9;
    (*marks)[GetNeighbour(at, 4)] = (1u << 25) | 3;
    (*marks)[GetNeighbour(at, 2)] = 1;  // lower, but not marked
    EXPECT_EQ(FindLowestMarkedNeighbourHex(at, *marks), GetNeighbour(at, 4));

    const MAPCELL ownCity = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);
    EXPECT_EQ(TestHexTerrainFlags(0, WithDurability(ownCity, 249), 10), 1);
    EXPECT_EQ(TestHexTerrainFlags(0, WithDurability(ownCity, 250), 10), 0);
    const MAPCELL sea = WithTerrain(0, zrvtest::kFixtureSea);  // byte 2 bit 1: deep water
    EXPECT_EQ(TestHexTerrainFlags(0, WithDurability(sea, 5), 10), 1);
    EXPECT_EQ(TestHexTerrainFlags(0, WithDurability(sea, 10), 10), 0);
    EXPECT_EQ(TestHexTerrainFlags(0, sea, 10), 0);
}

TEST_F(UnitSearchTest, CargoOrderAndClass26Marks)
{
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, MakeHex(40, 40));
    UNITSTRUCT& weak = Place(0, 1, zrvtest::kFixtureInfantry, -1);
    UNITSTRUCT& strong = Place(0, 2, zrvtest::kFixtureTank, -1);
    UNITSTRUCT& plane = Place(0, 3, zrvtest::kFixtureInfantry, -1);
    for (UNITSTRUCT* u : {&weak, &strong, &plane}) Board(*u, ship);
    weak.nStrength = 2;
    plane.nStrength = 1;
    plane.dwOrder = 1u << 26;
    std::array<UNITSTRUCT*, 8> out{};
    ASSERT_EQ(SortCarriedUnits(*game, ship, out, true), 3);
    EXPECT_EQ(out[0], &strong);
    EXPECT_EQ(out[2], &plane);
    // Infantry has type flag bit 3: both infantry units rank above the tank.
    ASSERT_EQ(SortCarriedUnits(*game, ship, out, false), 3);
    EXPECT_EQ(out[0], &weak);
    EXPECT_EQ(out[2], &strong);
    EXPECT_EQ(FindCarriedUnitWithFlag(*game, ship), &plane);
    plane.dwOrder = 0;
    EXPECT_EQ(FindCarriedUnitWithFlag(*game, ship), &plane);  // the last one

    // Supply trucks (class 26) leave the flagged line while a ground unit holds a railway.
    UNITSTRUCT& truck = Place(0, 5, zrvtest::kRuleSupplyTruck, MakeHex(42, 40));
    UNITSTRUCT& anchor = Place(0, 6, zrvtest::kFixtureTank, MakeHex(44, 40));
    truck.dwSupplyFlag = 1u << 22;
    anchor.dwSupplyFlag = 1u << 17;
    MarkClass26UnitsOnFlaggedHexes(*game, 0);
    EXPECT_EQ(truck.dwSupplyFlag, 1u << 22);  // the country's action word lacks bit 31
    game->Country[0].dwCpuTarget = 0x80000000u;
    MarkClass26UnitsOnFlaggedHexes(*game, 0);
    EXPECT_EQ(truck.dwSupplyFlag, 1u << 22);  // nobody on a railway yet
    game->dwHexCell[anchor.nHex] |= 0x08000000u;
    MarkClass26UnitsOnFlaggedHexes(*game, 0);
    EXPECT_EQ(truck.dwSupplyFlag, 1u << 10);
    ResetClass26UnitFlags(*game, 0);
    EXPECT_EQ(truck.dwSupplyFlag, 1u << 22);
    ClearAllUnitFlags(*game, 1u << 22);
    EXPECT_EQ(truck.dwSupplyFlag, 0u);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, EnemyAntiShipReachAndTransports)
{
    UNITSTRUCT& sub = Place(0, 0, zrvtest::kFixtureSubmarine, MakeHex(40, 40));
    UNITSTRUCT& enemy = Place(1, 0, zrvtest::kFixtureDestroyer, MakeHex(40, 50));
    EXPECT_EQ(CheckEnemyWeaponReach(*game, sub), 1);  // range 3 + 12 points reach 10
    enemy.nAmmo[0] = 0;
    EXPECT_EQ(CheckEnemyWeaponReach(*game, sub), 0);
    enemy.nAmmo[0] = 5;
    enemy.nHex = MakeHex(40, 60);
    EXPECT_EQ(CheckEnemyWeaponReach(*game, sub), 0);
    enemy.nHex = MakeHex(40, 50);
    sub.nBattery = 3;  // neither battery nor type asks
    EXPECT_EQ(CheckEnemyWeaponReach(*game, sub), 0);

    UNITSTRUCT& inf = Place(0, 1, zrvtest::kFixtureInfantry, MakeHex(40, 41));
    EXPECT_EQ(FindNearestTransport(*game, inf), -1);
    UNITSTRUCT& ship = Place(0, 2, zrvtest::kRuleTransport, MakeHex(40, 45));
    EXPECT_EQ(FindNearestTransport(*game, inf), MakeHex(40, 45));
    ship.nAmmo[1] = 0;  // no landing craft aboard: two infantry places
    Board(Place(0, 3, zrvtest::kFixtureInfantry, -1), ship);
    Board(Place(0, 4, zrvtest::kFixtureInfantry, -1), ship);
    EXPECT_EQ(FindNearestTransport(*game, inf), -1);  // both taken
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, WeaponSetsAndBombLoads)
{
    auto& dd = rules->Arms(zrvtest::kFixtureDestroyer);
    dd.Arm[1] = ARMSET{};
    dd.Arm[1].nSetId = 4;  // anti-submarine
    dd.Arm[1].nCount[1] = 6;
    rules->Refresh();
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kFixtureDestroyer, MakeHex(40, 41));
    UNITSTRUCT& sub = Place(1, 0, zrvtest::kFixtureSubmarine, MakeHex(40, 43));
    sub.dwFlag |= kUnitInWater;
    UNITSTRUCT& other = Place(1, 1, zrvtest::kFixtureDestroyer, MakeHex(40, 44));
    ship.refTarget = sub.refSelf;
    EXPECT_EQ(ChooseModeAgainstTarget(*game, ship), 1);
    ship.nMode = 1;
    EXPECT_EQ(ChooseModeAgainstTarget(*game, ship), -1);  // fitted already
    ship.refTarget = other.refSelf;
    EXPECT_EQ(ChooseModeAgainstTarget(*game, ship), -1);  // no anti-ship set

    UNITSTRUCT& bomber = Place(0, 1, zrvtest::kRuleBomber, MakeHex(40, 45));  // 5 from the capital
    EXPECT_EQ(GetFlag20WeaponDistanceToCapital(*game, bomber), 5 | 0x40000000 | 0x20000);
    bomber.dwFlag |= kUnitSupplied;
    EXPECT_EQ(GetFlag20WeaponDistanceToCapital(*game, bomber), 5 | 0x40000000);
    bomber.nAmmo[0] = 0;
    EXPECT_EQ(GetFlag20WeaponDistanceToCapital(*game, bomber), 5 | 0x10000);
    EXPECT_EQ(GetFlag20WeaponDistanceToCapital(*game, Place(0, 2, zrvtest::kFixtureTank, MakeHex(40, 46))), -1);

    // A carrier's load.
    UNITSTRUCT& tr = Place(0, 3, zrvtest::kRuleTransport, MakeHex(41, 41));
    EXPECT_EQ(GetCarriedLoadSummary(*game, tr), -1);
    UNITSTRUCT& tank = Place(0, 4, zrvtest::kFixtureTank, -1);
    tank.nStrength = 4;
    Board(tank, tr);
    EXPECT_EQ(GetCarriedLoadSummary(*game, tr), 10 * 4 | 4 << 16);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, NavalSetByNearestEnemies)
{
    auto& dd = rules->Arms(zrvtest::kFixtureDestroyer);
    dd.nClass = 35;  // the row of the fighter classes
    const int ids[] = {1, 10, 2, 11};
    for (int m = 0; m < 4; ++m) {
        dd.Arm[m] = dd.Arm[0];
        dd.Arm[m].nSetId = ids[m];
    }
    rules->Refresh();
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kFixtureDestroyer, MakeHex(40, 40));  // fuel 50: F = 16
    EXPECT_EQ(ChooseModeByClass(*game, ship), 1);  // nobody near: 10, then 1
    UNITSTRUCT& tank = Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 45));
    EXPECT_EQ(ChooseModeByClass(*game, ship), 2);  // ground within F: 2 first
    tank.nHex = MakeHex(40, 60);
    EXPECT_EQ(ChooseModeByClass(*game, ship), 3);  // ground beyond F: 11 first
    tank.nHex = -1;
    tank.dwFlag = 0;
    // An aircraft of a class that needs ammunition (36) is "other air".
    rules->Arms(zrvtest::kFixtureFighter).nClass = 36;
    rules->Refresh();
    Place(1, 1, zrvtest::kFixtureFighter, MakeHex(40, 43));
    EXPECT_EQ(ChooseModeByClass(*game, ship), -1);  // an aircraft within F: id 1, the set already fitted
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(UnitSearchTest, EnemyDeploymentHexesAndCheapestCarrier)
{
    const HEXINDEX cityHex = MakeHex(50, 42), seaHex = MakeHex(50, 43), farHex = MakeHex(50, 47);
    game->dwHexCell[cityHex] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);
    game->dwHexCell[seaHex] = WithOwner(WithTerrain(0, zrvtest::kFixtureSea), 1);
    game->dwHexCell[farHex] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);  // beyond 5 rings
    std::array<HEXINDEX, 128> out;
    out.fill(-1);
    out[0] = MakeHex(2, 2);  // already listed: kept
    const int n = ListEnemyDeploymentHexes(*game, 0, Cells(), *hexUnit, out);
    ASSERT_GT(n, 3);
    EXPECT_EQ(out[0], MakeHex(2, 2));
    EXPECT_EQ(out[static_cast<size_t>(n)], -1);
    std::vector<HEXINDEX> listed(out.begin(), out.begin() + n);
    EXPECT_NE(std::find(listed.begin(), listed.end(), cityHex), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), seaHex), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), game->Country[1].nCapital), listed.end());
    EXPECT_EQ(std::find(listed.begin(), listed.end(), farHex), listed.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());  // each once
    EXPECT_EQ(IsOnEnemyDeploymentHex(*game, Place(0, 0, zrvtest::kFixtureTank, cityHex), Cells(), *hexUnit), 1);
    EXPECT_EQ(IsOnEnemyDeploymentHex(*game, Place(0, 1, zrvtest::kFixtureTank, farHex), Cells(), *hexUnit), 0);

    // The carrier whose hex costs least; a unit next to an enemy is passed over.
    for (auto& u : game->Country[0].Unit) u = UNITSTRUCT{};
    for (auto& u : game->Country[1].Unit) u = UNITSTRUCT{};
    hexUnit->fill(kNoUnit);
    // Flat-tops (the carrier class needs no base hex) with room for infantry.
    rules->Arms(zrvtest::kRuleFlatTop).nCarry[1] = 2;
    rules->Refresh();
    UNITSTRUCT& inf = Place(0, 0, zrvtest::kFixtureInfantry, MakeHex(30, 30));
    UNITSTRUCT& a = Place(0, 1, zrvtest::kRuleFlatTop, MakeHex(30, 32));
    UNITSTRUCT& b = Place(0, 2, zrvtest::kRuleFlatTop, MakeHex(30, 34));
    (*cost)[a.nHex] = 9;
    (*cost)[b.nHex] = 4;
    ASSERT_EQ(CheckBoardCarrier(*game, inf, b), 0);
    EXPECT_EQ(FindOwnUnitByHexCost(*game, inf, *cost, false), &b);
    EXPECT_EQ(FindOwnUnitByHexCost(*game, inf, *cost, true), nullptr);  // aircraft are not ground units
    Place(1, 0, zrvtest::kFixtureTank, MakeHex(30, 39));  // 5 from b, 7 from a
    EXPECT_EQ(FindOwnUnitByHexCost(*game, inf, *cost, false), &a);
}


// Bases, withdrawal and the force-ratio marks: country 0's units stand on
// row 40 east of its capital (40, 40); country 3 is its ally.
class BaseSearchTest : public UnitSearchTest {
protected:
    void SetUp() override
    {
        UnitSearchTest::SetUp();
        game->Country[3] = game->Country[0];
        game->Country[3].nIndex = 3;
        game->Country[3].nCapital = MakeHex(30, 30);
        for (auto& u : game->Country[3].Unit) u = UNITSTRUCT{};
        grid = std::make_unique<std::array<uint32_t, kHexCount>>();
        reach = std::make_unique<std::array<uint32_t, kHexCount>>();
    }
    BaseSearchMaps Maps() { return BaseSearchMaps{Cells(), *grid, *reach, NoMoveRules()}; }
    void Set(HEXINDEX h, int terrain, int owner = -1)
    {
        MAPCELL c = WithTerrain(0, terrain);
        game->dwHexCell[h] = owner >= 0 ? WithOwner(c, owner) : c;
    }
    void ClearAll()
    {
        for (auto& cell : game->dwHexCell) cell = WithTerrain(0, zrvtest::kFixturePlain);
        for (int c = 0; c < kCountryCount; ++c) {
            for (auto& u : game->Country[c].Unit) u = UNITSTRUCT{};
        }
        hexUnit->fill(kNoUnit);
    }
    // A sea ring round hex.
    void Island(HEXINDEX h)
    {
        HEXINDEX around[7];
        const int n = GetNeighbours(h, around);
        for (int i = 0; i < n; ++i) Set(around[i], zrvtest::kFixtureSea);
    }
    static constexpr HEXINDEX kAt = MakeHex(40, 60);
    std::unique_ptr<std::array<uint32_t, kHexCount>> grid, reach;
};

TEST_F(BaseSearchTest, NearestUsableBaseOfTheUnitsSide)
{
    const int city = zrvtest::kFixtureCity;
    struct Case {
        const char* name;
        std::function<void(UNITSTRUCT&)> setUp;
        int32_t withReach;     // bCheckReach
        int32_t withoutReach;  // !bCheckReach
    };
    const Case cases[] = {
        {"no base", [](UNITSTRUCT&) {}, -1, -1},
        {"own city 3 away, 2 a hex", [this](UNITSTRUCT&) { Set(MakeHex(40, 63), city, 0); }, 3 << 16 | 6,
         3 << 16 | 6},
        {"an enemy's city is none, the own one behind it is",
         [this](UNITSTRUCT&) {
             Set(MakeHex(40, 62), city, 1);
             Set(MakeHex(40, 64), city, 0);
         },
         4 << 16 | 8, 4 << 16 | 8},
        {"an ally's city", [this](UNITSTRUCT&) { Set(MakeHex(40, 62), city, 3); }, 2 << 16 | 4, 2 << 16 | 4},
        {"an unowned city is nobody's base", [this](UNITSTRUCT&) { Set(MakeHex(40, 62), city); }, -1, -1},
        {"an own plain is no base", [this](UNITSTRUCT&) { Set(MakeHex(40, 61), zrvtest::kFixturePlain, 0); }, -1,
         -1},
        {"standing on an own city", [this](UNITSTRUCT&) { Set(kAt, city, 0); }, 0, 0},
        {"an island city is not reached; a farther one is",
         [this](UNITSTRUCT&) {
             Set(MakeHex(40, 64), city, 0);
             Island(MakeHex(40, 64));
             Set(MakeHex(40, 70), city, 0);
         },
         10 << 16 | 24, 10 << 16 | 24},  // two steps round the island
        {"same distance: the cheaper route, not the lower hex",
         [this](UNITSTRUCT&) {
             Set(MakeHex(40, 57), city, 0);  // behind a sea wall
             for (int row = 36; row <= 44; ++row) Set(MakeHex(row, 58), zrvtest::kFixtureSea);
             Set(MakeHex(40, 63), city, 0);
         },
         3 << 16 | 6, 3 << 16 | 6},
        {"moved already: no area; without the check by distance alone",
         [this](UNITSTRUCT& u) {
             u.dwFlag |= kUnitMoved;
             Set(MakeHex(40, 64), city, 0);
             Island(MakeHex(40, 64));
         },
         -1, 4 << 16},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (bool check : {true, false}) {
            ClearAll();
            UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureInfantry, kAt);
            k.setUp(u);
            EXPECT_EQ(FindReachableBaseHex(u, *game, Maps(), check), check ? k.withReach : k.withoutReach)
                << (check ? "with" : "without") << " the reach check";
        }
    }
    // A carried unit searches from its carrier's hex; aboard a ship it has no
    // move area of its own.
    ClearAll();
    Set(MakeHex(40, 63), city, 0);
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kRuleTransport, kAt);
    UNITSTRUCT& inf = Place(0, 0, zrvtest::kFixtureInfantry, kNoHex);
    Board(inf, ship);
    EXPECT_EQ(FindReachableBaseHex(inf, *game, Maps(), false), 3 << 16);
    EXPECT_EQ(FindReachableBaseHex(inf, *game, Maps(), true), -1) << "a carried unit has no move area";
}

TEST_F(BaseSearchTest, WithdrawalRating)
{
    const int city = zrvtest::kFixtureCity;
    // From (40, 60) the capital lies 20 away; infantry costs 20 a point.
    const int32_t plain = 20 | 20 << 16;
    struct Case {
        const char* name;
        std::function<void(UNITSTRUCT&)> setUp;
        bool check;
        int32_t want;
    };
    const Case cases[] = {
        {"no base, no check", [](UNITSTRUCT&) {}, false, plain},
        {"no base, checked, 6 movement points", [](UNITSTRUCT&) {}, true, -1},
        {"no base, checked, 2 movement points",
         [this](UNITSTRUCT&) {
             rules->Arms(zrvtest::kFixtureInfantry).nMovePoint = 2;
             rules->Refresh();
         },
         true, plain},
        {"a base 4 away", [this](UNITSTRUCT&) { Set(MakeHex(40, 64), city, 0); }, true, plain + 0x40000000},
        {"a base 3 away", [this](UNITSTRUCT&) { Set(MakeHex(40, 63), city, 0); }, false, -1},
        {"class 27",
         [this](UNITSTRUCT&) {
             rules->Arms(zrvtest::kFixtureInfantry).nClass = 27;
             rules->Refresh();
         },
         false, plain + 0x20000000},
        {"no carry class",
         [this](UNITSTRUCT&) {
             rules->Arms(zrvtest::kFixtureInfantry).nCarryClass = -1;
             rules->Refresh();
         },
         false, -1},
        {"order bit 25", [](UNITSTRUCT& u) { u.dwOrder |= 0x02000000u; }, false, -1},
        {"an enemy 5 away", [this](UNITSTRUCT&) { Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 65)); }, false,
         -1},
        {"an enemy 6 away", [this](UNITSTRUCT&) { Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 66)); }, false,
         plain},
        {"half strength", [](UNITSTRUCT& u) { u.nStrength = 5; }, false, -1},
        {"above half strength", [](UNITSTRUCT& u) { u.nStrength = 6; }, false, plain},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        rules = std::make_unique<zrvtest::RuleLibrary>();
        SetLib(&rules->lib);
        ClearAll();
        UNITSTRUCT& u = Place(0, 0, zrvtest::kFixtureInfantry, kAt);
        k.setUp(u);
        EXPECT_EQ(RateUnitForWithdrawal(*game, u, Maps(), k.check), k.want);
    }
    // Carried: never.
    rules = std::make_unique<zrvtest::RuleLibrary>();
    SetLib(&rules->lib);
    ClearAll();
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kRuleFlatTop, kAt);
    UNITSTRUCT& inf = Place(0, 0, zrvtest::kFixtureInfantry, kNoHex);
    Board(inf, ship);
    EXPECT_EQ(RateUnitForWithdrawal(*game, inf, Maps(), false), -1);
}

TEST_F(BaseSearchTest, ForceRatioGateOfTheFullWithdrawal)
{
    // Strength << 16 | count per class; the counts never matter.
    auto sums = [](std::initializer_list<std::pair<int, int>> strengths) {
        std::array<int32_t, kClassCount> a{};
        for (auto [cls, strength] : strengths) a[static_cast<size_t>(cls)] = strength << 16 | 0x7FFF;
        return a;
    };
    struct Case {
        const char* name;
        std::array<int32_t, kClassCount> own, enemy;
        int want;
    };
    const Case cases[] = {
        {"both at their share", sums({{33, 4}, {49, 3}, {55, 2}, {59, 3}}), sums({{35, 10}, {57, 10}}), 2},
        {"strike classes below 70 %", sums({{33, 4}, {49, 2}, {55, 5}}), sums({{35, 10}, {57, 10}}), 0},
        {"air classes below half", sums({{47, 7}, {56, 4}}), sums({{43, 10}, {58, 10}}), 0},
        {"nothing on either side", sums({}), sums({}), 2},
        {"other classes do not count", sums({{36, 50}, {60, 50}}), sums({{33, 1}}), 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ClearAll();
        UNITSTRUCT& inf = Place(0, 0, zrvtest::kFixtureInfantry, kAt);          // carry class 1
        UNITSTRUCT& tank = Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 61));  // carry class 3
        UNITSTRUCT& fighter = Place(0, 2, zrvtest::kFixtureFighter, MakeHex(40, 62));  // none
        UNITSTRUCT& ship = Place(0, 3, zrvtest::kRuleTransport, MakeHex(40, 63));      // carry class -1 too
        UNITSTRUCT& cargo = Place(0, 4, zrvtest::kFixtureInfantry, kNoHex);
        Board(cargo, ship);
        std::array<int, kCarryClasses> counts;
        counts.fill(9);
        EXPECT_EQ(MarkUnitsByForceRatio(*game, 3, counts, 0, Maps(), k.own, k.enemy), k.want);
        const bool marked = k.want > 0;
        EXPECT_EQ((inf.dwSupplyFlag & 0x8000u) != 0, marked);
        EXPECT_EQ((tank.dwSupplyFlag & 0x8000u) != 0, marked);
        EXPECT_FALSE(fighter.dwSupplyFlag & 0x8000u);
        EXPECT_FALSE(cargo.dwSupplyFlag & 0x8000u);
        EXPECT_EQ(counts, (std::array<int, kCarryClasses>{0, marked, 0, marked, 0, 0, 0}));
    }
}

TEST_F(BaseSearchTest, ForceRatioMarksOfThePartialModes)
{
    const int city = zrvtest::kFixtureCity;
    const std::array<int32_t, kClassCount> none{};
    struct Case {
        const char* name;
        int type;
        std::function<void(UNITSTRUCT&)> setUp;
        bool mode0, mode1;
    };
    const Case cases[] = {
        {"occupying type with a base", zrvtest::kFixtureInfantry,
         [this](UNITSTRUCT&) { Set(MakeHex(40, 63), city, 0); }, true, true},
        {"occupying type without a base", zrvtest::kFixtureInfantry, [](UNITSTRUCT&) {}, false, false},
        {"moved: its base counts only unchecked", zrvtest::kFixtureInfantry,
         [this](UNITSTRUCT& u) {
             Set(MakeHex(40, 63), city, 0);
             u.dwFlag |= kUnitMoved;
         },
         true, false},
        {"a tank (carry class 3) with a base", zrvtest::kFixtureTank,
         [this](UNITSTRUCT&) { Set(MakeHex(40, 63), city, 0); }, false, false},
        {"guns, no enemy", zrvtest::kRuleGuns, [](UNITSTRUCT&) {}, true, true},
        {"guns, an enemy 6 away out of range", zrvtest::kRuleGuns,
         [this](UNITSTRUCT&) { Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 66)); }, true, true},
        {"guns, an enemy 5 away", zrvtest::kRuleGuns,
         [this](UNITSTRUCT&) { Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 65)); }, false, false},
        {"guns reaching an enemy 7 away", zrvtest::kRuleGuns,
         [this](UNITSTRUCT&) {
             rules->Weapon(zrvtest::kRuleGuns, 0).nRange[3] = 8;
             rules->Refresh();
             Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 67));
         },
         false, false},
        {"guns under order bit 25", zrvtest::kRuleGuns, [](UNITSTRUCT& u) { u.dwOrder |= 0x02000000u; },
         false, false},
        {"a gun class beyond 25", zrvtest::kRuleGuns,
         [this](UNITSTRUCT&) {
             rules->Arms(zrvtest::kRuleGuns).nClass = 26;
             rules->Refresh();
         },
         false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (int mode : {0, 1, 2}) {
            rules = std::make_unique<zrvtest::RuleLibrary>();
            SetLib(&rules->lib);
            ClearAll();
            UNITSTRUCT& u = Place(0, 0, k.type, kAt);
            k.setUp(u);
            const bool want = mode == 1 ? k.mode1 : k.mode0;
            std::array<int, kCarryClasses> counts{};
            EXPECT_EQ(MarkUnitsByForceRatio(*game, mode, counts, 0, Maps(), none, none), want ? 1 : 0)
                << "mode " << mode;
            EXPECT_EQ((u.dwSupplyFlag & 0x8000u) != 0, want) << "mode " << mode;
            const int carry = rules->Arms(k.type).nCarryClass;
            EXPECT_EQ(counts[static_cast<size_t>(carry)], want ? 1 : 0) << "mode " << mode;
        }
    }
}

TEST_F(UnitSearchTest, ChosenWeaponsDroppable)
{
    // The bomber: slot 0 bombs (droppable), slot 1 a drop tank (not).
    UNITSTRUCT& u = Place(0, 0, zrvtest::kRuleBomber, MakeHex(40, 40));
    struct Case {
        uint32_t mask;
        int want;
    };
    for (const Case& k : {Case{0, 1}, Case{1, 0}, Case{2, 1}, Case{3, 0}, Case{0x100, 1}, Case{0xFFFFFF02u, 1}}) {
        SCOPED_TRACE(testing::Message() << std::hex << k.mask);
        u.dwWeaponMask = k.mask;
        EXPECT_EQ(TestSelectedWeaponsFlag10(u), k.want);
    }
    // A type outside the tables has no weapon to drop.
    u.dwWeaponMask = 1;
    u.nArms = 9999;
    EXPECT_EQ(TestSelectedWeaponsFlag10(u), 1);
}

}  // namespace
