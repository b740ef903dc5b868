#include "platform/core/Text.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace platform {
namespace {

// One conversion direction, opened once per thread and reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one unit; returns bytes consumed, or 0 when the input is not
    // convertible (bad or incomplete sequence).
    size_t One(const char* in, size_t inLen, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* inP = const_cast<char*>(in);
        size_t inLeft = inLen;
        char* outP = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(m_cd, &inP, &inLeft, &outP, &outLeft);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) return 0;
        if (outP == buf) return 0;
        out.append(buf, static_cast<size_t>(outP - buf));
        return inLen - inLeft;
    }

    // Converts as much of the input as possible in one call; returns bytes
    // consumed (stops before the first bad sequence).
    size_t Run(const char* in, size_t inLen, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inP = const_cast<char*>(in);
        size_t inLeft = inLen;
        char buf[1024];
        while (inLeft > 0) {
            char* outP = buf;
            size_t outLeft = sizeof buf;
            size_t r = iconv(m_cd, &inP, &inLeft, &outP, &outLeft);
            out.append(buf, static_cast<size_t>(outP - buf));
            if (r != static_cast<size_t>(-1)) break;
            if (errno != E2BIG) break;
        }
        return inLen - inLeft;
    }

private:
    iconv_t m_cd;
};

Converter& SjisToUtf8Conv()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& Utf8ToSjisConv()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// Length of the UTF-8 sequence that starts with c (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char c)
{
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 1;
}

// Decodes one well-formed UTF-8 character; returns its length or 0.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp)
{
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = Utf8SequenceLength(c);
    if (n == 1) {
        if (c >= 0x80) return 0;
        cp = c;
        return 1;
    }
    if (i + n > s.size()) return 0;
    char32_t v = c & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        v = (v << 6) | (t & 0x3F);
    }
    cp = v;
    return n;
}

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Characters that other Japanese encoders write where CP932 has a sibling.
char32_t Cp932Sibling(char32_t cp)
{
    switch (cp) {
    case 0x301C: return 0xFF5E;  // wave dash -> full-width tilde
    case 0x2016: return 0x2225;  // double vertical line -> parallel to
    case 0x2212: return 0xFF0D;  // minus sign -> full-width hyphen-minus
    case 0x00A2: return 0xFFE0;  // cent
    case 0x00A3: return 0xFFE1;  // pound
    case 0x00AC: return 0xFFE2;  // not sign
    case 0x2014: return 0x2015;  // em dash -> horizontal bar
    case 0x00A5: return 0x005C;  // yen sign -> the CP932 yen/backslash byte
    case 0x203E: return 0x007E;  // overline -> the CP932 overline/tilde byte
    default: return 0;
    }
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis, bool* allValid)
{
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    bool valid = true;
    Converter& conv = SjisToUtf8Conv();
    size_t i = 0;
    while (i < sjis.size()) {
        size_t used = conv.Ok() ? conv.Run(sjis.data() + i, sjis.size() - i, out) : 0;
        i += used;
        if (i >= sjis.size()) break;
        // A bad byte, or a lead byte with nothing valid after it: mark it and
        // go on with the next byte so the rest of the text survives.
        out += "\xEF\xBF\xBD";
        valid = false;
        ++i;
    }
    if (allValid) *allValid = valid;
    return out;
}

std::string Utf8ToSjis(std::string_view utf8, bool* allValid)
{
    std::string out;
    out.reserve(utf8.size());
    bool valid = true;
    Converter& conv = Utf8ToSjisConv();
    size_t i = 0;
    while (i < utf8.size()) {
        size_t used = conv.Ok() ? conv.Run(utf8.data() + i, utf8.size() - i, out) : 0;
        i += used;
        if (i >= utf8.size()) break;
        char32_t cp = 0;
        size_t n = DecodeUtf8(utf8, i, cp);
        if (n == 0) {
            out += '?';
            valid = false;
            ++i;
            continue;
        }
        char32_t sibling = Cp932Sibling(cp);
        if (sibling != 0) {
            std::string tmp;
            AppendUtf8(sibling, tmp);
            if (conv.One(tmp.data(), tmp.size(), out) == tmp.size()) {
                i += n;
                continue;
            }
        }
        out += '?';
        valid = false;
        i += n;
    }
    if (allValid) *allValid = valid;
    return out;
}

std::string CutSjisText(std::string_view text, size_t maxBytes)
{
    size_t n = 0;
    while (n < text.size()) {
        size_t len = IsSjisLead(static_cast<unsigned char>(text[n])) ? 2 : 1;
        if (n + len > maxBytes || n + len > text.size()) break;
        n += len;
    }
    return std::string(text.substr(0, n));
}

int CountSjisChars(std::string_view text)
{
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++chars) {
        i += IsSjisLead(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return chars;
}

}  // namespace platform
