#pragma once
// The files a player opened or saved last, newest first: four entries, kept
// in the settings store under "Recent File List" as "File1" to "File4". The
// program's paths are CP932; the store holds them as UTF-8.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace zrv {

inline constexpr int kRecentFileCount = 4;
inline constexpr const char* kRecentFileSection = "Recent File List";

class RecentFileList {
public:
    // Without a store the list lives only as long as the object.
    explicit RecentFileList(platform::SettingsStore* store, int capacity = kRecentFileCount);

    // Reads the entries from the store; empty and repeated ones are skipped.
    void Load();
    // path goes to the top (once); the oldest entry falls off a full list.
    void Add(std::string_view path);
    // False when path is not in the list.
    bool Remove(std::string_view path);

    const std::vector<std::string>& Entries() const { return m_entries; }
    // Entry index (0 the newest), or "" when there is none.
    std::string Entry(int index) const;
    // Called after every change (a menu that shows the list).
    void SetChangeHook(std::function<void()> hook) { m_onChange = std::move(hook); }

private:
    void Save();

    platform::SettingsStore* m_store;
    int m_capacity;
    std::vector<std::string> m_entries;
    std::function<void()> m_onChange;
};

}  // namespace zrv
