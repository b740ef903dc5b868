// The document's menu commands as a table: for each id, when it is enabled,
// when it shows a check mark, and what it does. The wx side binds the menus
// to it; tests run the ids directly.

#include <algorithm>
#include <cstring>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

// Per-country options toggled by the menu (COUNTRYSTRUCT::dwFlag).
constexpr uint32_t kCountryErrorMessages = 0x04000000u;
constexpr uint32_t kCountrySpecArmsFull = 0x02000000u;
constexpr uint32_t kCountryEvolutionOwn = 0x01000000u;
constexpr uint32_t kCountryAAFireChoice = 0x00800000u;
constexpr uint32_t kCountryNoNextUnitPointer = 0x00400000u;

// Passwords: 3 characters at least; the record holds 7 bytes and a zero.
constexpr int kPasswordMinChars = 3;
constexpr size_t kPasswordMaxBytes = sizeof(COUNTRYSTRUCT::szPassword) - 1;

// Effect played when a country surrenders.
constexpr int kSeSurrender = 46;
// Return code of the hand-over: back to the title.
constexpr int kReturnToTitle = 6;

// Turn states from which the game may still go back to the title.
constexpr int kLastStateForTitle = 9;

// Forecast texts (the library's MsgWeatherNext).
constexpr int kForecastSame = 0;
constexpr int kForecastHigher = 1;
constexpr int kForecastLower = 2;
constexpr int kForecastSandstorm = 3;
constexpr int kWeatherSandstorm = 6;

}  // namespace

struct CZRKGameDoc::CommandEntry {
    int id;
    bool (*enabled)(const CZRKGameDoc&);
    bool (*checked)(const CZRKGameDoc&, uint32_t arg);  // null: no check mark
    bool radio;
    void (*action)(CZRKGameDoc&, uint32_t arg);
    uint32_t arg;  // the bit, level or mode the row is about
};

std::span<const CZRKGameDoc::CommandEntry> CZRKGameDoc::CommandTable()
{
    using D = CZRKGameDoc;
    // When a command is enabled.
    static constexpr auto always = [](const D&) { return true; };
    static constexpr auto hasCur = [](const D& d) { return d.m_pCurCountry != nullptr; };
    static constexpr auto humanCur = [](const D& d) { return d.IsHumanCur(); };
    static constexpr auto phaseCommands = [](const D& d) { return d.m_pView->GetViewState().phaseCommands; };
    static constexpr auto searchEnabled = [](const D& d) {
        ViewState v = d.m_pView->GetViewState();
        return d.IsHumanCur() && !v.busy && !(d.m_dwGameOption & kOptFullAutoRunning) && v.phaseCommands;
    };
    static constexpr auto humanCampaign = [](const D& d) {
        return d.IsHumanCur() && (d.m_dwGameOption & kOptionCampaign) != 0;
    };
    static constexpr auto multiPlay = [](const D& d) { return (d.m_dwGameOption & kOptMultiPlay) != 0; };
    static constexpr auto multiPlayCur = [](const D& d) {
        return multiPlay(d) && d.m_pCurCountry != nullptr;
    };
    static constexpr auto specArmsEnabled = [](const D& d) {
        return d.m_pCurCountry && !d.m_pView->GetViewState().childWindowOpen;
    };
    static constexpr auto surrenderEnabled = [](const D& d) {
        return d.IsHumanCur() && d.m_GameData.nFlowState == PHASE_HUMAN;
    };
    static constexpr auto titleEnabled = [](const D& d) {
        return d.m_GameData.nFlowState <= kLastStateForTitle && !d.m_pView->GetViewState().busy;
    };

    // When it shows a mark.
    static constexpr auto stateBit = [](const D& d, uint32_t bit) {
        return (d.m_GameData.dwStateFlag & bit) != 0;
    };
    static constexpr auto optionBit = [](const D& d, uint32_t bit) { return (d.m_dwGameOption & bit) != 0; };
    static constexpr auto countryBit = [](const D& d, uint32_t bit) {
        return d.m_pCurCountry && (d.m_pCurCountry->dwFlag & bit) != 0;
    };
    // For the options whose mark shows the bit cleared.
    static constexpr auto countryBitClear = [](const D& d, uint32_t bit) {
        return d.m_pCurCountry && (d.m_pCurCountry->dwFlag & bit) == 0;
    };
    static constexpr auto searchLevel = [](const D& d, uint32_t level) {
        return d.m_pCurCountry && (d.m_dwGameOption & kOptSearchLevelMask) == level;
    };
    static constexpr auto counterMode = [](const D& d, uint32_t mode) {
        return d.m_pCurCountry && (d.m_pCurCountry->dwFlag & kCountryCounterModeMask) == mode;
    };

    // What it does.
    static constexpr auto toggleWeather = [](D& d, uint32_t bit) { d.ToggleWeatherFlag(bit, true); };
    static constexpr auto toggleDayNight = [](D& d, uint32_t bit) { d.ToggleWeatherFlag(bit, false); };
    static constexpr auto setSearch = [](D& d, uint32_t level) { d.SetSearchLevel(level); };
    static constexpr auto toggleCountry = [](D& d, uint32_t bit) { d.ToggleCountryFlag(bit); };
    static constexpr auto toggleCountryUnlessMulti = [](D& d, uint32_t bit) {
        if (!d.RefuseInMultiPlay()) d.ToggleCountryFlag(bit);
    };
    static constexpr auto setCounter = [](D& d, uint32_t mode) { d.SetCounterMode(static_cast<int>(mode)); };
    static constexpr auto toggleOption = [](D& d, uint32_t bit) { d.m_dwGameOption ^= bit; };
    static constexpr auto reserveUnits = [](D& d, uint32_t) { d.ToggleReserveUnits(); };
    static constexpr auto countryControl = [](D& d, uint32_t) { d.RunCountryControl(); };
    static constexpr auto surrender = [](D& d, uint32_t) { d.RunSurrender(); };
    static constexpr auto returnToTitle = [](D& d, uint32_t) { d.RunReturnToTitle(); };
    static constexpr auto changePassword = [](D& d, uint32_t) { d.RunChangePassword(); };
    static constexpr auto bigVictoryTurns = [](D& d, uint32_t) { d.ShowBigVictoryTurns(); };
    static constexpr auto weatherForecast = [](D& d, uint32_t) { d.ShowWeatherForecast(); };
    static constexpr auto saveGame = [](D& d, uint32_t) { d.RunSaveCommand(); };
    static constexpr auto newScenario = [](D& d, uint32_t) { d.RunNewScenarioCommand(); };
    static constexpr auto loadGame = [](D& d, uint32_t) { d.RunLoadCommand(); };
    static constexpr auto campaignResume = [](D& d, uint32_t) { d.RunCampaignResumeCommand(); };
    static constexpr auto loadEnabled = [](const D& d) { return !(d.m_dwGameOption & kOptFullAutoRunning); };
    // Saving: a current country outside multi-play, not while the computer
    // plays it unless the computer turn allows it (flag bit 11).
    static constexpr auto saveEnabled = [](const D& d) {
        if (!d.m_pCurCountry || (d.m_dwGameOption & kOptMultiPlay)) return false;
        return !(d.m_pCurCountry->dwFlag & kCountryCpu) || (d.m_dwCpuFlags & 0x00000800u) != 0;
    };

    // clang-format off
    static const CommandEntry kCommands[] = {
        // id                       enabled           checked          radio  action                    arg
        {ID_GAME_WEATHER,           phaseCommands,    stateBit,        false, toggleWeather,            kStateWeather},
        {ID_GAME_DAYNIGHT,          phaseCommands,    stateBit,        false, toggleDayNight,           kStateDayNight},
        {ID_SEARCH_EASY,            searchEnabled,    searchLevel,     true,  setSearch,                kSearchLevelEasy},
        {ID_SEARCH_NORMAL,          searchEnabled,    searchLevel,     true,  setSearch,                kSearchLevelNormal},
        {ID_SEARCH_HARD,            searchEnabled,    searchLevel,     true,  setSearch,                kSearchLevelHard},
        {ID_OPT_CONFIRM_WINDOW,     hasCur,           countryBit,      false, toggleCountry,            kCountryConfirmWindow},
        {ID_OPT_ERROR_MESSAGES,     hasCur,           countryBit,      false, toggleCountry,            kCountryErrorMessages},
        {ID_OPT_SPEC_ARMS_FULL,     specArmsEnabled,  countryBit,      false, toggleCountry,            kCountrySpecArmsFull},
        {ID_OPT_EVOLUTION_OWN,      hasCur,           countryBit,      false, toggleCountry,            kCountryEvolutionOwn},
        {ID_OPT_AA_FIRE_CHOICE,     hasCur,           countryBit,      false, toggleCountryUnlessMulti, kCountryAAFireChoice},
        {ID_OPT_NEXT_UNIT_POINTER,  hasCur,           countryBitClear, false, toggleCountry,            kCountryNoNextUnitPointer},
        {ID_COUNTER_AUTO,           humanCur,         counterMode,     true,  setCounter,               0},
        {ID_COUNTER_STRENGTH,       humanCur,         counterMode,     true,  setCounter,               1},
        {ID_COUNTER_PRIORITY,       humanCur,         counterMode,     true,  setCounter,               2},
        {ID_COUNTER_MANUAL,         humanCur,         counterMode,     true,  setCounter,               3},
        {ID_COUNTER_NONE,           humanCur,         counterMode,     true,  setCounter,               4},
        {ID_SHOW_RESERVE_UNITS,     humanCampaign,    countryBitClear, false, reserveUnits,             kCountryHideReserve},
        {ID_COUNTRY_CONTROL,        hasCur,           nullptr,         false, countryControl,           0},
        {ID_SURRENDER,              surrenderEnabled, nullptr,         false, surrender,                0},
        {ID_RETURN_TO_TITLE,        titleEnabled,     nullptr,         false, returnToTitle,            0},
        {ID_NO_RETURN_TO_TITLE,     multiPlay,        optionBit,       false, toggleOption,             kOptNoReturnToTitle},
        {ID_CHANGE_PASSWORD,        multiPlayCur,     nullptr,         false, changePassword,           0},
        {ID_HISTORY_EVENTS,         always,           optionBit,       false, toggleOption,             kOptHistoryEvents},
        {ID_BIG_VICTORY_TURNS,      humanCampaign,    nullptr,         false, bigVictoryTurns,          0},
        {ID_WEATHER_FORECAST,       humanCur,         nullptr,         false, weatherForecast,          0},
        {ID_FILE_SAVE,              saveEnabled,      nullptr,         false, saveGame,                 0},
        {ID_FILE_NEW_SCENARIO,      always,           nullptr,         false, newScenario,              0},
        {ID_FILE_OPEN,              loadEnabled,      nullptr,         false, loadGame,                 0},
        {ID_CAMPAIGN_RESUME,        always,           nullptr,         false, campaignResume,           0},
    };
    // clang-format on
    return kCommands;
}

const CZRKGameDoc::CommandEntry* CZRKGameDoc::FindCommand(int id)
{
    for (const CommandEntry& e : CommandTable()) {
        if (e.id == id) return &e;
    }
    return nullptr;
}

std::span<const int> CZRKGameDoc::CommandIds()
{
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const CommandEntry& e : CommandTable()) v.push_back(e.id);
        return v;
    }();
    return ids;
}

bool CZRKGameDoc::HasCommand(int id)
{
    return FindCommand(id) != nullptr;
}

CommandState CZRKGameDoc::GetCommandState(int id) const
{
    const CommandEntry* e = FindCommand(id);
    if (!e) return {};
    return {e->enabled(*this), e->checked && e->checked(*this, e->arg), e->radio};
}

// Whether running the command counts as a change of the game. The file
// commands keep the flag themselves (a save or a load clears it, a start sets
// it); the two announcements and the hand-back to the menu change nothing.
static bool ChangesGameState(int id)
{
    switch (id) {
        case ID_FILE_NEW_SCENARIO:
        case ID_FILE_OPEN:
        case ID_FILE_SAVE:
        case ID_CAMPAIGN_RESUME:
        case ID_BIG_VICTORY_TURNS:
        case ID_WEATHER_FORECAST:
        case ID_RETURN_TO_TITLE:
            return false;
        default:
            return true;
    }
}

bool CZRKGameDoc::RunCommand(int id)
{
    const CommandEntry* e = FindCommand(id);
    if (!e || !e->enabled(*this)) return false;
    e->action(*this, e->arg);
    if (ChangesGameState(id)) SetModifiedFlag();
    return true;
}

// --- actions --------------------------------------------------------------------

void CZRKGameDoc::ToggleWeatherFlag(uint32_t bit, bool rebuildUnits)
{
    if (RefuseInMultiPlay()) return;
    m_GameData.dwStateFlag ^= bit;
    ApplyWeather();
    RefreshGameFlow();
    if (m_pCurCountry) RecomputeSight(kNoHex, false);
    NotifyView(5);
    if (rebuildUnits) NotifyView(2);
    NotifyView(1);
    RefreshStatusStrip();
}

void CZRKGameDoc::ToggleCountryFlag(uint32_t bit)
{
    if (m_pCurCountry) m_pCurCountry->dwFlag ^= bit;
}

void CZRKGameDoc::SetCounterMode(int mode)
{
    if (!m_pCurCountry || RefuseInMultiPlay()) return;
    m_pCurCountry->dwFlag = (m_pCurCountry->dwFlag & ~kCountryCounterModeMask) | static_cast<uint32_t>(mode);
}

void CZRKGameDoc::ToggleReserveUnits()
{
    if (!m_pCurCountry) return;
    m_pCurCountry->dwFlag ^= kCountryHideReserve;
    std::span<UNITSTRUCT> pool(m_GameData.CarryUnit);
    if (m_pCurCountry->dwFlag & kCountryHideReserve) {
        m_pView->AddUnitsToUnitList(pool);
    } else {
        m_pView->UpdateUnitsInUnitList(pool);
    }
}

void CZRKGameDoc::RunCountryControl()
{
    if (!m_pCurCountry || RefuseInMultiPlay()) return;
    CountryControlRows rows;
    for (int i = 0; i < kCountryCount; ++i) {
        const COUNTRYSTRUCT& c = m_GameData.Country[i];
        if (!(c.dwFlag & kCountryPresent)) continue;
        rows.rows[rows.nRows++] = {i, (c.dwFlag & kCountryCpu) ? 1 : 0};
    }
    if (Dialogs().CountryControlDialog(rows) != kAnswerOk) return;

    bool curWasCpu = (m_pCurCountry->dwFlag & kCountryCpu) != 0;
    // The rows come back from a dialog: only whole rows naming a country are
    // applied.
    int count = std::clamp(rows.nRows, 0, kCountryCount);
    for (int r = 0; r < count; ++r) {
        int index = rows.rows[r].nCountry;
        if (index < 0 || index >= kCountryCount) continue;
        COUNTRYSTRUCT& c = m_GameData.Country[index];
        c.nControl = rows.rows[r].nControl;
        if (c.nControl != 0) {
            c.dwFlag |= kCountryCpu;
        } else {
            c.dwFlag &= ~kCountryCpu;
        }
    }
    if (curWasCpu && !(m_pCurCountry->dwFlag & kCountryCpu)) NotifyView(15);
}

void CZRKGameDoc::RunSurrender()
{
    if (!m_pCurCountry) return;
    std::string text =
        platform::FormatText("「%s」は降伏します。\nよろしいですか？", {FieldText(m_pCurCountry->szName)});
    if (Dialogs().MessageBox(text, kBoxOkCancel | kBoxIconQuestion | kBoxDefButton2) != kAnswerOk) return;
    NotifyView(17, kSeSurrender);
    int ended = SurrenderCountry(m_GameData.nCurCountry);
    NotifyView(2);
    SetFlowState(ended != 0 ? PHASE_JUDGE : PHASE_ENDPHASE);
}

void CZRKGameDoc::RunReturnToTitle()
{
    if (m_pCurCountry && (m_pCurCountry->dwFlag & kCountryConfirmWindow)) {
        if (Dialogs().MessageBox("本当にメニュー画面に戻りますか？", kBoxOkCancel | kBoxIconQuestion) !=
            kAnswerOk) {
            return;
        }
    }
    RunMenuProgram(kReturnToTitle, 0);
}

void CZRKGameDoc::RunChangePassword()
{
    if (!m_pCurCountry) return;
    if (auto text = AskPassword(FieldText(m_pCurCountry->szPassword), FieldText(m_pCurCountry->szName), true))
        RegisterPassword(*m_pCurCountry, *text);
}

std::optional<std::string> AskPassword(std::string_view preset, std::string_view countryName, bool cancelEnds,
                                       const std::function<bool()>& mayAsk)
{
    std::string text(preset);
    for (;;) {
        if (mayAsk && !mayAsk()) return std::nullopt;
        const int answer = Dialogs().PasswordDialog(text, countryName);
        if (answer == kAnswerNotAsked || (answer != kAnswerOk && cancelEnds)) return std::nullopt;
        if (answer != kAnswerOk) text.clear();
        // The field holds 7 bytes of CP932: full-width text is cut to the
        // characters that fit whole, never to half a character.
        text = CutSjisText(text, kPasswordMaxBytes);
        if (CountSjisChars(text) >= kPasswordMinChars) return text;
        Dialogs().MessageBox("パスワードは最低３文字入力してください", kBoxOk | kBoxIconExclamation);
    }
}

void RegisterPassword(COUNTRYSTRUCT& country, std::string_view password)
{
    Dialogs().MessageBox(
        platform::FormatText(
            "パスワードは %s で登録されました。今後、ゲーム開始時にこのパスワードを入力してください。\n"
            "パスワードが一致しないとゲームができなくなるので忘れないようにしてください",
            {password}),
        kBoxOk | kBoxIconInformation);
    const std::string_view kept = password.substr(0, kPasswordMaxBytes);
    std::memset(country.szPassword, 0, sizeof country.szPassword);
    std::memcpy(country.szPassword, kept.data(), kept.size());
}

void CZRKGameDoc::ShowBigVictoryTurns()
{
    int deadline = GetBigVictoryDeadline(m_GameData);
    int turn = m_GameData.nTurn;
    std::string text = turn > deadline
                           ? platform::FormatText("大勝利はもう無理です (%dターン経過)", {turn - deadline})
                           : platform::FormatText("大勝利期限まであと %dターン", {deadline - turn});
    Dialogs().MessageBox(text, kBoxOk | kBoxIconInformation);
}

void CZRKGameDoc::ShowWeatherForecast()
{
    int now = FoldWeather(m_GameData.nWeather);
    int next = m_GameData.nWeatherNext;
    int message = now == kWeatherSandstorm ? kForecastSandstorm
                  : next == now            ? kForecastSame
                  : next > now             ? kForecastHigher
                                           : kForecastLower;
    Dialogs().MessageBox(TableText(Lib().MsgWeatherNext, message), kBoxOk | kBoxIconInformation);
}

}  // namespace zrv
