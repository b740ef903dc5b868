#include <gtest/gtest.h>

#include "foundation/DrawHelpers.h"
#include "tests/gfx/GfxFixture.h"

namespace {

using zrv::CDib;

class DrawHelpersTest : public gfxtest::Scratch {};

TEST_F(DrawHelpersTest, GothicFontSizes)
{
    std::unique_ptr<platform::Font> f;
    ASSERT_TRUE(zrv::CreateGothicFont(&f, -12, 0, nullptr));
    EXPECT_EQ(f->EmPixels(), 12);
    EXPECT_EQ(f->TextWidth("A"), 6);
    EXPECT_EQ(f->TextWidth("部"), 12);
    ASSERT_TRUE(zrv::CreateGothicFont(&f, 10, 700, "ＭＳ ゴシック"));
    EXPECT_TRUE(f->IsBold());
    EXPECT_EQ(f->TextWidth("12"), 10);
    EXPECT_FALSE(zrv::CreateGothicFont(&f, 0, 0, nullptr));
    EXPECT_EQ(f, nullptr);
}

TEST_F(DrawHelpersTest, ColourTextLandsOnTheNearestEntryAndRestoresTheColour)
{
    platform::ColorTable t{};
    t[20] = {0, 0, 250, 0};    // near red
    t[21] = {0, 0, 254, 0};    // code 2's red exactly
    t[30] = {60, 60, 60, 0};
    CDib dib;
    ASSERT_TRUE(dib.Create(60, 20, t.data()));
    auto font = platform::Font::Create(-12, 400, "ＭＳ ゴシック");
    zrv::DrawContext dc{dib.Surface(), font.get(), zrv::RGB(60, 60, 60)};
    struct Case {
        int code;
        int index;
    };
    for (Case c : {Case{2, 21}, Case{0, 30}, Case{9, 30}, Case{-1, 30}}) {
        SCOPED_TRACE(c.code);
        dib.ClearBits(0);
        zrv::DrawColorText(&dc, 0, 0, "部隊", c.code);
        int found = -1;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x)
                if (int v = *dib.GetPixelPtr(x, y)) {
                    EXPECT_TRUE(found < 0 || found == v);
                    found = v;
                }
        EXPECT_EQ(found, c.index);
        EXPECT_EQ(dc.textColor, zrv::RGB(60, 60, 60));
    }
    EXPECT_EQ(zrv::ColorOfCode(6, 0), zrv::RGB(191, 191, 191));
    EXPECT_EQ(zrv::ColorOfCode(8, 0), zrv::RGB(0, 0, 127));
    zrv::DrawColorText(nullptr, 0, 0, "x", 1);
}

TEST_F(DrawHelpersTest, GaugeBar)
{
    const int pattern[20] = {22, 22, 22, 14, 22, 14, 14, 10, 14, 10, 22, 22, 22, 22, 14, 14, 14, 14, 10, 10};
    struct Case {
        int value;
        int columns;
    };
    for (Case c : {Case{0, 0}, Case{3, 1}, Case{250, 100}, Case{300, 100}, Case{-5, 0}}) {
        SCOPED_TRACE(c.value);
        CDib dib;
        ASSERT_TRUE(dib.Create(120, 20, nullptr));
        zrv::DrawGaugeBar(&dib, c.value, 5, 15);
        for (int x = 0; x < 120; ++x)
            for (int y = 0; y < 20; ++y) {
                int col = x - 5, i = 15 - y;
                bool in = col >= 0 && col < c.columns && i >= 0 && i < 10;
                int want = in ? pattern[(col % 2) * 10 + i] : 0;
                ASSERT_EQ(*dib.GetPixelPtr(x, y), want) << x << "," << y;
            }
    }
    // A gauge that runs off the picture is cut at its edges.
    CDib small;
    ASSERT_TRUE(small.Create(30, 6, nullptr));
    zrv::DrawGaugeBar(&small, 250, 20, 3);
    EXPECT_EQ(*small.GetPixelPtr(29, 0), 22);
    EXPECT_EQ(*small.GetPixelPtr(19, 3), 0);
    zrv::DrawGaugeBar(nullptr, 250, 0, 0);
}

}  // namespace
