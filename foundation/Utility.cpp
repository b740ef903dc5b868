#include "foundation/Utility.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "foundation/DataLibrary.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

// Position of the last '\' that is a separator, or npos. Scans forward by whole
// characters, so the second byte of 表 or ソ (0x5C) is never taken for one.
size_t LastSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    size_t i = 0;
    while (i < path.size()) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (platform::IsSjisLead(c) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (c == '\\') last = i;
        ++i;
    }
    return last;
}

// Appends the MsgCommon word i, or nothing when the library has none.
void AppendWord(std::string& out, int i)
{
    out += TableText(Lib().MsgCommon, i);
}

}  // namespace

int ParseNumberList(const char* text, int* out, int capacity)
{
    if (text == nullptr) return 0;
    int count = 0;
    bool inNumber = false;
    bool negative = false;
    long long value = 0;
    auto store = [&]() {
        long long v = negative ? -value : value;
        if (v > INT_MAX) v = INT_MAX;
        if (v < INT_MIN) v = INT_MIN;
        if (out != nullptr && count < capacity) out[count] = static_cast<int>(v);
        ++count;
        inNumber = false;
        negative = false;
        value = 0;
    };
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        unsigned char c = *p;
        if (c >= '0' && c <= '9') {
            inNumber = true;
            // Saturate well above INT_MAX instead of overflowing.
            if (value <= (LLONG_MAX - 9) / 10 && value < (1LL << 40)) value = value * 10 + (c - '0');
            continue;
        }
        if (inNumber) {
            store();  // the separating byte is not looked at further
            continue;
        }
        if (c == '-') {
            inNumber = true;
            negative = true;
            value = 0;
        }
    }
    if (inNumber) store();
    return count;
}

int JoinNumberList(int count, const int* values, std::string& out)
{
    out.clear();
    for (int i = 0; i < count; ++i) {
        if (i > 0) out += ' ';
        out += std::to_string(values[i]);
    }
    return static_cast<int>(out.size());
}

int GetSjisCharLength(const char* p)
{
    return platform::IsSjisLead(static_cast<unsigned char>(*p)) ? 2 : 1;
}

const char* CopyTextLine(const char* src, std::string& dst)
{
    dst.clear();
    if (src == nullptr || *src == '\0') return nullptr;
    const char* nl = std::strchr(src, '\n');
    if (nl == nullptr) {
        dst.assign(src);
        return nullptr;
    }
    dst.assign(src, static_cast<size_t>(nl - src));
    return nl + 1;
}

int CountTextLines(const char* text)
{
    if (text == nullptr || *text == '\0') return 0;
    int n = 1;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') ++n;
    }
    return n;
}

void FormatFullWidthNumber(int value, std::string& out)
{
    out.clear();
    const char* zero = TableText(Lib().MsgCommon, 10);
    long long v = value;
    if (v < 0) {
        out += "\x81\x7C";  // full-width minus
        v = -v;
    }
    std::string digits = std::to_string(v);
    for (char d : digits) {
        if (std::strlen(zero) >= 2) {
            out += zero[0];
            out += static_cast<char>(static_cast<unsigned char>(zero[1]) + (d - '0'));
        } else {
            out += d;  // no full-width zero in the library: keep the digit readable
        }
    }
}

void FormatDateText(uint32_t packed, std::string& out, bool withHour, bool withPrefix)
{
    int hour = static_cast<int>((packed >> 24) & 0xFF);
    int year = static_cast<int>((packed >> 16) & 0xFF);
    int month = static_cast<int>((packed >> 8) & 0xFF);
    int day = static_cast<int>(packed & 0xFF);
    std::string number;

    out.clear();
    if (withPrefix) AppendWord(out, 5);
    FormatFullWidthNumber(year, number);
    out += number;
    AppendWord(out, 6);

    if (month < 10) AppendWord(out, 11);
    FormatFullWidthNumber(month, number);
    out += number;
    AppendWord(out, 7);

    if (day < 10) AppendWord(out, 11);
    FormatFullWidthNumber(day, number);
    out += number;
    AppendWord(out, 8);

    if (withHour) {
        if (hour < 10) AppendWord(out, 11);
        FormatFullWidthNumber(hour, number);
        out += number;
        AppendWord(out, 9);
    }
}

void FormatAmount(std::string& out, int value, bool dollar, bool wide)
{
    char buf[64];
    if (value < 1000) {
        std::snprintf(buf, sizeof buf, wide ? "%9d" : "%6d", value);
    } else if (value < 1000000) {
        std::snprintf(buf, sizeof buf, wide ? "%5d,%03d" : "%2d,%03d", value / 1000, value % 1000);
    } else {
        std::snprintf(buf, sizeof buf, "%d,%03d,%03d", value / 1000000, (value % 1000000) / 1000, value % 1000);
    }
    out = dollar ? std::string("$") + buf : std::string(buf);
}

void FormatAmountToBuffer(char* out, size_t size, int value, bool dollar, bool wide)
{
    if (out == nullptr || size == 0) return;
    std::string text;
    FormatAmount(text, value, dollar, wide);
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

int FindInIntList(const int* list, int value)
{
    if (list == nullptr || value < 0) return -1;
    for (int i = 0; list[i] >= 0; ++i) {
        if (list[i] == value) return i;
    }
    return -1;
}

void MergeIntList(int* dest, const int* src)
{
    int n = 0;
    while (dest[n] >= 0) ++n;
    for (int i = 0; src[i] >= 0; ++i) {
        if (FindInIntList(dest, src[i]) < 0) {
            dest[n++] = src[i];
            dest[n] = -1;
        }
    }
    dest[n] = -1;
}

void AppendIntList(int* dest, const int* src)
{
    if (src[0] < 0) return;
    int n = 0;
    while (dest[n] >= 0) ++n;
    for (int i = 0; src[i] >= 0; ++i) dest[n++] = src[i];
    dest[n] = -1;
}

int IntersectIntList(int* out, const int* a, const int* b)
{
    int n = 0;
    for (int i = 0; a[i] >= 0; ++i) {
        if (FindInIntList(b, a[i]) >= 0) out[n++] = a[i];
    }
    out[n] = -1;
    return n;
}

void ClearWordLowHalves(uint32_t* words, int count)
{
    for (int i = 0; i < count; ++i) words[i] &= 0xFFFF0000u;
}

// The keys are compared, not subtracted: a difference of two keys of opposite
// sign overflows.
int ComparePairKeyAscending(const void* a, const void* b)
{
    int32_t ka, kb;
    std::memcpy(&ka, static_cast<const char*>(a) + 4, 4);
    std::memcpy(&kb, static_cast<const char*>(b) + 4, 4);
    return (ka > kb) - (ka < kb);
}

int ComparePairKeyDescending(const void* a, const void* b)
{
    return ComparePairKeyAscending(b, a);
}

int GetLowestBitIndex(int value)
{
    uint32_t v = static_cast<uint32_t>(value);
    if (v == 0) return -1;
    return __builtin_ctz(v);
}

int CountBits(int value)
{
    return __builtin_popcount(static_cast<uint32_t>(value));
}

bool IsValidFileName(const char* name)
{
    if (name == nullptr) return true;
    static const char kForbidden[] = "\\/:;,.*?\"<>|";
    size_t len = std::strlen(name);
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if ((c >= 0x80 && c <= 0x9F) || c >= 0xE0) {
            ++i;  // the second byte of the character, whatever it is
            continue;
        }
        if (std::strchr(kForbidden, c) != nullptr) return false;
    }
    return true;
}

bool FileExists(const std::string& path)
{
    return platform::FileExistsSjis(path);
}

void ReplaceFileExtension(std::string& path, const char* ext)
{
    // Only a '.' in the last element counts: "a.b\MAP" has no extension.
    size_t sep = LastSeparator(path);
    size_t from = sep == std::string::npos ? 0 : sep + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= from) path.erase(dot);
    path += ext;
}

int FindFileNamePos(const std::string& path)
{
    if (path.empty()) return 0;
    size_t sep = LastSeparator(path);
    if (sep == std::string::npos || sep == 0) return -1;
    return static_cast<int>(sep + 1);
}

void ReplaceFileName(std::string& path, const char* name)
{
    size_t sep = LastSeparator(path);
    if (sep == std::string::npos) {
        path = name;
    } else {
        path.erase(sep + 1);
        path += name;
    }
}

void StripDirectory(std::string& path)
{
    size_t sep = LastSeparator(path);
    if (sep != std::string::npos) path.erase(0, sep + 1);
}

void GetDirectoryPart(std::string& path)
{
    size_t sep = LastSeparator(path);
    if (sep == std::string::npos) {
        path.clear();
    } else {
        path.erase(sep + 1);
    }
}

std::string FindCDROMDriveWithFile(const char* relPath)
{
    return platform::FindDiscRootWithFile(relPath ? relPath : "");
}

}  // namespace zrv
