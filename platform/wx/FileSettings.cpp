#include "platform/wx/FileSettings.h"

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/sstream.h>
#include <wx/wfstream.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/Text.h"
#include "platform/wx/StartupFailure.h"

namespace platform {
namespace {

wxString Entry(std::string_view section, std::string_view key)
{
    return wxString::FromUTF8("/" + std::string(section) + "/" + std::string(key));
}

// Takes the toolkit's messages for as long as it lives, so none opens a box
// of its own; they go to stderr and are counted.
class QuietLog : public wxLog {
public:
    QuietLog() : m_old(wxLog::SetActiveTarget(this)) {}
    ~QuietLog() override { wxLog::SetActiveTarget(m_old); }
    bool Failed() const { return m_failed; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Warning) m_failed = true;
        std::fprintf(stderr, "settings: %s\n", static_cast<const char*>(msg.utf8_str()));
    }

private:
    wxLog* m_old;
    bool m_failed = false;
};

// Only a plain file of UTF-8 text with no NUL in it can be ours; anything
// else the reader would take byte by byte in some other character set.
bool LooksLikeOurText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.find('\0') != std::string::npos) return false;
    return wxString::FromUTF8(bytes.data(), bytes.size()).length() != 0 || bytes.empty();
}

// The damaged file's new name: the path with a suffix no file has yet.
std::string SetAsideName(const std::string& path)
{
    std::string name = path + ".damaged";
    for (int n = 2; ::access(name.c_str(), F_OK) == 0 && n < 1000; ++n) name = path + ".damaged" + std::to_string(n);
    return name;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string path, Notice notice) : m_path(std::move(path))
{
    Load();
    if (m_setAside.empty() || !notice) return;
    notice(SettingsSetAsideText(m_setAside));
}

void FileSettingsStore::Load()
{
    struct stat st;
    const bool present = ::lstat(m_path.c_str(), &st) == 0;
    bool damaged = present && (!S_ISREG(st.st_mode) || !LooksLikeOurText(m_path));
    if (!damaged) {
        // Read the file when there is one; wxFileConfig alone would also look
        // in a global file and expand environment variables in values.
        QuietLog log;
        m_config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, wxString::FromUTF8(m_path),
                                                  wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
        damaged = log.Failed();
    }
    if (damaged) {
        // Kept for whoever wants to look at it; the game starts from its
        // defaults and writes a new file.
        const std::string aside = SetAsideName(m_path);
        if (std::rename(m_path.c_str(), aside.c_str()) == 0) {
            m_setAside = aside;
        } else {
            std::fprintf(stderr, "settings: cannot set %s aside: %s\n", m_path.c_str(), std::strerror(errno));
        }
        QuietLog log;
        if (!m_setAside.empty()) {
            m_config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, wxString::FromUTF8(m_path),
                                                      wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
        } else {
            // It stays where it is, untouched: this run keeps its settings in
            // memory only.
            wxStringInputStream nothing(wxEmptyString);
            m_config = std::make_unique<wxFileConfig>(nothing);
        }
    }
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
    QuietLog log;
    return m_config->Flush() && !log.Failed();
}

std::string SettingsSetAsideText(const std::string& setAsidePath)
{
    return "設定ファイルが壊れていたので、設定を初期値に戻して始めます。\n壊れたファイルは " +
           Utf8ToSjis(setAsidePath) + " として残しました。";
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
    static FileSettingsStore store(DefaultSettingsPath(), [](const std::string& text) {
        ReportStartupNotice(text);
    });
    return store;
}

}  // namespace platform
