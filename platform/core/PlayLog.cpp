#include "platform/core/PlayLog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/core/Text.h"

namespace platform {
namespace {

struct LogFile {
    std::FILE* file = nullptr;
    std::mutex lock;
    LogFile()
    {
        const char* path = std::getenv("VELMORATH_PLAY_LOG");
        if (path != nullptr && *path != '\0') file = std::fopen(path, "a");
    }
    ~LogFile()
    {
        if (file != nullptr) std::fclose(file);
    }
};

LogFile& Log()
{
    static LogFile log;
    return log;
}

}  // namespace

bool PlayLogEnabled()
{
    return Log().file != nullptr;
}

void PlayLog(std::string_view line)
{
    LogFile& log = Log();
    if (log.file == nullptr) return;
    std::lock_guard<std::mutex> hold(log.lock);
    std::fwrite(line.data(), 1, line.size(), log.file);
    std::fputc('\n', log.file);
    std::fflush(log.file);
}

void PlayLogSjis(std::string_view line)
{
    if (PlayLogEnabled()) PlayLog(SjisToUtf8(line));
}

}  // namespace platform
