#include "tools/artgen/Art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

#include "platform/core/Text.h"
#include "platform/gfx/Font8.h"

namespace artgen {
namespace pal {
namespace {
// First entry and size of each terrain colour group (see the colour table).
constexpr int kGroupStart[GroupCount] = {98, 106, 114, 122, 130, 138, 146, 152, 160, 168, 174};
constexpr int kGroupSize[GroupCount] = {8, 8, 8, 8, 8, 8, 6, 8, 8, 6, 6};
}  // namespace

uint8_t TerrainShade(int group, int shade)
{
    shade = std::clamp(shade, 0, kGroupSize[group] - 1);
    return uint8_t(kGroupStart[group] + shade);
}

int GroupSize(int group)
{
    return kGroupSize[group];
}
}  // namespace pal

namespace {
platform::RgbQuad Q(int r, int g, int b)
{
    platform::RgbQuad q;
    q.rgbRed = uint8_t(std::clamp(r, 0, 255));
    q.rgbGreen = uint8_t(std::clamp(g, 0, 255));
    q.rgbBlue = uint8_t(std::clamp(b, 0, 255));
    return q;
}

void Ramp(platform::ColorTable& t, int first, int count, int r0, int g0, int b0, int r1, int g1, int b1)
{
    for (int i = 0; i < count; ++i) {
        double f = count == 1 ? 0 : double(i) / (count - 1);
        t[first + i] = Q(int(r0 + (r1 - r0) * f), int(g0 + (g1 - g0) * f), int(b0 + (b1 - b0) * f));
    }
}
}  // namespace

platform::ColorTable GamePalette(const std::vector<platform::RgbQuad>& terrain82)
{
    platform::ColorTable t{};
    for (int i = 246; i < 256; ++i) t[i] = Q(255, 255, 255);
    t[10] = Q(28, 28, 28);
    t[11] = Q(12, 12, 16);
    t[12] = Q(64, 64, 68);
    t[13] = Q(96, 96, 100);
    t[14] = Q(224, 140, 32);
    t[15] = Q(128, 128, 132);
    t[16] = Q(160, 160, 164);
    t[17] = Q(191, 191, 191);
    t[18] = Q(224, 224, 224);
    t[19] = Q(254, 254, 254);
    t[20] = Q(222, 186, 140);
    t[21] = Q(76, 84, 92);
    t[22] = Q(255, 228, 96);
    t[23] = Q(196, 36, 36);
    t[24] = Q(40, 80, 200);
    t[25] = Q(244, 238, 220);
    // Country colour sets: a dark-to-light ramp of each hue.
    static constexpr int kHues[pal::kSetCount][3] = {
        {64, 96, 176}, {176, 48, 40}, {56, 136, 64}, {196, 164, 40},
        {124, 64, 156}, {40, 144, 164}, {208, 112, 32}, {168, 168, 160},
    };
    for (int s = 0; s < pal::kSetCount; ++s) {
        for (int k = 0; k < 9; ++k) {
            double f = 0.35 + 0.17 * k;  // 0.35 .. 1.71
            auto ch = [&](int c) { return f <= 1 ? int(c * f) : int(c + (255 - c) * (f - 1) / 0.8); };
            t[pal::Set(s, k)] = Q(ch(kHues[s][0]), ch(kHues[s][1]), ch(kHues[s][2]));
        }
    }
    for (int i = 0; i < 82 && i < int(terrain82.size()); ++i) t[98 + i] = terrain82[size_t(i)];
    t[180] = Q(254, 254, 0);
    t[181] = Q(254, 0, 0);
    t[182] = Q(0, 0, 254);
    t[183] = Q(0, 254, 0);
    t[184] = Q(127, 0, 0);
    t[185] = Q(0, 0, 127);
    Ramp(t, 186, 16, 16, 24, 40, 200, 214, 236);   // steel-blue frames
    Ramp(t, 202, 16, 48, 28, 16, 246, 226, 188);   // wood to parchment
    Ramp(t, 218, 12, 96, 64, 8, 255, 236, 150);    // gold
    Ramp(t, 230, 8, 96, 8, 0, 255, 250, 200);      // fire
    Ramp(t, 238, 8, 8, 24, 64, 176, 216, 255);     // night sea to day sky
    for (int i = 10; i <= 245; ++i) t[i].rgbReserved = 0;
    return t;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

void FillCircle(Surface8& s, int cx, int cy, int r, uint8_t index)
{
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            if (x * x + y * y <= r * r + r / 2) s.SetPixel(cx + x, cy + y, index);
}

void Circle(Surface8& s, int cx, int cy, int r, uint8_t index)
{
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x) {
            int d = x * x + y * y;
            if (d <= r * r + r / 2 && d >= (r - 1) * (r - 1) + (r - 1) / 2) s.SetPixel(cx + x, cy + y, index);
        }
}

void FillPolygon(Surface8& s, const std::vector<std::pair<int, int>>& pts, uint8_t index)
{
    if (pts.size() < 3) return;
    int minY = pts[0].second, maxY = pts[0].second;
    for (auto& p : pts) minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
    for (int y = minY; y <= maxY; ++y) {
        std::vector<double> xs;
        double yc = y + 0.5;
        for (size_t i = 0; i < pts.size(); ++i) {
            auto a = pts[i], b = pts[(i + 1) % pts.size()];
            if ((a.second <= yc && b.second > yc) || (b.second <= yc && a.second > yc))
                xs.push_back(a.first + (yc - a.second) * (b.first - a.first) / double(b.second - a.second));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2)
            for (int x = int(std::ceil(xs[i] - 0.5)); x < int(std::ceil(xs[i + 1] - 0.5)); ++x) s.SetPixel(x, y, index);
    }
}

void ThickLine(Surface8& s, int x0, int y0, int x1, int y1, int width, uint8_t index)
{
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        int x = steps ? x0 + (x1 - x0) * i / steps : x0;
        int y = steps ? y0 + (y1 - y0) * i / steps : y0;
        s.FillRect({x - width / 2, y - width / 2, x - width / 2 + width, y - width / 2 + width}, index);
    }
}

void Panel(Surface8& s, platform::Rect r, uint8_t face, uint8_t light, uint8_t dark)
{
    s.FillRect(r, face);
    s.HLine(r.left, r.right - 1, r.top, light);
    s.VLine(r.left, r.top, r.bottom - 1, light);
    s.HLine(r.left, r.right - 1, r.bottom - 1, dark);
    s.VLine(r.right - 1, r.top, r.bottom - 1, dark);
}

namespace {
platform::Font* GothicFont(int em, bool bold)
{
    static std::unique_ptr<platform::Font> fonts[2][64];
    if (em <= 0 || em >= 64) return nullptr;
    auto& f = fonts[bold][em];
    if (!f) f = platform::Font::Create(-em, bold ? 700 : 400, "ＭＳ ゴシック");
    return f.get();
}
}  // namespace

void Text(Surface8& s, int x, int y, const char* utf8, int em, uint8_t index, bool bold)
{
    if (platform::Font* f = GothicFont(em, bold)) f->DrawText(s, x, y, platform::Utf8ToSjis(utf8), index);
}

int TextWidth(const char* utf8, int em)
{
    platform::Font* f = GothicFont(em, false);
    return f ? f->TextWidth(platform::Utf8ToSjis(utf8)) : 0;
}

bool WritePxs(const std::string& path, const Surface8& s)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    uint32_t head[2] = {uint32_t(s.Width()), uint32_t(s.Height())};
    unsigned char bytes[8];
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 4; ++k) bytes[i * 4 + k] = uint8_t(head[i] >> (8 * k));
    out.write(reinterpret_cast<const char*>(bytes), 8);
    // The surface already keeps the file's layout: bottom row first, padded.
    out.write(reinterpret_cast<const char*>(s.Bits()), std::streamsize(size_t(s.Stride()) * size_t(s.Height())));
    if (!out) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WritePlb(const std::string& path, const platform::ColorTable& t)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 10; i <= 245; ++i) {
        char e[4] = {char(t[i].rgbBlue), char(t[i].rgbGreen), char(t[i].rgbRed), 0};
        out.write(e, 4);
    }
    if (!out) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    WrittenFiles().push_back({path.substr(path.find_last_of('/') + 1), true});
    return true;
}

std::vector<Written>& WrittenFiles()
{
    static std::vector<Written> files;
    return files;
}

bool Save(const std::string& dir, const std::string& name, const Surface8& s)
{
    // Pictures draw only with the palette's own entries 10-245 and the
    // transparent key 0; a static entry would change colour between programs.
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            int v = s.GetPixel(x, y);
            if ((v >= 1 && v <= 9) || v >= 246) {
                std::fprintf(stderr, "artgen: %s uses static index %d at (%d, %d)\n", name.c_str(), v, x, y);
                return false;
            }
        }
    if (!WritePxs(dir + "/" + name, s)) return false;
    WrittenFiles().push_back({name, false});
    return true;
}

}  // namespace artgen
