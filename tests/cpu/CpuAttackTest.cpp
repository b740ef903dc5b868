#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuFixture.h"

namespace zrv {
namespace {

constexpr HEXINDEX kCapital = MakeHex(60, 60);
constexpr HEXINDEX kNear = MakeHex(60, 61);
constexpr HEXINDEX kFar = MakeHex(70, 70);

constexpr MAPCELL Cell(int terrain, int owner)
{
    return static_cast<MAPCELL>(terrain) | static_cast<MAPCELL>(owner + 1) << 16;
}

// Country 1 attacks units of country 2 (side 0); the library is the
// fixture's with classes a test may change.
class CpuAttackTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        const DataLibrary& base = zrvtest::FixtureLibrary();
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        lib = base;
        lib.ArmsData = arms;
        weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        // The destroyer's gun fires at aircraft too.
        weapons[static_cast<size_t>(zrvtest::kFixtureDestroyer * kWeaponSlots)].dwWeaponFlag |= kThreatAntiAir;
        lib.WeaponData = weapons;
        SetLib(&lib);
        doc->m_GameData.Country[1].nCapital = kCapital;
        world = std::make_unique<CpuAttackWorld>(MakeAttackWorld(*doc, state));
    }
    uint32_t Compose(const UNITSTRUCT& a, UNITSTRUCT& t, int damage, int loss, int initiative = 0, int threat = 0,
                     bool unidentified = false)
    {
        return CpuComposeAttackScore(a, t, kCapital, damage, loss, initiative, *world, threat, unidentified);
    }

    std::vector<ARMSSTRUCT> arms;
    std::vector<WEAPONSTRUCT> weapons;
    DataLibrary lib;
    CpuTurnState state;
    std::unique_ptr<CpuAttackWorld> world;
};

TEST(CpuAttackPolicy, PoliciesDecode)
{
    struct Row {
        uint32_t policy;
        int minDamage, maxLoss;
    } rows[] = {{kPolicyHoldBeforeMove, 1, 1},   {kPolicyEngaged, 1, 10},         {kPolicyKeyAdvance, 30, 0},
                {kPolicyAdvance, 5, 25},         {kPolicyBomberOwnHex, 1, 20},    {kPolicyBestFirstWide, 5, 30},
                {kPolicyBestFirstList, 10, 15},  {kPolicyBestSecondStrong, 5, 10}, {kPolicyCautious, 1, 0},
                {kPolicyBestSecondOff, 5, 15}};
    for (const Row& r : rows) {
        EXPECT_EQ(PolicyMinDamage(r.policy), r.minDamage) << std::hex << r.policy;
        EXPECT_EQ(PolicyMaxLoss(r.policy), r.maxLoss) << std::hex << r.policy;
        EXPECT_EQ(MakeAttackPolicy(r.minDamage, r.maxLoss), r.policy);
    }
}

TEST_F(CpuAttackTest, AdvancePolicyCapsTheLossAtThreeTimesStrength)
{
    UNITSTRUCT& tank = Unit(1, 0, kNear, zrvtest::kFixtureTank);
    EXPECT_EQ(CpuAdvancePolicy(*doc, tank), kPolicyAdvance);  // 25 < 30
    tank.nStrength = 4;
    EXPECT_EQ(CpuAdvancePolicy(*doc, tank), MakeAttackPolicy(5, 12));
    // The key kind while the class-30 strength is within the allowance + 10.
    UNITSTRUCT& infantry = Unit(1, 1, kFar);
    EXPECT_EQ(CpuAdvancePolicy(*doc, infantry), kPolicyKeyAdvance);
    arms[zrvtest::kFixtureTank].nClass = 30;
    tank.nStrength = 11;
    EXPECT_EQ(CpuAdvancePolicy(*doc, infantry), kPolicyAdvance);
    doc->m_nCpuCaptureScore[1] = 2;  // allowance 1
    EXPECT_EQ(CpuAdvancePolicy(*doc, infantry), kPolicyKeyAdvance);
}

// The priority rows on a small map: what stands where, and who attacks.
TEST_F(CpuAttackTest, PriorityRows)
{
    UNITSTRUCT& a = Unit(1, 0, MakeHex(59, 60), zrvtest::kFixtureTank);
    std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell), Cell(zrvtest::kFixturePlain, 2));
    const HEXINDEX listed = MakeHex(61, 61);
    state.objectiveArea = {listed, kNoHex};
    world = std::make_unique<CpuAttackWorld>(MakeAttackWorld(*doc, state));
    const HEXINDEX cityOwnSide = MakeHex(62, 62);
    doc->m_dwHexCell[cityOwnSide] = Cell(zrvtest::kFixtureCity, 1);  // the attacker's own
    struct Row {
        HEXINDEX at;
        int type;
        int country;
        uint32_t objective;
        int priority;
        bool onCapital;
    } rows[] = {
        {kCapital, zrvtest::kFixtureInfantry, 2, 0, 15, true},   // key kind on the attacker's capital
        {listed, zrvtest::kFixtureInfantry, 2, 0, 14, false},    // key kind, capture value 1
        {cityOwnSide, zrvtest::kFixtureInfantry, 2, 0, 13, false},  // city the enemy does not own: 0
        {listed, zrvtest::kFixtureTank, 2, 0, 9, false},
        {cityOwnSide, zrvtest::kFixtureTank, 2, 0, 8, false},
        {kFar, zrvtest::kFixtureTank, 2, 0, 0, false},            // capture value -1
        {kFar, zrvtest::kFixtureTank, 2, 0x10000, 3, false},      // the objective condition
        {kFar, zrvtest::kFixtureTank, 0, 0x10000, 0, false},      // ... needs a country other than 0
        {kFar, zrvtest::kFixtureTank, 2, 0x8000FFFF, 0, false},   // ... and objective bits 16-30
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "hex " << r.at << " type " << r.type << " country " << r.country);
        doc->m_GameData.Country[1].dwCpuTarget = r.objective;
        UNITSTRUCT& t = Unit(r.country, 5, r.at, r.type);
        const uint32_t score = Compose(a, t, 40, 5);
        EXPECT_EQ(ScorePriority(score), r.priority);
        EXPECT_EQ((score & kScoreOnCapital) != 0, r.onCapital);
        EXPECT_TRUE(t.dwSupplyFlag & kCpuScoredThisTurn);
        EXPECT_EQ(static_cast<uint32_t>(t.nCpuScore), score);
        doc->m_dwHexUnit[r.at] = kNoUnit;
        t = UNITSTRUCT{};
    }
}

TEST_F(CpuAttackTest, ScoreFieldsAndTheirLimits)
{
    UNITSTRUCT& a = Unit(1, 0, kNear, zrvtest::kFixtureTank);
    UNITSTRUCT& t = Unit(2, 0, kFar, zrvtest::kFixtureTank);
    // Damage + 2048 and the loss; no answer gives bit 20; killing damage 21.
    uint32_t s = Compose(a, t, 40, 7);
    EXPECT_EQ(ScoreDamage(s), 40);
    EXPECT_EQ(ScoreLoss(s), 7);
    EXPECT_FALSE(s & kScoreNoAnswer);
    t.dwSupplyFlag = 0;
    s = Compose(a, t, 100, 0);
    EXPECT_TRUE(s & kScoreNoAnswer);
    // The tank's set 1 does not suit a ground target in this library: no bit 29, so no 21.
    EXPECT_EQ((s & kScoreDestroys) != 0, (s & kScoreDomainFit) != 0);
    // A scored target keeps its damage; only the loss is new.
    s = Compose(a, t, 5, 9);
    EXPECT_EQ(ScoreDamage(s), 100);
    EXPECT_EQ(ScoreLoss(s), 9);
    EXPECT_FALSE(s & kScoreNoAnswer);
    // Overflow: the loss caps at 255, the damage field at 12 bits; an air
    // attacker's damage at the target's strength x 20.
    t.dwSupplyFlag = 0;
    s = Compose(a, t, 5000, 900);
    EXPECT_EQ(s & kScoreDamageMask, 0xFFFu);
    EXPECT_EQ(ScoreLoss(s), 255);
    UNITSTRUCT& f = Unit(1, 1, MakeHex(60, 62), zrvtest::kFixtureFighter);
    f.nStrength = 200;
    t.dwSupplyFlag = 0;
    EXPECT_EQ(ScoreDamage(Compose(f, t, 4000, 0)), 200);
    // Initiative weighs the answer or the damage.
    t.dwSupplyFlag = 0;
    EXPECT_EQ(ScoreLoss(Compose(a, t, 50, 20, 1)), 20 * (100 - 50) / 100);
    t.dwSupplyFlag = 0;
    EXPECT_EQ(ScoreDamage(Compose(a, t, 50, 20, -1)), 50 * (100 - 20) / 100);
    // No strength: nothing to score.
    t.dwSupplyFlag = 0;
    t.nStrength = 0;
    EXPECT_EQ(Compose(a, t, 50, 20, 1), 0u);
}

TEST_F(CpuAttackTest, AcceptabilityAndItsDraw)
{
    UNITSTRUCT& a = Unit(1, 0, kNear, zrvtest::kFixtureTank);
    UNITSTRUCT& t = Unit(2, 0, kFar, zrvtest::kFixtureTank);
    GameRandom& random = doc->Random();
    auto score = [](int damage, int loss, uint32_t bits = 0) {
        return static_cast<uint32_t>(damage + kScoreBias) | static_cast<uint32_t>(loss) << 12 | bits;
    };
    // Within the limit or on the capital: no draw.
    uint64_t draws = random.Draws();
    EXPECT_EQ(IsAttackAcceptable(a, t, score(10, 5), 5, random), 1);
    EXPECT_EQ(IsAttackAcceptable(a, t, score(10, 50, kScoreOnCapital), 5, random), 1);
    EXPECT_EQ(random.Draws(), draws);
    // A weak attacker (strength <= full / 2 + 0..2) is refused after one draw.
    a.nStrength = 5;
    EXPECT_EQ(IsAttackAcceptable(a, t, score(200, 50), 5, random), 0);
    EXPECT_EQ(random.Draws(), draws + 1);
    // Full strength: the class decides (class 0 has no attribute bit 16).
    a.nStrength = 10;
    arms[zrvtest::kFixtureTank].nClass = 0;
    EXPECT_EQ(IsAttackAcceptable(a, t, score(200, 50), 5, random), 0);
    arms[zrvtest::kFixtureTank].nClass = 2;  // attribute bit 16
    EXPECT_EQ(IsAttackAcceptable(a, t, score(48, 50), 5, random), 1);
    EXPECT_EQ(IsAttackAcceptable(a, t, score(40, 50), 5, random), 0);
    // The damage byte saturates: 300 counts as 255, never as 44.
    EXPECT_EQ(IsAttackAcceptable(a, t, score(300, 255), 5, random), 1);
    EXPECT_EQ(IsAttackAcceptable(a, t, score(300 - 256 + 256, 255), 0, random), 1);
}

TEST_F(CpuAttackTest, NavalRulesOfAttributeBit21)
{
    arms[zrvtest::kFixtureTank].nClass = 56;  // attribute bit 21
    UNITSTRUCT& a = Unit(1, 0, kNear, zrvtest::kFixtureTank);
    UNITSTRUCT& ship = Unit(2, 0, kFar, zrvtest::kFixtureDestroyer);
    GameRandom& random = doc->Random();
    auto loss = [](int l) { return static_cast<uint32_t>(kScoreBias) | static_cast<uint32_t>(l) << 12; };
    EXPECT_EQ(IsAttackAcceptable(a, ship, loss(255), 0, random), 0);  // above 254
    EXPECT_EQ(IsAttackAcceptable(a, ship, loss(50), 0, random), 0);   // 5 x strength
    EXPECT_EQ(IsAttackAcceptable(a, ship, loss(49), 0, random), 1);   // within 5 x full strength
}

TEST_F(CpuAttackTest, EqualAttacksTossOncePerTarget)
{
    UNITSTRUCT& a = Unit(1, 0, kNear, zrvtest::kFixtureTank);
    UNITSTRUCT& t = Unit(2, 0, kFar, zrvtest::kFixtureTank);
    const uint32_t s = 0x05000000u | (kScoreBias + 40);
    // Larger values win without a draw; an equal one on equal terrain tosses once.
    const uint64_t draws = doc->Random().Draws();
    EXPECT_EQ(IsBetterAttack(a, t, s - 1, kNear, nullptr, s, kNear, *world, 0, 0, 0), 1);
    EXPECT_EQ(IsBetterAttack(a, t, s + 1, kNear, nullptr, s, kNear, *world, 0, 0, 0), 0);
    EXPECT_EQ(doc->Random().Draws(), draws);
    IsBetterAttack(a, t, s, kNear, nullptr, s, kFar, *world, 0, 0, 0);
    EXPECT_EQ(doc->Random().Draws(), draws + 1);
    EXPECT_TRUE(t.dwSupplyFlag & kCpuTossUsed);
    EXPECT_EQ(IsBetterAttack(a, t, s, kNear, nullptr, s, kFar, *world, 0, 0, 0), 0);
    EXPECT_EQ(doc->Random().Draws(), draws + 1);
    // Better cover wins the tie for a ground unit.
    doc->m_dwHexCell[kFar] = static_cast<MAPCELL>(zrvtest::kFixtureCity);
    EXPECT_EQ(IsBetterAttack(a, t, s, kNear, nullptr, s, kFar, *world, 0, 0, 0), 1);
    // In attacker mode a ground attacker that draws no answer beats one that does.
    UNITSTRUCT& other = Unit(1, 1, kCapital, zrvtest::kFixtureTank);
    EXPECT_EQ(IsBetterAttack(a, t, s + 5, kNear, &other, s | kScoreNoAnswer, kNear, *world, kAttackModeAttackers,
                             0, 0),
              1);
    // A target on the target list: more than half the kept value, and the
    // unit prefers the list from then on.
    state.objectiveArea = {kFar, kNoHex};
    world = std::make_unique<CpuAttackWorld>(MakeAttackWorld(*doc, state));
    EXPECT_EQ(IsBetterAttack(a, t, s, kNear, nullptr, s / 2 + 1, kFar, *world, 0, 0, 0), 1);
    EXPECT_TRUE(a.dwSupplyFlag & kCpuPrefersTargetList);
}

TEST_F(CpuAttackTest, ThreatMapSaturatesAndWaitsForFineWeather)
{
    UNITSTRUCT& ship = Unit(2, 0, kFar, zrvtest::kFixtureDestroyer);
    ship.nAmmo[0] = 10;
    std::vector<uint32_t> map(kHexCount, 0x00050000u);
    const std::span<uint32_t, kHexCount> m(map.data(), kHexCount);
    const HEXINDEX next = GetNeighbour(kFar, 0);
    map[next] = 0x0005FFFEu;
    CpuAddUnitThreat(ship, kThreatAntiAir, doc->m_GameData, m);
    EXPECT_EQ(map[next], 0x0005FFFFu);  // saturated, the high half untouched
    EXPECT_EQ(map[kFar], 0x00050000u);  // inside the guns' smallest range
    EXPECT_TRUE(ship.dwSupplyFlag & kCpuThreatSource);
    // The map for country 1's side, kind 1: built and noted.
    CpuBuildThreatMap(1, 1, doc->m_GameData, m, state);
    EXPECT_TRUE(state.ThreatBuiltFor(1, 1));
    EXPECT_EQ(map[kNear] & 0xFFFF0000u, 0x00050000u);
    // Kind 0 only clears.
    CpuBuildThreatMap(1, 0, doc->m_GameData, m, state);
    for (uint32_t w : map) ASSERT_EQ(w & 0xFFFFu, 0u);
    EXPECT_FALSE(ship.dwSupplyFlag & kCpuThreatSource);
}

TEST_F(CpuAttackTest, ATrialPlacementPutsEverythingBack)
{
    UNITSTRUCT& carrier = Unit(1, 3, kNear, zrvtest::kFixtureDestroyer);
    carrier.dwFlag |= kUnitCarries;
    carrier.dwCargo = MakeCargo(kNoCarrier, 1);
    UNITSTRUCT& u = Unit(1, 0, kFar);
    doc->m_dwHexUnit[kFar] = kNoUnit;
    u.dwFlag |= kUnitCarried;
    u.nHex = -1;
    u.dwCargo = MakeCargo(3, 0);
    const UNITSTRUCT before = u;
    const UNITSTRUCT carrierBefore = carrier;
    std::vector<UnitRef> mapBefore(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit));
    {
        TrialPlacement trial(u, kCapital, doc->m_dwHexUnit);
        EXPECT_EQ(u.nHex, kCapital);
        EXPECT_FALSE(u.dwFlag & kUnitCarried);
        EXPECT_TRUE(u.dwSupplyFlag & kCpuOnTrialHex);
        EXPECT_EQ(doc->m_dwHexUnit[kCapital], u.refSelf);
    }
    EXPECT_EQ(std::memcmp(&u, &before, sizeof u), 0);
    EXPECT_EQ(std::memcmp(&carrier, &carrierBefore, sizeof carrier), 0);
    EXPECT_TRUE(std::equal(mapBefore.begin(), mapBefore.end(), std::begin(doc->m_dwHexUnit)));
}

TEST_F(CpuAttackTest, PositionSearchLeavesTheBattleAsItWas)
{
    UNITSTRUCT& a = Unit(1, 0, MakeHex(60, 58), zrvtest::kFixtureTank);
    Unit(2, 0, MakeHex(60, 62), zrvtest::kFixtureInfantry);
    Unit(2, 1, MakeHex(61, 63), zrvtest::kFixtureTank);
    // The reach map: the two hexes round the unit are open this turn.
    std::fill(std::begin(doc->m_dwHexMove), std::end(doc->m_dwHexMove), 0xC0000000u);
    doc->m_dwHexMove[MakeHex(60, 59)] = 2;
    doc->m_dwHexMove[MakeHex(60, 61)] = 4;
    world = std::make_unique<CpuAttackWorld>(MakeAttackWorld(*doc, state));
    auto strip = [](GAMEDATASTRUCT g) {
        // What the evaluation may write: choices and scores.
        for (COUNTRYSTRUCT& c : g.Country)
            for (UNITSTRUCT& u : c.Unit) {
                u.nCpuScore = 0, u.refTarget = 0, u.dwWeaponMask = 0, u.nCpuTarget = 0, u.dwSupplyFlag = 0;
            }
        return g;
    };
    const auto before = std::make_unique<GAMEDATASTRUCT>(strip(doc->m_GameData));
    std::vector<UnitRef> mapBefore(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit));
    CpuEvaluateUnitAttack(a, *world, kPolicyAdvance, false, 0);
    const auto after = std::make_unique<GAMEDATASTRUCT>(strip(doc->m_GameData));
    EXPECT_EQ(std::memcmp(before.get(), after.get(), sizeof(GAMEDATASTRUCT)), 0);
    EXPECT_TRUE(std::equal(mapBefore.begin(), mapBefore.end(), std::begin(doc->m_dwHexUnit)));
    EXPECT_FALSE(a.dwSupplyFlag & kCpuOnTrialHex);
}

}  // namespace
}  // namespace zrv
