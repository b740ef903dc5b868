#include "battle/engine/GameRecordLog.h"

#include <cstdio>

#include "battle/engine/GameDoc.h"
#include "foundation/Utility.h"
#include "platform/core/Paths.h"

namespace zrv {

std::string FileGameRecordSink::RecordPath() const
{
    std::string name(FieldText(m_game.szMB2File));
    if (name.empty()) return {};
    ReplaceFileExtension(name, ".TXT");
    return platform::DataPath(name);
}

bool FileGameRecordSink::AppendGameRecord(std::string_view textSjis)
{
    const std::string path = RecordPath();
    if (path.empty()) return false;
    // A record that cannot be opened is skipped without a word: the game goes
    // on, and the record is a convenience, not part of the state.
    std::FILE* f = std::fopen(platform::ToNativePath(path).c_str(), "ab");
    if (!f) return false;
    const bool ok = std::fwrite(textSjis.data(), 1, textSjis.size(), f) == textSjis.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace zrv
