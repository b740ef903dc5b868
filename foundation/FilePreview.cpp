#include "foundation/FilePreview.h"

#include <cctype>
#include <string_view>

#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Text.h"

namespace zrv {

namespace {

template <size_t N>
std::string_view Field(const char (&field)[N])
{
    size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string_view(field, n);
}

std::string DateText(uint32_t packed, bool withHour, bool withPrefix)
{
    std::string out;
    FormatDateText(packed, out, withHour, withPrefix);
    return out;
}

// Names on this file system keep their case, and the game's files are found
// whatever case they were copied with: each "*.EXT" also lists "*.ext". "*.*"
// meant every file where the filters were first written; here it would pass
// over names without a dot, so it becomes "*".
std::string WithLowerCase(const std::string& pattern)
{
    if (pattern == "*.*") return "*";
    std::string lower = pattern;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == pattern ? pattern : pattern + ";" + lower;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FileDialogFilter(std::string_view stored)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < stored.size()) {
        const size_t bar = stored.find('|', start);
        const size_t end = bar == std::string_view::npos ? stored.size() : bar;
        parts.emplace_back(stored.substr(start, end - start));
        start = end + 1;
    }
    while (!parts.empty() && parts.back().empty()) parts.pop_back();
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        pairs.emplace_back(platform::SjisToUtf8(parts[i]), WithLowerCase(parts[i + 1]));
    return pairs;
}

std::string FileTimeText(std::time_t modified)
{
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&modified, &local)) std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &local);
    return text;
}

std::string GamePreviewText(const GAMEDATASTRUCT& g, std::time_t modified)
{
    // The country to move comes from the file: a number outside the eight
    // records names nobody.
    const std::string_view country =
        g.nCurCountry >= 0 && g.nCurCountry < kCountryCount ? Field(g.Country[g.nCurCountry].szName) : std::string_view();
    // A campaign's first turn is the hand-over from the scenario before it;
    // its later turns count from there.
    std::string turn;
    if (g.nHistory != 0 && g.nTurn == 1)
        turn = platform::FormatText("(%s)", {TableText(Lib().MsgCommon, 15)});
    else
        turn = platform::FormatText("(TURN%d)", {g.nTurn - (g.nHistory != 0 ? 1 : 0)});
    return platform::FormatText("%s『%s』\n%s [%s]%s\n%s",
                                {TableText(Lib().MsgCommon, 2), Field(g.Head.szName), DateText(g.dwDateTime, true, false),
                                 country, turn, FileTimeText(modified)});
}

std::string CampaignPreviewText(const CAMPAIGNSTRUCT& record, std::time_t modified)
{
    return platform::FormatText("%s 「%-24s」\n\n%s",
                                {DateText(record.dwDate, true, true), Field(record.szTitle), FileTimeText(modified)});
}

std::string ScenarioPreviewText(const GAMEDATASTRUCT& scenario, std::time_t modified)
{
    return platform::FormatText("%s [%-24s]\n\n%s", {DateText(scenario.Head.dwStartDate, true, true),
                                                     Field(scenario.Head.szName), FileTimeText(modified)});
}

}  // namespace zrv
