// What the byte-limited text field keeps of typed and pasted text: whole
// CP932 characters up to its limit, the rest refused where it went in.
#include <gtest/gtest.h>

#include <string>

#include "platform/wx/SjisTextCtrl.h"

namespace {

wxString U(const char* utf8)
{
    return wxString::FromUTF8(utf8);
}

TEST(SjisTextFit, KeepsWholeCharactersUpToTheLimit)
{
    using platform::SjisTextCtrl;
    const struct {
        const char* name;
        const char* before;
        const char* after;
        const char* kept;
        long caret;
    } cases[] = {
        {"the eighth typed character is refused", "abcdefg", "abcdefgh", "abcdefg", 7},
        {"eight pasted characters keep seven", "", "abcdefgh", "abcdefg", 7},
        {"three full-width and one half-width fit", u8"あいう", u8"あいうa", u8"あいうa", 4},
        {"a fourth full-width character does not", u8"あいう", u8"あいうえ", u8"あいう", 3},
        {"nor half of it after a half-width one", u8"aあいう", u8"aあいうえ", u8"aあいう", 4},
        {"typed in the middle, the end stays", "abcdefg", "abcXdefg", "abcdefg", 3},
        {"a paste in the middle keeps what fits", "abcd", "abXYZWcd", "abXYZcd", 5},
        {"a deletion passes", "abcdefg", "abcfg", "abcfg", 5},
    };
    for (const auto& c : cases) {
        long caret = -1;
        EXPECT_EQ(SjisTextCtrl::Fit(U(c.before), U(c.after), 7, &caret).utf8_string(), c.kept) << c.name;
        EXPECT_EQ(caret, c.caret) << c.name;
    }
}

}  // namespace
