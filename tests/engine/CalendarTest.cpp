// Calendar arithmetic, day and night, the moon, and the climate rules of a
// new turn, each against the fixture library (or a copy with one table
// changed), with the game generator seeded.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "battle/engine/Calendar.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/Weather.h"
#include "engine/DocFixture.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

std::string DateText(uint32_t d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:00", DateYear(d), DateMonth(d), DateDay(d),
                  DateHour(d));
    return buf;
}

// The fixture library with some tables replaced; installed for the test's life.
class ClimateTest : public testing::Test {
protected:
    void SetUp() override
    {
        lib = zrvtest::FixtureLibrary();
        SetLib(&lib);
        game = std::make_unique<GAMEDATASTRUCT>();
        game->dwStateFlag = kStateFlagAtStart;
    }
    void TearDown() override { SetLib(nullptr); }

    DataLibrary lib;
    std::unique_ptr<GAMEDATASTRUCT> game;
    GameRandom random{7};
};

// --- dates -------------------------------------------------------------------------

TEST(Calendar, DateStepsCarryIntoDayMonthAndYear)
{
    struct Case {
        uint32_t from;
        uint32_t twoHoursLater;
    } cases[] = {
        {PackDate(41, 12, 31, 22), PackDate(42, 1, 1, 0)}, {PackDate(41, 6, 30, 22), PackDate(41, 7, 1, 0)},
        {PackDate(40, 2, 28, 22), PackDate(40, 2, 29, 0)},  // year byte divisible by 4
        {PackDate(41, 2, 28, 22), PackDate(41, 3, 1, 0)},  {PackDate(40, 2, 29, 22), PackDate(40, 3, 1, 0)},
        {PackDate(41, 5, 10, 8), PackDate(41, 5, 10, 10)}, {PackDate(255, 12, 31, 22), PackDate(0, 1, 1, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateText(c.from));
        EXPECT_EQ(DateText(AddTwoHours(c.from)), DateText(c.twoHoursLater));
        EXPECT_EQ(DateText(GetPrevDateStep(c.twoHoursLater)), DateText(c.from));
    }
    EXPECT_EQ(GetNextDay(PackDate(40, 2, 28, 14)), PackDate(40, 2, 29));
    EXPECT_EQ(GetNextDay(PackDate(41, 2, 28, 14)), PackDate(41, 3, 1));
    EXPECT_EQ(GetPrevDateStep(PackDate(41, 3, 1, 0)), PackDate(41, 2, 28, 22));
    EXPECT_EQ(GetPrevDateStep(PackDate(44, 3, 1, 0)), PackDate(44, 2, 29, 22));
    EXPECT_EQ(GetPrevDateStep(PackDate(42, 1, 1, 0)), PackDate(41, 12, 31, 22));
    // A damaged month still moves on to a real date.
    EXPECT_EQ(GetNextDay(PackDate(41, 13, 40)), PackDate(42, 1, 1));
}

TEST(Calendar, AYearOfStepsComesBackToTheSameDayAndHour)
{
    for (int year : {40, 41}) {
        uint32_t d = PackDate(year, 1, 1, 0);
        int steps = 0;
        do {
            uint32_t next = AddTwoHours(d);
            ASSERT_EQ(GetPrevDateStep(next), d) << DateText(d);
            d = next;
            ++steps;
        } while (DateYear(d) == year);
        EXPECT_EQ(steps, (year % 4 == 0 ? 366 : 365) * 12);
        EXPECT_EQ(d, PackDate(year + 1, 1, 1, 0));
    }
}

// --- day and night ------------------------------------------------------------------

TEST_F(ClimateTest, DayAndNightFollowSunriseAndSunsetAtTheStepsMiddleHour)
{
    // Month 1: sunrise 7, sunset 17. Month 3: 6 and 18 (even: no twilight).
    // Month 4: no real night (-5, 19). Month 5: no real day (5, -19).
    std::vector<std::array<int8_t, 24>> sun = {lib.SunriseSunsetData[0]};
    sun[0][3] = -5;
    sun[0][15] = 19;
    sun[0][4] = 5;
    sun[0][16] = -19;
    lib.SunriseSunsetData = sun;
    struct Case {
        int month, hour, expected;
    } cases[] = {
        {1, 4, kNight},  {1, 6, kTwilight}, {1, 8, kDay},       {1, 14, kDay},      {1, 16, kTwilight},
        {1, 18, kNight}, {1, 22, kNight},   {3, 4, kNight},     {3, 6, kDay},       {3, 16, kDay},
        {3, 18, kNight}, {4, 2, kTwilight}, {4, 4, kTwilight},  {4, 6, kDay},       {4, 18, kTwilight},
        {5, 2, kNight},  {5, 4, kTwilight}, {5, 16, kTwilight}, {5, 18, kTwilight}, {5, 20, kNight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "month " << c.month << " hour " << c.hour);
        EXPECT_EQ(GetDayNight(PackDate(41, c.month, 10, c.hour), 0), c.expected);
    }
    // No sun data for the area, or a damaged month: daylight.
    EXPECT_EQ(GetDayNight(PackDate(41, 1, 10, 0), 5), kDay);
    EXPECT_EQ(GetDayNight(PackDate(41, 0, 10, 0), 0), kDay);
}

// --- the moon -----------------------------------------------------------------------

TEST_F(ClimateTest, MoonCountsDaysFromTheLatestNewMoon)
{
    // Fixture: new moons every 30 days from 1 January; type 4 on days 14-17.
    EXPECT_EQ(GetMoonPhase(PackDate(41, 1, 1, 12)), 1 << 16 | 0);
    EXPECT_EQ(GetMoonPhase(PackDate(41, 1, 15)), 15 << 16 | kMoonFull);
    EXPECT_EQ(GetMoonPhase(PackDate(41, 1, 31)), 1 << 16 | 0);   // the second new moon
    EXPECT_EQ(GetMoonPhase(PackDate(40, 2, 29)), 30 << 16 | 3);  // 29 days after 31 January
    EXPECT_EQ(GetMoonPhase(PackDate(40, 3, 1)), 1 << 16 | 0);
}

TEST_F(ClimateTest, MoonBeforeTheFirstNewMoonOfCycleYearZeroUsesTheCyclesLastRow)
{
    std::vector<std::array<int32_t, 13>> rows(19);
    for (auto& r : rows) r.fill(-1);
    rows[0][0] = 0 << 16 | 1 << 8 | 10;
    rows[18][0] = 18 << 16 | 11 << 8 | 20;
    rows[18][1] = 18 << 16 | 12 << 8 | 20;
    lib.TblNewMoon = rows;
    // Year byte 38 is cycle year 0; 5 January is 16 days after 20 December.
    EXPECT_EQ(GetMoonPhase(PackDate(38, 1, 5)) >> 16, 17);
    EXPECT_EQ(GetMoonPhase(PackDate(38, 1, 10)) >> 16, 1);

    // A short table: no row 18 to wrap to, and fewer moon types than days.
    std::vector<std::array<int32_t, 13>> one(rows.begin(), rows.begin() + 1);
    std::vector<int32_t> types = {0, 1, 2, 3, 4};
    lib.TblNewMoon = one;
    lib.TblMoonType = types;
    EXPECT_EQ(GetMoonPhase(PackDate(38, 1, 5)), 1 << 16 | 0);
    EXPECT_EQ(GetMoonPhase(PackDate(38, 3, 1)), 5 << 16 | 4);
    lib.TblMoonType = {};
    EXPECT_EQ(GetMoonPhase(PackDate(38, 3, 1)), 1 << 16);
}

// --- weather rules --------------------------------------------------------------------

TEST(WeatherRules, RainRollByWeatherHitAndParity)
{
    // p = 50: r = 10 (hit, even), 11 (hit, odd), 60 (miss, even), 61 (miss, odd).
    struct Case {
        int w;
        int expected[4];
    } cases[] = {
        {kWeatherFine, {1, 2, 0, 0}},       {kWeatherSandstorm, {1, 2, 6, 6}}, {kWeatherCloudy, {1, 3, 1, 0}},
        {kWeatherRain, {3, 3, 2, 0}},       {kWeatherHeavyRain, {3, 3, 4, 0}}, {kWeatherStorm, {3, 3, 0, 0}},
        {kWeatherHeavyStorm, {5, 5, 0, 0}}, {kWeatherFog, {0, 0, 0, 0}},       {42, {0, 0, 0, 0}},
    };
    const int draws[4] = {10, 11, 60, 61};
    for (const Case& c : cases) {
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "weather " << c.w << " draw " << draws[i]);
            EXPECT_EQ(RainWeatherFromDraw(c.w, 50, draws[i]), c.expected[i]);
        }
    }
}

TEST(WeatherRules, HeavierFormsOnlyForRainAndStormWhenCold)
{
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherRain, 0, 99), kWeatherHeavyRain);  // certain at 0.0
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherStorm, -100, 99), kWeatherHeavyStorm);
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherRain, 50, 0), kWeatherRain);        // never from 5.0
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherRain, 30, 39), kWeatherHeavyRain);  // 40 percent
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherRain, 30, 40), kWeatherRain);
    EXPECT_EQ(HeavierWeatherFromDraw(kWeatherCloudy, -100, 0), kWeatherCloudy);
    // No draw is taken when nothing can change.
    GameRandom r(1);
    EXPECT_EQ(RollHeavierWeather(kWeatherRain, 60, r), kWeatherRain);
    EXPECT_EQ(RollHeavierWeather(kWeatherFine, -60, r), kWeatherFine);
    EXPECT_EQ(r.Draws(), 0u);
}

TEST(WeatherRules, IceGrowsWithFrostAndMeltsWithWarmth)
{
    struct Case {
        int level, t, expected;
    } cases[] = {
        {12, 130, 0},  {5, 129, 2},   {5, 110, 2},  {5, 80, 3},
        {5, 79, 4},    {0, 40, 0},    {5, 39, 5},   {5, 1, 5},
        {0, 0, 1},     {12, 0, 12},   {0, -25, 1},  {1, -25, 2},
        {2, -25, 2},   {0, -5, 0},    {0, -150, 2}, {10, -300, 13 > 12 ? 12 : 13},
        {8, -400, 12}, {9, -400, 12}, {0, -400, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " at " << c.t);
        int32_t level = c.level;
        AccumulateIce(level, c.t);
        EXPECT_EQ(level, c.expected);
    }
}

TEST_F(ClimateTest, RainLevelMovesByTheTableAndStaysInRange)
{
    // Fixture table: -1, 0, 1, 2, 2, 3, -1, 0.
    int32_t level = 11;
    AccumulateRain(level, kWeatherHeavyStorm);
    EXPECT_EQ(level, 12);
    level = 0;
    AccumulateRain(level, kWeatherFine);
    EXPECT_EQ(level, 0);
    level = 5;
    AccumulateRain(level, 99);  // a damaged weather value changes nothing
    EXPECT_EQ(level, 5);
}

TEST_F(ClimateTest, FogOnlyAtDawnAfterCoolingAndSandstormsOnlyInSpring)
{
    std::vector<TEMPERATURESTRUCT> climate(lib.TemperatureData.begin(), lib.TemperatureData.end());
    climate[0].dwFlag = 3;  // fog and sandstorm possible
    lib.TemperatureData = climate;
    struct Case {
        uint32_t date;
        int prev, now, next, expected;
    } cases[] = {
        {PackDate(41, 1, 10, 4), 100, 0, 50, kWeatherFog},    // the step from 06:00 is dawn
        {PackDate(41, 1, 10, 14), 100, 0, 50, kWeatherFine},  // 16:00 is dusk
        {PackDate(41, 1, 10, 4), 0, 0, 50, kWeatherFine},     // it did not cool
        {PackDate(41, 1, 10, 4), 100, 0, 51, kWeatherFine},   // too warm
        {PackDate(41, 4, 10, 10), 0, 0, 800, kWeatherSandstorm},
        {PackDate(41, 6, 10, 10), 0, 0, 800, kWeatherFine},
        {PackDate(41, 3, 10, 10), 0, 0, 300, kWeatherFine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateText(c.date));
        game->dwDateTime = c.date;
        game->nWeather = kWeatherFine;
        game->nWeatherNext = kWeatherFine;
        game->nTemperaturePrev = c.prev;
        game->nWeatherValue = c.now;
        game->nTemperatureNext = c.next;
        RollSpecialWeather(*game, random);
        EXPECT_EQ(game->nWeatherNext, c.expected);
    }
}

TEST_F(ClimateTest, TemperatureRowDependsOnHourLightStartAndWeather)
{
    // Month 1 of the fixture: 0.0 to 20.0 degrees, mean 10.0; every rate pair 0..10.
    struct Case {
        int hour, start, w, row;
    } cases[] = {
        {8, 150, kWeatherFine, 0},  {12, 150, kWeatherFine, 2},  {14, 150, kWeatherFine, 4},
        {18, 150, kWeatherFine, 6}, {8, 100, kWeatherFine, 8},   {8, 150, kWeatherCloudy, 16},
        {8, 150, kWeatherRain, 32}, {18, 50, kWeatherStorm, 46}, {8, 150, kWeatherFog, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hour " << c.hour << " start " << c.start << " weather " << c.w);
        game->dwDateTime = PackDate(41, 1, 10, c.hour);  // the step computed is two hours on
        game->nWeatherValue = c.start;
        TemperatureTrace trace;
        ComputeTemperature(*game, c.w, false, &trace, random);
        EXPECT_EQ(trace.row, c.row);
        EXPECT_EQ(trace.rateSize, 11);
        EXPECT_EQ(trace.result, std::clamp(c.start + 200 * trace.rate / 100, 0, 200));
        EXPECT_EQ(game->nTemperatureNext, trace.result);
    }
    // The first forecast starts from the mean with the high rate less 10.
    TemperatureTrace trace;
    ComputeTemperature(*game, kWeatherFine, true, &trace, random);
    EXPECT_EQ(trace.start, 100);
    EXPECT_EQ(trace.rate, 0);
    EXPECT_EQ(game->nTemperatureNext, 100);
}

TEST_F(ClimateTest, ANewScenarioStartsAtTheMonthsMeanWithItsFirstWeather)
{
    // Stale values of a game before must not survive.
    game->nLight = 1;
    game->nTemperatureNext = 555;
    game->nWeather = kWeatherFog;
    std::map<int, int> weathers;
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        game->dwDateTime = PackDate(41, 1, 10, 4);
        GameRandom r(seed);
        PrimeStartWeather(*game, r);
        EXPECT_EQ(game->nDayNight, kNight);
        EXPECT_EQ(game->nLight, kNight);
        EXPECT_EQ(game->nWeatherValue, 100);  // mean of 0.0 and 20.0; the first rate is 10 - 10
        EXPECT_EQ(game->nTemperaturePrev, 100);
        EXPECT_EQ(game->nWeatherNext, game->nWeather);
        ++weathers[game->nWeather];
    }
    // Fine weather with a 20 percent chance of clouds or rain.
    EXPECT_EQ(weathers.size(), 3u);
    EXPECT_GT(weathers[kWeatherFine], weathers[kWeatherCloudy] + weathers[kWeatherRain]);
}

TEST_F(ClimateTest, ADamagedRatePairDrawsNothing)
{
    std::vector<std::array<int32_t, 2>> rates(24, {30, 10});
    lib.TemperatureTimeRate = rates;
    game->dwDateTime = PackDate(41, 1, 10, 8);
    game->nWeatherValue = 150;
    TemperatureTrace trace;
    uint64_t before = random.Draws();
    ComputeTemperature(*game, kWeatherFine, false, &trace, random);
    EXPECT_EQ(random.Draws(), before);
    EXPECT_EQ(trace.rate, 30);
    EXPECT_EQ(game->nTemperatureNext, 200);  // 15.0 + 6.0, held at the month's maximum
}

TEST_F(ClimateTest, FileIndexesOutsideTheTablesAreBounded)
{
    game->Head.dwArea = 7u << 16 | 9u;  // no such climate area, no such rain area
    EXPECT_EQ(GetClimateArea(*game), -1);
    EXPECT_EQ(GetRainRateIndex(*game, PackDate(41, 3, 1)), -1);
    game->Head.dwArea = 0;
    EXPECT_EQ(GetRainRateIndex(*game, PackDate(41, 3, 1)), 2);
    EXPECT_EQ(GetRainRateIndex(*game, PackDate(41, 13, 1)), -1);
    // Unknown areas still give a forecast (0.0 degrees) and a roll.
    game->Head.dwArea = 7u << 16 | 9u;
    ComputeTemperature(*game, kWeatherFine, false, nullptr, random);
    EXPECT_EQ(game->nTemperatureNext, 0);
    EXPECT_EQ(RollRainWeather(kWeatherFog, -1, random), kWeatherFine);
}

TEST(WeatherRules, TemperatureTextShowsAMinusForZeroAndBelow)
{
    auto t = SplitTemperature(-25);
    EXPECT_EQ(t.sign, '-');
    EXPECT_EQ(t.whole, 2);
    EXPECT_EQ(t.tenths, 5);
    EXPECT_EQ(SplitTemperature(0).sign, '-');
    EXPECT_EQ(SplitTemperature(1).sign, ' ');
}

// --- the document's weather ------------------------------------------------------------

using WeatherDocTest = DocFixture;

TEST_F(WeatherDocTest, SnowSeasonBeginsInHeavyWeatherAndEndsWhenDryOrThawed)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    struct Case {
        bool before;
        int rain, ice, weather;
        bool after;
    } cases[] = {
        {false, 2, 1, 4, true}, {false, 1, 1, 4, false}, {false, 2, 0, 5, false}, {false, 2, 1, 3, false},
        {true, 0, 5, 0, false}, {true, 5, 0, 0, false},  {true, 1, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.before << " rain " << c.rain << " ice " << c.ice << " w " << c.weather);
        g.dwStateFlag = c.before ? kStateSnowSeason : 0;
        g.nRainLevel = c.rain;
        g.nIceLevel = c.ice;
        g.nWeather = c.weather;
        EXPECT_EQ(doc->UpdateSnowSeason(), c.before != c.after ? 1 : 0);
        EXPECT_EQ((g.dwStateFlag & kStateSnowSeason) != 0, c.after);
    }
}

class TerrainWeatherTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        lib = zrvtest::FixtureLibrary();
        terrain.assign(lib.TerrainBase.begin(), lib.TerrainBase.end());
        // 10 floods into 72 at rain 3; 72 freezes into 73 at ice 2, 73 into 75 at ice 5;
        // 11 floods into 74; 12 has no works.
        terrain[10].nRainLimit = 3;
        terrain[10].nFloodForm = 72;
        terrain[72].nIceLimit = 2;
        terrain[72].nFrozenForm = 73;
        terrain[73].nIceLimit = 5;
        terrain[73].nFrozenForm = 75;
        terrain[11].nRainLimit = 3;
        terrain[11].nFloodForm = 74;
        terrain[12].nDurableMax = 0;
        lib.TerrainBase = terrain;
        SetLib(&lib);
        for (int hex : {hexA, hexB, hexC}) doc->m_GameData.dwHexCell[hex] = 0;
        doc->m_GameData.dwHexCell[hexA] = WithTerrain(0, 10);
        doc->m_GameData.dwHexCell[hexB] = WithTerrain(0, 11);
        doc->m_GameData.dwHexCell[hexC] = WithDurability(WithTerrain(0, 12), 40);
        for (int hex : {hexA, hexB, hexC}) doc->m_dwHexCell[hex] = doc->m_GameData.dwHexCell[hex];
        view.calls.clear();
    }

    int Live(int hex) const { return CellTerrain(doc->m_dwHexCell[hex]); }
    int Base(int hex) const { return CellTerrain(doc->m_GameData.dwHexCell[hex]); }

    DataLibrary lib;
    std::vector<TRRNSTRUCT> terrain;
    const int hexA = MakeHex(40, 40), hexB = MakeHex(40, 41), hexC = MakeHex(40, 42);
};

TEST_F(TerrainWeatherTest, FloodThenFreezeThenFreezeAgain)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    struct Case {
        int rain, ice;
        bool allowFlooding;
        int a, b, baseA, baseB;
    } cases[] = {
        {0, 0, true, 10, 11, 10, 11},  {3, 0, true, 72, 74, 72, 72},  {3, 2, false, 73, 74, 10, 11},
        {3, 5, false, 75, 74, 10, 11}, {2, 12, true, 10, 11, 10, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "rain " << c.rain << " ice " << c.ice << " flood " << c.allowFlooding);
        g.dwHexCell[hexA] = WithTerrain(0, 10);
        g.dwHexCell[hexB] = WithTerrain(0, 11);
        g.nRainLevel = c.rain;
        g.nIceLevel = c.ice;
        doc->ApplyTerrainWeather(c.allowFlooding);
        EXPECT_EQ(Live(hexA), c.a);
        EXPECT_EQ(Live(hexB), c.b);
        EXPECT_EQ(Base(hexA), c.baseA);
        EXPECT_EQ(Base(hexB), c.baseB);
    }
}

TEST_F(TerrainWeatherTest, WorksVanishWhereTheTerrainHoldsNoneAndFrostPicksThePictureSet)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nIceLevel = 8;
    EXPECT_EQ(doc->ApplyTerrainWeather(false), 1);
    EXPECT_EQ(CellDurability(doc->m_dwHexCell[hexC]), 0);
    EXPECT_EQ(CellDurability(g.dwHexCell[hexC]), 0);
    EXPECT_EQ(view.terrainSet, 2);
    // Nothing changes the second time; a set that cannot load is no change.
    view.calls.clear();
    EXPECT_EQ(doc->ApplyTerrainWeather(false), 0);
    EXPECT_EQ(view.Count("LoadTerrainSet(2)"), 0);
    g.nIceLevel = 10;
    view.canLoadTerrainSet = false;
    EXPECT_EQ(doc->ApplyTerrainWeather(false), 0);
    EXPECT_EQ(view.terrainSet, 2);
}

TEST_F(TerrainWeatherTest, WithWeatherOffTheMapKeepsItsTerrain)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwStateFlag &= ~kStateWeather;
    g.nRainLevel = 12;
    g.nIceLevel = 12;
    doc->ApplyTerrainWeather(true);
    EXPECT_EQ(Live(hexA), 10);
    EXPECT_EQ(Base(hexA), 10);
    EXPECT_EQ(view.terrainSet, 0);
}

TEST_F(TerrainWeatherTest, WorksRegrowByAFifthOfTheRateUpToTheMaximum)
{
    // Fixture terrain: maximum 100, regrowth 10 (2 a turn).
    GAMEDATASTRUCT& g = doc->m_GameData;
    const int hexD = MakeHex(41, 40), hexE = MakeHex(41, 41), hexF = MakeHex(41, 42);
    doc->m_dwHexCell[hexD] = g.dwHexCell[hexD] = WithDurability(WithTerrain(0, 9), 50);
    doc->m_dwHexCell[hexE] = g.dwHexCell[hexE] = WithDurability(WithTerrain(0, 9), 99);
    doc->m_dwHexCell[hexF] = g.dwHexCell[hexF] = WithDurability(WithTerrain(0, 9), 50) | kCellClosedAll;
    RegrowDurability(doc->m_dwHexCell, g.dwHexCell);
    EXPECT_EQ(CellDurability(doc->m_dwHexCell[hexD]), 52);
    EXPECT_EQ(CellDurability(g.dwHexCell[hexD]), 52);
    EXPECT_EQ(CellDurability(doc->m_dwHexCell[hexE]), 100);
    EXPECT_EQ(CellDurability(doc->m_dwHexCell[hexF]), 50);
}

TEST_F(WeatherDocTest, TheWeatherThresholdIsTheRoadRainLimitWhileTheWeatherIsInForce)
{
    DataLibrary lib = zrvtest::FixtureLibrary();
    std::vector<TRRNSTRUCT> roads(lib.RoadBase.begin(), lib.RoadBase.end());
    roads[0].nRainLimit = 3;
    lib.RoadBase = roads;
    SetLib(&lib);
    GAMEDATASTRUCT& g = doc->m_GameData;
    const MAPCELL plain = WithTerrain(0, zrvtest::kFixturePlain);
    g.nRainLevel = 3;
    EXPECT_EQ(doc->TestHexWeatherThreshold(plain), 1);
    g.nRainLevel = 2;
    EXPECT_EQ(doc->TestHexWeatherThreshold(plain), 0);
    g.nRainLevel = 12;
    g.dwStateFlag &= ~kStateWeather;
    EXPECT_EQ(doc->TestHexWeatherThreshold(plain), 0);
}

TEST_F(TerrainWeatherTest, TheWeatherToggleTakesBackOrReappliesTheTerrain)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.nRainLevel = 3;
    doc->ApplyTerrainWeather(false);
    ASSERT_EQ(Live(hexA), 72);
    view.state.phaseCommands = true;
    ASSERT_TRUE(doc->RunCommand(ID_GAME_WEATHER));  // off
    EXPECT_EQ(Live(hexA), 10);
    ASSERT_TRUE(doc->RunCommand(ID_GAME_WEATHER));  // on again
    EXPECT_EQ(Live(hexA), 72);
    EXPECT_EQ(Base(hexA), 10);
}

// --- a year of turns --------------------------------------------------------------------

struct YearLog {
    std::vector<int> weather, temperature, dayNight, light, rain, ice;
    std::vector<uint32_t> dates;
};

YearLog RunSteps(CZRKGameDoc& doc, uint32_t seed, int steps)
{
    doc.Random().Seed(seed);
    GAMEDATASTRUCT& g = doc.m_GameData;
    g.dwDateTime = PackDate(41, 1, 1, 0);
    g.nTurn = 0;
    g.dwStateFlag = kStateFlagAtStart;
    g.nWeather = g.nWeatherNext = kWeatherFine;
    g.nWeatherValue = g.nTemperaturePrev = 0;
    g.nRainLevel = g.nIceLevel = g.nDayNight = g.nLight = 0;
    ComputeTemperature(g, kWeatherFine, true, nullptr, doc.Random());
    YearLog log;
    for (int step = 0; step < steps; ++step) {
        doc.StepNewTurn();
        log.weather.push_back(g.nWeather);
        log.temperature.push_back(g.nWeatherValue);
        log.dayNight.push_back(g.nDayNight);
        log.light.push_back(g.nLight);
        log.rain.push_back(g.nRainLevel);
        log.ice.push_back(g.nIceLevel);
        log.dates.push_back(g.dwDateTime);
    }
    return log;
}

TEST_F(WeatherDocTest, AYearOfWeatherWithAFixedSeed)
{
    // A cold, foggy, sandy climate so every rule has a chance to act.
    DataLibrary lib = zrvtest::FixtureLibrary();
    std::vector<TEMPERATURESTRUCT> climate(lib.TemperatureData.begin(), lib.TemperatureData.end());
    climate[0].dwFlag = 3;
    for (int m = 0; m < 12; ++m) {
        climate[0].nMin[m] = m < 3 || m > 9 ? -200 : 50;
        climate[0].nMax[m] = m < 3 || m > 9 ? 30 : 420;
    }
    std::vector<std::array<int32_t, 2>> rates(24);
    for (int k = 0; k < 24; ++k) rates[k] = {k % 2 ? -40 : -10, k % 2 ? 10 : 40};
    lib.TemperatureData = climate;
    lib.TemperatureTimeRate = rates;
    SetLib(&lib);

    doc->m_GameData.nWeatherValue = 0;
    // The same seed replays the same weather.
    YearLog first = RunSteps(*doc, 1234, 600);
    YearLog log = RunSteps(*doc, 1234, 365 * 12);
    EXPECT_TRUE(std::equal(first.weather.begin(), first.weather.end(), log.weather.begin()));
    EXPECT_TRUE(std::equal(first.temperature.begin(), first.temperature.end(), log.temperature.begin()));

    std::map<int, int> seen;
    for (size_t i = 0; i < log.dates.size(); ++i) {
        SCOPED_TRACE(DateText(log.dates[i]));
        // The first turn does not move the clock; every later one moves it two hours.
        uint32_t expected = i == 0 ? PackDate(41, 1, 1, 0) : AddTwoHours(log.dates[i - 1]);
        ASSERT_EQ(log.dates[i], expected);
        const int w = log.weather[i];
        ASSERT_TRUE(w >= 0 && w < kWeatherCount);
        ++seen[w];
        const int m = DateMonth(log.dates[i]) - 1;
        // The temperature was forecast for this step's month (or the one before, at a month's first step).
        const int lo = std::min(climate[0].nMin[m], climate[0].nMin[(m + 11) % 12]);
        const int hi = std::max(climate[0].nMax[m], climate[0].nMax[(m + 11) % 12]);
        ASSERT_GE(log.temperature[i], lo);
        ASSERT_LE(log.temperature[i], hi);
        ASSERT_TRUE(log.rain[i] >= 0 && log.rain[i] <= 12);
        ASSERT_TRUE(log.ice[i] >= 0 && log.ice[i] <= 12);
        ASSERT_EQ(log.dayNight[i], GetDayNight(log.dates[i], 0));
        if (w == kWeatherFog) {
            ASSERT_EQ(GetDayNight(log.dates[i], 0), kTwilight);
        }
        if (w == kWeatherSandstorm) {
            ASSERT_TRUE(m >= 2 && m <= 4);
        }
        // Moonlight brightens a night only under the shining moon.
        if (log.light[i] != log.dayNight[i]) {
            ASSERT_EQ(log.dayNight[i], kNight);
            ASSERT_EQ(GetMoonPhase(log.dates[i]) & 0xFFFF, kMoonFull);
        }
    }
    // Over a year every kind of weather turns up, heavier forms included.
    for (int w = 0; w < kWeatherCount; ++w) EXPECT_GT(seen[w], 0) << "weather " << w;
    EXPECT_EQ(doc->m_GameData.nTurn, 365 * 12);
}

TEST_F(WeatherDocTest, TheFirstTurnNeitherAccumulatesNorAdvancesAndLaterTurnsDo)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwDateTime = PackDate(41, 1, 10, 6);
    g.nTurn = 0;
    g.nWeatherNext = kWeatherHeavyStorm;  // +3 rain in the fixture
    g.nTemperatureNext = -100;
    doc->StepNewTurn();
    EXPECT_EQ(g.nTurn, 1);
    EXPECT_EQ(g.dwDateTime, PackDate(41, 1, 10, 6));
    EXPECT_EQ(g.nRainLevel, 0);
    EXPECT_EQ(g.nIceLevel, 0);
    EXPECT_EQ(doc->m_GameData.nCurCountry, 0);
    g.nWeatherNext = kWeatherHeavyStorm;
    g.nTemperatureNext = -100;
    doc->StepNewTurn();
    EXPECT_EQ(g.nTurn, 2);
    EXPECT_EQ(g.dwDateTime, PackDate(41, 1, 10, 8));
    EXPECT_EQ(g.nRainLevel, 3);
    EXPECT_EQ(g.nIceLevel, 1);
}

TEST_F(WeatherDocTest, WithWeatherOffLevelsAndTheSnowSeasonStillChangeButTheMapDoesNot)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    const int hex = MakeHex(50, 50);
    doc->m_dwHexCell[hex] = g.dwHexCell[hex] = WithTerrain(0, zrvtest::kFixturePlain);
    g.dwStateFlag &= ~kStateWeather;
    g.nTurn = 5;
    g.nRainLevel = 1;
    g.nIceLevel = 1;
    g.nWeatherNext = kWeatherHeavyStorm;  // +3 rain
    g.nTemperatureNext = -100;
    view.terrainSet = 3;
    doc->StepNewTurn();
    EXPECT_EQ(g.nRainLevel, 4);
    EXPECT_EQ(g.nIceLevel, 2);
    EXPECT_NE(g.dwStateFlag & kStateSnowSeason, 0u);
    EXPECT_EQ(doc->IsSnowSeason(), 0);  // the snow costs need the weather in force
    EXPECT_EQ(view.Count("LoadTerrainSet(0)"), 0);
    EXPECT_EQ(view.Count("SelectTerrainColours()"), 0);  // a season change with weather off is no redraw
    EXPECT_EQ(CellTerrain(doc->m_dwHexCell[hex]), zrvtest::kFixturePlain);
}

TEST_F(WeatherDocTest, TheTurnRecordsNameTheWeatherAndTheLevels)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    doc->m_dwGameOption |= kOptTextRecord | kOptWeatherRecord;
    g.dwDateTime = PackDate(41, 1, 10, 6);
    g.dwStateFlag &= ~kStateWeather;
    g.nWeatherNext = kWeatherRain;
    doc->StepNewTurn();
    ASSERT_EQ(doc->m_StubRecords.size(), 5u);  // heading, two weather lines, a blank one, the turn line
    // "*** name ***  yy.mm.dd(Day) HH:MM"
    const std::string heading = "*** " + std::string(FieldText(g.Head.szName)) + " ***  ";
    EXPECT_EQ(doc->m_StubRecords[0].rfind(heading, 0), 0u) << doc->m_StubRecords[0];
    EXPECT_EQ(doc->m_StubRecords[0].size(), heading.size() + 20) << doc->m_StubRecords[0];
    EXPECT_NE(doc->m_StubRecords[1].find("\t41/ 1/10 08:00 "), std::string::npos) << doc->m_StubRecords[1];
    EXPECT_NE(doc->m_StubRecords[2].find("\t\tIndex:"), std::string::npos);
    EXPECT_EQ(doc->m_StubRecords[3], "\n");
    const std::string& turn = doc->m_StubRecords[4];
    EXPECT_NE(turn.find("(Turn  1) : Weather WEATHER2(OFF) (Rain: 0 Freeze: 0)\n"), std::string::npos)
        << turn;
}

TEST_F(WeatherDocTest, UnitsThatCanNoLongerStayAreLostWithOneWarning)
{
    // Infantry on sea (a thaw), on a plain, and one aboard a carrier at sea.
    for (int i = 0; i < 4; ++i) {
        UNITSTRUCT& u = doc->m_GameData.Country[i].Unit[0];
        u.dwFlag = kUnitInUse;
        u.nArms = zrvtest::kFixtureInfantry;
        u.nHex = MakeHex(50, 50 + i);
        doc->m_dwHexCell[u.nHex] = WithTerrain(0, i == 3 ? zrvtest::kFixturePlain : zrvtest::kFixtureSea);
    }
    doc->m_GameData.Country[2].Unit[1] = doc->m_GameData.Country[2].Unit[0];
    doc->m_GameData.Country[2].Unit[1].dwFlag |= kUnitCarried;
    doc->m_dwHexCell[MakeHex(50, 51)] = WithRoutes(WithTerrain(0, zrvtest::kFixtureSea), 1);  // a bridge
    doc->DrownUnits();
    EXPECT_EQ(doc->StubCalls(DocStub::LoseUnit), 2);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "天候変化により水没します");
    EXPECT_EQ(view.Count("PlaySE(31)"), 1);
}

}  // namespace
}  // namespace zrv
