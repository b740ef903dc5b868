#include <gtest/gtest.h>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using namespace zrvtest;

constexpr uint32_t kWeatherOn = 0x40000000u;
constexpr uint32_t kDayNightOn = 0x10000000u;
const HEXINDEX kHere = MakeHex(20, 20);
const HEXINDEX kEast = MakeHex(20, 21);

class CombatTest : public RuleTest {
protected:
    void SetWeather(int weather, int light)
    {
        game->dwStateFlag = kWeatherOn | kDayNightOn;
        game->nWeather = weather;
        game->nLight = light;
    }
};

TEST_F(CombatTest, HitPercentFollowsExperienceDefenceCoverAndCaps)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);  // plain: cover 5
    UNITSTRUCT& fighter = Place(1, 1, kFixtureFighter, MakeHex(21, 20));
    UNITSTRUCT& bomber = Place(0, 1, kRuleBomber, MakeHex(19, 20));
    rules->Arms(kFixtureInfantry).nDefenceAir = 30;
    rules->Arms(kFixtureFighter).nDefenceSurface = 25;
    struct Case {
        const char* name;
        UNITSTRUCT* shooter;
        UNITSTRUCT* target;
        int shooterExp, targetExp;
        uint32_t packed;
        int percent;
    } cases[] = {
        // base = max(1, e + v) x 10, x (100 - defence) / 100, x (100 - cover) / 100, (x + 5) / 10
        {"plain value 8", &tank, &inf, 0, 0, 8, 8},                 // 80 -> 76 -> 8
        {"experience", &tank, &inf, 100, 50, 8, 14},                // e 7: 150 -> 142 -> 14
        {"low experience floors at 1", &tank, &inf, 0, 250, 8, 1},  // e -12: 10 -> 9 -> 1
        {"cover", &tank, &inf, 0, 0, 20, 19},                       // 200 -> 190 -> 19
        {"type 23 ignores cover", &tank, &inf, 0, 0, 20 | kPackIgnoresCover, 20},
        {"air defence", &bomber, &inf, 0, 0, 20, 13},                // 200 -> 140 -> 133 -> 13
        {"air target has no cover", &tank, &fighter, 0, 0, 20, 15},  // 200 -> 150 -> 15
        {"cap 999", &tank, &inf, 0, 0, 5000, 999},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        k.shooter->nExp = k.shooterExp;
        k.target->nExp = k.targetExp;
        EXPECT_EQ(GetHitPercent(*k.shooter, *k.target, k.packed), k.percent);
    }
}

TEST_F(CombatTest, FiringOrderEvasionAndHeight)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);
    EXPECT_EQ(GetInitiativeValue(tank, 0, false, false), 0) << "empty mask";
    EXPECT_EQ(GetInitiativeValue(tank, 1, false, false), 5);
    EXPECT_EQ(GetInitiativeValue(tank, 1, false, true), 3);
    EXPECT_EQ(GetInitiativeValue(tank, 1, true, false), 1) << "initiative 0 minus the air load 1";
    WEAPONSTRUCT& gun = rules->Weapon(kFixtureTank, 0);
    gun.dwWeaponFlag = 1u << 3;  // counts against surface
    gun.nLoad = 5;
    EXPECT_EQ(GetInitiativeValue(tank, 1, false, false), 1) << "load reaches the initiative";
    gun.dwWeaponFlag |= 1u << 4;  // droppable: out of the load while a jettison is pending
    tank.dwOrder |= kOrderJettisonPending;
    EXPECT_EQ(GetInitiativeValue(tank, 1, false, false), 5);

    UNITSTRUCT& fighter = Place(1, 1, kFixtureFighter, MakeHex(21, 20));
    struct Evasion {
        int height, evasion;
    } heights[] = {{0, 0}, {5, 0}, {6, 2}, {8, 6}};
    for (const Evasion& k : heights) {
        SCOPED_TRACE(k.height);
        rules->Arms(kFixtureFighter).nHeight = k.height;
        EXPECT_EQ(GetAirTargetEvasion(tank, fighter), k.evasion);
    }
    EXPECT_EQ(GetAirTargetEvasion(fighter, fighter), 0) << "air against air";
    EXPECT_EQ(GetAirTargetEvasion(fighter, inf), 0);

    rules->Terrain(zrvtest::kFixtureCity).nHeight = 2;
    inf.dwHexCell = WithTerrain(0, zrvtest::kFixtureCity);
    EXPECT_EQ(GetHeightPenalty(tank, inf, true, *game), -1);
    EXPECT_EQ(GetHeightPenalty(tank, inf, false, *game), 0);
    EXPECT_EQ(GetHeightPenalty(inf, tank, true, *game), 0);
}

TEST_F(CombatTest, ReachUnderWeatherAndLight)
{
    // Infantry with an anti-air value 6 and a surface value 10; a fighter with 12 against ground.
    rules->SetSlot(kFixtureInfantry, 0, RuleLibrary::Gun(1, 1, {6, 10, 10, 0, 0}, {1, 1, 1, 1}), 20);
    rules->SetSlot(kFixtureFighter, 0, RuleLibrary::Gun(3, 12, {8, 12, 12, 0, 0}, {1, 1, 1, 1}), 12);
    rules->Arms(kFixtureFighter).nHeight = 4;
    UNITSTRUCT& inf = Place(0, 0, kFixtureInfantry, kHere);
    UNITSTRUCT& enemyInf = Place(1, 0, kFixtureInfantry, kEast);
    UNITSTRUCT& fighter = Place(1, 1, kFixtureFighter, MakeHex(21, 20));
    struct Case {
        const char* name;
        int weather, light;
        bool nightFlag;
        int infVsAir, fighterVsGround, infVsGround;
    } cases[] = {
        {"fine day", 0, 0, false, 6, 12, 10},
        {"cloudy: no air-ground fire either way", 1, 0, false, 0, 0, 10},
        {"dawn: aircraft lose a third", 0, 1, false, 6, 8, 10},
        {"night without the flag", 0, 2, false, 2, 0, 4},
        {"night with the flag", 0, 2, true, 6, 4, 10},
        {"sandstorm clears ground types", 6, 0, false, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetWeather(k.weather, k.light);
        for (int t : {kFixtureInfantry, kFixtureFighter}) {
            rules->Arms(t).dwArmsFlag =
                (rules->Arms(t).dwArmsFlag & ~(1u << 8)) | (k.nightFlag ? 1u << 8 : 0u);
        }
        std::array<int, 8> v{};
        FindUsableWeapons(inf, fighter, *game, false, 0, v, true);
        EXPECT_EQ(v[0], k.infVsAir);
        FindUsableWeapons(fighter, inf, *game, false, 0, v, true);
        EXPECT_EQ(v[0], k.fighterVsGround);
        FindUsableWeapons(inf, enemyInf, *game, false, 0, v, true);
        EXPECT_EQ(v[0], k.infVsGround);
    }
    // Storm clears ships: the destroyer has nothing left.
    UNITSTRUCT& ship = Place(0, 1, kFixtureDestroyer, MakeHex(22, 20));
    SetWeather(3, 0);
    std::array<int, 8> v{};
    EXPECT_EQ(FindUsableWeapons(ship, enemyInf, *game, false, 0, v, true), 0);
}

TEST_F(CombatTest, EngagementRefusesLowFlyersAndWeather)
{
    rules->SetSlot(kFixtureFighter, 0, RuleLibrary::Gun(3, 12, {8, 12, 12, 0, 0}, {1, 1, 1, 1}), 12);
    UNITSTRUCT& low = Place(0, 0, kFixtureFighter, kHere);
    UNITSTRUCT& high = Place(1, 0, kRuleBomber, kEast);
    UNITSTRUCT& inf = Place(1, 1, kFixtureInfantry, MakeHex(21, 20));
    rules->Arms(kFixtureFighter).nHeight = 4;
    EXPECT_EQ(CanEngageAdjacent(*game, high, low), 0) << "the bomber flies at 8";
    rules->Arms(kFixtureFighter).nHeight = 8;
    EXPECT_EQ(CanEngageAdjacent(*game, high, low), 1);
    EXPECT_EQ(CanEngageAdjacent(*game, low, inf), 0) << "infantry never engages aircraft";
    EXPECT_EQ(CanEngageAdjacent(*game, inf, low), 1);
    SetWeather(1, 0);
    EXPECT_EQ(CanEngageAdjacent(*game, inf, low), 0) << "cloudy: no air attack on the ground";
    SetWeather(0, 2);
    EXPECT_EQ(CanEngageAdjacent(*game, inf, low), 0) << "night without the flag";
}

TEST_F(CombatTest, FireRollsEveryShotInSlotOrder)
{
    // Pieces: 10 of 10 with 3 weapons = 3 shots at 10%; a double weapon fires 6.
    rules->Weapon(kRuleGuns, 0).nPieces = 3;
    UNITSTRUCT& guns = Place(0, 0, kRuleGuns, kHere);
    guns.nStrength = 10;
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);
    std::array<COMBATHITSTRUCT, 4> buf{};
    {
        CombatHitList list(buf);
        ScriptedDraws draws{5, 95, 109};
        uint32_t totals = 0;
        EXPECT_EQ(FireAtUnit(guns, inf, 1, *game, false, 0, list, nullptr, &totals, nullptr, draws), 2);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(totals, 3u | 2u << 16);
        ASSERT_EQ(list.Written().size(), 1u);
        EXPECT_EQ(list.Written()[0].pUnit, &inf);
        EXPECT_EQ(list.Written()[0].dwHit, 3u << 16 | 10u);
    }
    rules->Weapon(kRuleGuns, 0).dwWeaponFlag |= 1u;
    {
        CombatHitList list(buf);
        ScriptedDraws draws{1, 1, 1, 1, 1, 1};
        uint32_t used = 0;
        EXPECT_EQ(FireAtUnit(guns, inf, 1, *game, false, 0, list, &used, nullptr, nullptr, draws), 6);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(guns.nAmmo[0], 7) << "one round per slot per exchange";
        EXPECT_EQ(used, 1u);
    }
    // A given per-slot count replaces the packed one.
    {
        CombatHitList list(buf);
        ScriptedDraws draws{99, 99};
        std::array<int, 8> counts{1};
        EXPECT_EQ(FireAtUnit(guns, inf, 1, *game, false, 0, list, nullptr, nullptr, &counts, draws), 0);
        EXPECT_TRUE(draws.UsedUp());
    }

    // Not in pieces: strength shots at the group percentage (8), then the
    // double weapon's second series; hits capped at the target's strength.
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(21, 21));
    tank.nStrength = 4;
    inf.nStrength = 3;
    {
        CombatHitList list(buf);
        ScriptedDraws draws{0, 7, 8, 50};
        uint32_t totals = 0;
        EXPECT_EQ(FireAtUnit(tank, inf, 1, *game, false, 0, list, nullptr, &totals, nullptr, draws), 2);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(list.Written()[0].dwHit, 4u << 16 | 8u);
    }
    rules->Weapon(kFixtureTank, 0).dwWeaponFlag |= 1u;
    tank.dwTally0 = 0;
    inf.dwTally1 = 0;
    {
        CombatHitList list(buf);
        ScriptedDraws draws{0, 1, 2, 3, 4, 5, 6, 99};
        uint32_t totals = 0;
        EXPECT_EQ(FireAtUnit(tank, inf, 1, *game, false, 0, list, nullptr, &totals, nullptr, draws), 3);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(totals, 8u | 7u << 16) << "hits before the cap";
        EXPECT_EQ(HighHalf(tank.dwTally0), 0);
        EXPECT_EQ(LowHalf(tank.dwTally0), 3) << "ground units destroyed";
        EXPECT_EQ(LowHalf(inf.dwTally1), 3) << "own losses";
    }
}

TEST_F(CombatTest, ScatterMissesCostASecondDraw)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, MakeHex(20, 22));  // distance 2: chance 50
    ImpactTable table;
    {
        ScriptedDraws draws{10};
        ScatterImpacts(tank, inf, 1, *game, table, false, draws);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(table[0].hex, inf.nHex);
        EXPECT_EQ(table[0].count[0], 1);
        EXPECT_EQ(table[0].mask, 1u);
    }
    {
        ScriptedDraws draws{70, 3};
        ScatterImpacts(tank, inf, 1, *game, table, false, draws);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(table[4].count[0], 1);
        EXPECT_EQ(table[4].hex, GetNeighbour(inf.nHex, 3));
    }
    // Evasion takes the chance of a height-8 aircraft from 50 to 44.
    UNITSTRUCT& bomber = Place(1, 1, kRuleBomber, MakeHex(22, 20));
    {
        ScriptedDraws draws{44, 0};
        ScatterImpacts(tank, bomber, 1, *game, table, false, draws);
        EXPECT_EQ(table[1].count[0], 1);
        ScriptedDraws again{44};
        ScatterImpacts(tank, bomber, 1, *game, table, true, again);
        EXPECT_EQ(table[0].count[0], 1) << "no evasion";
    }
}

TEST_F(CombatTest, ExpectedDamageCapsAndDraws)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);
    std::array<int, 8> values{8};
    EXPECT_EQ(CalcCombatDamage(tank, inf, 1, values, nullptr, false), 8);  // 10 x 8 / 10
    values[0] = 5000;                                                      // 999 %
    EXPECT_EQ(CalcCombatDamage(tank, inf, 1, values, nullptr, true), 100) << "10 x shots stays";
    inf.nStrength = 3;
    EXPECT_EQ(CalcCombatDamage(tank, inf, 1, values, nullptr, false), 30) << "10 x target strength";
    values[0] = 8;
    tank.nStrength = 5;
    {
        ScriptedDraws draws{0, 99, 7};  // (5 + 1) / 2 rolls: two hits -> 20, plus (5 / 2) x 8 / 10 = 1
        EXPECT_EQ(CalcCombatDamage(tank, inf, 1, values, &draws, false), 21);
        EXPECT_TRUE(draws.UsedUp());
    }
    // Pieces: per slot (n + 1) / 2 rolls of 100, n / 2 times p, all / 10.
    rules->Weapon(kRuleGuns, 0).nPieces = 3;
    UNITSTRUCT& guns = Place(0, 1, kRuleGuns, MakeHex(21, 20));
    guns.nStrength = 10;
    inf.nStrength = 10;
    values[0] = 10;  // 10 %
    EXPECT_EQ(CalcCombatDamage(guns, inf, 1, values, nullptr, false), 3);
    {
        ScriptedDraws draws{1, 50};  // one hit of two rolls: (100 + 1 x 10) / 10
        EXPECT_EQ(CalcCombatDamage(guns, inf, 1, values, &draws, false), 11);
        EXPECT_TRUE(draws.UsedUp());
    }
    values[0] = 5000;
    EXPECT_EQ(CalcCombatDamage(guns, inf, 1, values, nullptr, false), 30) << "10 x shots";
    EXPECT_EQ(CalcCombatDamage(guns, inf, 1, values, nullptr, true), 299) << "no cap for pieces";
    EXPECT_EQ(GetBestWeaponDamage(guns, inf, 1, values), 999);
}

TEST_F(CombatTest, WeaponGroupChoiceByCounterMode)
{
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);
    std::array<int, 8> values{8};
    WeaponChoice how;
    how.counterMode = 3;
    EXPECT_EQ(ChooseWeaponGroup(tank, inf, values, *game, how), -1) << "the player chooses";
    how.counterMode = 4;
    EXPECT_EQ(ChooseWeaponGroup(tank, inf, values, *game, how), 0);
    how.isCpu = true;
    EXPECT_EQ(ChooseWeaponGroup(tank, inf, values, *game, how), 1) << "computer players always answer";
    how.isCpu = false;
    how.counterMode = 0;
    EXPECT_EQ(ChooseWeaponGroup(tank, inf, values, *game, how), 1);
    values[0] = 0;
    EXPECT_EQ(ChooseWeaponGroup(tank, inf, values, *game, how), 0);
}

TEST_F(CombatTest, ExperienceFromTheRuns)
{
    UNITSTRUCT& a = Place(0, 0, kFixtureTank, kHere);
    UNITSTRUCT& d = Place(1, 0, kFixtureInfantry, kEast);
    UNITSTRUCT& by = Place(1, 1, kFixtureInfantry, MakeHex(21, 20));
    UNITSTRUCT& ship = Place(1, 2, kFixtureDestroyer, MakeHex(21, 21));
    a.nExp = 0;
    d.nExp = 40;
    by.nExp = 245;
    // a hit d for 3 (40 % on 6 shots) and the bystander for 1; d answered with 2 hits.
    d.nStrength = 7;
    by.nStrength = 9;
    a.nStrength = 8;
    std::array<COMBATHITSTRUCT, 8> runs = {{
        {&d, 3, 6u << 16 | 40u},
        {&by, 1, 20u << 16 | 150u},
        {&ship, 1, 1u << 16 | 50u},
        {nullptr, -1, 0},
        {&a, 2, 4u << 16 | 30u},
        {nullptr, -1, 0},
    }};
    ship.nExp = 0;
    AddCombatExperience(*game, &a, &a, 10, &d, 10, runs);
    // a: fires ceil(3 x 40 / 20) = 6, ceil(1 x 245 / 20) = 13, ceil(1 x 10 / 20) = 1;
    //    hit: ceil(30 x 4 / (2 x 10)) = 6 -> 26, x 1.1 -> (286 + 9) / 10 = 29
    EXPECT_EQ(a.nExp, 29);
    // d: hit ceil(40 x 6 / 20) = 12; fires ceil(2 x 29... uses a's experience before the credit: 0 -> 10) /
    // 20 = 1
    EXPECT_EQ(d.nExp, 40 + 12 + 1);
    EXPECT_EQ(by.nExp, 250) << "capped also for bystanders";
    EXPECT_EQ(ship.nExp, 0) << "naval bystanders are not credited at once";

    // A firer destroyed by the answer divides by its strength before the exchange.
    a.nExp = 0;
    a.nStrength = 0;
    d.nExp = 0;
    d.dwFlag |= kUnitUnderDefensiveFire;
    std::array<COMBATHITSTRUCT, 4> lost = {{{&d, 3, 6u << 16 | 40u}, {nullptr, -1, 0}, {nullptr, -1, 0}}};
    AddCombatExperience(*game, &d, &a, 5, &d, 10, lost);
    EXPECT_EQ(d.nExp, 0) << "bit 7: nothing as a target";
    EXPECT_EQ(a.nExp, 3) << "ceil(3 x 10 / 10)";
}

// Counts what the exchange reports and removes destroyed units.
class RecordingHooks : public CombatHooks {
public:
    int damaged = 0;
    int destroyed = 0;
    int animations = 0;
    int asked = 0;
    int answer = 0;
    int AskReturnFire(UNITSTRUCT&, UNITSTRUCT&) override
    {
        ++asked;
        return answer;
    }
    bool AnimateShots(const UNITSTRUCT&, std::span<const COMBATHITSTRUCT>) override
    {
        ++animations;
        return true;
    }
    void UnitDamaged(UNITSTRUCT&) override { ++damaged; }
    void UnitDestroyed(UNITSTRUCT& u) override
    {
        ++destroyed;
        CombatHooks::UnitDestroyed(u);
    }
};

TEST_F(CombatTest, WholeExchangeRunsHeadlessAndReplaysWithTheSeed)
{
    rules->SetSlot(kFixtureInfantry, 0, RuleLibrary::Gun(1, 1, {1, 30, 30, 0, 0}, {1, 1, 1, 1}), 20);
    rules->SetSlot(kFixtureTank, 0, RuleLibrary::Gun(2, 8, {0, 40, 40, 2, 0}, {1, 1, 1, 1}), 12);
    auto fight = [&](uint32_t seed, std::array<int, 6>& out, RecordingHooks& hooks) {
        game->Country[0].Unit[0] = UNITSTRUCT{};
        game->Country[1].Unit[0] = UNITSTRUCT{};
        UNITSTRUCT& tank = Place(0, 0, kFixtureTank, kHere);
        UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, kEast);
        GameRandom random(seed);
        GameDraws draws(random);
        ExchangeOutcome o = RunCombatExchange(*game, *hexUnit, tank, inf, 1, draws, hooks);
        out = {o.order, tank.nStrength, inf.nStrength, tank.nExp, inf.nExp, static_cast<int>(random.Draws())};
        EXPECT_EQ(o.defenderMask, 1u) << "the computer-run defender answers";
        EXPECT_EQ(tank.nAmmo[0], 11);
        return o;
    };
    std::array<int, 6> first{}, second{}, other{};
    RecordingHooks h1, h2, h3;
    fight(7, first, h1);
    fight(7, second, h2);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[0], 0) << "equal order values (5 and 5)";
    EXPECT_EQ(h1.animations, 1) << "both sides fire together: one step";
    EXPECT_LT(first[1] + first[2], 20) << "somebody was hit";
    EXPECT_GT(first[3], 0);
    EXPECT_EQ(first[5], 20) << "ten shots each side";
    bool differs = false;
    for (uint32_t seed = 8; seed < 20 && !differs; ++seed) {
        fight(seed, other, h3);
        differs = other != first;
    }
    EXPECT_TRUE(differs) << "the seed decides";
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

using namespace zrvtest;

class ExchangeTest : public RuleTest {
protected:
    struct Result {
        int order;
        int tankAfter, infAfter;
        uint64_t draws;
        int animations;
    };
    // Tank (country 0) attacks infantry (country 1, computer-run) next to it.
    Result Fight(int tankValue, int infInitiative, int infStrength, uint32_t seed = 3)
    {
        rules->SetSlot(kFixtureInfantry, 0, RuleLibrary::Gun(1, 1, {1, 30, 30, 0, 0}, {1, 1, 1, 1}), 20);
        rules->Weapon(kFixtureInfantry, 0).nInitiative[2] = infInitiative;
        rules->SetSlot(kFixtureTank, 0, RuleLibrary::Gun(2, 8, {0, tankValue, tankValue, 2, 0}, {1, 1, 1, 1}),
                       12);
        UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
        UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, MakeHex(20, 21));
        inf.nStrength = infStrength;
        GameRandom random(seed);
        GameDraws draws(random);
        RecordingHooks hooks;
        ExchangeOutcome o = RunCombatExchange(*game, *hexUnit, tank, inf, 1, draws, hooks);
        return {o.order, tank.nStrength, inf.nStrength, random.Draws(), hooks.animations};
    }
};

TEST_F(ExchangeTest, TheSlowerSideAnswersWithWhatIsLeft)
{
    Result r = Fight(30, 2, 10);
    EXPECT_EQ(r.order, 3);
    EXPECT_EQ(r.animations, 2) << "one after the other";
    EXPECT_EQ(r.draws, 10u + static_cast<uint64_t>(r.infAfter))
        << "the defender fires with its strength left";
}

TEST_F(ExchangeTest, ADestroyedDefenderAnswersNothingUnlessBothFireTogether)
{
    Result gone = Fight(5000, 2, 1);
    EXPECT_EQ(gone.infAfter, 0);
    EXPECT_EQ(gone.draws, 10u);
    EXPECT_EQ(gone.tankAfter, 10);
    Result together = Fight(5000, 5, 1);
    EXPECT_EQ(together.order, 0);
    EXPECT_EQ(together.draws, 11u) << "equal order: the defender fires with its full strength";
}

TEST_F(ExchangeTest, LevelTenNeverAnswersAndBothSidesSeeTheOtherType)
{
    game->dwDateTime = PackDate(41, 3, 5, 8);
    game->Country[1].nLevel = 1 << 10;
    Result r = Fight(30, 2, 10);
    EXPECT_EQ(r.draws, 10u) << "no answer";
    EXPECT_EQ(r.tankAfter, 10);
    EXPECT_EQ(game->Country[0].dwArmsAvail[kFixtureInfantry], 0x20000000u | PackDate(41, 3, 5));
    EXPECT_EQ(game->Country[1].dwArmsAvail[kFixtureTank], 0x20000000u | PackDate(41, 3, 5));
}

TEST_F(ExchangeTest, FireBeyondAdjacentRangeIsScatteredOverTheHexes)
{
    rules->SetSlot(kFixtureTank, 0, RuleLibrary::Gun(2, 8, {0, 30, 30, 2, 0}, {1, 1, 1, 3}), 12);
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, MakeHex(20, 22));
    EXPECT_EQ(ChooseCounterWeapons(*game, inf, tank), 0) << "the infantry cannot reach back";
    std::array<COMBATHITSTRUCT, 16> buf{};
    std::array<HEXINDEX, 16> hexes{};
    {
        // Chance 50 at distance 2: draw 10 lands on the target, then ten rolls.
        ScriptedDraws draws{10, 0, 0, 0, 99, 99, 99, 99, 99, 99, 99};
        CombatHitList list(buf);
        CombatHexList hexList(hexes);
        ResolveCombat(*game, *hexUnit, tank, inf, 1, 0, false, false, list, draws, &hexList);
        EXPECT_TRUE(draws.UsedUp());
        ASSERT_EQ(list.Written().size(), 3u);
        EXPECT_EQ(list.Written()[0].pUnit, &inf);
        EXPECT_EQ(list.Written()[0].nDamage, 3);
        EXPECT_EQ(hexList.Written()[0], inf.nHex);
        EXPECT_EQ(hexList.Written()[1], -1);
        EXPECT_EQ(hexList.Written()[2], -1);
        EXPECT_EQ(tank.nAmmo[0], 11);
    }
    {
        // A miss goes to a neighbour record; nobody stands there, the round is spent anyway.
        ScriptedDraws draws{70, 3};
        CombatHitList list(buf);
        CombatHexList hexList(hexes);
        ResolveCombat(*game, *hexUnit, tank, inf, 1, 0, false, false, list, draws, &hexList);
        EXPECT_TRUE(draws.UsedUp());
        EXPECT_EQ(list.Written().size(), 2u) << "two empty runs";
        EXPECT_EQ(hexList.Written()[0], GetNeighbour(inf.nHex, 3));
        EXPECT_EQ(tank.nAmmo[0], 10);
    }
}

TEST_F(ExchangeTest, TheExchangeAddsUpItsShotsForTheScene)
{
    rules->SetSlot(kFixtureTank, 0, RuleLibrary::Gun(2, 8, {0, 30, 30, 2, 0}, {1, 1, 1, 3}), 12);
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
    UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, MakeHex(20, 22));
    std::array<COMBATHITSTRUCT, 16> buf{};
    std::array<HEXINDEX, 16> hexes{};
    {
        // Scattered onto the target: the fire there is the attacker's total.
        ScriptedDraws draws{10, 0, 0, 0, 99, 99, 99, 99, 99, 99, 99};
        CombatHitList list(buf);
        CombatHexList hexList(hexes);
        CombatTotals totals;
        totals.impact[1][2].hex = 1234;  // stale: every exchange clears both tables
        ResolveCombat(*game, *hexUnit, tank, inf, 1, 0, false, false, list, draws, &hexList, &totals);
        const COMBATHITSTRUCT& hit = list.Written()[0];
        const uint32_t shots = hit.dwHit >> 16;
        EXPECT_EQ(totals.attacker, shots | 3u << 16) << "shots low, hits rolled high";
        EXPECT_EQ(totals.defender, 0u);
        EXPECT_EQ(totals.picture, (std::array<uint32_t, 7>{})) << "pictures only with the collect flag";
        EXPECT_EQ(totals.impact[0][0].hex, inf.nHex);
        EXPECT_NE(totals.impact[0][0].mask, 0u);
        EXPECT_EQ(totals.impact[1][2].hex, -1);
    }
    {
        // A miss to an empty neighbour: no fire at the target, nothing totalled.
        ScriptedDraws draws{70, 3};
        CombatHitList list(buf);
        CombatHexList hexList(hexes);
        CombatTotals totals;
        ResolveCombat(*game, *hexUnit, tank, inf, 1, 0, false, false, list, draws, &hexList, &totals);
        EXPECT_EQ(totals.attacker, 0u);
        bool landed = false;
        for (const ImpactRecord& r : totals.impact[0]) landed |= r.hex == GetNeighbour(inf.nHex, 3) && r.mask;
        EXPECT_TRUE(landed);
    }
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        // With the collect flag every record with shots fills its picture
        // word: the fire on the target's hex, or the heaviest slot's count.
        SCOPED_TRACE(seed);
        tank.nAmmo[0] = 12;
        inf.nStrength = 10;
        GameRandom random(seed);
        GameDraws draws(random);
        CombatHitList list(buf);
        CombatTotals totals;
        ResolveCombat(*game, *hexUnit, tank, inf, 1, 0, false, true, list, draws, nullptr, &totals);
        EXPECT_EQ(totals.attacker, 0u) << "the collect flag keeps the side totals";
        for (size_t r = 0; r < 7; ++r) {
            const ImpactRecord& rec = totals.impact[0][r];
            uint32_t expected = 0;
            if (rec.mask) expected = static_cast<uint32_t>(*std::max_element(rec.copy.begin(), rec.copy.end()));
            if (r == 0 && rec.mask && list.Written()[0].pUnit == &inf) {
                const COMBATHITSTRUCT& hit = list.Written()[0];
                const uint32_t word = (hit.dwHit >> 16) | static_cast<uint32_t>(hit.nDamage) << 16;
                if (word != 0) expected = word;
            }
            EXPECT_EQ(totals.picture[r], expected) << "record " << r;
        }
    }
}

// Records the scene it is handed, as the unit strengths stood at that moment.
class SceneHooks : public RecordingHooks {
public:
    bool wanted = false;
    int scenes = 0;
    int order = 0;
    uint32_t attackerMask = 0, defenderMask = 0;
    int attackerShown = 0, defenderShown = 0;
    int hitEnds = 0, hexEnds = 0;
    bool WantsBattleScene(const UNITSTRUCT&, const UNITSTRUCT&) override { return wanted; }
    void ShowBattleScene(const CombatScene& s) override
    {
        ++scenes;
        order = s.order;
        attackerMask = s.attackerMask;
        defenderMask = s.defenderMask;
        attackerShown = s.attacker.nStrength;
        defenderShown = s.defender.nStrength;
        for (const COMBATHITSTRUCT& h : s.hits) hitEnds += h.nDamage < 0;
        for (HEXINDEX h : s.firingHexes) hexEnds += h == -1;
    }
};

TEST_F(ExchangeTest, AWantedSceneShowsTheWholeExchangeOnceBeforeTheDamage)
{
    // Sequential (infantry slower) and together (equal order values).
    for (int infInitiative : {2, 5}) {
        SCOPED_TRACE(infInitiative);
        std::array<int, 2> after[2]{};
        for (bool wanted : {false, true}) {
            SCOPED_TRACE(wanted ? "scene" : "no scene");
            rules->SetSlot(kFixtureInfantry, 0, RuleLibrary::Gun(1, 1, {1, 30, 30, 0, 0}, {1, 1, 1, 1}), 20);
            rules->Weapon(kFixtureInfantry, 0).nInitiative[2] = infInitiative;
            rules->SetSlot(kFixtureTank, 0, RuleLibrary::Gun(2, 8, {0, 30, 30, 2, 0}, {1, 1, 1, 1}), 12);
            game->Country[0].Unit[0] = UNITSTRUCT{};
            game->Country[1].Unit[0] = UNITSTRUCT{};
            UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(20, 20));
            UNITSTRUCT& inf = Place(1, 0, kFixtureInfantry, MakeHex(20, 21));
            const int tankBefore = tank.nStrength, infBefore = inf.nStrength;
            GameRandom random(11);
            GameDraws draws(random);
            SceneHooks hooks;
            hooks.wanted = wanted;
            ExchangeOutcome o = RunCombatExchange(*game, *hexUnit, tank, inf, 1, draws, hooks);
            EXPECT_FALSE(o.stopped);
            after[wanted] = {tank.nStrength, inf.nStrength};
            if (!wanted) {
                EXPECT_EQ(hooks.scenes, 0);
                EXPECT_GT(hooks.animations, 0);
                continue;
            }
            EXPECT_EQ(hooks.scenes, 1);
            EXPECT_EQ(hooks.animations, 0) << "the scene takes the place of the shots";
            EXPECT_EQ(hooks.order, o.order);
            EXPECT_EQ(hooks.attackerMask, 1u);
            EXPECT_EQ(hooks.defenderMask, o.defenderMask);
            EXPECT_EQ(hooks.attackerShown, tankBefore) << "handed over before any damage";
            EXPECT_EQ(hooks.defenderShown, infBefore);
            EXPECT_EQ(hooks.hitEnds, 2) << "both runs of the hit list";
            EXPECT_EQ(hooks.hexEnds, 2) << "both runs of the firing hexes";
            EXPECT_GT(hooks.damaged + hooks.destroyed, 0) << "the damage is still applied";
        }
        EXPECT_EQ(after[0], after[1]) << "a scene changes nothing of the outcome";
    }
}

TEST_F(ExchangeTest, AmbushAndFireThreats)
{
    rules->SetSlot(kFixtureInfantry, 0, RuleLibrary::Gun(1, 1, {1, 30, 30, 0, 0}, {1, 1, 1, 1}), 20);
    UNITSTRUCT& tank = Place(0, 0, kFixtureTank, MakeHex(30, 30));
    const HEXINDEX target = MakeHex(20, 20);
    UNITSTRUCT& hidden = Place(1, 0, kFixtureInfantry, GetNeighbour(target, 0));
    UNITSTRUCT& seen = Place(1, 1, kFixtureInfantry, GetNeighbour(target, 3));
    (void)seen;
    EXPECT_EQ(FindAmbushThreat(*game, game->dwHexCell, *hexUnit, tank, target), nullptr) << "nobody hidden";
    hidden.dwFlag |= HiddenFromSideBit(0);
    EXPECT_EQ(FindAmbushThreat(*game, game->dwHexCell, *hexUnit, tank, target), &hidden);
    EXPECT_EQ(hidden.nCpuScore, 1);
    EXPECT_EQ(tank.nHex, MakeHex(30, 30)) << "put back";

    // Threats by weapon flag class, sorted by firing order against air.
    rules->Weapon(kFixtureInfantry, 0).dwWeaponFlag = 1u << 2;
    std::array<FireThreat, 8> out{};
    EXPECT_EQ(ListFireClassThreats(*game, tank, 1u << 2, out), 0) << "nobody in reach";
    UNITSTRUCT& near = Place(1, 2, kFixtureInfantry, GetNeighbour(tank.nHex, 0));
    EXPECT_EQ(ListFireClassThreats(*game, tank, 1u << 2, out), 1);
    EXPECT_EQ(out[0].unit, &near);
    EXPECT_EQ(out[0].value, 3u << 16 | 1u) << "initiative against air 4 less the air load 1; slot 0";
    EXPECT_EQ(ListFireClassThreats(*game, tank, 1u << 5, out), 0);

    EXPECT_EQ(CanAttackTarget(tank, *game), 1);
    tank.dwFlag |= kUnitNoAttackAfterUnload;
    EXPECT_EQ(CanAttackTarget(tank, *game), 0);
}

}  // namespace
}  // namespace zrv
