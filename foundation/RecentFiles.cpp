#include "foundation/RecentFiles.h"

#include <algorithm>

#include "platform/core/Format.h"
#include "platform/core/Settings.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

std::string KeyOf(int index)
{
    return platform::FormatText("File%d", {index + 1});
}

}  // namespace

RecentFileList::RecentFileList(platform::SettingsStore* store, int capacity)
    : m_store(store), m_capacity(std::max(1, capacity))
{
}

void RecentFileList::Load()
{
    m_entries.clear();
    if (!m_store) return;
    for (int i = 0; i < m_capacity; ++i) {
        const auto text = m_store->ReadString(kRecentFileSection, KeyOf(i));
        if (!text || text->empty()) continue;
        std::string path = platform::Utf8ToSjis(*text);
        if (path.empty() || std::find(m_entries.begin(), m_entries.end(), path) != m_entries.end()) continue;
        m_entries.push_back(std::move(path));
    }
}

void RecentFileList::Add(std::string_view path)
{
    if (path.empty()) return;
    auto same = std::find(m_entries.begin(), m_entries.end(), path);
    if (same != m_entries.end()) m_entries.erase(same);
    m_entries.insert(m_entries.begin(), std::string(path));
    if (static_cast<int>(m_entries.size()) > m_capacity) m_entries.resize(static_cast<size_t>(m_capacity));
    Save();
}

bool RecentFileList::Remove(std::string_view path)
{
    auto it = std::find(m_entries.begin(), m_entries.end(), path);
    if (it == m_entries.end()) return false;
    m_entries.erase(it);
    Save();
    return true;
}

std::string RecentFileList::Entry(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return {};
    return m_entries[static_cast<size_t>(index)];
}

void RecentFileList::Save()
{
    if (m_store) {
        // Every slot is written, so an entry that left the list leaves the store.
        for (int i = 0; i < m_capacity; ++i) {
            const std::string path = Entry(i);
            m_store->WriteString(kRecentFileSection, KeyOf(i),
                                 path.empty() ? std::string() : platform::SjisToUtf8(path));
        }
        (void)m_store->Flush();
    }
    if (m_onChange) m_onChange();
}

}  // namespace zrv
