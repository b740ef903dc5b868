#include "foundation/DataLibrary.h"

#include <atomic>

#include "platform/core/Format.h"

namespace zrv {
namespace {

const DataLibrary kEmpty{};
std::atomic<const DataLibrary*> g_lib{&kEmpty};

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
    if (i < 0 || static_cast<size_t>(i) >= table.size() || table[static_cast<size_t>(i)] == nullptr) return "";
    return table[static_cast<size_t>(i)];
}

std::string ErrorText(int code)
{
    const auto& table = Lib().ErrorMessage;
    if (code >= 0 && static_cast<size_t>(code) < table.size() && table[static_cast<size_t>(code)] != nullptr) {
        return table[static_cast<size_t>(code)];
    }
    return platform::FormatText("Error %d", {code});
}

}  // namespace zrv
