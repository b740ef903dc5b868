#pragma once
// The settings store of both programs in a file:
// $XDG_CONFIG_HOME/Quillbarrow/Velmorath.conf (~/.config when the variable is
// not set), one [section] per settings section. Writes replace the file
// whole through a temporary file, so a crash never leaves half a file.

#include <memory>
#include <string>

#include "platform/core/Settings.h"

class wxFileConfig;

namespace platform {

class FileSettingsStore : public SettingsStore {
public:
    // The store at path (a native path); the folder is made on the first flush.
    explicit FileSettingsStore(std::string path);
    ~FileSettingsStore() override;

    std::optional<long> ReadInt(std::string_view section, std::string_view key) const override;
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const override;
    void WriteInt(std::string_view section, std::string_view key, long value) override;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    bool Flush() override;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::unique_ptr<wxFileConfig> m_config;
};

// Where the programs keep their settings.
std::string DefaultSettingsPath();
// The programs' one store at DefaultSettingsPath(), made on first use.
SettingsStore& ProgramSettings();

}  // namespace platform
