#include <gtest/gtest.h>

#include "platform/gfx/Font8.h"
#include "platform/gfx/Surface8.h"

namespace {

// Widths in pixels from the leftmost to the rightmost set pixel.
int InkColumns(const platform::Surface8& s, uint8_t index, int& left, int& right)
{
    left = s.Width();
    right = -1;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) == index) left = std::min(left, x), right = std::max(right, x);
    return right - left + 1;
}

TEST(Font8, WindowsFaceNamesMapToTheIpaFamilies)
{
    EXPECT_EQ(platform::FontFamilyFor("ＭＳ ゴシック"), "IPAGothic");
    EXPECT_EQ(platform::FontFamilyFor("ＭＳ 明朝"), "IPAMincho");
    EXPECT_EQ(platform::FontFamilyFor(""), "IPAGothic");
    auto f = platform::Font::Create(-12, 400, "ＭＳ ゴシック");
    ASSERT_TRUE(f);
    const std::string& file = f->FilePath();
    bool ipa = file.find("ipag") != std::string::npos || file.find("japanese-gothic") != std::string::npos;
    EXPECT_TRUE(ipa) << file;
}

TEST(Font8, HalfWidthIsExactlyHalfOfFullWidthAtEveryLayoutSize)
{
    // "ＡBCあい" : one full-width letter, two half-width letters, two kana.
    const std::string mixed = "ＡBCあい";
    for (int height : {-12, 12, 16, 24, -24}) {
        SCOPED_TRACE(height);
        for (int weight : {400, 700}) {
            auto f = platform::Font::Create(height, weight, "ＭＳ ゴシック");
            ASSERT_TRUE(f);
            int em = std::abs(height);
            EXPECT_EQ(f->EmPixels(), em);
            EXPECT_EQ(f->TextWidth("A"), em / 2);
            EXPECT_EQ(f->TextWidth("あ"), em);
            // Width follows the byte count: 8 bytes x half the em.
            EXPECT_EQ(f->TextWidth(mixed), int(mixed.size()) * em / 2);
        }
    }
    auto mincho = platform::Font::Create(16, 0, "ＭＳ 明朝");
    ASSERT_TRUE(mincho);
    EXPECT_EQ(mincho->TextWidth("AB漢字"), 48);
}

TEST(Font8, TextIsDrawnInOneIndexWithoutSmoothing)
{
    platform::Surface8 s(80, 20);
    auto f = platform::Font::Create(-12, 400, "ＭＳ ゴシック");
    ASSERT_TRUE(f);
    int end = f->DrawText(s, 2, 2, "ＡBCあい", uint8_t(77));
    EXPECT_EQ(end, 2 + 48);
    int left = 0, right = 0;
    InkColumns(s, 77, left, right);
    EXPECT_GE(left, 2);
    EXPECT_LT(right, 2 + 48);
    EXPECT_GT(right, 2 + 36) << "the last kana is drawn";
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            int v = s.GetPixel(x, y);
            EXPECT_TRUE(v == 0 || v == 77) << x << "," << y;
        }
}

TEST(Font8, TextClipsAtTheSurfaceEdges)
{
    platform::Surface8 s(10, 6);
    auto f = platform::Font::Create(-24, 700, "ＭＳ ゴシック");
    ASSERT_TRUE(f);
    f->DrawText(s, -7, -9, "戦記テスト", uint8_t(5));
    f->DrawText(s, 6, 3, "戦記", uint8_t(5));
    SUCCEED();
}

TEST(Font8, BrokenShiftJisStillDraws)
{
    auto cps = platform::SjisToCodePoints(std::string("A\x81", 2));
    ASSERT_EQ(cps.size(), 2u);
    EXPECT_EQ(cps[0], U'A');
    EXPECT_EQ(cps[1], U'\uFFFD');
}

// The labels' characters a face can draw: a family fontconfig does not have
// draws none of them itself (the toolkit would borrow another face's glyphs).
TEST(Font8, MissingGlyphsOfAFamily)
{
    struct Case {
        const char* family;
        const char* utf8;
        std::u32string missing;
    };
    const Case cases[] = {
        {"IPAGothic", u8"攻撃開始 中止 投棄 ← → 援護射撃 母艦 ？", U""},
        {"IPAGothic", u8"A\U0001F600B\U0001F600", U"\U0001F600"},
        {"NoSuchFamilyAtAll", u8"abca", U"abc"},
        {"IPAGothic", u8"", U""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        EXPECT_EQ(platform::MissingGlyphs(c.family, c.utf8), c.missing);
    }
}

}  // namespace
