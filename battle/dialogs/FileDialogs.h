#pragma once
// What the battle program's file dialogs show, without a window system: the
// filter, the folder they open in and the name they propose, worked out from
// the file kind (its extension) and the path the document offers. The chosen
// native path comes back as a program path (CP932, '\').

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zrv {

struct FileDialogSetup {
    bool save = false;
    // Caption (UTF-8).
    std::string title;
    // (description, patterns) pairs in UTF-8, patterns separated by ';'.
    std::vector<std::pair<std::string, std::string>> filters;
    // The folder the dialog opens in (native, existing) and the proposed
    // file name in it (UTF-8, may be empty).
    std::string folder;
    std::string name;
};

// The dialog for a file kind: ".SC2" scenario choice, ".DG2" game load or
// save, ".DC2" campaign load or save, ".DM2" multi-play save. proposed is
// the CP932 path or bare name the document offers (empty: none).
FileDialogSetup DescribeFileDialog(std::string_view extension, std::string_view proposed, bool save);

// The dialog's filter in the form "description|patterns|description|...".
std::string JoinFilter(const FileDialogSetup& setup);

// The line the game save dialog shows above its controls: what saving will
// cost (MsgCommon entry 13 with the amount, "$" and thousands separators),
// CP932.
std::string SaveCostText(int cost);

// The information panel of an open dialog for the file under the selection
// (CP932 path; empty: none), CP932 text of up to three lines: a saved game's
// scenario, date, country to move, turn and file time; a campaign file's date,
// title and file time; a scenario's start date, name and file time. A file the
// reader refuses shows the reader's message instead, as does a path longer
// than the buffer the path comes in (kPreviewPathBuffer bytes with its
// terminating zero). campaignGame: the game
// running now is a campaign (scenarios not made for one are refused).
inline constexpr size_t kPreviewPathBuffer = 260;
std::string FilePreviewText(std::string_view extension, std::string_view path, bool campaignGame);
// Whether the open dialog of the kind has that panel.
bool HasFilePreview(std::string_view extension);

// The path the player chose (native, UTF-8) as the program keeps paths.
std::string ChosenProgramPath(const std::string& nativePath);

}  // namespace zrv
