#include "battle/engine/MovieFiles.h"

#include "foundation/DataLibrary.h"
#include "foundation/GameRecords.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {

std::string HistoryMovieName(uint32_t packedDate)
{
    return platform::FormatText("Hs%02d%02d%02d.AVI",
                                {DateYear(packedDate), DateMonth(packedDate), DateDay(packedDate)});
}

int GetMovieFilePath(std::string& path, std::string_view name, bool fromDisc)
{
    if (!fromDisc) {
        path = platform::MoviePath(name);
        return 1;
    }
    std::string root = platform::FindDiscRootWithFile(kDiscMarkerFile);
    while (root.empty()) {
        const char* text = Lib().MsgNoExistCD ? Lib().MsgNoExistCD : "";
        if (Dialogs().MessageBox(text, kBoxRetryCancel | kBoxIconStop) != kAnswerRetry) return 0;
        root = platform::FindDiscRootWithFile(kDiscMarkerFile);
    }
    path = root + "MOVIE\\" + std::string(name);
    return 1;
}

int GetHistoryMoviePath(std::string& path, uint32_t packedDate, bool fromDisc)
{
    return GetMovieFilePath(path, HistoryMovieName(packedDate), fromDisc);
}

}  // namespace zrv
