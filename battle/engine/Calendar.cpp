#include "battle/engine/Calendar.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/DataLibrary.h"
#include "foundation/GameRecords.h"

namespace zrv {
namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Years of the new-moon table's cycle and new moons a row can hold.
constexpr int kMoonCycleYears = 19;
constexpr int kNewMoonsPerYear = 13;

// A lunar month never lasts this long; the day count from a new moon stops
// here even when the table is damaged.
constexpr int kMaxLunarDays = 400;

uint32_t WithHour(uint32_t date, int hour)
{
    return (date & kDateMask) | (static_cast<uint32_t>(hour & 0xFF) << 24);
}

}  // namespace

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    if (month == 2 && year % 4 == 0) return 29;
    return kMonthDays[month - 1];
}

uint32_t GetNextDay(uint32_t date)
{
    int year = DateYear(date), month = DateMonth(date), day = DateDay(date) + 1;
    if (month < 1 || month > 12) month = 12;
    if (day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            year = (year + 1) & 0xFF;
        }
    }
    return PackDate(year, month, day);
}

uint32_t AddTwoHours(uint32_t date)
{
    int hour = DateHour(date) + 2;
    if (hour > 23) return GetNextDay(date);
    return WithHour(date, hour);
}

uint32_t GetPrevDateStep(uint32_t date)
{
    int hour = DateHour(date);
    if (hour >= 2) return WithHour(date, hour - 2);
    int year = DateYear(date), month = DateMonth(date), day = DateDay(date) - 1;
    if (day < 1) {
        if (--month < 1) {
            month = 12;
            year = (year + 0xFF) & 0xFF;
        }
        day = DaysInMonth(year, month);
    }
    return PackDate(year, month, day, 22);
}

bool GetSunHours(int area, int month, int& sunrise, int& sunset)
{
    const auto& table = Lib().SunriseSunsetData;
    if (area < 0 || static_cast<size_t>(area) >= table.size() || month < 1 || month > 12) return false;
    sunrise = table[static_cast<size_t>(area)][static_cast<size_t>(month - 1)];
    sunset = table[static_cast<size_t>(area)][static_cast<size_t>(month + 11)];
    return true;
}

int GetDayNight(uint32_t date, int area)
{
    int s = 0, e = 0;
    if (!GetSunHours(area, DateMonth(date), s, e)) return kDay;
    const int h = DateHour(date) + 1;
    // A negative sunrise marks a month with no real night (the sun only dips
    // below the horizon until hour -s); a negative sunset one with no real day.
    if (s < 0) return (h <= -s || h >= e) ? kTwilight : kDay;
    if (e < 0) return (h < s || h > -e) ? kNight : kTwilight;
    if (h < s || h > e) return kNight;
    if (h == s || h == e) return kTwilight;
    return kDay;
}

int GetMoonPhase(uint32_t date)
{
    const auto& newMoon = Lib().TblNewMoon;
    const auto& moonType = Lib().TblMoonType;
    const int rows = static_cast<int>(newMoon.size());
    if (rows == 0 || moonType.empty()) return 1 << 16;

    const int year = DateYear(date);
    const int cycle = year % kMoonCycleYears;
    const int32_t key = cycle << 16 | DateMonth(date) << 8 | DateDay(date);
    auto valid = [](int32_t entry) { return entry >= 0; };

    int32_t found = -1;
    int foundYear = year;
    if (cycle < rows) {
        const auto& row = newMoon[static_cast<size_t>(cycle)];
        if (valid(row[0]) && row[0] <= key) {
            int k = 0;
            while (k + 1 < kNewMoonsPerYear && valid(row[static_cast<size_t>(k + 1)]) &&
                   row[static_cast<size_t>(k + 1)] <= key) {
                ++k;
            }
            found = row[static_cast<size_t>(k)];
        }
    }
    if (found < 0) {
        // Before the year's first new moon the last one of the year before
        // counts; for the cycle's first year that is the cycle's last row, so
        // the walk never reads in front of the table.
        int prev = (cycle + kMoonCycleYears - 1) % kMoonCycleYears;
        if (prev < rows) {
            for (int32_t entry : newMoon[static_cast<size_t>(prev)]) {
                if (valid(entry)) found = entry;
            }
        }
        foundYear = (year + 0xFF) & 0xFF;
    }
    if (found < 0) return 1 << 16 | moonType[0];

    // Count the days from the new moon in real dates, so the walk crosses
    // month and year ends (and leap days) the way the calendar does.
    uint32_t day = PackDate(foundYear, (found >> 8) & 0xFF, found & 0xFF);
    const uint32_t target = DateOnly(date);
    const int limit = static_cast<int>(std::min<size_t>(moonType.size(), kMaxLunarDays)) - 1;
    int n = 0;
    while (DateOnly(day) != target && n < limit) {
        day = GetNextDay(day);
        ++n;
    }
    return (n + 1) << 16 | moonType[static_cast<size_t>(n)];
}

}  // namespace zrv
