#include <gtest/gtest.h>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/Sight.h"
#include "engine/MapFixture.h"

namespace zrv {
namespace {

using zrvtest::kFixtureDestroyer;
using zrvtest::kFixtureFighter;
using zrvtest::kFixtureInfantry;
using zrvtest::kFixtureSubmarine;

constexpr int Effect(int cls, int light)
{
    return cls | light << 16;
}

class SightTest : public MapFixture {};

TEST_F(SightTest, SightRangeTable)
{
    // Base sight: 3 for every fixture type, 6 for the scout.
    struct Case {
        int type;
        bool inWater;
        int cls, light;
        int expected;
    };
    const Case cases[] = {
        // Fine weather, day: the type's range.
        {kFixtureInfantry, false, 0, 0, 3},
        {kTypeScout, false, 0, 0, 6},
        {kFixtureFighter, false, 0, 0, 3},
        // Rain and heavy rain change nothing on the ground; an aircraft sees 1
        // in any weather but fine.
        {kTypeScout, false, 1, 0, 6},
        {kTypeScout, false, 2, 0, 6},
        {kFixtureFighter, false, 1, 0, 1},
        {kFixtureFighter, false, 2, 0, 1},
        {kFixtureFighter, false, 5, 0, 1},
        // Storm: ships and units in the water 1, land units half rounded up.
        {kFixtureDestroyer, false, 3, 0, 1},
        {kFixtureSubmarine, false, 3, 0, 1},
        {kTypeScout, true, 3, 0, 1},
        {kTypeScout, false, 3, 0, 3},
        {kFixtureInfantry, false, 3, 0, 2},
        // Sandstorm and fog: everybody 1.
        {kTypeScout, false, 4, 0, 1},
        {kFixtureDestroyer, false, 4, 0, 1},
        {kTypeScout, false, 5, 0, 1},
        // Darkness: without the night flag night gives 1, dusk halves.
        {kTypeScout, false, 0, 2, 1},
        {kTypeScout, false, 0, 1, 3},
        {kFixtureInfantry, false, 0, 1, 2},
        // The night flag: halved at night only.
        {kTypeNightInfantry, false, 0, 2, 2},
        {kTypeNightInfantry, false, 0, 1, 3},
        // Storm and dusk halve once, not twice.
        {kTypeScout, false, 3, 1, 3},
        // Weather that already gave 1 stays 1 in the dark.
        {kFixtureDestroyer, false, 5, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "type " << k.type << " water " << k.inWater << " class " << k.cls
                                        << " light " << k.light);
        UNITSTRUCT u{};
        u.nArms = k.type;
        u.dwFlag = kUnitInUse | (k.inWater ? kUnitInWater : 0);
        EXPECT_EQ(GetSightRange(u, Effect(k.cls, k.light)), k.expected);
    }
    UNITSTRUCT unknown{};
    unknown.nArms = 9999;
    EXPECT_EQ(GetSightRange(unknown, 0), 0);
}

TEST_F(SightTest, SideCoverageFromUnitsAndTerritory)
{
    const HEXINDEX p = kCentre;
    Place(0, 0, kFixtureInfantry, p);
    UNITSTRUCT& ship = Place(0, 1, kTypeRadarShip, MakeHex(20, 20));
    (void)ship;
    const HEXINDEX owned = MakeHex(100, 30);
    cells[owned] = WithOwner(cells[owned], 2);  // side 0 territory
    const HEXINDEX enemyOwned = MakeHex(100, 60);
    cells[enemyOwned] = WithOwner(cells[enemyOwned], 1);

    BuildSideCoverage(0, *state, CCells(), Cover());
    auto covered = [&](HEXINDEX h, uint32_t bit) { return (coverage[h] & bit) == 0; };
    // Sight 3 and close range 1 around the infantry.
    EXPECT_TRUE(covered(p, CoverSightBit(0)));
    EXPECT_TRUE(covered(p, CoverCloseBit(0)));
    const HEXINDEX ring3 = MakeHex(64, 67);
    ASSERT_EQ(GetHexDistance(p, ring3), 3);
    EXPECT_TRUE(covered(ring3, CoverSightBit(0)));
    EXPECT_FALSE(covered(ring3, CoverCloseBit(0)));
    EXPECT_FALSE(covered(MakeHex(64, 68), CoverSightBit(0)));
    // Radar 4 around the ship; nobody has sonar.
    EXPECT_TRUE(covered(MakeHex(20, 24), CoverRadarBit(0)));
    EXPECT_FALSE(covered(MakeHex(20, 25), CoverRadarBit(0)));
    EXPECT_FALSE(covered(MakeHex(20, 20), CoverSonarBit(0)));
    // Territory of an own-side country clears sight and close range on ring 1.
    EXPECT_TRUE(covered(owned, CoverSightBit(0) | CoverCloseBit(0)));
    EXPECT_TRUE(covered(GetNeighbour(owned, kDirWest), CoverSightBit(0) | CoverCloseBit(0)));
    EXPECT_FALSE(covered(MakeHex(100, 32), CoverSightBit(0)));
    EXPECT_FALSE(covered(enemyOwned, CoverSightBit(0)));
    // Other sides' bits are untouched.
    EXPECT_EQ(coverage[p] & CoverAllBits(1), 0u);

    // Side 2 sees with every country's eyes; a closed cell gives no territory.
    cells[enemyOwned] |= kCellClosedAll;
    BuildSideCoverage(2, *state, CCells(), Cover());
    EXPECT_TRUE(covered(p, CoverSightBit(2)));
    EXPECT_FALSE(covered(enemyOwned, CoverSightBit(2)));
    EXPECT_TRUE(covered(owned, CoverSightBit(2)));
}

TEST_F(SightTest, StormSilencesSonarAndSandstormRadar)
{
    Place(0, 0, kTypeRadarShip, MakeHex(20, 20));
    Place(0, 1, kTypeSonarShip, MakeHex(40, 40));
    state->dwStateFlag = 0x40000000u;
    for (int weather : {3, 6}) {
        SCOPED_TRACE(weather);
        state->nWeather = weather;
        std::fill(coverage.begin(), coverage.end(), 0u);
        BuildSideCoverage(0, *state, CCells(), Cover());
        const bool radarOn = (coverage[MakeHex(20, 23)] & CoverRadarBit(0)) == 0;
        const bool sonarOn = (coverage[MakeHex(40, 42)] & CoverSonarBit(0)) == 0;
        EXPECT_EQ(radarOn, weather == 3);  // a sandstorm (6) silences radar
        EXPECT_EQ(sonarOn, weather == 6);  // a storm (3) silences sonar
    }
}

TEST_F(SightTest, DetectionMarksTable)
{
    struct Case {
        const char* what;
        int type;
        bool inWater;
        uint32_t uncovered;  // sensors of side 0 that do NOT cover the hex
        uint32_t marks;      // expected marks for side 0
        int perceived;       // the perceived test, a rule of its own under water
    };
    const uint32_t S = CoverSightBit(0), R = CoverRadarBit(0), N = CoverSonarBit(0), C = CoverCloseBit(0);
    const uint32_t hidden = HiddenFromSideBit(0), sensed = SensedBySideBit(0);
    const Case cases[] = {
        {"nothing covers", kFixtureInfantry, false, S | R | N | C, hidden, 0},
        {"sight covers", kFixtureInfantry, false, R | N | C, 0, 1},
        {"under water, sight and close range", kFixtureSubmarine, true, R | N, 0, 0},
        {"under water, sight, close range and sonar", kFixtureSubmarine, true, R, 0, 1},
        {"under water outside close range, sonar", kFixtureSubmarine, true, R | C, sensed, 0},
        {"under water outside close range", kFixtureSubmarine, true, R | N | C, hidden, 0},
        {"radar on an aircraft", kFixtureFighter, false, S | N | C, sensed, 1},
        {"sonar on an aircraft", kFixtureFighter, false, S | R | C, hidden, 0},
        {"radar on a ship", kFixtureDestroyer, false, S | N | C, sensed, 1},
        {"sonar on a ship", kFixtureDestroyer, false, S | R | C, sensed, 1},
        {"radar on a ground unit", kFixtureInfantry, false, S | N | C, hidden, 0},
        {"radar on a unit under water", kFixtureSubmarine, true, S | N | C, hidden, 1},
        {"sonar on a unit under water", kFixtureSubmarine, true, S | R | C, sensed, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        UNITSTRUCT& u = Place(1, 0, k.type, kCentre);
        u.dwFlag |= (k.inWater ? kUnitInWater : 0) | HiddenFromSideBit(1) | SensedBySideBit(0) | HiddenFromSideBit(0);
        coverage[kCentre] = k.uncovered;
        UpdateUnitDetection(u, 0, Cover());
        EXPECT_EQ(u.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), k.marks);
        EXPECT_TRUE(u.dwFlag & HiddenFromSideBit(1)) << "other sides' marks stay";
        EXPECT_EQ(IsUnitPerceived(u, k.uncovered, 0), k.perceived);
    }
}

TEST_F(SightTest, SubmarineTwoHexesFromAShipWithoutSonarIsHidden)
{
    state->Country[0].dwFlag |= kCountryFog;
    Place(0, 0, kTypeRadarShip, kCentre);  // sees 3, radar 4, no sonar
    const HEXINDEX far = MakeHex(64, 66);
    ASSERT_EQ(GetHexDistance(kCentre, far), 2);
    UNITSTRUCT& sub = Place(1, 0, kFixtureSubmarine, far);
    sub.dwFlag |= kUnitInWater;
    RecomputeCoverage(0, *state, Cells(), Cover());
    EXPECT_TRUE(sub.dwFlag & HiddenFromSideBit(0));

    Remove(sub);
    UNITSTRUCT& near = Place(1, 0, kFixtureSubmarine, GetNeighbour(kCentre, kDirEast));
    near.dwFlag |= kUnitInWater;
    RecomputeCoverage(0, *state, Cells(), Cover());
    EXPECT_EQ(near.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), 0u);
}

TEST_F(SightTest, FullRebuildMarksAndFogBySearchMode)
{
    COUNTRYSTRUCT& view = state->Country[0];
    view.dwFlag |= kCountryFog;
    UNITSTRUCT& own = Place(0, 0, kTypeRadarShip, kCentre);
    UNITSTRUCT& friendUnit = Place(2, 0, kFixtureInfantry, MakeHex(10, 10));
    UNITSTRUCT& enemyFar = Place(1, 0, kFixtureInfantry, MakeHex(90, 90));
    UNITSTRUCT& enemyNear = Place(1, 1, kFixtureInfantry, MakeHex(64, 66));
    UNITSTRUCT& carried = Place(1, 2, kFixtureInfantry, MakeHex(90, 90));
    carried.dwFlag |= kUnitCarried;
    own.dwFlag |= HiddenFromSideBit(0) | SensedBySideBit(0);  // stale marks of its own side
    friendUnit.dwFlag |= HiddenFromSideBit(0);

    RecomputeCoverage(0, *state, Cells(), Cover());
    EXPECT_EQ(own.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), 0u);
    EXPECT_EQ(friendUnit.dwFlag & HiddenFromSideBit(0), 0u);
    EXPECT_TRUE(enemyFar.dwFlag & HiddenFromSideBit(0));
    EXPECT_FALSE(enemyNear.dwFlag & HiddenFromSideBit(0));
    EXPECT_FALSE(carried.dwFlag & HiddenFromSideBit(0)) << "carried units keep their marks";
    // Side 1 sees the ship from next door, not the infantry far away.
    EXPECT_FALSE(own.dwFlag & HiddenFromSideBit(1));
    EXPECT_TRUE(friendUnit.dwFlag & HiddenFromSideBit(1));

    // Mode 0 fogs what sight misses; mode 1 only what neither sight nor radar
    // reaches (radar 4 around the ship).
    const HEXINDEX radarOnly = MakeHex(64, 68);
    const HEXINDEX nothing = MakeHex(64, 70);
    struct Case {
        int mode;
        bool radarOnlyFog, nothingFog;
    };
    for (const Case& k : {Case{0, true, true}, Case{1, false, true}, Case{2, true, true}}) {
        SCOPED_TRACE(k.mode);
        view.nSearchMode = k.mode;
        RecomputeCoverage(0, *state, Cells(), Cover());
        EXPECT_FALSE(CellInFog(cells[kCentre]));
        EXPECT_EQ(CellInFog(cells[radarOnly]), k.radarOnlyFog);
        EXPECT_EQ(CellInFog(cells[nothing]), k.nothingFog);
    }
}

TEST_F(SightTest, WithoutFogOfWarNoMarksAndNoFog)
{
    // The easy search level clears every country's fog flag.
    UNITSTRUCT& enemy = Place(1, 0, kFixtureInfantry, MakeHex(90, 90));
    enemy.dwFlag |= kUnitMarkMask;
    cells[MakeHex(5, 5)] = WithFog(cells[MakeHex(5, 5)], true);
    RecomputeCoverage(0, *state, Cells(), Cover());
    EXPECT_EQ(enemy.dwFlag & kUnitMarkMask, 0u);
    for (HEXINDEX h = 0; h < kHexCount; ++h) ASSERT_FALSE(CellInFog(cells[h])) << h;
}

TEST_F(SightTest, SearchFromUnitPathUncoversGroundAndUnits)
{
    state->Country[0].dwFlag |= kCountryFog;
    UNITSTRUCT& mover = Place(0, 0, kFixtureInfantry, kCentre);
    UNITSTRUCT& enemy = Place(1, 0, kFixtureInfantry, MakeHex(64, 70));
    RecomputeCoverage(0, *state, Cells(), Cover());
    ASSERT_TRUE(enemy.dwFlag & HiddenFromSideBit(0));
    ASSERT_TRUE(CellInFog(cells[MakeHex(64, 70)]));

    // A path that stays inside covered ground finds nothing.
    const HEXINDEX stay[] = {kCentre, kNoHex};
    EXPECT_EQ(SearchFromUnitPath(mover, *state, Cells(), Units(), Cover(), stay, true), 0u);

    // Walking east uncovers ground, then the enemy.
    const HEXINDEX path[] = {MakeHex(64, 65), MakeHex(64, 66), MakeHex(64, 67), kNoHex, MakeHex(1, 1)};
    uint32_t r = SearchFromUnitPath(mover, *state, Cells(), Units(), Cover(), path, true);
    EXPECT_EQ(r, kSearchFoundGround | kSearchFoundUnit);
    EXPECT_EQ(enemy.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), 0u);
    EXPECT_FALSE(CellInFog(cells[MakeHex(64, 70)]));
    EXPECT_TRUE(CellInFog(cells[MakeHex(1, 1)])) << "the path ends at its terminator";

    // Without bUpdateCells the fog cells stay.
    const HEXINDEX south[] = {MakeHex(70, 64), kNoHex};
    r = SearchFromUnitPath(mover, *state, Cells(), Units(), Cover(), south, false);
    EXPECT_EQ(r, kSearchFoundGround);
    EXPECT_TRUE(CellInFog(cells[MakeHex(72, 64)]));
}

TEST_F(SightTest, SearchClearsTheOwnFogCellOnOrderBit3)
{
    state->Country[0].dwFlag |= kCountryFog;
    UNITSTRUCT& mover = Place(0, 0, kFixtureInfantry, kCentre);
    cells[kCentre] = WithFog(cells[kCentre], true);
    mover.dwOrder = kOrderClearOwnFog | 0x100u;
    EXPECT_EQ(SearchFromUnitPath(mover, *state, Cells(), Units(), Cover(), {}, true), 0u);
    EXPECT_FALSE(CellInFog(cells[kCentre]));
    EXPECT_EQ(mover.dwOrder, 0x100u);

    // No fog of war and an empty path: nothing at all happens.
    state->Country[0].dwFlag &= ~kCountryFog;
    cells[kCentre] = WithFog(cells[kCentre], true);
    mover.dwOrder = kOrderClearOwnFog;
    EXPECT_EQ(SearchFromUnitPath(mover, *state, Cells(), Units(), Cover(), {}, true), 0u);
    EXPECT_TRUE(CellInFog(cells[kCentre]));
    EXPECT_EQ(mover.dwOrder, kOrderClearOwnFog);
}

TEST_F(SightTest, SearchByRadarAndSonarSenses)
{
    state->Country[0].dwFlag |= kCountryFog;
    state->Country[0].nSearchMode = 1;
    UNITSTRUCT& ship = Place(0, 0, kTypeRadarShip, kCentre);
    UNITSTRUCT& plane = Place(1, 0, kFixtureFighter, MakeHex(64, 72));
    UNITSTRUCT& tank = Place(1, 1, zrvtest::kFixtureTank, MakeHex(65, 72));
    UNITSTRUCT& sub = Place(1, 2, kFixtureSubmarine, MakeHex(63, 72));
    sub.dwFlag |= kUnitInWater;
    RecomputeCoverage(0, *state, Cells(), Cover());
    const HEXINDEX path[] = {MakeHex(64, 68), kNoHex};
    uint32_t r = SearchFromUnitPath(ship, *state, Cells(), Units(), Cover(), path, true);
    EXPECT_EQ(r, kSearchFoundGround | kSearchFoundUnit);
    EXPECT_EQ(plane.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), SensedBySideBit(0));
    EXPECT_TRUE(tank.dwFlag & HiddenFromSideBit(0)) << "radar does not find ground units";
    EXPECT_TRUE(sub.dwFlag & HiddenFromSideBit(0)) << "radar does not find units under water";
    EXPECT_FALSE(CellInFog(cells[MakeHex(64, 72)])) << "mode 1 clears fog by radar";

    UNITSTRUCT& hunter = Place(0, 1, kTypeSonarShip, MakeHex(40, 64));
    const HEXINDEX path2[] = {MakeHex(63, 70), kNoHex};
    r = SearchFromUnitPath(hunter, *state, Cells(), Units(), Cover(), path2, true);
    EXPECT_TRUE(r & kSearchFoundUnit);
    EXPECT_EQ(sub.dwFlag & (HiddenFromSideBit(0) | SensedBySideBit(0)), SensedBySideBit(0));
}

TEST_F(SightTest, CountVisibleEnemies)
{
    Place(1, 0, kFixtureInfantry, MakeHex(64, 66));
    UNITSTRUCT& hidden = Place(1, 1, kFixtureInfantry, MakeHex(64, 67));
    hidden.dwFlag |= HiddenFromSideBit(0);
    Place(3, 0, kFixtureInfantry, MakeHex(64, 68));
    Place(1, 2, kFixtureInfantry, MakeHex(64, 75));
    Place(2, 0, kFixtureInfantry, MakeHex(64, 65));  // same side
    UNITSTRUCT& carried = Place(1, 3, kFixtureInfantry, MakeHex(64, 65));
    carried.dwFlag |= kUnitCarried;
    EXPECT_EQ(CountVisibleEnemies(kCentre, 5, 0, *state), 2);
    EXPECT_EQ(CountVisibleEnemies(kCentre, 2, 0, *state), 1);
    EXPECT_EQ(CountVisibleEnemies(kCentre, 5, 9, *state), 0);
}

}  // namespace
}  // namespace zrv
