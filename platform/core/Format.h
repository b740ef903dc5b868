#pragma once
// The one safe formatter for texts that come from tables and files. A table
// text is never handed to printf as a format: its conversions are parsed here
// and checked against the arguments actually passed.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

class FormatArg {
public:
    enum class Kind { Int, Str };

    FormatArg(int v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(long v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(long long v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(unsigned v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(unsigned long v) : m_kind(Kind::Int), m_int(static_cast<long long>(v)) {}
    FormatArg(short v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(unsigned short v) : m_kind(Kind::Int), m_int(v) {}
    FormatArg(char v) : m_kind(Kind::Int), m_int(static_cast<unsigned char>(v)) {}
    FormatArg(const char* s) : m_kind(Kind::Str), m_str(s ? s : "") {}
    FormatArg(const std::string& s) : m_kind(Kind::Str), m_str(s) {}
    FormatArg(std::string_view s) : m_kind(Kind::Str), m_str(s) {}

    Kind GetKind() const { return m_kind; }
    long long Int() const { return m_int; }
    std::string_view Str() const { return m_str; }

private:
    Kind m_kind;
    long long m_int = 0;
    std::string_view m_str;
};

// Formats text with %d %i %u %x %X %c %s %% (flags "-+ 0#", a width and a
// precision, length letters h/l ignored). Surplus arguments are ignored, as
// printf does. When a conversion is malformed, uses '*', or does not match its
// argument (missing, or a number where a text is expected and the reverse),
// the text is returned as it stands, without any conversion done.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args);

// True when format's conversions fit the argument kinds exactly in number and
// order (no surplus); used to check table texts against what their callers pass.
bool FormatMatches(std::string_view format, std::initializer_list<FormatArg::Kind> kinds);

}  // namespace platform
