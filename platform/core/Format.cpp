#include "platform/core/Format.h"

#include <cstdio>
#include <vector>

namespace platform {
namespace {

struct Spec {
    size_t begin = 0;  // position of '%'
    size_t end = 0;    // one past the conversion letter
    char conv = 0;     // d i u x X c s %
    std::string printfSpec;  // flags, width, precision and the letter
};

bool IsIntConv(char c)
{
    return c == 'd' || c == 'i' || c == 'u' || c == 'x' || c == 'X' || c == 'c';
}

// Splits a format into its conversions; false when one is malformed.
bool ParseSpecs(std::string_view f, std::vector<Spec>& specs)
{
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') continue;
        Spec s;
        s.begin = i;
        size_t j = i + 1;
        std::string spec = "%";
        while (j < f.size() && (f[j] == '-' || f[j] == '+' || f[j] == ' ' || f[j] == '0' || f[j] == '#')) {
            spec += f[j++];
        }
        size_t digits = 0;
        while (j < f.size() && f[j] >= '0' && f[j] <= '9') {
            spec += f[j++];
            if (++digits > 3) return false;
        }
        if (j < f.size() && f[j] == '.') {
            spec += f[j++];
            digits = 0;
            while (j < f.size() && f[j] >= '0' && f[j] <= '9') {
                spec += f[j++];
                if (++digits > 3) return false;
            }
        }
        while (j < f.size() && (f[j] == 'h' || f[j] == 'l')) ++j;  // sizes are ours to choose
        if (j >= f.size()) return false;
        char c = f[j];
        if (c != '%' && c != 's' && !IsIntConv(c)) return false;
        if (c == '%' && spec.size() != 1) return false;
        s.conv = c;
        s.end = j + 1;
        s.printfSpec = spec;
        specs.push_back(s);
        i = j;
    }
    return true;
}

void AppendInt(std::string& out, const Spec& s, long long v)
{
    std::string spec = s.printfSpec;
    char buf[128];
    if (s.conv == 'c') {
        spec += 'c';
        std::snprintf(buf, sizeof buf, spec.c_str(), static_cast<int>(static_cast<unsigned char>(v)));
    } else {
        spec += "ll";
        spec += s.conv;
        std::snprintf(buf, sizeof buf, spec.c_str(), v);
    }
    out += buf;
}

void AppendStr(std::string& out, const Spec& s, std::string_view v)
{
    // Width and precision are applied here so no length limit applies to v.
    std::string_view flags = s.printfSpec;
    flags.remove_prefix(1);
    bool left = flags.find('-') != std::string_view::npos;
    size_t width = 0, prec = std::string_view::npos;
    size_t k = 0;
    while (k < flags.size() && (flags[k] < '1' || flags[k] > '9') && flags[k] != '.') ++k;
    while (k < flags.size() && flags[k] >= '0' && flags[k] <= '9') width = width * 10 + (flags[k++] - '0');
    if (k < flags.size() && flags[k] == '.') {
        ++k;
        prec = 0;
        while (k < flags.size() && flags[k] >= '0' && flags[k] <= '9') prec = prec * 10 + (flags[k++] - '0');
    }
    if (prec < v.size()) v = v.substr(0, prec);
    size_t pad = width > v.size() ? width - v.size() : 0;
    if (!left) out.append(pad, ' ');
    out.append(v);
    if (left) out.append(pad, ' ');
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::vector<Spec> specs;
    if (!ParseSpecs(format, specs)) return std::string(format);

    // Check every conversion against its argument before writing anything.
    auto arg = args.begin();
    for (const Spec& s : specs) {
        if (s.conv == '%') continue;
        if (arg == args.end()) return std::string(format);
        bool wantsText = s.conv == 's';
        if (wantsText != (arg->GetKind() == FormatArg::Kind::Str)) return std::string(format);
        ++arg;
    }

    std::string out;
    out.reserve(format.size() + 32);
    size_t pos = 0;
    arg = args.begin();
    for (const Spec& s : specs) {
        out.append(format.substr(pos, s.begin - pos));
        pos = s.end;
        if (s.conv == '%') {
            out += '%';
        } else if (s.conv == 's') {
            AppendStr(out, s, arg->Str());
            ++arg;
        } else {
            AppendInt(out, s, arg->Int());
            ++arg;
        }
    }
    out.append(format.substr(pos));
    return out;
}

bool FormatMatches(std::string_view format, std::initializer_list<FormatArg::Kind> kinds)
{
    std::vector<Spec> specs;
    if (!ParseSpecs(format, specs)) return false;
    auto k = kinds.begin();
    for (const Spec& s : specs) {
        if (s.conv == '%') continue;
        if (k == kinds.end()) return false;
        bool wantsText = s.conv == 's';
        if (wantsText != (*k == FormatArg::Kind::Str)) return false;
        ++k;
    }
    return k == kinds.end();
}

}  // namespace platform
