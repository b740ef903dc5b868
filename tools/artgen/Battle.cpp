// Pictures of the battle map and the status strip.
//
// "unit2.pxs": 56 wide, 96 pictures of 56 x 42, picture p in rows 42p-42p+41
// from the top. Every sprite, outline included, stays inside rows 3-38 of its
// box, so its unit-graphics offset entry is (row from the bottom (95 - p) x 42
// + 3, y offset 0, height 36). Pictures 0-4 are the domain sprites shown for
// contacts (air, ground, ground, ship, submarine); picture 5 + 8m + kind is a
// sprite of kind 0 aircraft, 1 tank, 2 infantry, 3 gun, 4 lorry, 5 ship, 6
// submarine, 7 rotor craft, its details varying with m. Sprites use 10-25 for
// fixed colours and 26-34 for the colour set.
// "starttn.pxs": 34 tiles of 64 x 64, tile i at ((i mod 8) x 64, (i div 8) x 64).
#include <algorithm>
#include <cmath>

#include "tools/artgen/Art.h"

namespace artgen {

bool MakeTerrainArt(const std::string& dir, const ContentInputs& content);

namespace {

using namespace pal;

// 5 x 7 digits, drawn in 7 x 9 boxes with an outline.
const char* const kDigits[10][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"####.", "....#", "....#", ".###.", "....#", "....#", "####."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."},
};

void Glyph5x7(Surface8& s, const char* const rows[7], int x, int y, uint8_t face, uint8_t outline)
{
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            if (rows[r][c] == '#')
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (s.GetPixel(x + c + dx, y + r + dy) != face) s.SetPixel(x + c + dx, y + r + dy, outline);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            if (rows[r][c] == '#') s.SetPixel(x + c, y + r, face);
}

void HexOutline(Surface8& s, int ox, int oy, int size, int width, uint8_t index)
{
    double c = (size - 1) / 2.0;
    for (int w = 0; w < width; ++w) {
        double r = c - w;
        std::pair<int, int> p[6];
        for (int i = 0; i < 6; ++i) {
            double a = (90 + 60 * i) * M_PI / 180.0;
            p[i] = {ox + int(std::lround(c + r * std::cos(a))), oy + int(std::lround(c - r * std::sin(a)))};
        }
        for (int i = 0; i < 6; ++i) s.Line(p[i].first, p[i].second, p[(i + 1) % 6].first, p[(i + 1) % 6].second, index);
    }
}

// One unit sprite in a 56 x 42 box at (0, top): a body shape by kind in the
// colour-set shades, an ink outline and fixed-colour details.
void Sprite(Surface8& s, int top, int kind, int variant)
{
    Surface8 b(56, 42);
    uint8_t body = Set(0, 5), dark = Set(0, 2), light = Set(0, 7);
    int v = variant % 3;
    switch (kind) {
    case 0:  // aircraft
        FillPolygon(b, {{8, 22}, {48, 18}, {50, 22}, {48, 26}}, body);
        FillPolygon(b, {{22 - v, 8}, {30, 8}, {34, 21}, {26, 21}}, light);
        FillPolygon(b, {{22 - v, 35}, {30, 35}, {34, 23}, {26, 23}}, dark);
        FillPolygon(b, {{8, 14}, {13, 14}, {15, 22}, {9, 22}}, body);
        break;
    case 1:  // tank
        b.FillRect({8, 24, 48, 34}, dark);
        for (int x = 11; x < 46; x += 6) FillCircle(b, x, 33, 3, kGrey1);
        b.FillRect({10, 18, 46, 26}, body);
        FillPolygon(b, {{18, 10}, {34, 10}, {36, 18}, {16, 18}}, light);
        b.FillRect({34, 12, 52 - v * 3, 15}, kSteel);
        break;
    case 2:  // infantry
        for (int i = 0; i < 3; ++i) {
            int x = 14 + i * 12;
            FillCircle(b, x, 12 + (i == 1 ? -2 : 0), 3, kTan);
            b.FillRect({x - 3, 16 + (i == 1 ? -2 : 0), x + 4, 28}, body);
            b.FillRect({x - 3, 28, x - 1, 36}, dark);
            b.FillRect({x + 1, 28, x + 3, 36}, dark);
            b.Line(x + 4, 14, x + 8, 6 + v, kSteel);
        }
        break;
    case 3:  // artillery
        FillCircle(b, 20, 30, 7, kGrey1);
        FillCircle(b, 20, 30, 3, kGrey4);
        b.FillRect({14, 22, 40, 28}, body);
        ThickLine(b, 26, 22, 50, 10 - v, 3, kSteel);
        b.Line(14, 27, 6, 36, dark);
        break;
    case 4:  // truck
        b.FillRect({8, 16, 36, 30}, body);
        b.FillRect({36, 20, 48, 30}, light);
        b.FillRect({40, 22, 46, 26}, Sky(6));
        for (int x : {14, 30, 42}) FillCircle(b, x, 32, 4, kGrey1);
        break;
    case 5:  // ship
        FillPolygon(b, {{4, 26}, {52, 26}, {46, 36}, {10, 36}}, dark);
        b.FillRect({14, 18, 40, 26}, body);
        b.FillRect({22, 10, 32, 18}, light);
        b.FillRect({26, 4, 28, 10}, kGrey1);
        ThickLine(b, 36, 20, 50 - v, 18, 2, kSteel);
        break;
    case 6:  // submarine
        FillPolygon(b, {{6, 28}, {12, 22}, {46, 22}, {52, 28}, {46, 33}, {12, 33}}, dark);
        b.FillRect({24, 14, 34, 22}, body);
        b.FillRect({28, 8 + v, 30, 14}, kGrey1);
        break;
    default:  // helicopter
        b.FillRect({14, 20, 38, 30}, body);
        b.FillRect({38, 23, 52, 26}, dark);
        b.FillRect({6, 14, 46, 16}, kGrey1);
        b.FillRect({25, 16, 27, 20}, kGrey1);
        b.FillRect({16, 22, 22, 26}, Sky(6));
        break;
    }
    // Outline every body pixel's transparent neighbours in ink.
    Surface8 o(56, 42);
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 56; ++x) {
            int p = b.GetPixel(x, y);
            if (p != 0) {
                o.SetPixel(x, y, uint8_t(p));
                continue;
            }
            for (int d = 0; d < 4; ++d) {
                static const int dd[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                if (b.GetPixel(x + dd[d][0], y + dd[d][1]) > 0) {
                    o.SetPixel(x, y, kInk);
                    break;
                }
            }
        }
    s.Blit(o, 0, top, 56, 42, 0, 0);
}

}  // namespace

// Flag f's cloth in rect: design by flag number, scaled from the 19 x 12
// cloth of the flag sheet (which it draws pixel for pixel).
void FlagCloth(Surface8& s, int f, const platform::Rect& cloth)
{
    const int x0 = cloth.left, y0 = cloth.top, w = cloth.Width(), h = cloth.Height();
    if (f < 8) {
        s.FillRect(cloth, Set(f, 6));
        s.FrameRect(cloth, Set(f, 2));
        return;
    }
    int id = f - 8;
    int a = id % 8, b = (id / 8 + a + 3) % 8, style = id % 5;
    s.FillRect(cloth, Set(a, 6));
    if (style == 0) s.FillRect({x0, y0 + h / 3, x0 + w, y0 + h * 2 / 3}, Set(b, 7));
    if (style == 1) s.FillRect({x0 + w * 6 / 19, y0, x0 + w * 12 / 19, y0 + h}, kPaper);
    if (style == 2) {
        s.FillRect({x0, y0 + h * 5 / 12, x0 + w, y0 + h * 7 / 12}, kPaper);
        s.FillRect({x0 + w * 5 / 19, y0, x0 + w * 7 / 19, y0 + h}, kPaper);
    }
    if (style == 3) FillCircle(s, x0 + w * 9 / 19, y0 + h / 2, h / 4, Set(b, 8));
    if (style == 4) FillPolygon(s, {{x0, y0}, {x0 + w * 10 / 19, y0 + h / 2}, {x0, y0 + h}}, Set(b, 3));
    s.FrameRect(cloth, kInk);
}

bool MakeBattleArt(const std::string& dir, const ContentInputs& content)
{
    if (!MakeTerrainArt(dir, content)) return false;

    Surface8 mark(66, 174);
    for (int d = 0; d < 10; ++d) Glyph5x7(mark, kDigits[d], 1, 9 * d + 1, kWhite, kInk);
    // Acted mark: a small check; carrying mark: a crate.
    mark.FillRect({0, 90, 7, 99}, kInk);
    mark.Line(1, 94, 3, 96, kGaugeHigh);
    mark.Line(3, 96, 5, 91, kGaugeHigh);
    mark.FillRect({0, 99, 8, 108}, kInk);
    mark.FillRect({1, 100, 7, 107}, Wood(9));
    mark.HLine(1, 6, 103, Wood(4));
    HexOutline(mark, 8, 0, 58, 3, kYellow);
    HexOutline(mark, 8, 58, 58, 3, kTextRed);
    HexOutline(mark, 8, 116, 58, 3, kTextBlue);
    if (!Save(dir, "unitmark.pxs", mark)) return false;

    Surface8 units(56, 96 * 42);
    static const int kDomainKind[5] = {0, 1, 2, 5, 6};
    for (int p = 0; p < 96; ++p) Sprite(units, p * 42, p < 5 ? kDomainKind[p] : (p - 5) % 8, p / 8);
    if (!Save(dir, "unit2.pxs", units)) return false;

    Surface8 wall(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool mortar = y % 16 == 15 || (x + (y / 16 % 2) * 16) % 32 == 31;
            wall.SetPixel(x, y, mortar ? Wood(2) : Wood(5 + int(Hash(uint32_t(x / 4), uint32_t(y / 4)) % 3)));
        }
    if (!Save(dir, "wall.pxs", wall)) return false;

    Surface8 start(512, 320);
    for (int i = 0; i < 34; ++i) {
        int ox = (i % 8) * 64, oy = (i / 8) * 64, set = i % kSetCount;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                bool diamond = (std::abs(x - 32) + std::abs(y - 32)) % 32 < 3;
                start.SetPixel(ox + x, oy + y, diamond ? Set(set, 3) : Set(set, 1 + (i / 8 + x / 16 + y / 16) % 2));
            }
    }
    if (!Save(dir, "starttn.pxs", start)) return false;

    // Flags 0-7: colour marks of the display numbers; 8 + id: national flags
    // of country ids 0-33, each a pattern of colour-set colours.
    Surface8 flags(21, 42 * 16);
    for (int f = 0; f < 42; ++f) {
        int top = f * 16;
        flags.FillRect({0, top, 2, top + 16}, kGrey1);  // pole
        FlagCloth(flags, f, {2, top + 1, 21, top + 13});
    }
    if (!Save(dir, "flags.pxs", flags)) return false;

    // Impact frames: kind k (0 fire, 1 splash, 2 smoke, 3 large blast, 4
    // sparks) in ten steps, frame k x 10 + s at ((n mod 10) x 48, (n div 10) x 48).
    Surface8 expl(480, 240);
    for (int k = 0; k < 5; ++k)
        for (int st = 0; st < 10; ++st) {
            int n = k * 10 + st, ox = (n % 10) * 48 + 24, oy = (n / 10) * 48 + 24;
            int r = 3 + st * (k == 3 ? 2 : 1) + (k == 3 ? 4 : 0);
            int fade = st < 5 ? 7 - st : std::max(0, 12 - st - 2);
            for (int y = -23; y <= 23; ++y)
                for (int x = -23; x <= 23; ++x) {
                    double d = std::hypot(x, y) + int(Hash(uint32_t(x + 30), uint32_t(y + 30), uint32_t(n)) % 3);
                    if (d > r) continue;
                    uint8_t c;
                    int shade = std::clamp(int(fade - d * 6 / (r + 1)), 0, 7);
                    if (k == 1) c = Sky(std::clamp(shade + 1, 0, 7));
                    else if (k == 2) c = uint8_t(kGrey1 + (shade > 3 ? 4 : shade > 1 ? 3 : 0));
                    else c = Fire(shade);
                    if (k == 4 && Hash(uint32_t(x + 30), uint32_t(y + 30), uint32_t(n * 7)) % 4 != 0) continue;
                    expl.SetPixel(ox + x, oy + y, c);
                }
        }
    if (!Save(dir, "ExplHex.pxs", expl)) return false;

    // Status strip background: 1,020 x 86 of panels, then a 225-wide strip
    // that tiles wider screens. The panels lie where the strip writes: the
    // top row holds the country, the date, the hex's owner and name, its
    // figures and the last date; below them the weather, the unit panel's
    // place and the moon. Mid-tone faces carry black, white and the colours.
    Surface8 base(1245, 86);
    base.FillRect({0, 0, 1245, 86}, Frame(7));
    for (int x = 0; x < 1245; ++x)
        for (int y = 0; y < 86; ++y)
            if ((x + y) % 6 == 0) base.SetPixel(x, y, Frame(8));
    const int panels[][4] = {
        {2, 2, 236, 22},    {238, 2, 345, 22},  {347, 2, 556, 22},  {558, 2, 764, 22},
        {766, 2, 906, 22},  {908, 2, 1018, 22}, {2, 24, 82, 84},    {84, 24, 940, 84},
        {942, 24, 1018, 84},
    };
    for (auto& p : panels) Panel(base, {p[0], p[1], p[2], p[3]}, Frame(10), Frame(14), Frame(3));
    base.HLine(0, 1244, 0, Frame(14));
    base.HLine(0, 1244, 85, Frame(2));
    if (!Save(dir, "SWndBas2.PXS", base)) return false;

    // Moon: 18 images of 62 x 50, phase i (0-8) by day, + 9 at night.
    Surface8 moon(62, 18 * 50);
    for (int i = 0; i < 18; ++i) {
        bool night = i >= 9;
        int phase = i % 9, top = i * 50;
        moon.FillRect({0, top, 62, top + 50}, night ? Sky(0) : Sky(5));
        for (int y = -18; y <= 18; ++y)
            for (int x = -18; x <= 18; ++x) {
                if (x * x + y * y > 18 * 18) continue;
                double edge = std::sqrt(std::max(0.0, 18.0 * 18 - y * y));
                // Waxing lights from the right, waning keeps the left side.
                bool on = phase <= 4 ? x >= edge * (1 - phase / 2.0) : x <= edge * (1 - (phase - 4) / 2.0);
                moon.SetPixel(31 + x, top + 25 + y, on ? (night ? Gold(11) : kPaper) : (night ? Sky(1) : Sky(4)));
            }
    }
    if (!Save(dir, "SWndMoon.PXS", moon)) return false;

    // Weather: route icons, the snow icon and 48 weather pictures.
    Surface8 wea(66, 1468);
    for (int k = 0; k < 5; ++k) {
        int ox = (k % 3) * 15, oy = (k / 3) * 14;
        wea.FillRect({ox, oy, ox + 15, oy + 14}, Frame(3));
        ThickLine(wea, ox + 1, oy + 7, ox + 13, oy + 7, 3, k == 1 ? kGrey1 : k == 4 ? TerrainShade(Shallow, 3) : TerrainShade(Route, 2 + k));
    }
    wea.FillRect({45, 0, 62, 17}, Sky(2));
    for (int a = 0; a < 3; ++a) {
        double t = a * M_PI / 3;
        wea.Line(53 - int(7 * std::cos(t)), 8 - int(7 * std::sin(t)), 53 + int(7 * std::cos(t)), 8 + int(7 * std::sin(t)), kWhite);
    }
    for (int i = 0; i < 48; ++i) {
        int weather = i % 8, light = (i / 8) % 3, snow = i / 24, top = 28 + 30 * i;
        uint8_t skyc = light == 0 ? Sky(6) : light == 1 ? Fire(4) : Sky(0);
        if (weather >= 1) skyc = light == 2 ? Sky(0) : kGrey3;
        wea.FillRect({0, top, 66, top + 30}, skyc);
        wea.FillRect({0, top + 24, 66, top + 30}, snow ? kGrey5 : TerrainShade(Grass, light == 2 ? 1 : 4));
        if (weather == 0) FillCircle(wea, 33, top + 12, 7, light == 2 ? Gold(10) : kGaugeHigh);
        if (weather >= 1) {
            FillCircle(wea, 26, top + 11, 6, kGrey5);
            FillCircle(wea, 36, top + 9, 7, kGrey5);
            FillCircle(wea, 44, top + 12, 5, kGrey5);
        }
        for (int d = 0; d < 6; ++d) {
            int x = 14 + d * 7, y = top + 18;
            if (weather == 2) wea.Line(x, y, x - 2, y + 4, kBlue);
            if (weather == 3) wea.Line(x, y, x - 3, y + 5, kBlue);
            if (weather == 5) wea.SetPixel(x, y + 2, kWhite), wea.SetPixel(x + 3, y + 4, kWhite);
            if (weather == 6) wea.HLine(x - 3, x + 3, y + (d % 3), kSilver);
        }
        if (weather == 3) ThickLine(wea, 40, top + 14, 34, top + 24, 2, kGaugeHigh);
        if (weather == 4) wea.FillRect({0, top + 12, 66, top + 24}, Wood(9));
        if (weather == 7) FillCircle(wea, 33, top + 12, 4, kTextRed);
    }
    if (!Save(dir, "SWndWea2.PXS", wea)) return false;

    // Unit panel pieces and the dive icons.
    Surface8 uni(844, 56);
    const int pieces[4][2] = {{0, 181}, {181, 364}, {545, 151}, {696, 130}};
    for (auto& p : pieces) {
        Panel(uni, {p[0], 0, p[0] + p[1], 56}, Frame(11), Frame(15), Frame(4));
        for (int y = 18; y < 56; y += 18) uni.HLine(p[0] + 4, p[0] + p[1] - 5, y, Frame(9));
    }
    uni.FillRect({826, 0, 844, 9}, Sky(3));
    uni.FillRect({829, 3, 841, 6}, kWhite);
    uni.FillRect({826, 9, 841, 18}, Sky(2));
    FillPolygon(uni, {{828, 11}, {838, 11}, {833, 16}}, kWhite);
    uni.FillRect({826, 18, 833, 27}, Sky(1));
    FillPolygon(uni, {{827, 25}, {832, 25}, {829, 20}}, kWhite);
    if (!Save(dir, "SWndUni2.PXS", uni)) return false;

    // Bitmap font: characters 32-126 side by side, normal above, grey below.
    static const int kWidths[95] = {
        6, 3, 6, 7, 7, 6, 7, 3, 5, 5, 7, 7, 3, 6, 3, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 7, 7,
        7, 6, 6, 6, 6, 6, 6, 6, 3, 6, 6, 6, 7, 6, 6, 6, 6, 6, 6, 7, 6, 7, 7, 7, 7, 6, 5, 7, 5, 6, 7, 4,
        6, 6, 6, 6, 6, 6, 6, 6, 3, 5, 6, 3, 7, 6, 6, 6, 6, 5, 6, 6, 6, 7, 7, 7, 7, 6, 5, 3, 5, 6};
    Surface8 asc(551, 26);
    int x = 0;
    for (int c = 32; c <= 126; ++c) {
        int w = kWidths[c - 32];
        char text[2] = {char(c), 0};
        for (int half = 0; half < 2; ++half) {
            Surface8 cell(w, 13);
            int tw = TextWidth(text, 11);
            Text(cell, (w - tw) / 2, 0, text, 11, half ? kSilver : kWhite);
            asc.Blit(cell, x, half * 13, w, 13, 0, 0, 0);
        }
        x += w;
    }
    return Save(dir, "swndasc.pxs", asc);
}

}  // namespace artgen
