#include "battle/engine/GameFileCommands.h"

#include <algorithm>
#include <memory>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/RecentFiles.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {

// View notifications and sound effects of saving.
namespace {
constexpr int kNotifyReleaseSounds = 20;
constexpr int kNotifySound = 17;
constexpr int kSeSaveCostAsked = 7;
constexpr int kSeSaveCostPaid = 8;
}  // namespace

std::string DefaultSaveName(uint32_t date, bool campaign, const char* ext)
{
    const char kind[2] = {campaign ? 'C' : 'S', '\0'};
    const char step[2] = {static_cast<char>('A' + std::clamp(DateHour(date) / 2, 0, 11)), '\0'};
    return platform::FormatText("%s%2d%02d%02d%s%s",
                                {kind, DateYear(date), DateMonth(date), DateDay(date), step, ext});
}

void AppendExtensionIfNone(std::string& path, const char* ext)
{
    // The name's own '.', found with the two-byte characters of the folders
    // stepped over (a second byte may look like the folder separator).
    const int namePos = std::max(0, FindFileNamePos(path));
    if (path.find('.', static_cast<size_t>(namePos)) == std::string::npos) path += ext;
}

// --- saving ---------------------------------------------------------------------------------

bool CZRKGameDoc::SaveGame(std::string_view pathIn)
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    const int cost = c ? c->nSaveCost : 0;
    std::string path(pathIn);
    if (path.empty()) {
        path = DefaultSaveName(m_GameData.dwDateTime, (m_dwGameOption & kOptionCampaign) != 0);
        NotifyView(kNotifyReleaseSounds);
        if (cost != 0) NotifyView(kNotifySound, kSeSaveCostAsked);
        if (Dialogs().SaveFileDialog(path, ".DG2") != kAnswerOk || path.empty()) return false;
        if (cost != 0) NotifyView(kNotifySound, kSeSaveCostPaid);
    }
    AppendExtensionIfNone(path, ".DG2");

    // The file gets the state as it stands after the save (reduced funds,
    // next cost); the running game takes it over only once the file is
    // whole, so a failed save changes and costs nothing.
    auto image = std::make_unique<GAMEDATASTRUCT>(m_GameData);
    if (m_dwGameOption & kOptClearAvailOnSave) {
        for (COUNTRYSTRUCT& country : image->Country) std::fill(std::begin(country.dwArmsAvail), std::end(country.dwArmsAvail), 0u);
    }
    if (c) {
        COUNTRYSTRUCT& saved = image->Country[c - m_GameData.Country];
        if (!(m_dwGameOption & kOptMultiPlay)) saved.dwViewOption = View().GetViewOption();
        saved.nFund -= cost;
        saved.nSaveCost = NextSaveCost(cost, (image->nCampaign & kCampaignFreeSaves) != 0);
    }
    image->dwGameOption = m_dwGameOption;
    if (!WriteGameFile(path, *image)) return false;  // the writer has shown ErrorMessage[14]
    m_GameData = *image;
    m_strGameFile = path;
    if (m_pRecentFiles) m_pRecentFiles->Add(path);
    // The campaign player's types seen so far go into the weapon guide.
    if ((m_dwGameOption & kOptionCampaign) && m_pCurCountry && m_pCurCountry->nIndex == 0)
        UpdateWeaponGuide(*m_pCurCountry);
    SetModifiedFlag(false);
    return true;
}

bool CZRKGameDoc::WriteCampaignFile(std::string_view pathIn, const CAMPAIGNSTRUCT& record)
{
    std::string path(pathIn);
    if (path.empty()) {
        path = DefaultSaveName(m_GameData.dwDateTime, (m_dwGameOption & kOptionCampaign) != 0, ".DC2");
        NotifyView(kNotifyReleaseSounds);
        if (Dialogs().SaveFileDialog(path, ".DC2") != kAnswerOk || path.empty()) return false;
    }
    AppendExtensionIfNone(path, ".DC2");
    m_GameData.dwGameOption = m_dwGameOption;
    if (!zrv::WriteCampaignFile(path, record)) return false;  // the writer has shown ErrorMessage[14]
    m_strGameFile = path;
    SetModifiedFlag(false);
    return true;
}

bool CZRKGameDoc::ChooseMultiSaveFile(std::string& path)
{
    const uint32_t d = m_GameData.dwDateTime;
    path = platform::FormatText("Mp%2d%02d%02d%s", {DateYear(d), DateMonth(d), DateDay(d), ".DM2"});
    NotifyView(kNotifyReleaseSounds);
    if (Dialogs().SaveFileDialog(path, ".DM2") != kAnswerOk || path.empty()) return false;
    AppendExtensionIfNone(path, ".DM2");
    return true;
}

int CZRKGameDoc::AutoSave()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c) return PHASE_HUMAN;
    GAMEDATASTRUCT& g = m_GameData;
    c->nSaveCost = 0;
    SetPhaseCommandState(true, true);
    int result = PHASE_HUMAN;
    if (!(c->dwFlag & kCountryCpu)) {
        if (!(g.dwGameOption & kOptMultiPlay)) {
            SaveGame(platform::DataPath("自動セーブ.DG2"));
            c->nSaveCost = 0;
        }
    } else {
        result = PHASE_CPU;
        m_nCpuStep = 0;
        if (m_dwGameOption & kOptAutoSaveCpu) {
            SaveGame(platform::DataPath("AutoSavC.DG2"));
            c->nSaveCost = 0;
        }
    }
    if ((m_dwGameOption & kOptAutoSaveEach) && c->nSide != 2) {
        SaveGame(platform::FormatText("%s%sAutoX%02d%d.DG2",
                                      {platform::ProgramFolder(), "Data\\", g.nTurn, g.nCurCountry + 1}));
        c->nSaveCost = 0;
    }
    return result;
}

void CZRKGameDoc::RunNewScenarioCommand()
{
    NotifyView(kNotifyReleaseSounds);
    std::string path;
    if (Dialogs().OpenFileDialog(path, ".SC2") != kAnswerOk || path.empty()) return;
    StartNewScenario(path, false);
}

void CZRKGameDoc::RunLoadCommand()
{
    if (m_dwGameOption & kOptFullAutoRunning) {
        Dialogs().MessageBox("全行動中はできません！", kBoxOk | kBoxIconExclamation);
        return;
    }
    NotifyView(kNotifyReleaseSounds);
    std::string path;
    if (Dialogs().OpenFileDialog(path, ".DG2") != kAnswerOk || path.empty()) return;
    LoadGameFile(path);
}

void CZRKGameDoc::RunRecentFileCommand(int index)
{
    const std::string path = m_pRecentFiles ? m_pRecentFiles->Entry(index) : std::string();
    if (path.empty()) return;
    if (m_dwGameOption & kOptFullAutoRunning) {
        Dialogs().MessageBox("全行動中はできません！", kBoxOk | kBoxIconExclamation);
        return;
    }
    if (!platform::FileExistsSjis(path)) {
        Dialogs().MessageBox(
            platform::FormatText("%s\nが見つかりません。最近使ったファイルの一覧から外します。", {path}),
            kBoxOk | kBoxIconExclamation);
        m_pRecentFiles->Remove(path);
        return;
    }
    NotifyView(kNotifyReleaseSounds);
    LoadGameFile(path);
}

void CZRKGameDoc::RunCampaignResumeCommand()
{
    NotifyView(kNotifyReleaseSounds);
    std::string path;
    if (Dialogs().OpenFileDialog(path, ".DC2") != kAnswerOk || path.empty()) return;
    StartCampaignScenario(path, nullptr, 0);
}

void CZRKGameDoc::RunSaveCommand()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (c && c->nFund < c->nSaveCost) {
        std::string amount;
        FormatAmount(amount, c->nSaveCost, true, false);
        Dialogs().MessageBox(platform::FormatText("消費軍事費不足で保存できません (%s 必要)", {amount}),
                             kBoxOk | kBoxIconStop);
        return;
    }
    SaveGame({});
}

// --- the file commands' starts ------------------------------------------------------

int CZRKGameDoc::StartNewScenario(std::string_view path, bool fromMenu)
{
    const uint32_t kept = m_dwGameOption;
    m_dwGameOption = kOptScenarioStart;
    if (!BuildScenario(path, nullptr, fromMenu)) {
        m_dwGameOption = kept;
        return 0;
    }
    m_strGameFile.clear();
    m_dwGameOption &= ~kOptRunningMask;
    return EnterStartPhase();
}

int CZRKGameDoc::StartNewCampaign(std::string_view path)
{
    const uint32_t kept = m_dwGameOption;
    m_dwGameOption = kOptNewCampaign;
    if (!BuildScenario(path, nullptr, false)) {
        m_dwGameOption = kept;
        return 0;
    }
    NotifyView(kNotifyStopMusic);
    m_strGameFile.clear();
    m_dwGameOption &= ~kOptRunningMask;
    return EnterStartPhase();
}

int CZRKGameDoc::StartCampaignScenario(std::string_view path, const CAMPAIGNSTRUCT* record, int level)
{
    auto local = std::make_unique<CAMPAIGNSTRUCT>();
    if (record) {
        *local = *record;
        local->nLevel = level;
    } else {
        const int read = ReadCampaignFile(path, *local, nullptr);
        if (read != kFileOk) {
            ShowReadError(read, path);
            return 0;
        }
        local->nLevel = 0;
    }
    const auto& scenarios = Lib().ScenarioData;
    // A negative number names an ending, not a scenario; a number beyond the
    // library's scenarios comes from a damaged or foreign file.
    if (local->nNextScenario < 0 || local->nNextScenario >= Lib().g_nMaxScnr ||
        static_cast<size_t>(local->nNextScenario) >= scenarios.size()) {
        ShowReadError(kFileCannotOpen, path);
        return 0;
    }
    const SCNRBASESTRUCT& next = scenarios[static_cast<size_t>(local->nNextScenario)];
    const std::string scenarioPath = platform::ScenarioPath(FieldText(next.szName));
    const uint32_t kept = m_dwGameOption;
    if (!BuildScenario(scenarioPath, local.get(), false)) {
        m_dwGameOption = kept;
        return 0;
    }
    m_strGameFile.clear();
    m_dwGameOption &= ~kOptRunningMask;
    return EnterStartPhase();
}

int CZRKGameDoc::LoadGameFile(std::string_view path, std::span<const uint8_t> image)
{
    if (!LoadGameState(path, image)) return 0;
    int next = PHASE_HUMAN;
    if (m_pCurCountry && (m_dwGameOption & kOptLoadHumanTakesOver)) m_pCurCountry->dwFlag &= ~kCountryCpu;
    if (m_pCurCountry) View().ApplyViewOptions(m_pCurCountry->dwViewOption, 0x000C0003u);
    if (m_pCurCountry && (m_pCurCountry->dwFlag & kCountryCpu)) {
        m_nCpuStep = 0;
        m_dwCpuFlags |= kCpuFlagLoaded;
        next = PHASE_CPU;
    } else if (m_dwGameOption & kOptMultiPlay) {
        next = PHASE_COUNTRYSTART;
    }
    m_nNextFlowState = next;
    SetFlowState(PHASE_CLOSETURN);
    m_strGameFile = std::string(path);
    // A game from the menu's block has no file to open again.
    if (m_pRecentFiles && image.empty()) m_pRecentFiles->Add(path);
    NotifyView(kNotifyResetChildWindows);
    View().UpdateWindowTitle();
    // The view serves the loaded country, and takes orders when a human plays it.
    SetPhaseCommandState(true, true);
    RecomputeSight(kNoHex, false);
    RefreshStatusStrip();
    if (m_pCurCountry) NotifyView(kNotifyCentre, m_pCurCountry->nCapital);
    m_Random.Seed(static_cast<uint32_t>(Clock().Now()));
    m_timePhaseStart = Clock().Now();
    // The game is now the one on disk.
    SetModifiedFlag(false);
    return 1;
}

}  // namespace zrv
