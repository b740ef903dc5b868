#include "platform/wx/FileSettings.h"

#include <wx/fileconf.h>
#include <wx/wfstream.h>

#include <cstdlib>
#include <filesystem>

namespace platform {
namespace {

wxString Entry(std::string_view section, std::string_view key)
{
    return wxString::FromUTF8("/" + std::string(section) + "/" + std::string(key));
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string path) : m_path(std::move(path))
{
    // Read the file when there is one; wxFileConfig alone would also look
    // in a global file and expand environment variables in values.
    m_config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, wxString::FromUTF8(m_path),
                                              wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
    m_config->SetExpandEnvVars(false);
}

FileSettingsStore::~FileSettingsStore()
{
    Flush();
}

std::optional<long> FileSettingsStore::ReadInt(std::string_view section, std::string_view key) const
{
    wxString text;
    if (!m_config->Read(Entry(section, key), &text)) return std::nullopt;
    long v = 0;
    if (!text.ToLong(&v)) return std::nullopt;
    return v;
}

std::optional<std::string> FileSettingsStore::ReadString(std::string_view section, std::string_view key) const
{
    wxString text;
    if (!m_config->Read(Entry(section, key), &text)) return std::nullopt;
    return std::string(text.utf8_str());
}

void FileSettingsStore::WriteInt(std::string_view section, std::string_view key, long value)
{
    m_config->Write(Entry(section, key), value);
}

void FileSettingsStore::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    m_config->Write(Entry(section, key), wxString::FromUTF8(value.data(), value.size()));
}

bool FileSettingsStore::Flush()
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    // wxFileConfig writes a temporary file beside the target and renames it.
    return m_config->Flush();
}

std::string DefaultSettingsPath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.config";
    }
    return base + "/Quillbarrow/Velmorath.conf";
}

SettingsStore& ProgramSettings()
{
    static FileSettingsStore store(DefaultSettingsPath());
    return store;
}

}  // namespace platform
