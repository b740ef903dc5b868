// The full-row list's text rules: shortening and the row layout.
#include <gtest/gtest.h>

#include "platform/core/RowText.h"

namespace platform {
namespace {

// 6 pixels a half-width byte: a double-byte character is 12.
const TextWidthFn kMeasure = [](std::string_view s) { return static_cast<int>(s.size()) * 6; };

TEST(RowText, ShortensOnlyWhatDoesNotFit)
{
    bool cut = true;
    // "abcde" is 30 wide: with offset 12 it needs 42.
    EXPECT_EQ(MakeShortString("abcde", 42, 12, kMeasure, &cut), "abcde");
    EXPECT_FALSE(cut);
    EXPECT_EQ(MakeShortString("abcdefgh", 59, 12, kMeasure, &cut), "abcd...") << "abcde... would need 60";
    EXPECT_TRUE(cut);
    EXPECT_EQ(MakeShortString("abcdefghij", 60, 12, kMeasure), "abcde...");
    EXPECT_EQ(MakeShortString("abcde", 1, 12, kMeasure), "a...") << "at least one character stays";
    EXPECT_EQ(MakeShortString("", 0, 12, kMeasure), "");
    // The first column's offset is 4.
    EXPECT_EQ(MakeShortString("abcde", 34, 4, kMeasure), "abcde");
}

TEST(RowText, NeverCutsADoubleByteCharacterInHalf)
{
    // Two CP932 characters (4 bytes) and an 'x'.
    const std::string text = "\x82\xa0\x82\xa2x";
    for (int width = 20; width < 50; ++width) {
        SCOPED_TRACE(width);
        const std::string s = MakeShortString(text, width, 4, kMeasure);
        if (s == text) continue;
        const size_t body = s.size() - 3;
        EXPECT_EQ(body % 2, 0u) << "the part before ... ends on a character boundary";
    }
}

TEST(RowText, RowLayoutHighlightAndFill)
{
    const int widths[] = {60, 48};
    const ColumnAlign aligns[] = {ColumnAlign::Left, ColumnAlign::Right};
    const std::string fit[] = {"abc", "123"};
    RowPlan p = LayoutRow(widths, aligns, fit, 12, 200, kMeasure);
    EXPECT_EQ(p.boundsRight, 108) << "a selection ends at the last column";
    EXPECT_EQ(p.fillRight, 200) << "an unselected row is filled to the client edge";
    EXPECT_TRUE(p.icon);
    ASSERT_EQ(p.cells.size(), 2u);
    EXPECT_EQ(p.cells[0].left, 12 + 2);
    EXPECT_EQ(p.cells[1].align, ColumnAlign::Right);
    EXPECT_EQ(p.cells[1].left, 60 + 6);
    EXPECT_EQ(p.cells[1].right, 108 - 6);
    // A shortened right-aligned text is drawn left-aligned.
    const std::string longText[] = {"abc", "1234567"};
    p = LayoutRow(widths, aligns, longText, 12, 200, kMeasure);
    EXPECT_EQ(p.cells[1].align, ColumnAlign::Left);
    EXPECT_EQ(p.cells[1].text, "123...");
    // A first column narrower than 2 pixels has no icon.
    const int narrow[] = {1, 48};
    EXPECT_FALSE(LayoutRow(narrow, aligns, fit, 12, 200, kMeasure).icon);
    EXPECT_TRUE(ExtendsPastColumns(108, 109, false));
    EXPECT_FALSE(ExtendsPastColumns(108, 108, false));
    EXPECT_TRUE(ExtendsPastColumns(108, 108, true)) << "the menu program's lists also at equal widths";
}

}  // namespace
}  // namespace platform
