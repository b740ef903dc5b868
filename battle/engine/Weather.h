#pragma once
// The climate rules of a new turn: the weather roll and its special forms,
// the temperature, the accumulated rain and ice, and what they do to the map.
// Figures come from the data library's climate tables; every table index that
// is taken from the game state is bounded first.
//
// Each rule that draws from the game generator has a twin that takes the
// draw as a number, so the rule can be checked case by case and the draws
// stay in the game's own order.

#include <array>
#include <cstdint>
#include <span>

#include "battle/engine/GameTime.h"
#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// Weather values (GAMEDATASTRUCT::nWeather).
enum Weather : int {
    kWeatherFine = 0,
    kWeatherCloudy = 1,
    kWeatherRain = 2,
    kWeatherStorm = 3,
    kWeatherHeavyRain = 4,   // rain at low temperature
    kWeatherHeavyStorm = 5,  // storm at low temperature
    kWeatherSandstorm = 6,
    kWeatherFog = 7,
    kWeatherCount = 8,
};

// Rain and ice levels run from 0 to this.
inline constexpr int kWeatherLevelMax = 12;

// The scenario's climate area (high half of the area word) when the library
// has a climate record for it, else -1.
int GetClimateArea(const GAMEDATASTRUCT& game);
// The climate record of the scenario, or null.
const TEMPERATURESTRUCT* GetClimate(const GAMEDATASTRUCT& game);
// Index into RainRateData for the scenario's rain area (low half of the area
// word) and month, or -1 when the table has no such entry.
int GetRainRateIndex(const GAMEDATASTRUCT& game, uint32_t date);

// A random percent draw (0..99) of the game generator.
int DrawPercent(GameRandom& random);

// Next weather from weather w with rain chance p percent and draw r (0..99).
int RainWeatherFromDraw(int w, int p, int r);
int RollRainWeather(int w, int rainIndex, GameRandom& random);
// Rain and storm turn into their heavier forms below 5.0 degrees: with
// (50 - t) x 2 percent. The draw is taken only when the chance is positive.
int HeavierWeatherFromDraw(int w, int t, int r);
int RollHeavierWeather(int w, int t, GameRandom& random);
// Fog at dawn and sandstorms in spring, over the forecast already rolled.
void RollSpecialWeather(GAMEDATASTRUCT& game, GameRandom& random);

// The calendar values of a new scenario: the light of its first step, its
// first temperature (from the month's mean) and its first weather, with the
// forecast equal to it.
void PrimeStartWeather(GAMEDATASTRUCT& game, GameRandom& random);

// What ComputeTemperature worked with, for the weather record.
struct TemperatureTrace {
    uint32_t date = 0;
    int dayNight = 0;
    int weather = 0;
    int start = 0;  // the temperature the step starts from (tenths)
    int lo = 0;
    int hi = 0;
    int row = 0;       // pair index of TemperatureTimeRate times 2
    int rateLow = 0;   // the row's lowest percent
    int rateSize = 0;  // how many percents the draw chose from
    int drawn = 0;     // the random part
    int rate = 0;
    int change = 0;
    int result = 0;
};
// Forecasts GAMEDATASTRUCT::nTemperatureNext for the coming step (the
// current step when initial is set, at scenario start).
void ComputeTemperature(GAMEDATASTRUCT& game, int w, bool initial, TemperatureTrace* trace,
                        GameRandom& random);

void AccumulateRain(int32_t& level, int w);
void AccumulateIce(int32_t& level, int t);
// The frost level 0..3 that picks the terrain picture set.
int FrostLevel(int iceLevel);

// Works regrow on every live cell not closed to all (bit 31), in both maps.
void RegrowDurability(std::span<MAPCELL, kHexCount> live, std::span<MAPCELL, kHexCount> saved);

// Degrees and tenths of a temperature for the records: sign character ('-'
// for 0 and below, as the records have always shown it), whole degrees and
// tenths of the absolute value.
struct TemperatureText {
    char sign;
    int whole;
    int tenths;
};
TemperatureText SplitTemperature(int tenths);

}  // namespace zrv
