#include "battle/engine/Weather.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "battle/engine/Calendar.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

// Terrain that a flood leaves for good: a flooded hex (72) or a flooded work
// (74) stays water once flooding is allowed to change the base map.
constexpr int kTerrainFlooded = 72;
constexpr int kTerrainFloodedWork = 74;

// Effect and text of units lost to a change of terrain.
constexpr int kSeDrowned = 31;

// Ice levels from which the frost picture sets 1, 2 and 3 are shown.
constexpr int kFrostLevels[3] = {6, 8, 10};

int BoundWeather(int w)
{
    return (w >= 0 && w < kWeatherCount) ? w : kWeatherFine;
}

}  // namespace

// --- climate lookups -------------------------------------------------------------

int GetClimateArea(const GAMEDATASTRUCT& game)
{
    int area = ClimateArea(game.Head.dwArea);
    return static_cast<size_t>(area) < Lib().TemperatureData.size() ? area : -1;
}

const TEMPERATURESTRUCT* GetClimate(const GAMEDATASTRUCT& game)
{
    int area = GetClimateArea(game);
    return area < 0 ? nullptr : &Lib().TemperatureData[static_cast<size_t>(area)];
}

int GetRainRateIndex(const GAMEDATASTRUCT& game, uint32_t date)
{
    // The rate table is laid out by rain area, not by climate area: the low
    // half of the area word chooses the row.
    int month = DateMonth(date);
    if (month < 1 || month > 12) return -1;
    size_t index = static_cast<size_t>(RainArea(game.Head.dwArea)) * 12 + static_cast<size_t>(month - 1);
    return index < Lib().RainRateData.size() ? static_cast<int>(index) : -1;
}

int DrawPercent(GameRandom& random)
{
    return random.Rand() % 100;
}

// --- the weather roll ----------------------------------------------------------------

int RainWeatherFromDraw(int w, int p, int r)
{
    const bool hit = r < p;
    const bool odd = (r & 1) != 0;
    switch (w) {
        case kWeatherFine:
        case kWeatherSandstorm:
            return hit ? (odd ? kWeatherRain : kWeatherCloudy) : w;
        case kWeatherCloudy:
            if (hit) return odd ? kWeatherStorm : kWeatherCloudy;
            return odd ? kWeatherFine : kWeatherCloudy;
        case kWeatherRain:
        case kWeatherHeavyRain:
            if (hit) return kWeatherStorm;
            return odd ? kWeatherFine : w;
        case kWeatherStorm:
        case kWeatherHeavyStorm:
            return hit ? w : kWeatherFine;
        default:
            // Fog always lifts; a value no weather has clears as well.
            return kWeatherFine;
    }
}

int RollRainWeather(int w, int rainIndex, GameRandom& random)
{
    const auto& rates = Lib().RainRateData;
    int p = (rainIndex >= 0 && static_cast<size_t>(rainIndex) < rates.size())
                ? rates[static_cast<size_t>(rainIndex)]
                : 0;
    return RainWeatherFromDraw(w, p, DrawPercent(random));
}

int HeavierWeatherFromDraw(int w, int t, int r)
{
    if (w != kWeatherRain && w != kWeatherStorm) return w;
    int q = (50 - t) * 2;
    return (q > 0 && r < q) ? w + 2 : w;
}

int RollHeavierWeather(int w, int t, GameRandom& random)
{
    if ((w != kWeatherRain && w != kWeatherStorm) || (50 - t) * 2 <= 0) return w;
    return HeavierWeatherFromDraw(w, t, DrawPercent(random));
}

void RollSpecialWeather(GAMEDATASTRUCT& game, GameRandom& random)
{
    const TEMPERATURESTRUCT* climate = GetClimate(game);
    if (!climate) return;
    const int area = GetClimateArea(game);
    const uint32_t next = AddTwoHours(game.dwDateTime);

    if (FogPossible(*climate) && game.nWeather == kWeatherFine && GetDayNight(next, area) == kTwilight &&
        game.nTemperatureNext < 51) {
        int sunrise = 0, sunset = 0;
        GetSunHours(area, DateMonth(next), sunrise, sunset);
        // Only the step at dawn: at dusk the hour is past the sunrise hour.
        if (DateHour(next) <= std::abs(sunrise)) {
            int chance = game.nTemperaturePrev - game.nWeatherValue;
            if (DrawPercent(random) < chance) {
                game.nWeatherNext = kWeatherFog;
                return;
            }
        }
    }
    const int month = DateMonth(next);
    if (SandstormPossible(*climate) && month >= 3 && month <= 5) {
        int chance = (game.nTemperatureNext - 300) / 5;
        if (DrawPercent(random) < chance) game.nWeatherNext = kWeatherSandstorm;
    }
}

// --- temperature --------------------------------------------------------------------------

void ComputeTemperature(GAMEDATASTRUCT& game, int w, bool initial, TemperatureTrace* trace,
                        GameRandom& random)
{
    const uint32_t date = initial ? game.dwDateTime : AddTwoHours(game.dwDateTime);
    const int area = GetClimateArea(game);
    const TEMPERATURESTRUCT* climate = GetClimate(game);
    const int month = std::clamp(DateMonth(date), 1, 12) - 1;
    const int hi = climate ? climate->nMax[month] : 0;
    const int lo = climate ? climate->nMin[month] : 0;
    const int mean = (hi + lo) / 2;
    const int start = initial ? mean : game.nWeatherValue;
    const int dayNight = GetDayNight(date, area);

    int row = DateHour(date) == 14 ? 2 : DateHour(date) > 14 ? 4 : 0;
    if (dayNight == kNight) row = 6;
    if (start <= mean) row += 8;
    if (w == kWeatherCloudy) row += 16;
    if (w >= kWeatherRain && w <= kWeatherHeavyStorm) row += 32;

    // The rate table holds pairs; row is the index of the pair's first word.
    const auto& rates = Lib().TemperatureTimeRate;
    const size_t pair = static_cast<size_t>(row / 2);
    const int rateLow = pair < rates.size() ? rates[pair][0] : 0;
    const int rateHigh = pair < rates.size() ? rates[pair][1] : 0;
    int size = 0, drawn = 0, rate = rateLow;
    if (initial) {
        rate = rateHigh - 10;
    } else if (rateHigh >= rateLow) {
        size = rateHigh - rateLow + 1;
        drawn = random.Rand() % size;
        rate = rateLow + drawn;
    }
    // A damaged pair (low above high) has nothing to draw from: the low
    // percent stands, and no draw is taken.
    const int change = (hi - lo) * rate / 100;
    const int result = std::clamp(start + change, std::min(lo, hi), std::max(lo, hi));
    game.nTemperatureNext = result;

    if (trace) {
        *trace = {date, dayNight, w, start, lo, hi, row, rateLow, size, drawn, rate, change, result};
    }
}

void PrimeStartWeather(GAMEDATASTRUCT& game, GameRandom& random)
{
    game.nDayNight = GetDayNight(game.dwDateTime, GetClimateArea(game));
    // The block may still hold the light of the game before; the first new
    // turn recomputes it from the moon.
    game.nLight = game.nDayNight;
    ComputeTemperature(game, kWeatherFine, true, nullptr, random);
    game.nWeatherValue = game.nTemperatureNext;
    game.nTemperaturePrev = game.nWeatherValue;
    const int w = RollRainWeather(kWeatherFine, GetRainRateIndex(game, game.dwDateTime), random);
    game.nWeather = RollHeavierWeather(w, game.nWeatherValue, random);
    game.nWeatherNext = game.nWeather;
}

// --- rain and ice ---------------------------------------------------------------------------

void AccumulateRain(int32_t& level, int w)
{
    const auto& table = Lib().AccumulateRainData;
    int delta = (w >= 0 && w < kWeatherCount && static_cast<size_t>(w) < table.size())
                    ? table[static_cast<size_t>(w)]
                    : 0;
    level = std::clamp(level + delta, 0, kWeatherLevelMax);
}

void AccumulateIce(int32_t& level, int t)
{
    if (t >= 130) {
        level = 0;
        return;
    }
    if (t >= 40) {
        int melt = t >= 110 ? 3 : t >= 80 ? 2 : 1;
        level = std::max(0, level - melt);
        return;
    }
    if (t >= 1) return;
    int grow = t < -399 ? 4 : t < -299 ? 3 : t < -149 ? 2 : 1;
    // Ice never grows thicker than the whole degrees of frost allow.
    if (t < 0 && level + grow > -(t / 10)) return;
    level = std::min(level + grow, kWeatherLevelMax);
}

int FrostLevel(int iceLevel)
{
    int level = 0;
    for (int limit : kFrostLevels) {
        if (iceLevel >= limit) ++level;
    }
    return level;
}

void RegrowDurability(std::span<MAPCELL, kHexCount> live, std::span<MAPCELL, kHexCount> saved)
{
    for (size_t i = 0; i < live.size(); ++i) {
        MAPCELL cell = live[i];
        if (cell & kCellClosedAll) continue;
        const TRRNSTRUCT* terrain = TerrainRecord(CellTerrain(cell));
        if (!terrain) continue;
        int v = CellDurability(cell);
        if (v >= terrain->nDurableMax) continue;
        v = std::min(v + terrain->nDurableRate / 5, terrain->nDurableMax);
        live[i] = WithDurability(cell, v);
        saved[i] = WithDurability(saved[i], v);
    }
}

TemperatureText SplitTemperature(int tenths)
{
    int a = std::abs(tenths);
    return {tenths <= 0 ? '-' : ' ', a / 10, a % 10};
}

// --- the document's weather operations ---------------------------------------------------------

int CZRKGameDoc::UpdateSnowSeason()
{
    GAMEDATASTRUCT& g = m_GameData;
    const uint32_t before = g.dwStateFlag;
    if (!(g.dwStateFlag & kStateSnowSeason)) {
        if (g.nRainLevel >= 2 && g.nIceLevel >= 1 && g.nWeather > 3) g.dwStateFlag |= kStateSnowSeason;
    } else if (g.nRainLevel < 1 || g.nIceLevel < 1) {
        g.dwStateFlag &= ~kStateSnowSeason;
    }
    return g.dwStateFlag != before ? 1 : 0;
}

void CZRKGameDoc::SyncSavedMap()
{
    for (int hex = 0; hex < kHexCount; ++hex) StoreHexCell(hex);
}

int CZRKGameDoc::ApplyTerrainWeather(bool allowFlooding)
{
    GAMEDATASTRUCT& g = m_GameData;
    auto kept = std::make_unique<MAPCELL[]>(kHexCount);
    std::copy(std::begin(m_dwHexCell), std::end(m_dwHexCell), kept.get());
    SyncSavedMap();
    std::copy(std::begin(g.dwHexCell), std::end(g.dwHexCell), std::begin(m_dwHexCell));

    auto refreshUnitOn = [&](int hex) {
        if (UNITSTRUCT* unit = GetUnit(m_dwHexUnit[hex])) RefreshUnitHexCell(*unit);
    };

    bool changed = false;
    int frost = 0;
    if (!(g.dwStateFlag & kStateWeather)) {
        for (COUNTRYSTRUCT& c : g.Country) {
            for (UNITSTRUCT& u : c.Unit) {
                if ((u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitCarried)) RefreshUnitHexCell(u);
            }
        }
    } else {
        frost = FrostLevel(g.nIceLevel);
        for (int hex = 0; hex < kHexCount; ++hex) {
            int t = CellTerrain(m_dwHexCell[hex]);
            const TRRNSTRUCT* rec = TerrainRecord(t);
            if (!rec) continue;
            auto under = [](int limit, int level) { return limit != 0 && limit <= level; };
            if (under(rec->nRainLimit, g.nRainLevel) && TerrainRecord(rec->nFloodForm)) {
                t = rec->nFloodForm;
                rec = TerrainRecord(t);
            }
            // Frozen, and the frozen form may freeze further (thin ice, then
            // ice that carries vehicles).
            for (int pass = 0; pass < 2; ++pass) {
                if (under(rec->nIceLimit, g.nIceLevel) && TerrainRecord(rec->nFrozenForm)) {
                    t = rec->nFrozenForm;
                    rec = TerrainRecord(t);
                }
            }
            m_dwHexCell[hex] = WithTerrain(m_dwHexCell[hex], t);
            if (t == CellTerrain(kept[static_cast<size_t>(hex)])) continue;
            changed = true;
            refreshUnitOn(hex);
            if (allowFlooding && (t == kTerrainFlooded || t == kTerrainFloodedWork)) {
                g.dwHexCell[hex] = WithTerrain(g.dwHexCell[hex], kTerrainFlooded);
            }
        }
    }
    // Works (durability) only stand on terrain that can hold them; a flood or
    // a thaw that changed the terrain takes them away.
    for (int hex = 0; hex < kHexCount; ++hex) {
        const TRRNSTRUCT* rec = TerrainRecord(CellTerrain(m_dwHexCell[hex]));
        if (!rec || rec->nDurableMax != 0 || CellDurability(m_dwHexCell[hex]) == 0) continue;
        m_dwHexCell[hex] = WithDurability(m_dwHexCell[hex], 0);
        g.dwHexCell[hex] = WithDurability(g.dwHexCell[hex], 0);
        refreshUnitOn(hex);
    }
    if (frost != View().GetTerrainSet() && View().LoadTerrainSet(frost)) changed = true;
    return changed ? 1 : 0;
}

void CZRKGameDoc::DrownUnits()
{
    bool told = false;
    for (COUNTRYSTRUCT& c : m_GameData.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried)) continue;
            // A unit stranded by the new terrain (a thaw under a ground unit)
            // can no longer stay where it is.
            if (!IsMapHex(u.nHex) || !IsStrandedUnit(u, m_GameData, m_dwHexCell[u.nHex])) continue;
            if (!told && !(m_dwGameOption & kOptNoCapitalBoxes)) {
                NotifyView(17, kSeDrowned);
                Dialogs().MessageBox("天候変化により水没します", kBoxOk | kBoxIconExclamation);
            }
            told = true;
            LoseUnit(u);
        }
    }
}

void CZRKGameDoc::StepNewTurn()
{
    GAMEDATASTRUCT& g = m_GameData;
    const int area = GetClimateArea(g);

    RollSpecialWeather(g, m_Random);
    g.nWeather = BoundWeather(g.nWeatherNext);
    g.nTemperaturePrev = g.nWeatherValue;
    g.nWeatherValue = g.nTemperatureNext;
    // The first turn starts from the weather the scenario set up: nothing has
    // fallen or frozen yet and the clock stands at the scenario's start.
    if (g.nTurn != 0) {
        AccumulateRain(g.nRainLevel, g.nWeather);
        AccumulateIce(g.nIceLevel, g.nWeatherValue);
    }
    int redrawSeason = UpdateSnowSeason();
    if (g.nTurn != 0) g.dwDateTime = AddTwoHours(g.dwDateTime);

    const int w = RollRainWeather(g.nWeather, GetRainRateIndex(g, g.dwDateTime), m_Random);
    TemperatureTrace trace;
    ComputeTemperature(g, w, false, &trace, m_Random);
    g.nWeatherNext = RollHeavierWeather(w, g.nTemperatureNext, m_Random);

    int mapChanged = 0;
    if (g.dwStateFlag & kStateWeather) {
        SyncSavedMap();
        mapChanged = ApplyTerrainWeather(true);
    } else {
        redrawSeason = 0;
    }

    const int oldDayNight = g.nDayNight, oldLight = g.nLight;
    g.nDayNight = GetDayNight(g.dwDateTime, area);
    g.nLight = g.nDayNight;
    if (g.nDayNight == kNight && (GetMoonPhase(g.dwDateTime) & 0xFFFF) == kMoonFull &&
        GetWeatherIfEnabled() == 0) {
        g.nLight = kTwilight;
    }
    if ((g.dwStateFlag & kStateDayNight) && (g.nDayNight != oldDayNight || g.nLight != oldLight))
        redrawSeason = 1;

    RecalcAllMovePoints(g);
    g.nTurn += 1;
    SetModifiedFlag();
    SetCurrentCountry(FindNextCountry(-1));
    RegrowDurability(m_dwHexCell, g.dwHexCell);

    if (m_dwGameOption & kOptWeatherRecord) {
        if (g.nTurn == 1) WriteWeatherHeading(false);
        auto start = SplitTemperature(trace.start), lo = SplitTemperature(trace.lo),
             hi = SplitTemperature(trace.hi);
        const int mean = (trace.hi + trace.lo) / 2, spread = trace.hi - trace.lo;
        AppendWeatherRecord(platform::FormatText(
            "\t%02d/%2d/%2d %02d:00 %-4s %-4s %c%2d.%d℃ [%c%2d.%d - %c%2d.%d] (平均%2d.%d)(日較差%2d.%d)\n",
            {DateYear(trace.date), DateMonth(trace.date), DateDay(trace.date), DateHour(trace.date),
             TableText(Lib().MsgSunEffectName, trace.dayNight), TableText(Lib().MsgWeather, w), start.sign,
             start.whole, start.tenths, lo.sign, lo.whole, lo.tenths, hi.sign, hi.whole, hi.tenths, mean / 10,
             std::abs(mean % 10), spread / 10, std::abs(spread % 10)}));
        auto after = SplitTemperature(trace.result);
        AppendWeatherRecord(platform::FormatText(
            "\t\tIndex:%2d→[%d(%d→%d)]=%d%%. %c%2d.%d℃→%c%2d.%d℃\n",
            {trace.row, trace.drawn, trace.rateLow, trace.rateLow + std::max(0, trace.rateSize - 1),
             trace.rate, start.sign, start.whole, start.tenths, after.sign, after.whole, after.tenths}));
        AppendWeatherRecord("\n");
    }
    if (m_dwGameOption & kOptTextRecord) {
        std::string date;
        FormatDateText(g.dwDateTime, date, true, false);
        AppendGameRecord(platform::FormatText(
            "%s (Turn%3d) : Weather %s%s (Rain:%2d Freeze:%2d)\n",
            {date, g.nTurn, TableText(Lib().MsgWeather, g.nWeather),
             (g.dwStateFlag & kStateWeather) ? "" : "(OFF)", g.nRainLevel, g.nIceLevel}));
    }
    if (redrawSeason) {
        NotifyView(1);
    } else if (mapChanged) {
        NotifyView(0);
    }
    RefreshStatusStrip();
    DrownUnits();
}

}  // namespace zrv
