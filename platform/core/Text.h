#pragma once
// Text at the edges of the program. Inside, every text is Shift-JIS (code page
// 932) bytes held in std::string; UTF-8 exists only where text leaves the
// program (windows, dialogs, file-system names).

#include <string>
#include <string_view>

namespace platform {

// True for a byte that starts a two-byte Shift-JIS character (0x81-0x9F,
// 0xE0-0xFC). The one lead-byte test for every caller that has no rule of its own.
constexpr bool IsSjisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// CP932 to UTF-8. A byte that is not valid CP932 (or a lead byte cut off at the
// end) becomes U+FFFD and conversion goes on with the next byte. *allValid, when
// given, tells whether nothing had to be replaced.
std::string SjisToUtf8(std::string_view sjis, bool* allValid = nullptr);

// UTF-8 to CP932. A character that CP932 cannot hold becomes '?' and a broken
// UTF-8 sequence becomes '?' per bad byte; the rest is kept. Look-alikes that
// other encoders produce (U+301C wave dash, U+2212 minus ...) map to the CP932
// characters the game uses.
std::string Utf8ToSjis(std::string_view utf8, bool* allValid = nullptr);

// Cuts CP932 text to at most maxBytes bytes without splitting a two-byte
// character: what a field limited to maxBytes keeps.
std::string CutSjisText(std::string_view text, size_t maxBytes);
// Number of characters in CP932 text (a two-byte character counts once).
int CountSjisChars(std::string_view text);

}  // namespace platform
