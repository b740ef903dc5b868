#pragma once
// The settings store both programs share: named values in sections, read with
// a default and written back as a whole. The wx side keeps them in a file
// under the user's configuration folder; tests use the store in memory.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The value of key in section, or nothing when it is not there (or is
    // not a number, for ReadInt).
    virtual std::optional<long> ReadInt(std::string_view section, std::string_view key) const = 0;
    virtual std::optional<std::string> ReadString(std::string_view section, std::string_view key) const = 0;
    virtual void WriteInt(std::string_view section, std::string_view key, long value) = 0;
    virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Puts what was written where it lasts; false when that failed.
    virtual bool Flush() = 0;
};

class MemorySettingsStore : public SettingsStore {
public:
    std::optional<long> ReadInt(std::string_view section, std::string_view key) const override;
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const override;
    void WriteInt(std::string_view section, std::string_view key, long value) override;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    bool Flush() override { return true; }

    bool Has(std::string_view section, std::string_view key) const;

private:
    std::map<std::string, std::string, std::less<>> m_values;  // "section/key" -> text
};

}  // namespace platform
