#include <gtest/gtest.h>

#include "platform/core/Text.h"
#include "support/Sjis.h"

using platform::SjisToUtf8;
using platform::Utf8ToSjis;

namespace {

struct Case {
    const char* name;
    std::string sjis;
    const char* utf8;
};

TEST(Text, KnownCharactersConvertBothWays)
{
    const Case cases[] = {
        {"backslash stays a backslash", "\x5C", "\\"},
        {"tilde stays a tilde", "\x7E", "~"},
        {"full-width tilde", "\x81\x60", u8"～"},
        {"circled one (NEC row 13)", "\x87\x40", u8"①"},
        {"small roman one (IBM extension)", "\xFA\x40", u8"ⅰ"},
        {"half-width katakana", "\xB1", u8"ｱ"},
        {"full-width backslash", "\x81\x5F", u8"＼"},
        {"so (trail byte 0x5C)", "\x83\x5C", u8"ソ"},
        {"hyou (trail byte 0x5C)", "\x95\x5C", u8"表"},
        {"mixed", "A\x95\x5C" "b\xB1\x81\x60", u8"A表bｱ～"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        EXPECT_EQ(SjisToUtf8(c.sjis, &ok), c.utf8);
        EXPECT_TRUE(ok);
        EXPECT_SJIS_EQ(Utf8ToSjis(c.utf8, &ok), c.sjis);
        EXPECT_TRUE(ok);
    }
}

TEST(Text, SourceLiteralsAreCp932)
{
    // The build compiles plain literals to CP932; the layout code relies on it.
    EXPECT_SJIS_EQ(std::string("表"), std::string("\x95\x5C"));
    EXPECT_SJIS_EQ(std::string("部隊表"), Utf8ToSjis(u8"部隊表"));
}

TEST(Text, WaveDashAndLookAlikesEncodeToTheGamesCharacters)
{
    EXPECT_SJIS_EQ(Utf8ToSjis(u8"\u301C"), "\x81\x60");
    EXPECT_SJIS_EQ(Utf8ToSjis(u8"\uFF5E"), "\x81\x60");
    EXPECT_SJIS_EQ(Utf8ToSjis(u8"\u2212"), "\x81\x7C");
}

TEST(Text, BadBytesAreMarkedAndTheRestKept)
{
    const struct {
        const char* name;
        std::string sjis;
        const char* utf8;
    } cases[] = {
        {"0x80 is not CP932", "a\x80z", u8"a\uFFFDz"},
        {"0xA0 is not CP932", "a\xA0z", u8"a\uFFFDz"},
        {"lone lead byte at the end", "ab\x95", u8"ab\uFFFD"},
        {"lead byte before a bad trail", "\x95\x20x", u8"\uFFFD x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = true;
        EXPECT_EQ(SjisToUtf8(c.sjis, &ok), c.utf8);
        EXPECT_FALSE(ok);
    }
}

TEST(Text, UnmappableUtf8KeepsTheRest)
{
    bool ok = true;
    EXPECT_SJIS_EQ(Utf8ToSjis(u8"caf\u00E9\u8868", &ok), "caf?\x95\x5C");
    EXPECT_FALSE(ok);
    EXPECT_SJIS_EQ(Utf8ToSjis("a\xFF" "b"), "a?b");
    EXPECT_SJIS_EQ(Utf8ToSjis("a\xE8\xA1"), "a??");
}

TEST(Text, EveryDoubleByteCharacterRoundTripsByteExact)
{
    // Every valid CP932 character that converts must come back as the same bytes,
    // except the duplicates of the IBM/NEC extensions, which fold to one form.
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!platform::IsSjisLead(static_cast<unsigned char>(lead))) continue;
        if (lead >= 0xED && lead <= 0xEE) continue;  // NEC-selected IBM duplicates
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            std::string s{static_cast<char>(lead), static_cast<char>(trail)};
            bool ok = false;
            std::string u = SjisToUtf8(s, &ok);
            if (!ok) continue;
            if (lead == 0x87 && trail >= 0x90) continue;  // ∪∩¬ etc. fold to row 2
            if (lead == 0xFA && trail >= 0x4A && trail <= 0x53) continue;  // Ⅰ..Ⅹ fold to 0x87
            if (lead == 0xFA && (trail == 0x54 || trail == 0x58 || trail == 0x59 || trail == 0x5A || trail == 0x5B)) continue;
            ++checked;
            ASSERT_EQ(Utf8ToSjis(u), s) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(checked, 7000);
}

}  // namespace
