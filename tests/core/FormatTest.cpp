#include <gtest/gtest.h>

#include "platform/core/Format.h"

using platform::FormatArg;
using platform::FormatMatches;
using platform::FormatText;

namespace {

TEST(Format, ConversionsMatchingTheirArguments)
{
    EXPECT_EQ(FormatText("%s (%d)", {"path", 12}), "path (12)");
    EXPECT_EQ(FormatText("%5d,%03d", {1, 234}), "    1,234");
    EXPECT_EQ(FormatText("[%-6s]|%3s|", {"ab", "xyzw"}), "[ab    ]|xyzw|");
    EXPECT_EQ(FormatText("%.2s", {"abcdef"}), "ab");
    EXPECT_EQ(FormatText("100%%", {}), "100%");
    EXPECT_EQ(FormatText("%c%c", {'O', 'K'}), "OK");
    EXPECT_EQ(FormatText("%02X", {255}), "FF");
    EXPECT_EQ(FormatText("%ld", {7L}), "7");
}

TEST(Format, SurplusArgumentsAreIgnored)
{
    // A text shown both with and without a path.
    EXPECT_EQ(FormatText("cannot read", {"C:\\x"}), "cannot read");
    EXPECT_EQ(FormatText("%d", {1, 2, "x"}), "1");
}

TEST(Format, MismatchShowsTheTextWithoutConversions)
{
    const struct {
        const char* name;
        const char* format;
        std::initializer_list<FormatArg> args;
    } cases[] = {
        {"missing argument", "%s and %s", {"one"}},
        {"number for a text", "%s", {5}},
        {"text for a number", "%d", {"5"}},
        {"star width", "%*d", {3, 4}},
        {"unknown conversion", "%n", {0}},
        {"float conversion", "%f", {1}},
        {"dangling percent", "50%", {}},
        {"absurd width", "%99999d", {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatText(c.format, c.args), c.format);
    }
}

TEST(Format, MatchesChecksCountAndKinds)
{
    using K = FormatArg::Kind;
    EXPECT_TRUE(FormatMatches("%s %d", {K::Str, K::Int}));
    EXPECT_TRUE(FormatMatches("no conversions 100%%", {}));
    EXPECT_FALSE(FormatMatches("%s", {}));
    EXPECT_FALSE(FormatMatches("%s", {K::Str, K::Str}));
    EXPECT_FALSE(FormatMatches("%d", {K::Str}));
}

}  // namespace
