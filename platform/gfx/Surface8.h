#pragma once
// An 8-bit picture: one palette index per pixel plus a 256-entry colour table.
// The rows are kept bottom row first with each row padded to a multiple of
// four bytes, the layout of the picture files and of the off-screen buffer, so
// a surface can be a view over pixels that someone else owns. Coordinates are
// always counted from the top-left corner. Every operation clips to the
// surface: nothing is ever written or read outside the pixel block.

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// One colour-table entry in the order the files keep it.
struct RgbQuad {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};
static_assert(sizeof(RgbQuad) == 4);

using ColorTable = std::array<RgbQuad, 256>;
static_assert(sizeof(ColorTable) == 1024);

// A colour as red, green, blue.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A rectangle of pixels: left and top inside, right and bottom outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The overlap of a and b; empty (all zero) when they do not meet.
Rect Intersect(const Rect& a, const Rect& b);

// Bytes in one padded row of an 8-bit picture of width pixels.
constexpr int StrideFor(int width)
{
    return (width + 3) & ~3;
}

// The index of table whose colour lies nearest to c (squared distance in
// red, green and blue); the lowest index wins a tie, as an exact colour that
// appears twice resolves to its first entry.
uint8_t NearestIndex(const ColorTable& table, Rgb c);

class Surface8 {
public:
    Surface8() = default;
    // A surface that owns a zeroed pixel block and a zeroed colour table.
    Surface8(int width, int height);
    // A view over pixels and a colour table kept elsewhere (bottom-up rows,
    // padded stride). table may be null for a surface that is never shown.
    static Surface8 Wrap(uint8_t* bits, int width, int height, ColorTable* table);

    Surface8(const Surface8&) = delete;
    Surface8& operator=(const Surface8&) = delete;
    Surface8(Surface8&& other) noexcept;
    Surface8& operator=(Surface8&& other) noexcept;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return StrideFor(m_width); }
    bool IsValid() const { return m_bits != nullptr && m_width > 0 && m_height > 0; }
    Rect Bounds() const { return {0, 0, m_width, m_height}; }

    uint8_t* Bits() { return m_bits; }
    const uint8_t* Bits() const { return m_bits; }
    ColorTable* Table() { return m_table; }
    const ColorTable* Table() const { return m_table; }

    // Start of row y counted from the top; null outside the surface.
    uint8_t* Row(int y);
    const uint8_t* Row(int y) const;

    // Index at (x, y), or -1 outside.
    int GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint8_t index);

    // Fills r clipped to the surface.
    void FillRect(const Rect& r, uint8_t index);
    void Fill(uint8_t index);
    // The one-pixel outline of r, clipped.
    void FrameRect(const Rect& r, uint8_t index);
    // Lines with both ends drawn (Bresenham), clipped pixel by pixel.
    void Line(int x0, int y0, int x1, int y1, uint8_t index);
    void HLine(int x0, int x1, int y, uint8_t index);
    void VLine(int x, int y0, int y1, uint8_t index);

    // Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of this
    // surface. key -1 copies every pixel; any other key leaves the destination
    // alone where the source holds it. The rectangle is cut to both surfaces.
    void Blit(const Surface8& src, int dx, int dy, int w, int h, int sx, int sy, int key = -1);
    // As Blit with index 0 transparent, every other index i written as
    // (i + offset) mod 256.
    void BlitIndexOffset(const Surface8& src, int dx, int dy, int w, int h, int sx, int sy, int offset);

private:
    int m_width = 0;
    int m_height = 0;
    uint8_t* m_bits = nullptr;
    ColorTable* m_table = nullptr;
    std::vector<uint8_t> m_ownBits;
    std::vector<ColorTable> m_ownTable;  // zero or one element
};

// Cuts a copy of w x h from (sx, sy) of a src-sized picture to (dx, dy) of a
// dst-sized one so that both rectangles lie inside their pictures. Returns
// false when nothing is left.
bool ClipCopy(int dstW, int dstH, int srcW, int srcH, int& dx, int& dy, int& w, int& h, int& sx, int& sy);

}  // namespace platform
