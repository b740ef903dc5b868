// Pictures of the battle dialogs: card backgrounds with the cells that the
// dialogs copy out of them.
#include <algorithm>
#include <cmath>

#include "tools/artgen/Art.h"

namespace artgen {
namespace {

using namespace pal;

// A parchment card with a dark frame and a title band.
void Card(Surface8& s, platform::Rect r, bool titleBand = true)
{
    s.FillRect(r, Wood(13));
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Hash(uint32_t(x), uint32_t(y), 5) % 11 == 0) s.SetPixel(x, y, Wood(12));
    s.FrameRect(r, Wood(2));
    s.FrameRect({r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, Wood(6));
    if (titleBand && r.Height() > 40) s.FillRect({r.left + 3, r.top + 3, r.right - 3, r.top + 19}, Frame(5));
}

void Bar(Surface8& s, int x, int y, int w, int h, uint8_t light, uint8_t dark)
{
    s.FillRect({x, y, x + w, y + h}, dark);
    s.FillRect({x, y, x + w, y + h / 2}, light);
}

void Rows(Surface8& s, platform::Rect r, int pitch)
{
    for (int y = r.top + pitch; y < r.bottom; y += pitch) s.HLine(r.left + 4, r.right - 5, y, Wood(9));
}

}  // namespace

bool MakeDialogArt(const std::string& dir)
{
    // Unit data sheet: header card, body card, bar, tally marks, class
    // glyphs and ability icons.
    Surface8 spec(613, 429);
    Card(spec, {0, 0, 599, 129});
    Card(spec, {0, 129, 613, 393});
    Rows(spec, {0, 150, 613, 393}, 20);
    // Tally marks on a transparent ground: the thousands (1-9) and then the
    // hundreds (1-9) in 21 x 18 cells from (0, 393); the losses' hundreds in
    // the same cells from (0, 411); the ones and tens of the four tallies
    // from x 379 (air, ground and ship kills 19 apart, losses 16 apart).
    spec.FillRect({0, 393, 378, 411}, 0);
    spec.FillRect({0, 411, 189, 429}, 0);
    for (int c = 0; c < 18; ++c) {
        const int x = c * 21, n = c < 9 ? c + 1 : c - 8;
        if (c < 9)
            FillPolygon(spec, {{x + 10, 394}, {x + 20, 402}, {x + 10, 410}, {x, 402}}, kYellow);
        else
            FillCircle(spec, x + 10, 401, 8, Set(0, 3 + n % 5));
        Text(spec, x + 7, 396, std::to_string(n).c_str(), 10, c < 9 ? kInk : kWhite);
        if (c < 9) {
            FillCircle(spec, x + 10, 419, 8, kDarkRed);
            Text(spec, x + 7, 414, std::to_string(n).c_str(), 10, kWhite);
        }
    }
    spec.FillRect({379, 394, 527, 402}, 0);
    const int marks[8][3] = {{379, 18, 8}, {398, 18, 8}, {417, 16, 8}, {436, 16, 8},
                             {455, 18, 7}, {474, 18, 7}, {493, 8, 8},  {509, 8, 8}};
    for (int m = 0; m < 8; ++m) {
        const int x = marks[m][0], w = marks[m][1], h = marks[m][2];
        const uint8_t ink = m >= 6 ? kTextRed : m % 2 == 0 ? kInk : kTextBlue;
        if (m % 2 == 0)
            spec.FillRect({x + w / 2 - 1, 394, x + w / 2 + 1, 394 + h}, ink);  // a tick: one
        else
            spec.FillRect({x + 1, 395, x + w - 1, 393 + h}, ink);  // a bar: ten
    }
    Bar(spec, 378, 402, 100, 10, kTextGreen, Set(2, 3));
    const int icons[3][2] = {{189, 60}, {249, 50}, {299, 60}};
    for (int i = 0; i < 3; ++i) {
        Panel(spec, {icons[i][0], 413, icons[i][0] + icons[i][1], 429}, Frame(4 + i * 2), Frame(12), Frame(1));
        FillCircle(spec, icons[i][0] + 8, 421, 4, i == 0 ? kYellow : i == 1 ? kTextBlue : kTextRed);
    }
    if (!Save(dir, "spec2.pxs", spec)) return false;

    // Weapon icons: one 12 x 12 cell per kind, drawn only in the colour-set
    // shades because the dialogs shift them by 9 x weapon group.
    Surface8 weap(12, 456);
    for (int k = 0; k < 38; ++k) {
        int top = 12 * k;
        uint8_t dark = Set(0, 1), mid = Set(0, 5), light = Set(0, 8);
        switch (k % 6) {
        case 0: ThickLine(weap, 1, top + 9, 10, top + 2, 2, mid); weap.SetPixel(10, top + 2, light); break;
        case 1: FillCircle(weap, 6, top + 6, 4, mid); weap.SetPixel(5, top + 4, light); break;
        case 2: FillPolygon(weap, {{1, top + 6}, {9, top + 3}, {11, top + 6}, {9, top + 9}}, mid); break;
        case 3: weap.FillRect({2, top + 2, 10, top + 10}, mid); weap.FrameRect({2, top + 2, 10, top + 10}, dark); break;
        case 4: FillPolygon(weap, {{6, top + 1}, {11, top + 10}, {1, top + 10}}, mid); break;
        default: ThickLine(weap, 1, top + 6, 11, top + 6, 3, mid); weap.VLine(3, top + 3, top + 9, light); break;
        }
        weap.SetPixel(k % 12, top + 11, dark);
    }
    // Cell 37: the droppable-stores mark, an arrow down.
    weap.FillRect({0, 444, 12, 456}, 0);
    FillPolygon(weap, {{1, 449}, {11, 449}, {6, 455}}, Set(0, 7));
    weap.FillRect({4, 444, 8, 449}, Set(0, 7));
    if (!Save(dir, "weapon.pxs", weap)) return false;

    Surface8 attack(272, 283);
    Card(attack, {0, 0, 272, 241});
    Rows(attack, {0, 40, 272, 241}, 16);
    attack.FillRect({0, 241, 244, 257}, Frame(9));
    attack.FillRect({0, 257, 244, 273}, Wood(10));
    attack.FillRect({244, 241, 260, 257}, Wood(13));
    ThickLine(attack, 247, 244, 257, 254, 2, kTextRed);
    ThickLine(attack, 257, 244, 247, 254, 2, kTextRed);
    Bar(attack, 100, 273, 100, 10, kTextGreen, Set(2, 3));
    Bar(attack, 0, 273, 100, 10, kTextRed, kDarkRed);
    if (!Save(dir, "attack2.pxs", attack)) return false;

    struct Plain {
        const char* name;
        int w, h, pitch;
    };
    const Plain plain[] = {
        {"join2.pxs", 184, 192, 18},   {"status02.pxs", 316, 62, 0}, {"status3.pxs", 292, 225, 20},
        {"progres2.pxs", 162, 53, 0}, {"product2.pxs", 332, 107, 18}, {"setup2.pxs", 332, 107, 18},
        {"improve2.pxs", 208, 142, 18},
    };
    for (const Plain& p : plain) {
        Surface8 s(p.w, p.h);
        Card(s, {0, 0, p.w, p.h});
        if (p.pitch) Rows(s, {0, 20, p.w, p.h}, p.pitch);
        if (std::string(p.name) == "status3.pxs") s.FillRect({0, 209, 128, 225}, Gold(7));
        if (std::string(p.name) == "progres2.pxs") s.FillRect({30, 24, 132, 36}, Frame(1));
        if (!Save(dir, p.name, s)) return false;
    }

    // Row icons of the production and deployment lists: three 12 x 12
    // cells on white (the list's transparent colour): blank, a money bag
    // (the price is above the funds), a red cross (nothing can be placed).
    Surface8 rowIcons(36, 12);
    rowIcons.Fill(kWhite);
    FillCircle(rowIcons, 18, 7, 4, Gold(4));
    FillPolygon(rowIcons, {{16, 1}, {20, 1}, {19, 3}, {17, 3}}, Gold(4));
    rowIcons.HLine(16, 20, 3, kInk);
    Circle(rowIcons, 18, 7, 4, kInk);
    rowIcons.VLine(18, 5, 9, kInk);
    ThickLine(rowIcons, 26, 2, 33, 9, 2, kRed);
    ThickLine(rowIcons, 33, 2, 26, 9, 2, kRed);
    if (!Save(dir, "rowicon.pxs", rowIcons)) return false;

    // Income page and country control: the background, the dimmed row at
    // (0, 251), the 42 flags of the flag sheet at 18 x 12 from (0, 277), 11
    // per row, the four city-class bar strips and the name plate.
    Surface8 st12(336, 325);
    Card(st12, {0, 0, 336, 277});
    Rows(st12, {0, 30, 336, 251}, 26);
    // Copied over a row with index 0 transparent: every other pixel greys it.
    for (int y = 251; y < 277; ++y)
        for (int x = 0; x < 336; ++x) st12.SetPixel(x, y, (x + y) % 2 ? kGrey3 : 0);
    for (int f = 0; f < 42; ++f) {
        int x = (f % 11) * 18, y = 277 + (f / 11) * 12;
        FlagCloth(st12, f, {x, y, x + 18, y + 12});
    }
    const uint8_t strips[4] = {Set(1, 5), Set(3, 5), Set(5, 5), Set(7, 5)};
    for (int k = 0; k < 4; ++k) {
        int x = 198 + (k / 2) * 40, y = 277 + (k % 2) * 10;
        st12.FillRect({x, y, x + 40, y + 10}, strips[k]);
        st12.HLine(x, x + 39, y, Set(k * 2 + 1, 7));
        st12.HLine(x, x + 39, y + 9, Set(k * 2 + 1, 2));
    }
    Panel(st12, {198, 297, 330, 315}, Gold(9), Gold(11), Gold(3));
    if (!Save(dir, "status12.pxs", st12)) return false;

    // The operations list's flag images: the 42 flags at 18 x 12 in a row.
    Surface8 flagIcons(42 * 18, 12);
    for (int f = 0; f < 42; ++f) FlagCloth(flagIcons, f, {f * 18, 0, f * 18 + 18, 12});
    if (!Save(dir, "flagicon.pxs", flagIcons)) return false;

    // Weather page frames: six weather bands of 316 x 108, then the full frame.
    Surface8 st22(316, 752);
    for (int r = 0; r < 6; ++r) {
        int top = r * 108;
        Card(st22, {0, top, 316, top + 108}, false);
        st22.FillRect({8, top + 8, 308, top + 70}, r == 0 ? Sky(6) : r == 4 ? Wood(9) : kGrey3);
        for (int i = 0; i < r * 6; ++i)
            st22.Line(12 + i * 8, top + 20, 8 + i * 8, top + 30, r == 5 ? kSilver : kBlue);
    }
    Card(st22, {0, 648, 232, 752});
    if (!Save(dir, "status22.pxs", st22)) return false;

    // Climate zones: a 60-row band each, summer and winter; by zone mod 4
    // temperate grassland (zone 0, the shipped continental area), desert,
    // forest and mountains.
    for (int snow = 0; snow < 2; ++snow) {
        Surface8 z(128, 960);
        for (int zone = 0; zone < 16; ++zone) {
            int top = zone * 60;
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 128; ++x) {
                    int g = zone % 4 == 0 ? Grass : zone % 4 == 1 ? Desert : zone % 4 == 2 ? Forest : Mountain;
                    uint8_t c = y < 30 ? Sky(snow ? 4 : 6) : TerrainShade(g, 3 + int(Hash(uint32_t(x), uint32_t(y), uint32_t(zone)) % 3));
                    if (snow && y >= 30 && (x + y) % 3 != 0) c = kGrey5;
                    z.SetPixel(x, top + y, c);
                }
            z.FrameRect({0, top, 128, top + 60}, Wood(3));
        }
        if (!Save(dir, snow ? "statussn.pxs" : "statuswt.pxs", z)) return false;
    }

    // New weapons and the evolution table: ladder rows 144 x 67 for kinds
    // 0-4 (two-track rows 196 x 67 to their right for kinds 0-6, kinds 5
    // and 6 below the others), step badges 56 x 17 from row 335, entry
    // labels 58 x 11 at x 56 from row 335, the selection mark 56 x 28 at
    // (56, 434), the bottom strips 200 x 18 at (140, 469) and 150 x 38 at
    // (140, 487); the report's background 242 x 269 at (340, 0) and the
    // three stamps below it.
    Surface8 entry(582, 525);
    auto track = [&](int x, int y, int kind) {
        // A picture slot on a rail: kinds above 1 continue the chain upward.
        entry.FillRect({x - 2, y + 12, x + 58, y + 44}, Frame(8 + kind % 8));
        if (kind >= 2) entry.FillRect({x + 26, y + 3, x + 30, y + 12}, Wood(4));
        if (kind >= 3) entry.FillRect({x + 26, y + 44, x + 30, y + 64}, Wood(4));
    };
    for (int f = 0; f < 7; ++f) {
        const int y = 67 * f;
        if (f < 5) {
            Card(entry, {0, y, 144, y + 67}, false);
            if (f > 0) track(67, y, f);
        }
        Card(entry, {144, y, 340, y + 67}, false);
        if (f == 1 || f == 2) {
            track(144 + 99, y, f);
        } else if (f > 2) {
            track(144 + 66, y, f);
            track(144 + 133, y, f);
        }
    }
    for (int d = 0; d < 10; ++d) {
        int y = 335 + 17 * d;
        Panel(entry, {0, y, 56, y + 17}, Frame(6), Frame(11), Frame(1));
        Text(entry, 22, y + 2, std::to_string(d + 1).c_str(), 12, kWhite, true);
    }
    for (int e = 1; e <= 9; ++e) {
        int y = 335 + 11 * (e - 1);
        entry.FillRect({57, y + 1, 113, y + 10}, Gold(6));
        Text(entry, 80, y, std::to_string(e).c_str(), 10, kInk);
    }
    entry.FrameRect({56, 434, 112, 462}, kYellow);
    entry.FrameRect({57, 435, 111, 461}, kYellow);
    Panel(entry, {140, 469, 340, 487}, Wood(11), Wood(13), Wood(5));
    Panel(entry, {140, 487, 290, 525}, Wood(11), Wood(13), Wood(5));
    Card(entry, {340, 0, 582, 269});
    Rows(entry, {340, 180, 582, 230}, 17);
    const struct {
        int x, y, side;
        const char* word;
        uint8_t ink;
    } stamps[] = {{340, 269, 115, "制式化", kTextRed}, {340, 384, 102, "審議中", kTextBlue}, {455, 269, 115, "棄却", kDarkRed}};
    for (const auto& st : stamps) {
        const int c = st.side / 2;
        Circle(entry, st.x + c, st.y + c, c - 3, st.ink);
        Circle(entry, st.x + c, st.y + c, c - 6, st.ink);
        Text(entry, st.x + c - TextWidth(st.word, 20) / 2, st.y + c - 10, st.word, 20, st.ink, true);
    }
    return Save(dir, "entry2.pxs", entry) && MakeListIconArt(dir);
}

}  // namespace artgen
