#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/OccupyTargets.h"
#include "engine/MapFixture.h"

namespace zrv {
namespace {

using zrvtest::kFixtureAirfield;
using zrvtest::kFixtureCity;
using zrvtest::kFixtureInfantry;
using zrvtest::kFixturePlain;
using zrvtest::kFixtureTank;

class OccupyTargetsTest : public MapFixture {
protected:
    // Draws handed out in order; running out is a test fault.
    RandomDraw Scripted(std::deque<int>& draws)
    {
        return [&draws]() {
            EXPECT_FALSE(draws.empty()) << "an unexpected draw";
            if (draws.empty()) return 0;
            int d = draws.front();
            draws.pop_front();
            return d;
        };
    }
    std::span<const uint32_t, kHexCount> CReach() { return std::span<const uint32_t, kHexCount>(reach.data(), kHexCount); }
    void Unreached() { std::fill(reach.begin(), reach.end(), kReachNotReached); }
    DestinationContext Context(const MoveRules& r, RandomDraw draw)
    {
        return DestinationContext{*state,
                                  CCells(),
                                  Grid(),
                                  Reach(),
                                  Units(),
                                  std::span<const uint32_t, kHexCount>(claims.data(), kHexCount),
                                  enemies,
                                  r,
                                  std::move(draw)};
    }
    std::vector<uint32_t> claims = std::vector<uint32_t>(kHexCount, 0);
    std::vector<int32_t> enemies{1, 3, -1};
};

TEST_F(OccupyTargetsTest, OccupiableHexesForASide)
{
    struct Case {
        const char* what;
        int owner;
        MAPCELL extra;
        int unitCountry;  // -1 none
        bool listed;
    };
    const Case cases[] = {
        {"unowned", -1, 0, -1, true},
        {"owned by an enemy", 1, 0, -1, true},
        {"own", 0, 0, -1, false},
        {"owned by an ally", 2, 0, -1, false},
        {"computer mark", -1, kCellCpuMark, -1, false},
        {"closed to side 0", -1, kCellClosedSide0, -1, false},
        {"closed to side 1 only", -1, kCellClosedSide1, -1, true},
        {"an ally's unit on it", -1, 0, 2, false},
        {"an enemy unit on it", 1, 0, 1, true},
        {"an own unit on it", -1, 0, 0, true},
    };
    std::vector<HEXINDEX> expected;
    int slot = 0;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& k = cases[i];
        const HEXINDEX h = MakeHex(10 + static_cast<int>(i), 10);
        cells[h] = WithTerrain(cells[h], kFixtureCity) | k.extra;
        if (k.owner >= 0) cells[h] = WithOwner(cells[h], k.owner);
        if (k.unitCountry >= 0) Place(k.unitCountry, ++slot, kFixtureInfantry, h);
        if (k.listed) expected.push_back(h);
    }
    std::vector<HEXINDEX> out(32);
    const int n = ListOccupiableHexes(0, *state, CCells(), Units(), out);
    ASSERT_EQ(n, static_cast<int>(expected.size()));
    EXPECT_EQ(std::vector<HEXINDEX>(out.begin(), out.begin() + n), expected);
    EXPECT_EQ(out[static_cast<size_t>(n)], kNoHex);
    // A short buffer holds what fits; the count is still the number found.
    std::vector<HEXINDEX> small(3);
    EXPECT_EQ(ListOccupiableHexes(0, *state, CCells(), Units(), small), n);
    EXPECT_EQ(small[2], kNoHex);
    EXPECT_EQ(ListOccupiableHexes(0, *state, CCells(), Units(), {}), n);

    // With only marked or ally-held hexes left, the second pass takes them.
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (cases[i].listed) cells[MakeHex(10 + static_cast<int>(i), 10)] = kFixturePlain;
    }
    EXPECT_EQ(ListOccupiableHexes(0, *state, CCells(), Units(), out), 2);
    EXPECT_EQ(out[0], MakeHex(14, 10));
    EXPECT_EQ(out[1], MakeHex(17, 10));
}

TEST_F(OccupyTargetsTest, FewestTurnsTiesGoToTheLargerCost)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);  // 6 points
    Unreached();
    const HEXINDEX a = MakeHex(10, 10), b = MakeHex(11, 10), c = MakeHex(12, 10), far = MakeHex(13, 10);
    reach[a] = 7;
    reach[b] = 10;
    reach[far] = 13;
    const HEXINDEX list[] = {a, b, far, c, kNoHex};
    EXPECT_EQ(PickFewestTurnsHex(u, *state, CReach(), Units(), list, false), 2 << 16 | 10);
    EXPECT_EQ(u.nCpuScore, b);
    reach[c] = 3;
    EXPECT_EQ(PickFewestTurnsHex(u, *state, CReach(), Units(), list, false), 1 << 16 | 3);
    EXPECT_EQ(u.nCpuScore, c);

    // Nothing reached: none, and -1 as the choice.
    Unreached();
    EXPECT_EQ(PickFewestTurnsHex(u, *state, CReach(), Units(), list, false), kNoTurnsHex);
    EXPECT_EQ(u.nCpuScore, -1);
    // Without movement points nothing is reachable (no division by zero).
    reach[a] = 7;
    u.nMove = 0;
    EXPECT_EQ(PickFewestTurnsHex(u, *state, CReach(), Units(), list, false), kNoTurnsHex);
    EXPECT_EQ(u.nCpuScore, -1);
}

TEST_F(OccupyTargetsTest, FewestTurnsSkipsHexesOfOwnUnitsByMode)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX h = MakeHex(10, 10);
    Unreached();
    reach[h] = 4;
    const HEXINDEX list[] = {h, kNoHex};
    struct Case {
        int type, strength;
        bool acted, mode, listed;
    };
    const Case cases[] = {
        {kFixtureInfantry, 10, false, false, false},  // a full occupier holds it
        {kFixtureInfantry, 9, false, false, true},    // not at full strength
        {kFixtureTank, 10, false, false, true},       // may not occupy
        {kFixtureInfantry, 10, false, true, true},    // mode 1: has not acted
        {kFixtureInfantry, 10, true, true, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.type << " " << k.strength << " " << k.acted << " " << k.mode);
        UNITSTRUCT& other = Place(0, 1, k.type, h);
        other.nStrength = k.strength;
        if (k.acted) other.dwFlag |= kUnitActed;
        const int r = PickFewestTurnsHex(u, *state, CReach(), Units(), list, k.mode);
        EXPECT_EQ(r != kNoTurnsHex, k.listed);
    }
    // Another country's unit never excludes the hex.
    Place(2, 0, kFixtureInfantry, h);
    EXPECT_EQ(PickFewestTurnsHex(u, *state, CReach(), Units(), list, false), 1 << 16 | 4);
}

TEST_F(OccupyTargetsTest, ReachableOccupiableHex)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX city = MakeHex(64, 68);  // cost 8: two turns
    SetTerrain(city, kFixtureCity);
    EXPECT_EQ(FindReachableOccupiableHex(u, 0, *state, CCells(), Grid(), Reach(), Units(), true, false,
                                         NoMoveRules()),
              2 << 16 | 8);
    EXPECT_EQ(u.nCpuScore, city);
    // A type that may not occupy, a carried unit, or a refused area: nothing.
    UNITSTRUCT& tank = Place(0, 1, kFixtureTank, MakeHex(60, 60));
    EXPECT_EQ(FindReachableOccupiableHex(tank, 0, *state, CCells(), Grid(), Reach(), Units(), true, false,
                                         NoMoveRules()),
              0);
    u.dwFlag |= kUnitMoved;
    EXPECT_EQ(FindReachableOccupiableHex(u, 0, *state, CCells(), Grid(), Reach(), Units(), true, false,
                                         NoMoveRules()),
              0);
}

TEST_F(OccupyTargetsTest, SortByTurnsAndDistance)
{
    state->Country[0].dwFlag |= kCountryFog;
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    Unreached();
    const HEXINDEX near = MakeHex(64, 65), mid = MakeHex(64, 67), held = MakeHex(64, 66), hidden = MakeHex(64, 69),
                   unreached = MakeHex(60, 60);
    reach[near] = 2;
    reach[mid] = 6;
    reach[held] = 4;
    reach[hidden] = 10;
    Place(1, 0, kFixtureInfantry, held);
    UNITSTRUCT& h = Place(1, 1, kFixtureInfantry, hidden);
    h.dwFlag |= HiddenFromSideBit(0);
    std::vector<HEXINDEX> list{unreached, held, hidden, mid, kCentre, near, kNoHex};
    SortHexesByTurnsAndDistance(u, *state, CReach(), Units(), 6, list, false);
    EXPECT_EQ(list, (std::vector<HEXINDEX>{kCentre, near, mid, hidden, held, unreached, kNoHex}));
    // With the distance added to the cost: 2+1, 6+3, 10+5, 16383+2.
    reach[mid] = 1;  // cost 1 + distance 3 = 4 > near's 3
    SortHexesByTurnsAndDistance(u, *state, CReach(), Units(), 6, list, true);
    EXPECT_EQ(list[1], near);
    EXPECT_EQ(list[2], mid);
    // Fewer than two entries: untouched.
    std::vector<HEXINDEX> one{unreached, near};
    SortHexesByTurnsAndDistance(u, *state, CReach(), Units(), 1, one, false);
    EXPECT_EQ(one[0], unreached);
}

TEST_F(OccupyTargetsTest, DestinationKeyTable)
{
    struct Case {
        int terrain, durability, cost, move;
        bool ownTarget;
        int key;
    };
    const Case cases[] = {
        {1, 0, 3, 6, true, 0x1000000},
        {80, 0, 3, 6, true, 0x1000000},
        {2, 0, 3, 6, false, 0x3000000},
        {81, 0, 0, 0, true, 0x3000000},
        {3, 0, 3, 6, true, 0x4000000},
        {5, 0, 3, 6, true, 0x4000000},
        {67, 0, 3, 6, true, 0x4000000},
        {82, 0, 3, 6, true, 0x4000000},
        {4, 0, 3, 6, true, 0x2000000},
        {83, 0, 3, 6, true, 0x2000000},
        {7, 0, 3, 6, true, 0x20000003},
        {7, 5, 3, 6, true, 0x20005003},
        {4, 0x80, 6, 6, true, 0x2080000},
        // Beyond this turn's points.
        {4, 9, 7, 6, true, 0x60000007},
        {4, 9, 7, 6, false, 0x60100007},
        {7, 0, 400, 300, true, 0x200000FF},  // the cost is capped at 255
        {7, 0, 400, 200, false, 0x601000FF},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.terrain << " " << k.cost << " " << k.move << " " << k.ownTarget);
        const MAPCELL cell = WithDurability(WithTerrain(0, k.terrain), k.durability);
        EXPECT_EQ(ScoreHexForDestination(cell, k.cost, k.move, k.ownTarget), k.key);
    }
}

TEST_F(OccupyTargetsTest, ObjectiveDistance)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    state->Country[0].dwCpuTarget = 1u << 16 | static_cast<uint32_t>(MakeHex(64, 74));
    const int key = 0x60000005;
    EXPECT_EQ(AddObjectiveDistanceToScore(u, 0, kCentre, key, *state), key) << "order bit 26 clear";
    u.dwOrder |= kOrderToObjective;
    EXPECT_EQ(AddObjectiveDistanceToScore(u, 0, kCentre, key, *state), 0x6000000F);
    EXPECT_EQ(AddObjectiveDistanceToScore(u, 0, kCentre, 0x20000005, *state), 0x20000005) << "no bit 30";
    EXPECT_EQ(AddObjectiveDistanceToScore(u, 0, kCentre, 0x600000FA, *state), 0x600000FF) << "capped at 255";
    state->Country[0].dwCpuTarget = 0xFFFF;
    EXPECT_EQ(AddObjectiveDistanceToScore(u, 0, kCentre, key, *state), key) << "no valid objective";
}

TEST_F(OccupyTargetsTest, OwnCityThreatened)
{
    rules.terrain[kFixtureCity].dwTrrnFlag |= 1u << 13;
    SetTerrain(kCentre, kFixtureCity);
    cells[kCentre] = WithOwner(cells[kCentre], 0);
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    EXPECT_EQ(IsOwnCityThreatened(u, *state, CCells(), Units(), enemies), 0);
    Place(3, 0, zrvtest::kFixtureFighter, MakeHex(64, 65));
    EXPECT_EQ(IsOwnCityThreatened(u, *state, CCells(), Units(), enemies), 0) << "aircraft do not threaten";
    Place(1, 0, kFixtureTank, MakeHex(63, 64));
    EXPECT_EQ(IsOwnCityThreatened(u, *state, CCells(), Units(), enemies), 1);
    const int32_t onlyThree[] = {3, -1};
    EXPECT_EQ(IsOwnCityThreatened(u, *state, CCells(), Units(), onlyThree), 0);
    cells[kCentre] = WithOwner(cells[kCentre], 2);
    EXPECT_EQ(IsOwnCityThreatened(u, *state, CCells(), Units(), enemies), 0) << "an ally's city";
}

TEST_F(OccupyTargetsTest, BestCandidateTiesAreDrawn)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    Unreached();
    const HEXINDEX a = MakeHex(64, 65), b = MakeHex(64, 63), claimed = MakeHex(63, 64), enemy = MakeHex(65, 64);
    for (HEXINDEX h : {a, b, claimed, enemy}) reach[h] = 2;
    reach[enemy] |= kReachEnemy;
    claims[claimed] = kClaimTaken;
    const HEXINDEX list[] = {claimed, enemy, a, b, kNoHex};
    std::deque<int> draws{2};
    EXPECT_EQ(PickBestCandidateHex(u, list, Context(NoMoveRules(), Scripted(draws)), CReach(), true), a);
    EXPECT_EQ(u.nCpuScore, 0x20000002 + (CellDurability(cells[a]) << 12));
    draws = {7};
    EXPECT_EQ(PickBestCandidateHex(u, list, Context(NoMoveRules(), Scripted(draws)), CReach(), true), b);
    EXPECT_TRUE(draws.empty());

    // Nothing in the first pass: the second takes any reached hex unless told
    // to keep the first pass.
    const HEXINDEX onlyBad[] = {claimed, enemy, kNoHex};
    draws = {};
    EXPECT_EQ(PickBestCandidateHex(u, onlyBad, Context(NoMoveRules(), Scripted(draws)), CReach(), true), -1);
    draws = {0};
    EXPECT_EQ(PickBestCandidateHex(u, onlyBad, Context(NoMoveRules(), Scripted(draws)), CReach(), false), claimed);
}

TEST_F(OccupyTargetsTest, ChooseDestinationKeepsTheOwnHexUnlessStrictlyBetter)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    MoveRules accept;
    accept.occupyTest = [](const UNITSTRUCT&, const GAMEDATASTRUCT&, std::span<const MAPCELL, kHexCount>) { return 0; };
    const HEXINDEX plain = MakeHex(64, 65), airfield = MakeHex(64, 63);
    SetTerrain(airfield, kFixtureAirfield);
    std::deque<int> draws;
    // Own hex: plain at cost 0 = 0x20000000; the plain candidate costs 2.
    const HEXINDEX plainOnly[] = {plain, kNoHex};
    EXPECT_EQ(ChooseUnitDestination(u, plainOnly, Context(accept, Scripted(draws)), false), kCentre);
    EXPECT_EQ(u.nCpuScore, 0x20000000);
    // An airfield's key (0x2000000) is lower.
    const HEXINDEX both[] = {plain, airfield, kNoHex};
    EXPECT_EQ(ChooseUnitDestination(u, both, Context(accept, Scripted(draws)), false), airfield);
    EXPECT_EQ(u.nCpuScore, 0x2000000);
    // An equal key keeps the own hex.
    SetTerrain(kCentre, kFixtureAirfield);
    u.dwHexCell = cells[kCentre];
    const HEXINDEX airOnly[] = {airfield, kNoHex};
    EXPECT_EQ(ChooseUnitDestination(u, airOnly, Context(accept, Scripted(draws)), false), kCentre);

    // Refused without a hex: the unit cannot act.
    MoveRules refuse;
    refuse.occupyTest = [](const UNITSTRUCT&, const GAMEDATASTRUCT&, std::span<const MAPCELL, kHexCount>) { return -1; };
    EXPECT_EQ(ChooseUnitDestination(u, both, Context(refuse, Scripted(draws)), false), -1);
    // Own hex not acceptable and no move area: -1.
    u.dwFlag |= kUnitMoved;
    EXPECT_EQ(ChooseUnitDestination(u, both, Context(NoMoveRules(), Scripted(draws)), false), -1);
}

TEST_F(OccupyTargetsTest, ChooseDestinationAmongOwnUnits)
{
    UNITSTRUCT& u = Place(0, 0, kFixtureInfantry, kCentre);
    const HEXINDEX friendHex = MakeHex(64, 65), actedHex = MakeHex(64, 63);
    Place(0, 1, kFixtureInfantry, friendHex);
    UNITSTRUCT& acted = Place(0, 2, kFixtureInfantry, actedHex);
    acted.dwFlag |= kUnitActed;
    std::deque<int> draws;
    const HEXINDEX list[] = {actedHex, friendHex, kNoHex};
    EXPECT_EQ(ChooseUnitDestination(u, list, Context(NoMoveRules(), Scripted(draws)), true),
              friendHex | kDestAmongOwnUnits);
}

TEST_F(OccupyTargetsTest, ClearUnitFlag4)
{
    UNITSTRUCT& a = Place(0, 0, kFixtureInfantry, kCentre);
    UNITSTRUCT& b = Place(7, 63, kFixtureInfantry, MakeHex(1, 1));
    a.dwFlag |= kUnitFiredAa | 1u;
    b.dwFlag |= kUnitFiredAa;
    state->Country[5].Unit[3].dwFlag = kUnitFiredAa;  // not in use: left alone
    ClearUnitFlag4(*state);
    EXPECT_EQ(a.dwFlag, kUnitInUse | 1u);
    EXPECT_EQ(b.dwFlag, kUnitInUse);
    EXPECT_EQ(state->Country[5].Unit[3].dwFlag, kUnitFiredAa);
}

}  // namespace
}  // namespace zrv
