#pragma once
// Game time: packed dates (hour << 24 | year << 16 | month << 8 | day) that
// run in two-hour steps, day and night from the climate's sunrise and sunset
// hours, and the phase of the moon from the library's new-moon table.
//
// Every index that comes from a saved game or a scenario (climate area,
// month) is bounded here: an unknown area or month gives daylight and no
// moon rather than a read outside a table.

#include <cstdint>

namespace zrv {

// Days of month (1..12) in the year byte's year: February has 29 when the
// year byte is divisible by 4. A month outside 1..12 has 0 days.
int DaysInMonth(int year, int month);

// The date two hours later (hour 22 + 2 is hour 0 of the next day).
uint32_t AddTwoHours(uint32_t date);
// Hour 0 of the next day; past the month's end, day 1 of the next month;
// past December, January of the next year byte. A month outside 1..12 is
// taken as December, so a damaged date still moves forward to a real one.
uint32_t GetNextDay(uint32_t date);
// The date one two-hour step earlier.
uint32_t GetPrevDateStep(uint32_t date);

// Light of day (values of GAMEDATASTRUCT::nDayNight).
enum DayNight : int { kDay = 0, kTwilight = 1, kNight = 2 };

// Sunrise and sunset hour bytes (signed) of a month for a climate area;
// false when the library has no row for them.
bool GetSunHours(int area, int month, int& sunrise, int& sunset);
// Day, dawn or dusk, or night of the two-hour step starting at date, judged
// at its middle hour. Without sun data it is day.
int GetDayNight(uint32_t date, int area);

// The moon that shines on the day (the light rule treats it as moonlight).
inline constexpr int kMoonFull = 4;
// (day of the lunar month, from 1) << 16 | moon type.
int GetMoonPhase(uint32_t date);

}  // namespace zrv
