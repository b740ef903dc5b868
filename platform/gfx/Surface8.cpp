#include "platform/gfx/Surface8.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {

Rect Intersect(const Rect& a, const Rect& b)
{
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.IsEmpty()) return {};
    return r;
}

uint8_t NearestIndex(const ColorTable& table, Rgb c)
{
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 256; ++i) {
        long dr = long(table[i].rgbRed) - c.r;
        long dg = long(table[i].rgbGreen) - c.g;
        long db = long(table[i].rgbBlue) - c.b;
        long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

Surface8::Surface8(int width, int height)
{
    if (width <= 0 || height <= 0) return;
    m_width = width;
    m_height = height;
    m_ownBits.assign(size_t(StrideFor(width)) * size_t(height), 0);
    m_ownTable.resize(1);
    m_bits = m_ownBits.data();
    m_table = &m_ownTable[0];
}

Surface8 Surface8::Wrap(uint8_t* bits, int width, int height, ColorTable* table)
{
    Surface8 s;
    if (bits == nullptr || width <= 0 || height <= 0) return s;
    s.m_width = width;
    s.m_height = height;
    s.m_bits = bits;
    s.m_table = table;
    return s;
}

Surface8::Surface8(Surface8&& other) noexcept
{
    *this = std::move(other);
}

Surface8& Surface8::operator=(Surface8&& other) noexcept
{
    if (this == &other) return *this;
    bool ownBits = other.m_bits != nullptr && other.m_bits == other.m_ownBits.data();
    bool ownTable = !other.m_ownTable.empty() && other.m_table == &other.m_ownTable[0];
    m_width = other.m_width;
    m_height = other.m_height;
    m_ownBits = std::move(other.m_ownBits);
    m_ownTable = std::move(other.m_ownTable);
    m_bits = ownBits ? m_ownBits.data() : other.m_bits;
    m_table = ownTable ? &m_ownTable[0] : other.m_table;
    other.m_width = other.m_height = 0;
    other.m_bits = nullptr;
    other.m_table = nullptr;
    return *this;
}

uint8_t* Surface8::Row(int y)
{
    if (!IsValid() || y < 0 || y >= m_height) return nullptr;
    return m_bits + size_t(m_height - y - 1) * size_t(Stride());
}

const uint8_t* Surface8::Row(int y) const
{
    return const_cast<Surface8*>(this)->Row(y);
}

int Surface8::GetPixel(int x, int y) const
{
    const uint8_t* row = Row(y);
    if (row == nullptr || x < 0 || x >= m_width) return -1;
    return row[x];
}

void Surface8::SetPixel(int x, int y, uint8_t index)
{
    uint8_t* row = Row(y);
    if (row == nullptr || x < 0 || x >= m_width) return;
    row[x] = index;
}

void Surface8::FillRect(const Rect& r, uint8_t index)
{
    Rect c = Intersect(r, Bounds());
    for (int y = c.top; y < c.bottom; ++y) std::memset(Row(y) + c.left, index, size_t(c.Width()));
}

void Surface8::Fill(uint8_t index)
{
    if (IsValid()) std::memset(m_bits, index, size_t(Stride()) * size_t(m_height));
}

void Surface8::FrameRect(const Rect& r, uint8_t index)
{
    if (r.IsEmpty()) return;
    HLine(r.left, r.right - 1, r.top, index);
    HLine(r.left, r.right - 1, r.bottom - 1, index);
    VLine(r.left, r.top, r.bottom - 1, index);
    VLine(r.right - 1, r.top, r.bottom - 1, index);
}

void Surface8::HLine(int x0, int x1, int y, uint8_t index)
{
    if (x0 > x1) std::swap(x0, x1);
    FillRect({x0, y, x1 + 1, y + 1}, index);
}

void Surface8::VLine(int x, int y0, int y1, uint8_t index)
{
    if (y0 > y1) std::swap(y0, y1);
    FillRect({x, y0, x + 1, y1 + 1}, index);
}

void Surface8::Line(int x0, int y0, int x1, int y1, uint8_t index)
{
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        SetPixel(x0, y0, index);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

bool ClipCopy(int dstW, int dstH, int srcW, int srcH, int& dx, int& dy, int& w, int& h, int& sx, int& sy)
{
    if (w <= 0 || h <= 0) return false;
    // Cut the left and top edges against both pictures, then the right and
    // bottom ones; a cut on one side moves the other picture's corner too.
    int cut = std::max({0, -dx, -sx});
    dx += cut;
    sx += cut;
    w -= cut;
    cut = std::max({0, -dy, -sy});
    dy += cut;
    sy += cut;
    h -= cut;
    w = std::min({w, dstW - dx, srcW - sx});
    h = std::min({h, dstH - dy, srcH - sy});
    return w > 0 && h > 0;
}

void Surface8::Blit(const Surface8& src, int dx, int dy, int w, int h, int sx, int sy, int key)
{
    if (!IsValid() || !src.IsValid()) return;
    if (!ClipCopy(m_width, m_height, src.m_width, src.m_height, dx, dy, w, h, sx, sy)) return;
    // Overlapping copies inside one surface go bottom-up or top-down so that
    // no source row is overwritten before it is read.
    bool upward = (&src == this) && dy > sy;
    for (int i = 0; i < h; ++i) {
        int row = upward ? h - 1 - i : i;
        const uint8_t* s = src.Row(sy + row) + sx;
        uint8_t* d = Row(dy + row) + dx;
        if (key < 0) {
            std::memmove(d, s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                if (s[x] != key) d[x] = s[x];
        }
    }
}

void Surface8::BlitIndexOffset(const Surface8& src, int dx, int dy, int w, int h, int sx, int sy, int offset)
{
    if (!IsValid() || !src.IsValid()) return;
    if (!ClipCopy(m_width, m_height, src.m_width, src.m_height, dx, dy, w, h, sx, sy)) return;
    for (int row = 0; row < h; ++row) {
        const uint8_t* s = src.Row(sy + row) + sx;
        uint8_t* d = Row(dy + row) + dx;
        for (int x = 0; x < w; ++x)
            if (s[x] != 0) d[x] = static_cast<uint8_t>((s[x] + offset) & 0xFF);
    }
}

}  // namespace platform
