#pragma once
// The settings store of both programs in a file:
// $XDG_CONFIG_HOME/Quillbarrow/Velmorath.conf (~/.config when the variable is
// not set), one [section] per settings section. Writes replace the file
// whole through a temporary file, so a crash never leaves half a file.

#include <functional>
#include <memory>
#include <string>

#include "platform/core/Settings.h"

class wxFileConfig;

namespace platform {

class FileSettingsStore : public SettingsStore {
public:
    // Told, once, that a damaged file was set aside (text in CP932).
    using Notice = std::function<void(const std::string& textSjis)>;

    // The store at path (a native path); the folder is made on the first flush.
    // A file that cannot be read as ours (not a plain file, not UTF-8 text,
    // lines the reader refuses) is renamed aside with a suffix and the store
    // starts empty, i.e. with every default; notice then says so.
    explicit FileSettingsStore(std::string path, Notice notice = {});
    ~FileSettingsStore() override;

    std::optional<long> ReadInt(std::string_view section, std::string_view key) const override;
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const override;
    void WriteInt(std::string_view section, std::string_view key, long value) override;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    bool Flush() override;

    const std::string& Path() const { return m_path; }
    // Where a damaged file was put aside ("" when none was).
    const std::string& SetAsidePath() const { return m_setAside; }

private:
    void Load();

    std::string m_path;
    std::string m_setAside;
    std::unique_ptr<wxFileConfig> m_config;
};

// What a player is told when a damaged settings file was set aside (CP932).
std::string SettingsSetAsideText(const std::string& setAsidePath);

// Where the programs keep their settings.
std::string DefaultSettingsPath();
// The programs' one store at DefaultSettingsPath(), made on first use.
SettingsStore& ProgramSettings();

}  // namespace platform
