#include "battle/dialogs/FileDialogs.h"

#include <sys/stat.h>

#include <cctype>
#include <ctime>
#include <memory>

#include "battle/engine/GameDoc.h"
#include "foundation/DataLibrary.h"
#include "foundation/FilePreview.h"
#include "foundation/GameFiles.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

namespace zrv {

namespace {

// Every kind opens in a folder below the program folder: scenarios where
// they are kept, everything the game writes in the data folder.
struct FileKind {
    const char* extension;
    // The filter in its stored form: description|pattern pairs, ended by "||".
    const char* filter;
    const char* folder;  // below the program folder, ending in '\'
};

constexpr FileKind kKinds[] = {
    {".SC2", "シナリオデータ (*.SC2)|*.SC2|全ファイル (*.*)|*.*||", "Scenario\\"},
    {".DG2", "ゲーム保存データ (*.DG2)|*.DG2|全ファイル (*.*)|*.*||", "Data\\"},
    {".DC2", "シナリオ間保存データ (*.DC2)|*.DC2|全ファイル (*.*)|*.*||", "Data\\"},
    {".DM2", "マルチプレイ保存データ(*.DM2)|*.DM2|全ファイル (*.*)|*.*||", "Data\\"},
};

const FileKind* FindKind(std::string_view extension)
{
    for (const FileKind& k : kKinds) {
        const std::string_view e = k.extension;
        if (e.size() != extension.size()) continue;
        bool same = true;
        for (size_t i = 0; i < e.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(extension[i])) == e[i];
        if (same) return &k;
    }
    return nullptr;
}

bool IsFolder(const std::string& native)
{
    struct stat st {};
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The library's title of the kind's dialog (MsgCommon: 0 game load,
// 4 campaign load, 3 scenario choice, 12 game save); the multi-play save
// and a kind without one keep a fixed title.
std::string DialogTitle(const FileKind* kind, bool save)
{
    if (kind == &kKinds[3]) return u8"マルチプレイ保存";
    int entry = -1;
    if (kind == &kKinds[1]) entry = save ? 12 : 0;
    if (kind == &kKinds[2] && !save) entry = 4;
    if (kind == &kKinds[0] && !save) entry = 3;
    const char* text = entry >= 0 ? TableText(Lib().MsgCommon, entry) : "";
    if (text != nullptr && *text != '\0') return platform::SjisToUtf8(text);
    return save ? u8"名前を付けて保存" : u8"開く";
}

}  // namespace

FileDialogSetup DescribeFileDialog(std::string_view extension, std::string_view proposed, bool save)
{
    FileDialogSetup s;
    s.save = save;
    const FileKind* kind = FindKind(extension);
    s.title = DialogTitle(kind, save);
    if (kind)
        s.filters = FileDialogFilter(kind->filter);
    else
        s.filters = FileDialogFilter("全ファイル (*.*)|*.*||");

    // A proposed path that names its folder opens there; a bare name opens in
    // the kind's folder.
    std::string path(proposed);
    const int namePos = FindFileNamePos(path);
    std::string folder;
    if (namePos > 0) {
        folder = platform::ToNativePath(std::string_view(path).substr(0, static_cast<size_t>(namePos)));
        path.erase(0, static_cast<size_t>(namePos));
    }
    if (!IsFolder(folder)) {
        folder = platform::ToNativePath(platform::ProgramFolder() + (kind ? kind->folder : ""));
        // A folder that is not there (yet): the program folder is.
        if (!IsFolder(folder)) folder = platform::ProgramFolderNative();
    }
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    s.folder = folder;
    s.name = platform::SjisToUtf8(path);
    return s;
}

std::string JoinFilter(const FileDialogSetup& setup)
{
    std::string out;
    for (const auto& [description, patterns] : setup.filters) {
        if (!out.empty()) out += '|';
        out += description;
        out += '|';
        out += patterns;
    }
    return out;
}

std::string SaveCostText(int cost)
{
    std::string amount;
    FormatAmount(amount, cost, true, false);
    // The library's text is a format with one string argument; without it,
    // or with a text that does not take exactly that, the amount alone still
    // tells the player the price.
    const char* format = TableText(Lib().MsgCommon, 13);
    if (!platform::FormatMatches(format, {platform::FormatArg::Kind::Str})) return amount;
    return platform::FormatText(format, {amount});
}

namespace {

std::string GamePreview(std::string_view path)
{
    auto block = std::make_unique<GAMEDATASTRUCT>();
    std::time_t modified = 0;
    if (const int r = ReadGameFile(path, *block, &modified); r != 0) return ErrorText(r);
    return GamePreviewText(*block, modified);
}

std::string CampaignPreview(std::string_view path)
{
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::time_t modified = 0;
    if (const int r = ReadCampaignFile(path, *record, &modified); r != 0) return ErrorText(r);
    return CampaignPreviewText(*record, modified);
}

std::string ScenarioPreview(std::string_view path, bool campaignGame)
{
    auto block = std::make_unique<GAMEDATASTRUCT>();
    std::time_t modified = 0;
    if (const int r = ReadScenarioFile(path, *block, &modified, campaignGame); r != 0) return ErrorText(r);
    return ScenarioPreviewText(*block, modified);
}

}  // namespace

std::string FilePreviewText(std::string_view extension, std::string_view path, bool campaignGame)
{
    // The path comes through a buffer of kPreviewPathBuffer bytes with its
    // terminating zero: a longer one previews as no file.
    if (path.size() + 1 > kPreviewPathBuffer) path = {};
    const FileKind* kind = FindKind(extension);
    if (kind == &kKinds[0]) return ScenarioPreview(path, campaignGame);
    if (kind == &kKinds[1]) return GamePreview(path);
    if (kind == &kKinds[2]) return CampaignPreview(path);
    return {};
}

bool HasFilePreview(std::string_view extension)
{
    const FileKind* kind = FindKind(extension);
    return kind == &kKinds[0] || kind == &kKinds[1] || kind == &kKinds[2];
}

std::string ChosenProgramPath(const std::string& nativePath)
{
    return platform::FromNativePath(nativePath);
}

}  // namespace zrv
