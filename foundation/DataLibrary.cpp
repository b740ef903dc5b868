#include "foundation/DataLibrary.h"

#include <atomic>
#include <cstring>

#include "platform/core/Format.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

const DataLibrary kEmpty{};
std::atomic<const DataLibrary*> g_lib{&kEmpty};

template <typename T>
const T* At(std::span<const T> table, long long i)
{
    if (i < 0 || static_cast<unsigned long long>(i) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(i)];
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares two CP932 names, folding the case of ASCII letters only. Both
// strings must walk their double-byte characters in step, so a lead byte is
// only ever compared with a lead byte.
bool SameNameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        if (platform::IsSjisLead(ca) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

}  // namespace

const DataLibrary& Lib()
{
    return *g_lib.load(std::memory_order_acquire);
}

void SetLib(const DataLibrary* lib)
{
    g_lib.store(lib ? lib : &kEmpty, std::memory_order_release);
}

const char* TableText(std::span<const char* const> table, int i)
{
    if (i < 0 || static_cast<size_t>(i) >= table.size() || table[static_cast<size_t>(i)] == nullptr)
        return "";
    return table[static_cast<size_t>(i)];
}

std::string ErrorText(int code)
{
    const auto& table = Lib().ErrorMessage;
    if (code >= 0 && static_cast<size_t>(code) < table.size() &&
        table[static_cast<size_t>(code)] != nullptr) {
        return table[static_cast<size_t>(code)];
    }
    return platform::FormatText("Error %d", {code});
}

const ARMSSTRUCT* ArmsRecord(int type)
{
    return At(Lib().ArmsData, type);
}

const WEAPONSTRUCT* WeaponRecord(int type, int slot)
{
    if (slot < 0 || slot >= kWeaponSlots || type < 0) return nullptr;
    return At(Lib().WeaponData, static_cast<long long>(type) * kWeaponSlots + slot);
}

const TRRNSTRUCT* TerrainRecord(int terrain)
{
    return At(Lib().TerrainBase, terrain);
}

const TRRNSTRUCT* RoadRecord(int kind)
{
    return At(Lib().RoadBase, kind);
}

const NamePair* WaveFile(int effect)
{
    return At(Lib().WaveFileList, effect);
}

int FindScenarioByName(std::string_view name)
{
    const auto& table = Lib().ScenarioData;
    for (size_t i = 0; i < table.size(); ++i) {
        const char* field = table[i].szName;
        std::string_view own(field, strnlen(field, sizeof(table[i].szName)));
        if (SameNameIgnoringAsciiCase(own, name)) return static_cast<int>(i);
    }
    return -1;
}

int FindHistoryEvent(uint32_t dateTime)
{
    // Dates are compared whole and signed, so the hour byte takes part.
    const auto when = static_cast<int32_t>(dateTime);
    const auto& table = Lib().HistoryData;
    for (size_t i = 0; i < table.size(); ++i) {
        const auto recorded = static_cast<int32_t>(table[i].dwDateTime);
        if (recorded > when) break;
        if (recorded == when) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace zrv
