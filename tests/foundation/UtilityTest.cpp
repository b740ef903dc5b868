#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "support/Sjis.h"

using namespace zrv;

namespace {

TEST(NumberList, ParseCases)
{
    const struct {
        const char* text;
        std::vector<int> values;
    } cases[] = {
        {"10 -3 x 7", {10, -3, 7}},
        {"-5", {-5}},
        {"-", {0}},
        {"", {}},
        {"3-4", {3, 4}},
        {"1\x82\x4F" "2", {1, 2}},  // a double-byte character separates
        {"--5", {0, 5}},
        {"  12,34;56 ", {12, 34, 56}},
        {"100 -0", {100, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int out[8] = {};
        int n = ParseNumberList(c.text, out, 8);
        ASSERT_EQ(n, static_cast<int>(c.values.size()));
        EXPECT_EQ(std::vector<int>(out, out + n), c.values);
    }
    EXPECT_EQ(ParseNumberList(nullptr, nullptr, 0), 0);
}

TEST(NumberList, CapacityBoundsTheStoreButNotTheCount)
{
    // A window rectangle kept as "x y w h": a fifth number must be noticed.
    int out[5] = {0, 0, 0, 0, 777};
    EXPECT_EQ(ParseNumberList("1 2 3 4 5", out, 4), 5);
    EXPECT_EQ(std::vector<int>(out, out + 5), (std::vector<int>{1, 2, 3, 4, 777}));
}

TEST(NumberList, LongDigitRunsSaturate)
{
    int out[2] = {};
    ASSERT_EQ(ParseNumberList("123456789012345678901234567890 -99999999999999999999", out, 2), 2);
    EXPECT_EQ(out[0], INT_MAX);
    EXPECT_EQ(out[1], INT_MIN);
}

TEST(NumberList, JoinAndParseRoundTrip)
{
    std::string text;
    const int v[] = {3, 0, 12};
    EXPECT_EQ(JoinNumberList(3, v, text), 6);
    EXPECT_EQ(text, "3 0 12");
    const int w[] = {-7, 2147483647, -2147483647 - 1, 0, 42};
    JoinNumberList(5, w, text);
    int back[5];
    ASSERT_EQ(ParseNumberList(text.c_str(), back, 5), 5);
    EXPECT_TRUE(std::equal(w, w + 5, back));
    JoinNumberList(0, v, text);
    EXPECT_EQ(text, "");
}

TEST(IntList, MergeFindAppendIntersect)
{
    int dest[8] = {5, -1};
    const int src[] = {5, 6, -1};
    MergeIntList(dest, src);
    EXPECT_EQ(std::vector<int>(dest, dest + 3), (std::vector<int>{5, 6, -1}));

    const int list[] = {4, 7, -1};
    EXPECT_EQ(FindInIntList(list, 7), 1);
    EXPECT_EQ(FindInIntList(list, -1), -1);
    EXPECT_EQ(FindInIntList(list, 9), -1);
    EXPECT_EQ(FindInIntList(nullptr, 4), -1);

    int app[6] = {1, 2, -1, 99, 99, 99};
    const int empty[] = {-1};
    AppendIntList(app, empty);
    EXPECT_EQ(std::vector<int>(app, app + 4), (std::vector<int>{1, 2, -1, 99}));
    const int more[] = {2, 3, -1};
    AppendIntList(app, more);
    EXPECT_EQ(std::vector<int>(app, app + 5), (std::vector<int>{1, 2, 2, 3, -1}));

    const int a[] = {9, 1, 5, 3, -1};
    const int b[] = {3, 9, 4, -1};
    int out[6];
    EXPECT_EQ(IntersectIntList(out, a, b), 2);
    EXPECT_EQ(std::vector<int>(out, out + 3), (std::vector<int>{9, 3, -1}));

    uint32_t words[] = {0x12345678u, 0xFFFFFFFFu, 0xABCDu};
    ClearWordLowHalves(words, 2);
    EXPECT_EQ(words[0], 0x12340000u);
    EXPECT_EQ(words[1], 0xFFFF0000u);
    EXPECT_EQ(words[2], 0xABCDu);
}

TEST(IntList, PairComparersOrderExtremeKeys)
{
    struct Pair {
        int32_t id, key;
    };
    std::vector<Pair> v = {{1, INT_MAX}, {2, INT_MIN}, {3, 0}, {4, -5}};
    std::qsort(v.data(), v.size(), sizeof(Pair), ComparePairKeyAscending);
    EXPECT_EQ((std::vector<int>{v[0].id, v[1].id, v[2].id, v[3].id}), (std::vector<int>{2, 4, 3, 1}));
    std::qsort(v.data(), v.size(), sizeof(Pair), ComparePairKeyDescending);
    EXPECT_EQ((std::vector<int>{v[0].id, v[1].id, v[2].id, v[3].id}), (std::vector<int>{1, 3, 4, 2}));
}

TEST(Bits, LowestAndCount)
{
    EXPECT_EQ(GetLowestBitIndex(0x50), 4);
    EXPECT_EQ(GetLowestBitIndex(0), -1);
    EXPECT_EQ(GetLowestBitIndex(INT_MIN), 31);
    EXPECT_EQ(CountBits(0x50), 2);
    EXPECT_EQ(CountBits(-1), 32);
    EXPECT_EQ(CountBits(INT_MIN), 1);
}

TEST(Text, LinesAndCharacters)
{
    std::string line;
    const char* rest = CopyTextLine("a\nb", line);
    EXPECT_EQ(line, "a");
    ASSERT_NE(rest, nullptr);
    EXPECT_STREQ(rest, "b");
    EXPECT_EQ(CopyTextLine(rest, line), nullptr);
    EXPECT_EQ(line, "b");
    EXPECT_EQ(CopyTextLine("", line), nullptr);
    EXPECT_EQ(CopyTextLine(nullptr, line), nullptr);
    EXPECT_EQ(line, "");

    EXPECT_EQ(CountTextLines("a\n"), 2);
    EXPECT_EQ(CountTextLines(""), 0);
    EXPECT_EQ(CountTextLines(nullptr), 0);
    EXPECT_EQ(CountTextLines("a\nb\nc"), 3);

    EXPECT_EQ(GetSjisCharLength("表"), 2);
    EXPECT_EQ(GetSjisCharLength("\xE0\x40"), 2);
    EXPECT_EQ(GetSjisCharLength("\xFD"), 1);
    EXPECT_EQ(GetSjisCharLength("\xB1"), 1);  // half-width katakana
    EXPECT_EQ(GetSjisCharLength("a"), 1);
}

TEST(Text, Amounts)
{
    const struct {
        int value;
        bool dollar, wide;
        const char* text;
    } cases[] = {
        {1234, false, false, " 1,234"},
        {1234, false, true, "    1,234"},
        {1234567, false, false, "1,234,567"},
        {999, true, false, "$   999"},
        {-5, false, false, "    -5"},
        {0, false, true, "        0"},
        {1000000, true, false, "$1,000,000"},
        {999999, false, false, "999,999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::string out;
        FormatAmount(out, c.value, c.dollar, c.wide);
        EXPECT_EQ(out, c.text);
        char buf[32];
        FormatAmountToBuffer(buf, sizeof buf, c.value, c.dollar, c.wide);
        EXPECT_STREQ(buf, c.text);
    }
    char small[4];
    FormatAmountToBuffer(small, sizeof small, 1234567, false, false);
    EXPECT_STREQ(small, "1,2");
}

class WithWords : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib.MsgCommon = words;
        SetLib(&lib);
    }
    void TearDown() override { SetLib(nullptr); }

    const char* const words[16] = {"", "", "", "", "", "昭和", "年", "月", "日", "時", "０", "　", "", "", "", ""};
    DataLibrary lib;
};

TEST_F(WithWords, FullWidthNumbers)
{
    std::string out = "junk";
    FormatFullWidthNumber(0, out);
    EXPECT_SJIS_EQ(out, "０");
    FormatFullWidthNumber(2019, out);
    EXPECT_SJIS_EQ(out, "２０１９");
    FormatFullWidthNumber(-12, out);
    EXPECT_SJIS_EQ(out, "－１２");
    FormatFullWidthNumber(65535, out);
    EXPECT_SJIS_EQ(out, "６５５３５");
}

TEST_F(WithWords, Dates)
{
    std::string out;
    const uint32_t date = (7u << 24) | (41u << 16) | (3u << 8) | 15u;
    FormatDateText(date, out, false, false);
    EXPECT_SJIS_EQ(out, "４１年　３月１５日");
    FormatDateText(date, out, true, true);
    EXPECT_SJIS_EQ(out, "昭和４１年　３月１５日　７時");
    FormatDateText((14u << 24) | (45u << 16) | (12u << 8) | 1u, out, true, false);
    EXPECT_SJIS_EQ(out, "４５年１２月　１日１４時");
}

TEST(Paths, ValidFileNames)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"a.b", false}, {"a:b", false}, {"表表", true},  {"ソ", true},   {"save01", true},
        {"a\\b", false}, {"a|b", false}, {"セーブ?", false}, {"", true}, {"x\x81", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::SjisToUtf8(c.name));
        EXPECT_EQ(IsValidFileName(c.name), c.valid);
    }
}

TEST(Paths, SeparatorsNeverSplitCharacters)
{
    const struct {
        const char* path;
        int namePos;
        const char* stripped;
        const char* folder;
    } cases[] = {
        {"ﾃﾞｰﾀ\\x.DG2", 5, "x.DG2", "ﾃﾞｰﾀ\\"},
        {"ム\\x", 3, "x", "ム\\"},
        {"C:\\部隊表", 3, "部隊表", "C:\\"},
        {"表", -1, "表", ""},
        {"ソフト\\表\\能", 10, "能", "ソフト\\表\\"},
        {"", 0, "", ""},
        {"\\root", -1, "root", "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::SjisToUtf8(c.path));
        std::string p = c.path;
        EXPECT_EQ(FindFileNamePos(p), c.namePos);
        StripDirectory(p);
        EXPECT_SJIS_EQ(p, c.stripped);
        p = c.path;
        GetDirectoryPart(p);
        EXPECT_SJIS_EQ(p, c.folder);
        p = c.path;
        ReplaceFileName(p, "N.SC2");
        EXPECT_SJIS_EQ(p, std::string(c.folder) + "N.SC2");
    }
}

TEST(Paths, ReplaceExtension)
{
    const struct {
        const char* path;
        const char* result;
    } cases[] = {
        {"MAP01.MB2", "MAP01.TXT"},
        {"MAP01", "MAP01.TXT"},
        {"a.b\\MAP", "a.b\\MAP.TXT"},
        {"Data\\地図.MB2", "Data\\地図.TXT"},
        {"x.tar.gz", "x.tar.TXT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string p = c.path;
        ReplaceFileExtension(p, ".TXT");
        EXPECT_SJIS_EQ(p, c.result);
    }
}

}  // namespace
