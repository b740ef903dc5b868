#include <gtest/gtest.h>

#include <functional>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitCommands.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using namespace zrvtest;

constexpr uint32_t kWeatherOn = 0x40000000u;
constexpr uint32_t kSnowOn = 0x20000000u;
constexpr uint32_t kDayNightOn = 0x10000000u;
const HEXINDEX kHere = MakeHex(20, 20);
const HEXINDEX kEast = MakeHex(20, 21);

class UnitCommandsTest : public RuleTest {
protected:
    void SetUp() override
    {
        RuleTest::SetUp();
        // Country 2 is an ally of country 0 (same country id, same side);
        // country 3 is neutral.
        for (int i : {2, 3}) {
            COUNTRYSTRUCT& c = game->Country[i];
            c.dwFlag = kCountryPresent;
            c.nIndex = i;
            c.nSide = i == 2 ? 0 : 2;
            c.nCountryId = i == 2 ? 1 : 3;
        }
    }
    void SetWeather(int weather, int light = 0)
    {
        game->dwStateFlag = kWeatherOn | kDayNightOn;
        game->nWeather = weather;
        game->nLight = light;
    }
    void SetCell(HEXINDEX hex, MAPCELL cell)
    {
        game->dwHexCell[hex] = cell;
        for (COUNTRYSTRUCT& c : game->Country) {
            for (UNITSTRUCT& u : c.Unit) {
                if (u.nHex == hex) u.dwHexCell = cell;
            }
        }
    }
    std::span<const MAPCELL, kHexCount> Cells() const { return game->dwHexCell; }

    // Runs each step on a fresh copy of the game and expects its code.
    struct Step {
        const char* name;
        std::function<void()> change;
        int code;
    };
    void ExpectCodes(const std::function<int()>& check, std::initializer_list<Step> steps)
    {
        for (const Step& s : steps) {
            SCOPED_TRACE(s.name);
            if (s.change) s.change();
            EXPECT_EQ(check(), s.code);
        }
    }
};

TEST_F(UnitCommandsTest, DiveAndSurfaceCodes)
{
    UNITSTRUCT& sub = Place(0, 0, kFixtureSubmarine, kHere);
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, kEast);
    EXPECT_EQ(CheckDive(*game, tank), 144);
    ExpectCodes([&] { return CheckDive(*game, sub); },
                {
                    {"on land", nullptr, 146},
                    {"at sea", [&] { SetCell(kHere, WithTerrain(0, kFixtureSea)); }, 0},
                    {"already down", [&] { sub.dwFlag |= kUnitInWater; }, 145},
                    {"storm drains a weak battery",
                     [&] {
                         sub.dwFlag &= ~kUnitInWater;
                         rules->Arms(kFixtureSubmarine).dwArmsFlag |= 1u << 9;
                         sub.nBattery = 1;
                         SetWeather(3);
                     },
                     147},
                    {"fine weather: fuel counts", [&] { SetWeather(0); }, 0},
                    {"no fuel either", [&] { sub.nFuel = 0; }, 148},
                });
    EXPECT_EQ(CheckDive(*game, sub, true), 0) << "a site-only query stops before the reserve";
    ExpectCodes([&] { return CheckSurface(sub); }, {
                                                       {"not down", nullptr, 149},
                                                       {"nothing left",
                                                        [&] {
                                                            sub.dwFlag |= kUnitInWater;
                                                            sub.nBattery = 0;
                                                        },
                                                        151},
                                                       {"battery", [&] { sub.nBattery = 1; }, 0},
                                                   });
    tank.dwFlag |= kUnitInWater;
    EXPECT_EQ(CheckSurface(tank), 150);

    // Dive on battery alone costs battery; otherwise fuel, then battery.
    sub.dwFlag &= ~(kUnitInWater | kUnitActed);
    rules->Arms(kFixtureSubmarine).dwArmsFlag &= ~(1u << 9);
    sub.nBattery = 5;
    sub.nFuel = 3;
    DiveUnit(*game, sub);
    EXPECT_EQ(sub.nBattery, 4);
    EXPECT_EQ(sub.nFuel, 3);
    EXPECT_EQ(sub.dwFlag & (kUnitActed | kUnitInWater | kUnitMoved), kUnitActed | kUnitInWater | kUnitMoved);
    EXPECT_EQ(sub.nMove, 4);
    rules->Arms(kFixtureSubmarine).dwArmsFlag |= 1u << 10;
    sub.nFuel = 0;
    SurfaceUnit(*game, sub, false);
    EXPECT_EQ(sub.nFuel, 0);
    EXPECT_EQ(sub.nBattery, 3) << "fuel that would go below 0 comes from the battery";
    EXPECT_EQ(sub.dwFlag & kUnitInWater, 0u);
}

TEST_F(UnitCommandsTest, BombingCodesInOrder)
{
    UNITSTRUCT& bomber = Place(0, 0, kRuleBomber, kHere);
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, kEast);
    const HEXINDEX target = MakeHex(22, 20);
    EXPECT_EQ(CheckUnitBombing(*game, Cells(), tank, -1), 110);
    auto check = [&] { return CheckUnitBombing(*game, Cells(), bomber, target); };
    ExpectCodes(check,
                {
                    {"bombs empty", [&] { bomber.nAmmo[0] = 0; }, 111},
                    {"rain",
                     [&] {
                         bomber.nAmmo[0] = 4;
                         SetWeather(2);
                     },
                     115},
                    {"class 54 overrides", [&] { rules->Arms(kRuleBomber).nClass = 54; }, 116},
                    {"class 54 in fine weather", [&] { SetWeather(0); }, 116},
                    {"carried",
                     [&] {
                         rules->Arms(kRuleBomber).nClass = 56;
                         bomber.dwFlag |= kUnitCarried;
                     },
                     117},
                    {"durability 0", [&] { bomber.dwFlag &= ~kUnitCarried; }, 112},
                    {"durability 1", [&] { SetCell(target, WithDurability(game->dwHexCell[target], 1)); }, 0},
                    {"durability 1 on a floored terrain",
                     [&] { SetCell(target, WithTerrain(game->dwHexCell[target], kFixtureFort)); }, 112},
                    {"unowned", [&] { SetCell(target, WithDurability(game->dwHexCell[target], 30)); }, 0},
                    {"own", [&] { SetCell(target, WithOwner(game->dwHexCell[target], 0)); }, 113},
                    {"ally", [&] { SetCell(target, WithOwner(game->dwHexCell[target], 2)); }, 118},
                    {"neutral", [&] { SetCell(target, WithOwner(game->dwHexCell[target], 3)); }, 114},
                    {"enemy", [&] { SetCell(target, WithOwner(game->dwHexCell[target], 1)); }, 0},
                });
    SetCell(target, WithOwner(game->dwHexCell[target], 3));
    EXPECT_EQ(CheckUnitBombing(*game, Cells(), bomber, target, true), 0) << "any owner accepted";
    EXPECT_EQ(CheckUnitBombing(*game, Cells(), bomber, -1), 0) << "no target hex";
    // Marching types bomb in any weather.
    SetWeather(3);
    rules->Arms(kRuleBomber).dwArmsFlag |= 1u << 4;
    EXPECT_EQ(CheckUnitBombing(*game, Cells(), bomber, -1), 0);
}

TEST_F(UnitCommandsTest, BombingEffectDrawsOnceAndDividesByWeatherAndLight)
{
    // Power: 30 x 1 against domain 2; raw = (10 x 30 + 0) / 10 = 30.
    UNITSTRUCT& bomber = Place(0, 0, kRuleBomber, kHere);
    rules->Terrain(kFixtureCity).nRuinForm = kFixturePlain;
    struct Case {
        const char* name;
        int weather, light;
        bool nightFlag;
        int cls;
        int strength;
        int durability;
        int draw;  // -1: no draw expected
        uint32_t result;
        int durabilityAfter;
    } cases[] = {
        // damage = 30 + 30 x (draw % 50 + 1) / 100: draw 9 -> 30 + 3 = 33
        {"fine day", 0, 0, false, 56, 10, 100, 9, 33, 67},
        {"cloudy halves", 1, 0, false, 56, 10, 100, 9, 17, 83},
        {"night quarters, also in cloudy weather", 1, 2, false, 56, 10, 100, 9, 9, 91},
        {"night flag halves", 0, 2, true, 56, 10, 100, 9, 17, 83},
        {"dusk halves", 0, 1, false, 56, 10, 100, 9, 17, 83},
        {"night flag at dusk: no divisor", 0, 1, true, 56, 10, 100, 9, 33, 67},
        {"night flag at dusk keeps the weather's", 1, 1, true, 56, 10, 100, 9, 17, 83},
        {"rain has no divisor", 2, 0, false, 56, 10, 100, 9, 33, 67},
        {"strength 0: no draw, damage 1", 0, 0, false, 56, 0, 100, -1, 1, 99},
        {"ruined", 0, 0, false, 56, 10, 20, 9, 20 | kRaidDecisive, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        game->dwStateFlag = kWeatherOn | kDayNightOn;
        game->nWeather = k.weather;
        game->nLight = k.light;
        rules->Arms(kRuleBomber).dwArmsFlag = k.nightFlag ? 1u << 8 : 0u;
        bomber.nStrength = k.strength;
        bomber.nAmmo[0] = 4;
        bomber.nExp = 0;
        MAPCELL cell = WithOwner(WithDurability(WithTerrain(0, kFixtureCity), k.durability), 1);
        ScriptedDraws draws = k.draw < 0 ? ScriptedDraws{} : ScriptedDraws{k.draw};
        EXPECT_EQ(BombHex(*game, bomber, cell, draws), k.result);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(CellDurability(cell), k.durabilityAfter);
        EXPECT_EQ(bomber.nAmmo[0], 3);
        EXPECT_EQ(bomber.nCpuScore, 1);
        if (k.result & kRaidDecisive) {
            EXPECT_EQ(CellTerrain(cell), kFixturePlain);
            EXPECT_EQ(CellOwner(cell), -1);
            EXPECT_EQ(bomber.dwHexCell, cell) << "an aircraft takes the new cell";
        }
    }
    // A floored terrain keeps durability 1; class 31 ground units halve at night.
    MAPCELL fort = WithDurability(WithTerrain(0, kFixtureFort), 5);
    game->dwStateFlag = 0;
    bomber.nExp = 0;
    bomber.nAmmo[0] = 4;
    bomber.nStrength = 10;
    ScriptedDraws one{0};
    EXPECT_EQ(BombHex(*game, bomber, fort, one), 4u);
    EXPECT_EQ(CellDurability(fort), 1);
    EXPECT_EQ(bomber.nExp, 3) << "30 / 10";

    UNITSTRUCT& guns = Place(0, 1, kRuleGuns, kEast);
    rules->Weapon(kRuleGuns, 0).dwWeaponFlag |= 1u << 5;
    rules->Arms(kRuleGuns).nClass = 31;
    guns.nStrength = 10;
    SetWeather(0, 2);
    MAPCELL cell = WithDurability(WithTerrain(0, kFixturePlain), 100);
    ScriptedDraws d{9};
    EXPECT_EQ(BombHex(*game, guns, cell, d), 6u) << "raw 10 + 1 = 11, halved up";
}

TEST_F(UnitCommandsTest, OccupationCapturesAtEqualDamage)
{
    // Occupation weapon of the infantry: attack 6 against domain 2 (fixture: {1, 6, 1, ...} -> 1).
    rules->SetSlot(kFixtureInfantry, 1, RuleLibrary::Gun(20, 2, {0, 0, 5, 0, 0}, {0, 0, 0, 0}), 3);
    rules->Weapon(kFixtureInfantry, 1).dwWeaponFlag = 1u << 6;
    UNITSTRUCT& inf = Place(0, 0, kFixtureInfantry, kHere);
    inf.nExp = 0;
    // raw = 10 x 5 / 10 = 5; draw 0 -> 5 + 5 x 1 / 100 = 5
    struct Case {
        const char* name;
        int light;
        int durability;
        uint32_t result;
        int owner, durabilityAfter;
    } cases[] = {
        {"equal captures", 0, 5, 5 | kRaidDecisive, 0, 20},
        {"short of it", 0, 6, 5, 1, 1},
        {"night halves rounding up", 2, 3, 3 | kRaidDecisive, 0, 20},
        {"night: 3 of 4", 2, 4, 3, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        game->dwStateFlag = kDayNightOn;
        game->nLight = k.light;
        inf.nAmmo[1] = 3;
        MAPCELL cell = WithOwner(WithDurability(WithTerrain(0, kFixtureCity), k.durability), 1);
        ScriptedDraws draws{0};
        EXPECT_EQ(OccupyHex(*game, inf, cell, draws), k.result);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(CellOwner(cell), k.owner);
        EXPECT_EQ(CellDurability(cell), k.durabilityAfter);
        EXPECT_EQ(inf.dwHexCell, cell);
    }
}

TEST_F(UnitCommandsTest, OccupyAttackAndDisbandCodes)
{
    UNITSTRUCT& inf = Place(0, 0, kFixtureInfantry, kHere);
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(30, 30));
    EXPECT_EQ(CheckOccupy(*game, Cells(), tank, kHere), 99);
    auto check = [&] { return CheckOccupy(*game, Cells(), inf, kHere); };
    ExpectCodes(check, {
                           {"carried", [&] { inf.dwFlag |= kUnitCarried; }, 103},
                           {"plain cannot be held", [&] { inf.dwFlag &= ~kUnitCarried; }, 100},
                           {"unowned city", [&] { SetCell(kHere, WithTerrain(0, kFixtureCity)); }, 0},
                           {"own", [&] { SetCell(kHere, WithOwner(game->dwHexCell[kHere], 0)); }, 101},
                           {"ally", [&] { SetCell(kHere, WithOwner(game->dwHexCell[kHere], 2)); }, 104},
                           {"neutral", [&] { SetCell(kHere, WithOwner(game->dwHexCell[kHere], 3)); }, 102},
                           {"enemy", [&] { SetCell(kHere, WithOwner(game->dwHexCell[kHere], 1)); }, 0},
                       });
    EXPECT_EQ(CheckOccupy(*game, Cells(), inf, -1), 0);

    EXPECT_EQ(CheckUnitDisband(inf), 0);
    rules->Arms(kFixtureInfantry).dwArmsFlag |= 1u << 4;
    EXPECT_EQ(CheckUnitDisband(inf), 29);

    UNITSTRUCT& ship = Place(0, 2, kFixtureDestroyer, MakeHex(10, 10));
    ExpectCodes([&] { return CheckUnitAttack(*game, ship); },
                {
                    {"nobody near", nullptr, 105},
                    {"enemy in reach", [&] { Place(1, 0, kFixtureTank, MakeHex(10, 12)); }, 0},
                    {"storm", [&] { SetWeather(3); }, 108},
                    {"carried", [&] { ship.dwFlag |= kUnitCarried; }, 109},
                });
    UNITSTRUCT& truck = Place(0, 3, kRuleSupplyTruck, MakeHex(11, 11));
    EXPECT_EQ(CheckUnitAttack(*game, truck), 106);
    game->dwStateFlag = 0;
    tank.nAmmo[0] = 0;
    EXPECT_EQ(CheckUnitAttack(*game, tank), 107);
}

TEST_F(UnitCommandsTest, LoadMergeJettisonCodes)
{
    SetCell(kHere, WithTerrain(0, kFixtureAirfield));
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, kHere);          // room: class 1 x2, class 2 x1
    UNITSTRUCT& guns = Place(0, 1, kRuleGuns, kEast);               // class 1
    UNITSTRUCT& tank = Place(0, 2, kFixtureTank, MakeHex(21, 20));  // class 3
    UNITSTRUCT& fighter = Place(0, 3, kFixtureFighter, MakeHex(21, 21));
    ship.nAmmo[1] = 0;
    EXPECT_EQ(CheckBoardCarrier(*game, tank, ship), 88);
    EXPECT_EQ(CheckBoardCarrier(*game, fighter, ship), 85);
    EXPECT_EQ(CheckBoardCarrier(*game, guns, ship), 87) << "the airfield is no base for the ship";
    rules->Terrain(kFixtureAirfield).dwBaseField |= 0x6u << 4;  // base kind 1
    EXPECT_EQ(CheckBoardCarrier(*game, guns, ship), 0);
    ship.nStrength = 5;
    guns.nStrength = 6;
    EXPECT_EQ(CheckBoardCarrier(*game, guns, ship), 86);
    guns.nStrength = 5;
    Board(Place(0, 4, kRuleGuns, -1), ship);
    Board(Place(0, 5, kRuleGuns, -1), ship);
    EXPECT_EQ(CheckBoardCarrier(*game, guns, ship), 89);
    guns.dwFlag |= kUnitCarried;
    EXPECT_EQ(CheckBoardCarrier(*game, guns, ship), 90);

    // Merge: a tank of the same type next door with room below 2 x full - own.
    UNITSTRUCT& t2 = Place(0, 6, kFixtureTank, MakeHex(21, 19));
    ExpectCodes([&] { return CheckMergeUnitState(*game, *hexUnit, tank); },
                {
                    {"both at full strength", nullptr, 96},
                    {"room for the partner", [&] { t2.nStrength = 9; }, 0},
                    {"march type", [&] { rules->Arms(kFixtureTank).dwArmsFlag |= 1u << 4; }, 98},
                    {"pieces", [&] { rules->Arms(kFixtureTank).dwArmsFlag |= 1u << 1; }, 95},
                    {"carried", [&] { tank.dwFlag |= kUnitCarried; }, 97},
                    {"carries", [&] { tank.dwFlag |= kUnitCarries; }, 94},
                });

    UNITSTRUCT& bomber = Place(0, 7, kRuleBomber, MakeHex(30, 30));
    ExpectCodes([&] { return CheckUnitJettison(bomber); },
                {
                    {"loaded bombs", nullptr, 0},
                    {"empty", [&] { bomber.nAmmo[0] = 0; }, 92},
                    {"pending", [&] { bomber.dwOrder |= kOrderJettisonPending; }, 91},
                    {"carried", [&] { bomber.dwFlag |= kUnitCarried; }, 93},
                });
    EXPECT_EQ(CheckUnitJettison(ship), 91) << "nothing droppable";

    // Jettison with a minimum use of 6 and 2 already moved takes 4 from the tanks.
    bomber.nAmmo[0] = 4;
    bomber.nMoved = 2;
    JettisonStores(bomber, 6);
    EXPECT_EQ(bomber.nMoved, 6);
    EXPECT_EQ(bomber.nAmmo[1], 6);
    EXPECT_EQ(bomber.nAmmo[0], 0);
}

TEST_F(UnitCommandsTest, MergeTransferDilutesAndEmptiesTheGiver)
{
    UNITSTRUCT a{};
    a.nStrength = 6;
    a.nFuel = 30;
    a.nExp = 100;
    a.nAmmo[0] = 10;
    UNITSTRUCT b{};
    b.nStrength = 4;
    b.nFuel = 50;
    b.nExp = 0;
    b.nAmmo[0] = 0;
    MergeBuffer first = CopyUnitToMergeBuffer(a);
    MergeBuffer second = CopyUnitToMergeBuffer(b);
    TransferMergeStrength(first, second, 4);
    EXPECT_EQ(first.strength, 10);
    EXPECT_EQ(first.fuel, (30 * 6 + 50 * 4) / 10);
    EXPECT_EQ(first.exp, 60);
    EXPECT_EQ(first.ammo[0], 6);
    EXPECT_EQ(second.strength, 0);
    EXPECT_EQ(second.fuel, 0);
    EXPECT_EQ(second.exp, 0);
    EXPECT_EQ(second.ammo[0], 0);
    TransferMergeStrength(first, second, -3);
    EXPECT_EQ(second.strength, 3);
    EXPECT_EQ(second.exp, 60);
    WriteMergeBuffer(second, b);
    EXPECT_EQ(b.nStrength, 3);
}

TEST_F(UnitCommandsTest, SupplyChecksKeepTheirFlagBits)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    COUNTRYSTRUCT& c = game->Country[0];
    ExpectCodes([&] { return CheckSupplyFromOwner(*game, tank); },
                {
                    {"full", nullptr, 61},
                    {"fuel missing", [&] { tank.nFuel = 10; }, 0},
                    {"fuel and a round missing, funds for fuel only",
                     [&] {
                         tank.nAmmo[0] = 11;
                         rules->Weapon(kFixtureTank, 0).nRoundPrice = 30;  // 30 x 10 / 10
                         c.nFund = 5;
                     },
                     54},
                    {"funds for a round", [&] { c.nFund = 30; }, 0},
                    {"march type", [&] { rules->Arms(kFixtureTank).dwArmsFlag |= 1u << 4; }, 62},
                    {"submerged", [&] { tank.dwFlag |= kUnitInWater; }, 63},
                });
    tank.dwFlag &= ~kUnitInWater;
    rules->Arms(kFixtureTank).dwArmsFlag = 0;
    tank.dwFlag |= kUnitWantsFuel | kUnitWantsRounds;
    c.nFund = 0;
    tank.nFuel = 50;
    EXPECT_EQ(CheckSupplyFromOwner(*game, tank), 54);
    EXPECT_EQ(tank.dwFlag & (kUnitWantsFuel | kUnitWantsRounds), 0u) << "cleared first";
    c.nFund = 30;
    EXPECT_EQ(CheckSupplyFromOwner(*game, tank), 0);
    EXPECT_EQ(tank.dwFlag & (kUnitWantsFuel | kUnitWantsRounds), kUnitWantsRounds);

    // Replenishment: bit 8 from the first refusal after "supplied" on.
    SetCell(kHere, WithOwner(WithTerrain(0, kFixtureCity), 0));  // base kind 2 field 6
    ExpectCodes(
        [&] { return CheckReplenish(*game, tank); },
        {
            {"full strength", nullptr, 70},
            {"below full", [&] { tank.nStrength = 5; }, 0},
            {"too poor", [&] { c.nFund = 19; }, 68},
            {"enemy hex",
             [&] {
                 c.nFund = 100;
                 SetCell(kHere, WithOwner(game->dwHexCell[kHere], 1));
             },
             67},
            {"no base field", [&] { SetCell(kHere, WithOwner(WithTerrain(0, kFixturePlain), 0)); }, 65},
            {"never replenished", [&] { rules->Arms(kFixtureTank).nReplenish = 0; }, 64},
            {"carried", [&] { tank.dwFlag |= kUnitCarried; }, 66},
        });
    EXPECT_NE(tank.dwFlag & kUnitReplenishChecked, 0u);
    tank.dwFlag |= kUnitSupplied;
    EXPECT_EQ(CheckReplenish(*game, tank), 58);
    EXPECT_EQ(tank.dwFlag & kUnitReplenishChecked, 0u);
}

TEST_F(UnitCommandsTest, HexSupplyRulesAndFuelOnlyOwners)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    auto resupply = [&] { return CheckSupplyAtHex(*game, tank, tank.dwHexCell, SupplyMode::Resupply); };
    auto base = [&] { return CheckSupplyAtHex(*game, tank, tank.dwHexCell, SupplyMode::Base); };
    EXPECT_EQ(resupply(), 51) << "plain has no base field";
    EXPECT_EQ(base(), 56);
    SetCell(kHere, WithTerrain(0, kFixtureCity));
    EXPECT_EQ(resupply(), 53) << "unowned";
    EXPECT_EQ(base(), 0);
    SetCell(kHere, WithOwner(game->dwHexCell[kHere], 2));
    // Ally country id 1 -> own id 1: the diagonal 0x82 lets it supply.
    EXPECT_EQ(resupply(), 0);
    SetCell(kHere, WithOwner(game->dwHexCell[kHere], 3));
    EXPECT_EQ(resupply(), 53);
    rules->Supply(1, 3) = 0x01;
    tank.nFuel = 10;
    EXPECT_EQ(resupply(), 55) << "fuel only";
    tank.nFuel = 50;
    EXPECT_EQ(resupply(), 53) << "fuel only, and the fuel is full";
    rules->Arms(kFixtureTank).nBaseKind = -1;
    EXPECT_EQ(resupply(), 50);

    // Bit 0 alone is no supply base: 56, and 57 in snow.
    rules->Arms(kFixtureTank).nBaseKind = 2;
    rules->Terrain(kFixturePlain).dwBaseField = 0x100;
    SetCell(kHere, WithTerrain(0, kFixturePlain));
    EXPECT_EQ(base(), 56);
    game->dwStateFlag = kWeatherOn | kSnowOn;
    EXPECT_EQ(base(), 57);

    // A supply core at a fuel-only hex buys fuel but no rounds.
    game->dwStateFlag = 0;
    SetCell(kHere, WithOwner(WithTerrain(0, kFixtureCity), 3));
    tank.nFuel = 10;
    tank.nAmmo[0] = 5;
    tank.dwFlag |= kUnitWantsFuel | kUnitWantsRounds;
    SupplyRequest request;
    request.budget = 1000;
    ScriptedDraws none{};
    EXPECT_EQ(SupplyUnit(*game, tank, request, none), 1000 - 40);
    EXPECT_EQ(tank.nFuel, 50);
    EXPECT_EQ(tank.nAmmo[0], 5);
    EXPECT_EQ(tank.dwFlag & (kUnitWantsFuel | kUnitWantsRounds), 0u);
    EXPECT_NE(tank.dwFlag & (kUnitSupplied | kUnitBought), 0u);
}

TEST_F(UnitCommandsTest, ReplenishmentDrawsOnlyWhenItCanBuy)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);  // replenish 2, price 20
    int budget = 1000;
    {
        ScriptedDraws none{};
        EXPECT_EQ(ReplenishStrength(tank, budget, false, none), 0) << "full: no draw";
        tank.nStrength = 12;
        EXPECT_EQ(ReplenishStrength(tank, budget, false, none), 0) << "above full: no draw";
        tank.nStrength = 5;
        rules->Arms(kFixtureTank).nReplenish = 0;
        EXPECT_EQ(ReplenishStrength(tank, budget, false, none), 0) << "r = 0: no draw";
        rules->Arms(kFixtureTank).nReplenish = 2;
        EXPECT_EQ(ReplenishStrength(tank, budget, true, none), 2) << "maximum rate: no draw";
    }
    tank.nStrength = 5;
    tank.nExp = 100;
    ScriptedDraws one{3};  // 3 % 2 + 1 = 2
    budget = 30;           // pays for one point only
    EXPECT_EQ(ReplenishStrength(tank, budget, false, one), 1);
    EXPECT_TRUE(one.UsedUp());
    EXPECT_EQ(budget, 10);
    EXPECT_EQ(tank.nStrength, 6);
    EXPECT_EQ(tank.nExp, (1 * 100 / 2 + 5 * 100) / 6) << "the new point dilutes experience";

    // Pieces types keep their experience.
    UNITSTRUCT& guns = Place(0, 1, kRuleGuns, kEast);
    guns.nExp = 100;
    budget = 1000;
    ScriptedDraws two{1};
    EXPECT_EQ(ReplenishStrength(guns, budget, false, two), 2);
    EXPECT_EQ(guns.nExp, 100);
}

TEST_F(UnitCommandsTest, ArmsChangeAndFreeResupply)
{
    rules->Arms(kFixtureTank).Arm[1] = {2, {4, 0, 0, 0, 0, 0, 0, 0}};
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    EXPECT_EQ(CheckUnitArmsChange(*game, tank), 76) << "no supply at the hex";
    SetCell(kHere, WithOwner(WithTerrain(0, kFixtureCity), 0));
    EXPECT_EQ(CheckUnitArmsChange(*game, tank), 0);
    tank.dwFlag |= kUnitCarries;
    EXPECT_EQ(CheckUnitArmsChange(*game, tank), 77);
    tank.dwFlag &= ~kUnitCarries;
    UNITSTRUCT& inf = Place(0, 1, kFixtureInfantry, kEast);
    EXPECT_EQ(CheckUnitArmsChange(*game, inf), 75);

    const uint32_t flags = tank.dwFlag;
    tank.nFuel = 45;
    game->Country[0].nFund = 100;
    EXPECT_EQ(GetArmsChangeCost(tank, 1), -12 + 4 + 5);
    ScriptedDraws none{};
    ChangeUnitArms(*game, tank, 1, none);
    EXPECT_EQ(tank.dwFlag, flags) << "the flag word is put back";
    EXPECT_EQ(tank.nMode, 1);
    EXPECT_EQ(tank.nAmmo[0], 4);
    EXPECT_EQ(tank.nFuel, 50);
    EXPECT_EQ(game->Country[0].nFund, 100 + 12 - 5 - 4);

    // Free full resupply: strength comes back pass by pass until nothing is spent.
    tank.nStrength = 5;
    tank.nFuel = 0;
    ScriptedDraws draws{0, 0, 0, 1};  // 1, 1, 1, then 2 points
    FreeFullResupply(*game, tank, 10, draws);
    EXPECT_EQ(tank.nStrength, 10);
    EXPECT_EQ(tank.nFuel, 50);
    EXPECT_TRUE(draws.UsedUp()) << "a full unit draws nothing";
    EXPECT_EQ(tank.dwFlag & kUnitWantsFuel, 0u);
}

TEST_F(UnitCommandsTest, EvolutionAndImprovementCodes)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    COUNTRYSTRUCT& c = game->Country[0];
    const int cls = rules->Arms(kFixtureTank).nClass;
    for (auto& w : c.dwClassList[cls]) w = 0xFFFFFFFFu;
    ExpectCodes([&] { return CheckEvolution(*game, tank, true, -1); },
                {
                    {"step 9 before experience", [&] { rules->Arms(kFixtureTank).nEvolution = 9; }, 32},
                    {"249 experience",
                     [&] {
                         rules->Arms(kFixtureTank).nEvolution = 0;
                         tank.nExp = 249;
                     },
                     33},
                    {"no next type", [&] { tank.nExp = 250; }, 36},
                    {"too dear",
                     [&] {
                         c.dwClassList[cls][1] = kRuleGuns;
                         c.nFund = 99;
                     },
                     37},
                    {"paid", [&] { c.nFund = 100; }, 0},
                    {"off the map", [&] { tank.nHex = -1; }, 38},
                });
    EXPECT_EQ(GetEvolutionTargets(c, tank), static_cast<uint32_t>(kRuleGuns));

    ExpectCodes([&] { return CheckImprovement(*game, tank); },
                {
                    {"no candidate available", nullptr, 71},
                    {"not at a supply hex",
                     [&] {
                         tank.nHex = kHere;
                         c.dwArmsAvail[kFixtureRetired] = 0x01000000u;
                     },
                     72},
                    {"away from supply allowed", [&] { rules->Arms(kFixtureTank).dwArmsFlag |= 1u << 2; }, 0},
                    {"a dear candidate refuses even beside a cheap one",
                     [&] {
                         rules->Arms(kFixtureTank).wImprove[1] = kRuleTransport;
                         rules->Arms(kRuleTransport).nPrice = 500;
                         c.dwArmsAvail[kRuleTransport] = 0x01000000u;
                         c.nFund = 200;
                     },
                     73},
                    {"carries", [&] { tank.dwFlag |= kUnitCarries; }, 74},
                });

    // The change itself: funds, type, experience reset only for evolution.
    tank.dwFlag &= ~kUnitCarries;
    tank.nExp = 250;
    c.nFund = 1000;
    ScriptedDraws none{};
    ChangeUnitType(*game, tank, kRuleGuns, true, none);
    EXPECT_EQ(tank.nArms, kRuleGuns);
    EXPECT_EQ(tank.nExp, 0);
    EXPECT_EQ(c.nFund, 900);
    EXPECT_NE(c.dwArmsAvail[kRuleGuns] & 0x20000000u, 0u) << "marked seen";
    EXPECT_NE(game->Country[2].dwArmsAvail[kRuleGuns] & 0x20000000u, 0u) << "passed on to the ally";
    EXPECT_EQ(game->Country[1].dwArmsAvail[kRuleGuns], 0u);
    EXPECT_NE(tank.dwFlag & (kUnitActed | kUnitSupplied), 0u);
}

TEST_F(UnitCommandsTest, RecallCodes)
{
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, MakeHex(42, 40));  // next to the capital (40, 40)
    for (int s = 1; s <= 3; ++s) Board(Place(0, s, kRuleGuns, -1), ship);
    for (int i = 0; i < kCarryUnitCount - 3; ++i) game->CarryUnit[i].dwFlag = kUnitInUse;
    ExpectCodes([&] { return CheckRecall(*game, Cells(), *hexUnit, ship); },
                {
                    {"no campaign", nullptr, 152},
                    {"3 free records, 4 units", [&] { game->dwGameOption |= kOptionCampaign; }, 153},
                    {"4 free", [&] { game->CarryUnit[0].dwFlag = 0; }, 156},
                    {"naval deployment hex",
                     [&] {
                         rules->Terrain(kFixturePlain).dwTrrnFlag |= 1u << 30;
                         SetCell(ship.nHex, WithOwner(game->dwHexCell[ship.nHex], 0));
                     },
                     0},
                    {"computer-run", [&] { game->Country[0].dwFlag |= 0x40000000u; }, 155},
                    {"somebody else on the hex", [&] { (*hexUnit)[ship.nHex] = MakeUnitRef(1, 5); }, 154},
                });
}

TEST_F(UnitCommandsTest, UnloadCodesAndEffect)
{
    const HEXINDEX sea = MakeHex(30, 30);
    SetCell(sea, WithTerrain(0, kFixtureSea));
    for (HEXINDEX nb : GetNeighbourSlots(sea)) SetCell(nb, WithTerrain(0, kFixtureSea));
    UNITSTRUCT& ship = Place(0, 0, kRuleTransport, sea);
    auto check = [&] { return CheckUnloadTargetHex(*game, Cells(), *hexUnit, *sensor, ship, true); };
    EXPECT_EQ(check(), 121);
    UNITSTRUCT& inf = Place(0, 1, kFixtureInfantry, -1);
    Board(inf, ship);
    ship.nAmmo[1] = 0;
    EXPECT_EQ(check(), 123) << "no carry space left and no base at sea";
    ship.nAmmo[1] = 2;
    EXPECT_EQ(check(), 124) << "nothing but sea around";
    SetCell(GetNeighbour(sea, 0), WithTerrain(0, kFixturePlain));
    EXPECT_EQ(check(), 0);
    SetWeather(3);
    EXPECT_EQ(check(), 123) << "the carry space works only in weather below class 2";
    rules->Terrain(kFixtureSea).dwBaseField = 0x60;
    EXPECT_EQ(check(), 126);
    game->dwStateFlag = 0;
    rules->Arms(kRuleTransport).nClass = 58;
    EXPECT_EQ(check(), 122);
    rules->Arms(kRuleTransport).nClass = 36;
    ship.dwFlag |= kUnitCarried;
    EXPECT_EQ(check(), 125);
    ship.dwFlag &= ~kUnitCarried;

    const HEXINDEX land = GetNeighbour(sea, 0);
    EXPECT_TRUE(UnloadUnit(*game, game->dwHexCell, *hexUnit, *sensor, ship, inf, land));
    EXPECT_EQ(ship.nAmmo[1], 1);
    EXPECT_EQ(ship.dwFlag & kUnitCarries, 0u);
    EXPECT_EQ(inf.nHex, land);
    EXPECT_EQ(inf.dwFlag & kUnitCarried, 0u);
    EXPECT_NE(inf.dwFlag & kUnitActed, 0u);
    EXPECT_EQ(CargoCarrier(inf.dwCargo), kNoCarrier);
    EXPECT_EQ((*hexUnit)[land], inf.refSelf);
    EXPECT_EQ(inf.dwHexCell, game->dwHexCell[land]);
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

using namespace zrvtest;

TEST_F(RuleTest, ComputerFormsOfUnloadAndFuelStarvation)
{
    // A fighter out of fuel is stranded only where it cannot be refuelled.
    UNITSTRUCT& fighter = Place(0, 0, kFixtureFighter, MakeHex(20, 20));
    EXPECT_FALSE(IsFuelStarvedFixedUnit(*game, fighter)) << "fuel left";
    fighter.nFuel = 0;
    EXPECT_TRUE(IsFuelStarvedFixedUnit(*game, fighter));
    fighter.dwHexCell = WithOwner(WithTerrain(0, kFixtureAirfield), 0);  // base kind 3: field 6
    EXPECT_FALSE(IsFuelStarvedFixedUnit(*game, fighter));

    // Could the ship put its infantry ashore from a given sea hex?
    const HEXINDEX sea = MakeHex(30, 30);
    game->dwHexCell[sea] = WithTerrain(0, kFixtureSea);
    for (HEXINDEX nb : GetNeighbourSlots(sea)) game->dwHexCell[nb] = WithTerrain(0, kFixtureSea);
    UNITSTRUCT& ship = Place(0, 1, kRuleTransport, MakeHex(10, 10));
    UNITSTRUCT& inf = Place(0, 2, kFixtureInfantry, -1);
    Board(inf, ship);
    const UNITSTRUCT* cargo[] = {&inf};
    EXPECT_FALSE(CanUnloadToAnyHex(*game, game->dwHexCell, *hexUnit, *sensor, ship, sea, cargo));
    game->dwHexCell[GetNeighbour(sea, 2)] = WithTerrain(0, kFixturePlain);
    EXPECT_TRUE(CanUnloadToAnyHex(*game, game->dwHexCell, *hexUnit, *sensor, ship, sea, cargo));
    EXPECT_EQ(ship.nHex, MakeHex(10, 10)) << "nothing changes";
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

using namespace zrvtest;

TEST_F(RuleTest, SupplyFromASupplyUnit)
{
    const HEXINDEX here = MakeHex(20, 20);
    game->dwHexCell[here] = WithTerrain(0, kFixtureCity);  // a base for kind 2
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, here);
    tank.nAmmo[0] = 2;
    EXPECT_EQ(CheckUnitSupply(*game, *hexUnit, tank), 60) << "no supplier next to it";
    UNITSTRUCT& truck = Place(0, 1, kRuleSupplyTruck, GetNeighbour(here, 0));
    truck.nAmmo[0] = 5;
    EXPECT_EQ(CheckUnitSupply(*game, *hexUnit, tank), 0);
    truck.nAmmo[0] = 0;
    EXPECT_EQ(CheckUnitSupply(*game, *hexUnit, tank), 60) << "an empty stock pays for nothing";
    truck.nAmmo[0] = 5;
    tank.nHex = -1;
    EXPECT_EQ(CheckUnitSupply(*game, *hexUnit, tank), 52);
    tank.nHex = here;

    // Budget 5 x 10; the 2 rounds sold back (+2), 12 bought (-12): 40 left,
    // so the stock keeps 4 and the supplier gains 3.
    SupplyRequest request;
    request.supplier = &truck;
    ScriptedDraws none{};
    EXPECT_EQ(SupplyUnit(*game, tank, request, none), 4);
    EXPECT_EQ(tank.nAmmo[0], 12);
    EXPECT_EQ(truck.nAmmo[0], 4);
    EXPECT_EQ(truck.nExp, 3);
    EXPECT_NE(tank.dwFlag & kUnitBought, 0u);
}

TEST_F(RuleTest, ImpactPictureKinds)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
    UNITSTRUCT& fighter = Place(0, 1, kFixtureFighter, MakeHex(21, 20));
    UNITSTRUCT& ship = Place(0, 2, kFixtureDestroyer, MakeHex(22, 20));
    const HEXINDEX sea = MakeHex(23, 20);
    game->dwHexCell[sea] = WithTerrain(0, kFixtureSea);
    struct Case {
        const char* name;
        UNITSTRUCT* target;
        int weaponType;
        HEXINDEX hex;
        int kind;
    } cases[] = {
        {"small arms", &tank, 5, tank.nHex, 0},
        {"type 23", &tank, 23, tank.nHex, 3},
        {"ground", &tank, 12, tank.nHex, 4},
        {"air", &fighter, 12, fighter.nHex, 1},
        {"ship", &ship, 12, ship.nHex, 2},
        {"off the target on land", &ship, 12, MakeHex(30, 30), 4},
        {"off the target on water", &tank, 12, sea, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(GetImpactEffectKind(*k.target, k.weaponType, k.hex, game->dwHexCell), k.kind);
    }
    tank.dwFlag |= kUnitInWater;
    EXPECT_EQ(GetImpactEffectKind(tank, 12, tank.nHex, game->dwHexCell), 2);
}

}  // namespace
}  // namespace zrv
