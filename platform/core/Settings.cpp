#include "platform/core/Settings.h"

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

std::string Key(std::string_view section, std::string_view key)
{
    std::string k(section);
    k += '/';
    k += key;
    return k;
}

}  // namespace

std::optional<long> MemorySettingsStore::ReadInt(std::string_view section, std::string_view key) const
{
    auto it = m_values.find(Key(section, key));
    if (it == m_values.end() || it->second.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(it->second.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0') return std::nullopt;
    return v;
}

std::optional<std::string> MemorySettingsStore::ReadString(std::string_view section,
                                                           std::string_view key) const
{
    auto it = m_values.find(Key(section, key));
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

void MemorySettingsStore::WriteInt(std::string_view section, std::string_view key, long value)
{
    m_values[Key(section, key)] = std::to_string(value);
}

void MemorySettingsStore::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    m_values[Key(section, key)] = std::string(value);
}

bool MemorySettingsStore::Has(std::string_view section, std::string_view key) const
{
    return m_values.find(Key(section, key)) != m_values.end();
}

}  // namespace platform
