// The unit list's state icons ("UList136.pxs"): thirteen cells of 12 x 12
// side by side, index 0 transparent. Cells 0-8 show the fuel level (0 full,
// 1 half, 2 low) + 3 x the strength level (0 full, 1 weak, 2 broken) as two
// gauges; 9 the carry-over pool (a crate), 10 carried (a unit on a deck),
// 11 acted (a tick), 12 the unit's flag bit 19 (a warning mark).
#include "tools/artgen/Art.h"

namespace artgen {
namespace {

using namespace pal;

constexpr int kCell = 12;

// A vertical gauge at x, 4 wide, filled `level` of 3 steps from the bottom.
void Gauge(Surface8& s, int x, int filled, uint8_t fill)
{
    s.FrameRect({x, 1, x + 5, 11}, kInk);
    const int top = 10 - filled * 3;
    if (filled > 0) s.FillRect({x + 1, top, x + 4, 10}, fill);
}

void Levels(Surface8& s, int left, int fuel, int strength)
{
    static const uint8_t kStrengthColour[3] = {kTextGreen, kYellow, kTextRed};
    Gauge(s, left + 1, 3 - strength, kStrengthColour[strength]);
    Gauge(s, left + 6, 3 - fuel, fuel == 2 ? kTextRed : kTextBlue);
}

void Crate(Surface8& s, int left)
{
    s.FillRect({left + 1, 3, left + 11, 11}, Wood(8));
    s.FrameRect({left + 1, 3, left + 11, 11}, Wood(2));
    s.HLine(left + 1, left + 10, 6, Wood(2));
    ThickLine(s, left + 2, 4, left + 9, 10, 1, Wood(4));
}

void Carried(Surface8& s, int left)
{
    // A hull with a small tank body on it.
    FillPolygon(s, {{left, 8}, {left + 11, 8}, {left + 9, 11}, {left + 2, 11}}, Frame(6));
    s.FillRect({left + 3, 4, left + 9, 8}, Set(3, 5));
    s.FrameRect({left + 3, 4, left + 9, 8}, kInk);
    s.HLine(left + 6, left + 10, 5, kInk);
}

void Acted(Surface8& s, int left)
{
    ThickLine(s, left + 1, 6, left + 4, 10, 2, kGrey2);
    ThickLine(s, left + 4, 10, left + 10, 2, 2, kGrey2);
}

void Warning(Surface8& s, int left)
{
    FillPolygon(s, {{left + 6, 0}, {left + 11, 11}, {left + 0, 11}}, kYellow);
    s.VLine(left + 5, 4, 7, kInk);
    s.VLine(left + 6, 4, 7, kInk);
    s.HLine(left + 5, left + 6, 9, kInk);
}

}  // namespace

bool MakeListIconArt(const std::string& dir)
{
    Surface8 s(13 * kCell, kCell);
    for (int strength = 0; strength < 3; ++strength)
        for (int fuel = 0; fuel < 3; ++fuel) Levels(s, (fuel + 3 * strength) * kCell, fuel, strength);
    Crate(s, 9 * kCell);
    Carried(s, 10 * kCell);
    Acted(s, 11 * kCell);
    Warning(s, 12 * kCell);
    return Save(dir, "UList136.pxs", s);
}

}  // namespace artgen
