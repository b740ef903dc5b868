#include <gtest/gtest.h>

#include "platform/gfx/Surface8.h"

using platform::Rect;
using platform::Surface8;

namespace {

// A surface whose pixel (x, y) holds 1 + x + 10 y (small sizes only).
Surface8 Numbered(int w, int h)
{
    Surface8 s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, uint8_t(1 + x + 10 * y));
    return s;
}

TEST(Surface8, RowsAreStoredBottomUpWithPaddedStride)
{
    Surface8 s(5, 3);
    EXPECT_EQ(s.Stride(), 8);
    s.SetPixel(0, 0, 9);
    s.SetPixel(4, 2, 7);
    EXPECT_EQ(s.Bits()[2 * 8], 9) << "top row is the last row of the block";
    EXPECT_EQ(s.Bits()[4], 7) << "bottom row is the first row of the block";
    EXPECT_EQ(s.GetPixel(5, 0), -1);
    EXPECT_EQ(s.GetPixel(0, -1), -1);
    s.SetPixel(-1, 0, 1);  // outside: ignored
    s.SetPixel(0, 3, 1);
    for (int i = 0; i < 24; ++i) {
        if (i == 16 || i == 4) continue;
        EXPECT_EQ(s.Bits()[i], 0) << i;
    }
}

TEST(Surface8, ClipCopyCutsBothPictures)
{
    struct Case {
        const char* name;
        int dx, dy, w, h, sx, sy;
        bool any;
        int ex, ey, ew, eh, esx, esy;
    };
    // Destination 10 x 8, source 6 x 5.
    const Case cases[] = {
        {"inside", 1, 1, 3, 2, 2, 2, true, 1, 1, 3, 2, 2, 2},
        {"left of destination", -2, 0, 4, 2, 0, 0, true, 0, 0, 2, 2, 2, 0},
        {"above source", 0, 3, 2, 4, 0, -3, true, 0, 6, 2, 1, 0, 0},
        {"past both right edges", 8, 0, 5, 1, 3, 0, true, 8, 0, 2, 1, 3, 0},
        {"past source bottom", 0, 0, 1, 9, 0, 2, true, 0, 0, 1, 3, 0, 2},
        {"wholly outside", 20, 0, 3, 3, 0, 0, false, 0, 0, 0, 0, 0, 0},
        {"zero width", 0, 0, 0, 3, 0, 0, false, 0, 0, 0, 0, 0, 0},
        {"negative height", 0, 0, 3, -3, 0, 0, false, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int dx = c.dx, dy = c.dy, w = c.w, h = c.h, sx = c.sx, sy = c.sy;
        bool any = platform::ClipCopy(10, 8, 6, 5, dx, dy, w, h, sx, sy);
        EXPECT_EQ(any, c.any);
        if (!c.any) continue;
        EXPECT_EQ(dx, c.ex);
        EXPECT_EQ(dy, c.ey);
        EXPECT_EQ(w, c.ew);
        EXPECT_EQ(h, c.eh);
        EXPECT_EQ(sx, c.esx);
        EXPECT_EQ(sy, c.esy);
    }
}

TEST(Surface8, BlitWithKeyAndOffsetNeverLeavesThePictures)
{
    Surface8 src = Numbered(4, 4);
    src.SetPixel(1, 1, 0);
    Surface8 dst(6, 6);
    dst.Fill(200);
    dst.Blit(src, -1, -1, 4, 4, 0, 0, 0);  // half outside
    EXPECT_EQ(dst.GetPixel(0, 0), 200) << "source (1, 1) is the key";
    EXPECT_EQ(dst.GetPixel(1, 0), 1 + 2 + 10);
    EXPECT_EQ(dst.GetPixel(2, 2), 1 + 3 + 30);
    EXPECT_EQ(dst.GetPixel(3, 3), 200);

    dst.Fill(200);
    dst.Blit(src, 4, 4, 4, 4, 0, 0, -1);
    EXPECT_EQ(dst.GetPixel(4, 5), 1 + 0 + 10);
    EXPECT_EQ(dst.GetPixel(5, 5), 0) << "-1 copies the key too";

    Surface8 off(4, 4);
    off.BlitIndexOffset(src, 0, 0, 9, 9, 0, 0, 250);
    EXPECT_EQ(off.GetPixel(0, 0), (1 + 250) % 256);
    EXPECT_EQ(off.GetPixel(1, 1), 0) << "index 0 is transparent";
    EXPECT_EQ(off.GetPixel(3, 3), (34 + 250) % 256);
}

TEST(Surface8, OverlappingBlitInsideOneSurfaceKeepsTheSource)
{
    Surface8 s = Numbered(4, 6);
    s.Blit(s, 0, 1, 4, 5, 0, 0);
    for (int y = 1; y < 6; ++y) EXPECT_EQ(s.GetPixel(2, y), 1 + 2 + 10 * (y - 1)) << y;
}

TEST(Surface8, RasterOpsClip)
{
    Surface8 s(8, 8);
    s.FillRect({-5, -5, 2, 2}, 3);
    s.FrameRect({6, 6, 20, 20}, 4);
    s.Line(-10, 4, 20, 4, 5);
    s.Line(7, -3, 7, 30, 6);
    EXPECT_EQ(s.GetPixel(1, 1), 3);
    EXPECT_EQ(s.GetPixel(2, 2), 0);
    EXPECT_EQ(s.GetPixel(6, 6), 4);
    EXPECT_EQ(s.GetPixel(6, 7), 4);
    EXPECT_EQ(s.GetPixel(0, 4), 5);
    EXPECT_EQ(s.GetPixel(7, 0), 6);
    EXPECT_EQ(s.GetPixel(7, 7), 6);
}

TEST(Surface8, NearestIndexTakesTheFirstOfEqualDistances)
{
    platform::ColorTable t{};
    for (auto& q : t) q = {255, 255, 255, 0};
    t[12] = {0, 0, 250, 0};   // red 250
    t[40] = {0, 0, 250, 0};   // the same colour again
    t[41] = {0, 0, 254, 0};   // exact
    EXPECT_EQ(platform::NearestIndex(t, {254, 0, 0}), 41);
    EXPECT_EQ(platform::NearestIndex(t, {240, 0, 0}), 12);
    EXPECT_EQ(platform::NearestIndex(t, {255, 255, 255}), 0);
}

}  // namespace
