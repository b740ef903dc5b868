#pragma once
// The information panel text of the open-file dialogs of both programs (CP932):
// what a saved game, a campaign file or a scenario holds, and when the file
// was last written. The callers read the file with the policy they need and
// hand the record in.

#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/GameRecords.h"

namespace zrv {

// A stored file filter ("description|pattern|...||", CP932) as (description,
// patterns) pairs in UTF-8 for the file dialogs of this system: names keep
// their case here, so each "*.EXT" also takes "*.ext", and "*.*" becomes "*"
// so that names without a dot are listed too.
std::vector<std::pair<std::string, std::string>> FileDialogFilter(std::string_view stored);

// "%Y/%m/%d %H:%M" of a file time, local time.
std::string FileTimeText(std::time_t modified);
// A saved game: scenario name, date and hour of play, country to move, turn and file time.
std::string GamePreviewText(const GAMEDATASTRUCT& game, std::time_t modified);
// A campaign file: start date, title and file time.
std::string CampaignPreviewText(const CAMPAIGNSTRUCT& record, std::time_t modified);
// A scenario: start date, name and file time (the header of the block).
std::string ScenarioPreviewText(const GAMEDATASTRUCT& scenario, std::time_t modified);

}  // namespace zrv
