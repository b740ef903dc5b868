// Pictures of the title and menu program: title screen, logos, credits
// background, world map, its sprite sheet and the settings card.
#include <algorithm>
#include <cmath>

#include "tools/artgen/Art.h"

namespace artgen {
namespace {

using namespace pal;

void Centred(Surface8& s, int y, const char* utf8, int em, uint8_t index, bool bold = true)
{
    Text(s, (s.Width() - TextWidth(utf8, em)) / 2, y, utf8, em, index, bold);
}

// Text with a one-pixel outline all round.
void Outlined(Surface8& s, int x, int y, const char* utf8, int em, uint8_t face, uint8_t outline)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) Text(s, x + dx, y + dy, utf8, em, outline, true);
    Text(s, x, y, utf8, em, face, true);
}

bool Logo(const std::string& dir, const char* name, int w, int h, const char* line1, const char* line2, uint8_t ink)
{
    Surface8 s(w, h);
    s.FillRect({0, 0, w, h}, Frame(0));
    s.FrameRect({4, 4, w - 4, h - 4}, ink);
    Centred(s, h / 2 - 26, line1, 32, ink);
    if (line2) Centred(s, h / 2 + 14, line2, 16, kSilver, false);
    return Save(dir, name, s);
}

}  // namespace

// The scene pictures of the endings, one per picture record of the content,
// each with its palette. The menu shows a scene picture centred in its
// 640 x 480 screen and writes the title at y 12, the subtitle at y 50 and
// the body from y 344 over it, so the picture is a full screen whose top and
// lower third stay dark enough for white text.
bool MakeEndingArt(const std::string& dir, const ContentInputs& content, const platform::ColorTable& palette)
{
    std::vector<std::string> palettes;
    for (size_t i = 0; i < content.endingPictures.size(); ++i) {
        const auto& e = content.endingPictures[i];
        Surface8 s(640, 480);
        // Night above, a sunrise glow at the horizon, then rolling fields
        // whose ridge line hides the lower half of the sun.
        const int sunX = 420 - int(i % 3) * 120;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const int ridge = 238 + int(10 * std::sin(x / 70.0 + double(i)) + 5 * std::sin(x / 23.0));
                uint8_t c;
                if (y < 90) c = Sky(0);
                else if (y < 200) c = Sky(std::clamp((y - 90) / 22 + int(Hash(uint32_t(x), uint32_t(y)) % 2), 0, 7));
                else if (y < ridge) c = Fire(std::clamp((y - 200) / 6 + 2, 0, 7));
                else c = TerrainShade(Grass, std::max(0, 6 - (y - ridge) / 14));
                if (y < ridge && (x - sunX) * (x - sunX) + (y - 236) * (y - 236) <= 26 * 26) c = kPaper;
                if (y >= 330) c = Frame(0);
                s.SetPixel(x, y, c);
            }
        // A flag on the ridge.
        s.FillRect({300, 170, 303, 240}, Wood(3));
        s.FillRect({303, 172, 343, 196}, Set(int(i % kSetCount), 6));
        s.FrameRect({303, 172, 343, 196}, kInk);
        s.HLine(20, 619, 330, Gold(8));
        if (!Save(dir, e.picture, s)) return false;
        if (e.palette.empty() || std::find(palettes.begin(), palettes.end(), e.palette) != palettes.end()) continue;
        if (!WritePlb(dir + "/" + e.palette, palette)) return false;
        palettes.push_back(e.palette);
    }
    return true;
}

bool MakeMenuArt(const std::string& dir)
{
    // Title: a dusk sky over hex fields, the name, and the button plates;
    // below the 640 x 480 screen the highlighted buttons, 18 rows each.
    Surface8 title(640, 538);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t c;
            if (y < 300) {
                // Night blue at the top, lighter toward the glow of the horizon.
                int band = std::clamp(y / 30 + int(Hash(uint32_t(x), uint32_t(y)) % 2), 0, 7);
                c = y > 230 ? Fire(std::clamp((y - 230) / 10 + 2, 0, 7)) : Sky(band);
            } else {
                int row = (y - 300) / 12, col = (x + (row % 2) * 14) / 28;
                c = TerrainShade(Grass, 1 + int(Hash(uint32_t(col), uint32_t(row)) % 4));
                if ((y - 300) % 12 == 0 || (x + (row % 2) * 14) % 28 == 0) c = TerrainShade(Grass, 0);
            }
            title.SetPixel(x, y, c);
        }
    FillCircle(title, 470, 250, 40, Fire(6));
    // The five buttons: where the title shows each plate, and below the
    // screen its highlighted image. The second one is drawn dim: it never reacts.
    struct Button {
        int x, y, w, sx, sy;
        const char* label;
    };
    const Button buttons[5] = {{30, 216, 193, 0, 480, u8"新規キャンペーン"},
                               {415, 216, 195, 210, 480, u8"シナリオプレイ"},
                               {30, 266, 148, 0, 500, u8"ゲーム再開"},
                               {336, 266, 274, 210, 500, u8"兵器図鑑"},
                               {234, 314, 174, 0, 520, u8"スタッフ"}};
    for (int i = 0; i < 5; ++i) {
        const Button& b = buttons[i];
        const int tx = (b.w - TextWidth(b.label, 14)) / 2;
        const bool dim = i == 1;
        Panel(title, {b.x, b.y, b.x + b.w, b.y + 18}, Frame(dim ? 2 : 4), Frame(dim ? 5 : 9), Frame(0));
        Text(title, b.x + tx, b.y + 2, b.label, 14, dim ? Frame(7) : kWhite, true);
        Panel(title, {b.sx, b.sy, b.sx + b.w, b.sy + 18}, Gold(8), Gold(11), Gold(3));
        Text(title, b.sx + tx, b.sy + 2, b.label, 14, kInk, true);
    }
    if (!Save(dir, "TitleTR2.PXS", title)) return false;

    Surface8 tlogo(426, 120);
    Outlined(tlogo, (426 - TextWidth("VELMORATH", 48)) / 2, 14, "VELMORATH", 48, Gold(10), kInk);
    Text(tlogo, (426 - TextWidth(u8"ヴェルモラス戦記", 24)) / 2, 78, u8"ヴェルモラス戦記", 24, kWhite, true);
    if (!Save(dir, "TitleLo2.PXS", tlogo)) return false;

    if (!Logo(dir, "TIRNLOGO.PXS", 360, 140, "QUILLBARROW", u8"キルバロウ", Gold(10)) ||
        !Logo(dir, "QBLOGO.PXS", 240, 140, "QB", "software", Frame(12)) ||
        !Logo(dir, "CopyRgh2.PXS", 480, 80, "(C) QUILLBARROW", nullptr, kSilver) ||
        !Logo(dir, "EndLOGO.PXS", 400, 120, "VELMORATH", u8"終", Gold(10)))
        return false;

    Surface8 credit(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) credit.SetPixel(x, y, Frame(std::min(3, y / 120) + int(Hash(uint32_t(x), uint32_t(y)) % 2)));
    if (!Save(dir, "Credit2.PXS", credit)) return false;

    // World map: continents of value noise over the sea.
    Surface8 map(2144, 1032);
    auto noise = [](double x, double y) {
        double v = 0, amp = 1;
        for (int o = 0; o < 4; ++o) {
            int xi = int(std::floor(x)), yi = int(std::floor(y));
            double fx = x - xi, fy = y - yi;
            auto h = [&](int a, int b) { return (Hash(uint32_t(a), uint32_t(b), uint32_t(o)) % 1000) / 1000.0; };
            double top = h(xi, yi) * (1 - fx) + h(xi + 1, yi) * fx;
            double bot = h(xi, yi + 1) * (1 - fx) + h(xi + 1, yi + 1) * fx;
            v += amp * (top * (1 - fy) + bot * fy);
            amp /= 2;
            x *= 2.1;
            y *= 2.1;
        }
        return v / 1.875;
    };
    for (int y = 0; y < 1032; ++y)
        for (int x = 0; x < 2144; ++x) {
            double n = noise(x / 180.0, y / 180.0);
            uint8_t c;
            if (n < 0.48) c = TerrainShade(Deep, 2 + int(n * 8));
            else if (n < 0.52) c = TerrainShade(Shallow, 4);
            else if (n < 0.56) c = TerrainShade(Desert, 5);
            else if (n < 0.66) c = TerrainShade(Grass, 3 + (x / 3 + y / 3) % 2);
            else if (n < 0.72) c = TerrainShade(Forest, 3);
            else c = TerrainShade(Mountain, std::min(7, int((n - 0.72) * 40) + 3));
            map.SetPixel(x, y, c);
        }
    if (!Save(dir, "Euromap2.PXS", map)) return false;

    // Map sprites: pole, markers, shade, dots and 58 flags of 20 x 17.
    Surface8 fl(24, 1018);
    fl.FillRect({1, 0, 3, 32}, Wood(4));
    fl.FillRect({4, 0, 10, 6}, kYellow);
    fl.FillRect({10, 0, 16, 6}, kTextRed);
    fl.FillRect({4, 6, 10, 12}, kTextBlue);
    fl.FillRect({10, 6, 13, 9}, kWhite);
    for (int y = 16; y < 32; ++y)
        for (int x = 4; x < 20; ++x)
            if ((x + y) % 2) fl.SetPixel(x, y, kInk);
    for (int kind = 0; kind < 4; ++kind)
        for (int v = 0; v < 2; ++v) FillCircle(fl, 21, 4 * v + 8 * kind + 1, 1, v ? kTextRed : Gold(10 - kind));
    for (int f = 0; f < 58; ++f) {
        int top = 32 + 17 * f, a = f % kSetCount, b = (f / kSetCount + a + 2) % kSetCount;
        fl.FillRect({0, top, 20, top + 17}, Set(a, 6));
        if (f % 3 == 0) fl.FillRect({0, top + 6, 20, top + 11}, Set(b, 8));
        if (f % 3 == 1) fl.FillRect({7, top, 13, top + 17}, Set(b, 7));
        if (f % 3 == 2) FillCircle(fl, 10, top + 8, 4, Set(b, 8));
        fl.FrameRect({0, top, 20, top + 17}, kInk);
    }
    if (!Save(dir, "Eurofla2.PXS", fl)) return false;

    Surface8 cfg(324, 143);
    Panel(cfg, {0, 0, 311, 93}, Frame(4), Frame(10), Frame(0));
    Centred(cfg, 30, u8"設定", 24, kWhite);
    Panel(cfg, {0, 93, 324, 118}, Frame(6), Frame(12), Frame(1));
    Panel(cfg, {0, 118, 324, 143}, Gold(6), Gold(10), Gold(2));
    return Save(dir, "ConfigS2.PXS", cfg);
}

}  // namespace artgen
