#include "menu/MenuDoc.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/FilePreview.h"
#include "foundation/HandOver.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"
#include "platform/core/Settings.h"
#include "platform/core/SharedBlock.h"
#include "platform/core/Text.h"

namespace zrv {

namespace {

constexpr uint32_t kCampaignExtraReached = 0x00200000;
constexpr uint32_t kCampaignStartOption = 0xCC000000;
constexpr uint32_t kCampaignStartPlayer = 0x80000600;

// Our own wording for a battle program that cannot be started.
constexpr const char* kMsgCannotStartBattle = "戦闘プログラムを起動できません。\n%s";

int CityCount()
{
    return std::clamp(std::min<int>(Lib().g_nMaxIWCity, static_cast<int>(Lib().IWCityData.size())), 0,
                      kWorldCityCount);
}

int NationCount()
{
    return std::clamp(std::min<int>(Lib().g_nMaxIWNation, static_cast<int>(Lib().IWCountryData.size())), 0,
                      kWorldNationCount);
}

int ScenarioCount()
{
    return std::max(0, std::min<int>(Lib().g_nMaxScnr, static_cast<int>(Lib().ScenarioData.size())));
}

std::string_view ScenarioFileName(int scenario)
{
    if (scenario < 0 || scenario >= ScenarioCount()) return {};
    return FieldText(Lib().ScenarioData[scenario].szName);
}

bool SameFileName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x == y) continue;
        if (x < 0x80 && y < 0x80 && std::tolower(x) == std::tolower(y) && !(i > 0 && platform::IsSjisLead(static_cast<unsigned char>(a[i - 1]))))
            continue;
        return false;
    }
    return true;
}

template <size_t N>
void CopyField(char (&field)[N], std::string_view text)
{
    std::memset(field, 0, N);
    const std::string cut = CutSjisText(text, N - 1);
    std::memcpy(field, cut.data(), cut.size());
}

int FloorHalf(int v)
{
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

}  // namespace

std::string BattleWindowPlacement(std::string_view gameWindow, uint32_t menuFlags, int screenW, int screenH)
{
    if (menuFlags & kMenuBattleMaximised) return "max";
    const std::string text(gameWindow);
    int v[4] = {};
    if (ParseNumberList(text.c_str(), v, 4) != 4) return "max";
    const int x = v[0], y = v[1], w = v[2], h = v[3];
    // An empty or negative size is no window either.
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || w >= screenW || h >= screenH) return "max";
    return std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h);
}

int CountCampaignCities(const CAMPAIGNSTRUCT& record, int cityCount, uint32_t nation)
{
    const int cities = std::clamp(cityCount, 0, kWorldCityCount);
    const uint32_t nations = static_cast<uint32_t>(std::clamp(Lib().g_nMaxIWNation, 0, kWorldNationCount));
    int count = 0;
    for (int i = 0; i < cities; ++i) {
        const uint32_t holder = record.dwWorldCity[i];
        // A holder outside the nation table is nobody's.
        if (holder < nations && record.dwWorldNation[holder] == nation) ++count;
    }
    return count;
}

PointI ScenarioCentre(int scenario)
{
    if (scenario < 0 || scenario >= ScenarioCount()) return {0, 0};
    const int32_t* r = Lib().ScenarioData[scenario].rcMap;
    return {r[0] + FloorHalf(r[2] - r[0]), r[1] + FloorHalf(r[3] - r[1])};
}

int ReadScenarioHeader(std::string_view path, SCNRHEADSTRUCT& head)
{
    return CheckScenarioFile(path, head);
}

std::string ResumePreviewText(std::string_view path)
{
    auto block = std::make_unique<GAMEDATASTRUCT>();
    std::time_t modified = 0;
    if (zrv::ReadGameFile(path, *block, &modified, UnitVersionPolicy::Refuse) == kFileOk)
        return GamePreviewText(*block, modified);
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    const int r = zrv::ReadCampaignFile(path, *record, &modified, UnitVersionPolicy::Refuse);
    if (r == kFileOk) return CampaignPreviewText(*record, modified);
    return ErrorText(r);
}

std::string CampaignSaveName(std::string_view chosen)
{
    // Only the file's own name counts: a dotted folder on the way does not.
    const size_t slash = chosen.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
    std::string out(chosen);
    if (name.find('.') == std::string_view::npos) out += ".DC2";
    return out;
}

CZRKMenuDoc::CZRKMenuDoc(platform::SettingsStore* settings)
    : m_pGameData(std::make_unique<GAMEDATASTRUCT>()),
      m_pCampaign(std::make_unique<CAMPAIGNSTRUCT>()),
      m_pSettings(settings)
{
    std::memset(m_pGameData.get(), 0, sizeof(GAMEDATASTRUCT));
    std::memset(m_pCampaign.get(), 0, sizeof(CAMPAIGNSTRUCT));
    for (int i = 0; i < CityCount(); ++i) m_pCampaign->dwWorldCity[i] = static_cast<uint32_t>(Lib().IWCityData[i].nValue);
    for (int i = 0; i < NationCount(); ++i) m_pCampaign->dwWorldNation[i] = static_cast<uint32_t>(Lib().IWCountryData[i]);
}

CZRKMenuDoc::~CZRKMenuDoc()
{
    SaveMenuFlags();
}

void CZRKMenuDoc::SaveMenuFlags()
{
    if (m_bSaved || m_pSettings == nullptr || !m_bFlagsLoaded) return;
    m_bSaved = true;
    m_pSettings->WriteInt(kMenuProfileSection, "MenuFlags", static_cast<long>(m_dwMenuFlags));
    m_pSettings->Flush();
}

bool CZRKMenuDoc::OnNewDocument()
{
    if (m_bFlagsLoaded) return true;
    m_dwMenuFlags = kMenuFlagsDefault;
    if (m_pSettings != nullptr) {
        if (auto v = m_pSettings->ReadInt(kMenuProfileSection, "MenuFlags")) m_dwMenuFlags = static_cast<uint32_t>(*v);
    }
    m_bFlagsLoaded = 1;
    uint32_t code = 0;
    if (m_pBlock != nullptr && m_pBlock->ReadU32(0, code) && code == GMC_CAMPAIGNNEXT)
        m_pBlock->Read(offsetof(GAMEMENUSTRUCT, Campaign), m_pCampaign.get(), sizeof(CAMPAIGNSTRUCT));
    return true;
}

bool CZRKMenuDoc::TitleShown() const
{
    return m_pView == nullptr || m_pView->ScreenState() == CZRKMenuView::kTitle;
}

SizeI CZRKMenuDoc::ScreenSize() const
{
    return m_screenSize ? m_screenSize() : SizeI{1024, 768};
}

bool CZRKMenuDoc::QueryCommand(int id, CommandState& state) const
{
    switch (id) {
        case kCmdResume:
        case kCmdNewCampaign:
        case kCmdWeaponGuide:
            state = {TitleShown(), false};
            return true;
        case kCmdDifficultyAllowed:
            state = {true, (m_dwMenuFlags & kMenuDifficultyAllowed) != 0};
            return true;
        case kCmdKeepWeaponRows:
            state = {true, (m_dwMenuFlags & kMenuKeepWeaponRows) != 0};
            return true;
        case kCmdBattleMaximised:
            state = {true, (m_dwMenuFlags & kMenuBattleMaximised) != 0};
            return true;
        default:
            return false;
    }
}

bool CZRKMenuDoc::RunCommand(int id)
{
    CommandState state;
    if (!QueryCommand(id, state)) return false;
    if (!state.enabled) return true;
    switch (id) {
        case kCmdResume:
            OnGameResume();
            break;
        case kCmdNewCampaign:
            OnNewCampaign();
            break;
        case kCmdWeaponGuide:
            OnWeaponGuide();
            break;
        case kCmdDifficultyAllowed:
            m_dwMenuFlags ^= kMenuDifficultyAllowed;
            break;
        case kCmdKeepWeaponRows:
            m_dwMenuFlags ^= kMenuKeepWeaponRows;
            break;
        case kCmdBattleMaximised:
            m_dwMenuFlags ^= kMenuBattleMaximised;
            break;
        default:
            break;
    }
    return true;
}

void CZRKMenuDoc::OnGameResume()
{
    std::string path;
    if (m_pDialogs->ResumeFileDialog(path) != kAnswerOk || path.empty()) return;
    const int gameResult = ReadGameFile(path, nullptr, true);
    if (gameResult == kFileOk) {
        LaunchBattle(GMC_LOADGAME, 0, path);
        return;
    }
    const int campaignResult = ReadCampaignFile(path, nullptr, true);
    if (campaignResult != kFileOk) {
        // Neither reader took it: the player learns why from the reader the
        // file was meant for.
        std::vector<uint8_t> bytes;
        const bool campaignFile = platform::ReadWholeFile(path, bytes) && bytes.size() >= 4 &&
                                  std::memcmp(bytes.data(), "ZRVI", 4) == 0;
        Dialogs().MessageBox(ErrorText(campaignFile ? campaignResult : gameResult), kBoxOk | kBoxIconStop);
        return;
    }
    if (!CheckCampaignStart()) return;
    int level = 0;
    if ((m_dwMenuFlags & kMenuDifficultyAllowed) != 0 &&
        Dialogs().MessageBox(kMsgLowerDifficulty, kBoxYesNo | kBoxIconQuestion | kBoxDefButton2) == kAnswerYes) {
        uint32_t word = 0;
        if (m_pDialogs->CampaignSettingsDialog(word) == kAnswerOk && word != 0) {
            if (Dialogs().MessageBox(kMsgDifficultyWarning, kBoxOkCancel | kBoxIconQuestion | kBoxDefButton2) !=
                kAnswerOk)
                return;
            level = static_cast<int>(word);
        }
    }
    ContinueCampaign(0, level);
}

void CZRKMenuDoc::OnNewCampaign()
{
    if (RunLaunchScene(0, 0) != 0) return;
    if (!InitCampaign(0)) return;
    if (RunLaunchScene(1, 0) != 0) return;
    LaunchBattle(GMC_NEWCAMPAIGN, 0, platform::ScenarioPath(ScenarioFileName(0)));
}

void CZRKMenuDoc::OnWeaponGuide()
{
    const int r = ReadWeaponGuide(m_dwWeaponGuide);
    if (r == kFileOk) {
        if (m_pView != nullptr) m_pView->OpenEncyclopedia(m_dwWeaponGuide);
    } else if (r == kFileCannotOpen) {
        Dialogs().MessageBox(kMsgNoWeaponGuide, kBoxOk | kBoxIconStop);
    } else {
        Dialogs().MessageBox(ErrorText(r), kBoxOk | kBoxIconStop);
    }
}

void CZRKMenuDoc::LaunchBattle(uint32_t mode, int32_t param, const std::string& path)
{
    if (mode == GMC_LOADGAME && (m_pGameData->dwGameOption & kOptionCampaign) != 0)
        UpdateWeaponGuide(m_pGameData->Country[0]);

    const uint32_t viewFlags = m_pView != nullptr ? m_pView->ViewFlags() : kViewFlagsDefault;
    auto fill = [&](platform::SharedBlock& block) {
        constexpr size_t kRecord = offsetof(GAMEMENUSTRUCT, Campaign);
        if (mode == GMC_NEWCAMPAIGN) {
            auto zero = std::make_unique<CAMPAIGNSTRUCT>();
            std::memset(zero.get(), 0, sizeof(CAMPAIGNSTRUCT));
            block.Write(kRecord, zero.get(), sizeof(CAMPAIGNSTRUCT));
            block.Write(kRecord + offsetof(CAMPAIGNSTRUCT, dwWorldNation), m_pCampaign->dwWorldNation,
                        static_cast<size_t>(NationCount()) * sizeof(uint32_t));
            block.Write(kRecord + offsetof(CAMPAIGNSTRUCT, dwWorldCity), m_pCampaign->dwWorldCity,
                        static_cast<size_t>(CityCount()) * sizeof(uint32_t));
        } else if (mode == GMC_CAMPAIGNSCENARIO) {
            block.Write(kRecord, m_pCampaign.get(), sizeof(CAMPAIGNSTRUCT));
            block.WriteU32(offsetof(GAMEMENUSTRUCT, dwReserved), static_cast<uint32_t>(m_pCampaign->nNextScenario));
        }
        uint32_t option = 0;
        block.ReadU32(offsetof(GAMEMENUSTRUCT, dwViewOption), option);
        option = (option & ~kViewHandedBits) | (viewFlags & kViewHandedBits);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, dwViewOption), option);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, nMovie), static_cast<uint32_t>(m_bDiscFlag));
    };

    if (m_pView != nullptr) m_pView->ReleaseSound();
    std::string gameWindow;
    if (m_pSettings != nullptr) {
        if (auto v = m_pSettings->ReadString(kMenuProfileSection, "GameWindow")) gameWindow = *v;
    }
    const SizeI screen = ScreenSize();
    const std::vector<std::string> env = {"ZRV_SHOW=" +
                                          BattleWindowPlacement(gameWindow, m_dwMenuFlags, screen.cx, screen.cy)};
    std::string why;
    if (m_pStarter != nullptr && m_pStarter->LaunchBattle(mode, param, path, fill, env, &why)) {
        if (m_pView != nullptr) m_pView->SetLaunched(true);
        return;
    }
    // The block kept what it held: the menu goes on, with its sound back.
    if (m_pStarter == nullptr) why = "no battle program";
    Dialogs().MessageBox(platform::FormatText(kMsgCannotStartBattle, {platform::Utf8ToSjis(why)}),
                         kBoxOk | kBoxIconStop);
    if (m_pView != nullptr) {
        m_pView->SetLaunched(false);
        m_pView->RestoreSound();
    }
}

bool CZRKMenuDoc::InitCampaign(int scenario)
{
    if (scenario < 0 || scenario >= ScenarioCount()) return false;
    auto block = std::make_unique<GAMEDATASTRUCT>();
    std::memcpy(block.get(), m_pGameData.get(), sizeof(GAMEDATASTRUCT));
    if (zrv::ReadScenarioFile(platform::ScenarioPath(ScenarioFileName(scenario)), *block, nullptr, false,
                              UnitVersionPolicy::Refuse) != kFileOk)
        return false;
    std::memcpy(m_pGameData.get(), block.get(), sizeof(GAMEDATASTRUCT));
    const GAMEDATASTRUCT& g = *m_pGameData;
    CAMPAIGNSTRUCT& c = *m_pCampaign;
    c.nVersion = g.nVersion;
    c.nNextScenario = scenario;
    CopyField(c.szTitle, FieldText(g.Head.szName));
    c.dwDate = g.Head.dwStartDate;
    c.nFundBonus = 0;
    c.dwGameOption = kCampaignStartOption;
    c.dwStateFlag = g.dwStateFlag;
    c.dwViewOption = m_pView != nullptr ? m_pView->ViewFlags() : kViewFlagsDefault;
    c.dwPlayerFlag = kCampaignStartPlayer;
    std::memcpy(c.szUnitVersion, g.Head.szUnitVersion, sizeof c.szUnitVersion);
    c.nHistory = 0;
    std::memset(c.byReserved4C, 0, sizeof c.byReserved4C);
    c.nLastScenario = 0;
    std::memset(&c.Player, 0, sizeof c.Player);
    std::memset(c.CarryUnit, 0, sizeof c.CarryUnit);
    std::memset(c.History, 0, sizeof c.History);
    for (int i = 0; i < NationCount(); ++i) c.dwWorldNation[i] = static_cast<uint32_t>(Lib().IWCountryData[i]);
    for (int i = 0; i < CityCount(); ++i) c.dwWorldCity[i] = static_cast<uint32_t>(Lib().IWCityData[i].nValue);
    return true;
}

bool CZRKMenuDoc::CheckCampaignStart()
{
    CAMPAIGNSTRUCT& c = *m_pCampaign;
    const std::string_view file = FieldText(c.szNextFile);
    // An index outside the table names no scenario: straight to the search.
    if (c.nNextScenario >= 0 && c.nNextScenario < ScenarioCount() &&
        SameFileName(ScenarioFileName(c.nNextScenario), file))
        return true;
    for (int i = 0; i < ScenarioCount(); ++i) {
        if (!SameFileName(ScenarioFileName(i), file)) continue;
        const std::string question = platform::FormatText(kMsgRepairStart, {ScenarioFileName(i)});
        if (Dialogs().MessageBox(question, kBoxYesNo) == kAnswerYes) {
            c.nNextScenario = i;
            return true;
        }
    }
    return Dialogs().MessageBox(kMsgForceStart, kBoxYesNo) == kAnswerYes;
}

void CZRKMenuDoc::NextCampaignStep()
{
    CAMPAIGNSTRUCT& c = *m_pCampaign;
    if (c.nNextScenario < 0) {
        // -(index + 1) is the ending; one the table does not have ends on the title.
        const int64_t ending = -(static_cast<int64_t>(c.nNextScenario) + 1);
        if (ending < static_cast<int64_t>(Lib().EndingDirectTable.size())) {
            if (m_pView != nullptr) m_pView->StartEnding(c);
        } else if (m_pView != nullptr) {
            m_pView->BackToTitle();
        }
        return;
    }
    if (c.nNextScenario >= ScenarioCount()) {
        if (m_pView != nullptr) m_pView->BackToTitle();
        return;
    }
    if ((c.dwGameOption & kCampaignExtraReached) == 0) {
        const int held = CountCampaignCities(c, Lib().g_nMaxIWCity, 0);
        const int extra = Lib().g_nExtraScenario;
        if (Lib().g_nCampaignWinSum - held <= 0 && extra >= 0 && extra < ScenarioCount()) {
            SCNRHEADSTRUCT head{};
            // Whatever the header read gives, the extra scenario is next; a
            // header that could not be read gives it an empty name.
            const std::string_view file = ScenarioFileName(extra);
            const bool read = ReadScenarioHeader(platform::ScenarioPath(file), head) == kFileOk;
            c.dwGameOption |= kCampaignExtraReached;
            c.nNextScenario = extra;
            CopyField(c.szTitle, read ? FieldText(head.szName) : std::string_view());
            CopyField(c.szNextFile, file);
        } else if (extra >= Lib().g_nIdeologyScnrStart && extra <= Lib().g_nIdeologyScnrEnd) {
            c.dwGameOption |= kCampaignExtraReached;
        }
    }
    if (m_pView != nullptr) m_pView->ShowWorldSituation();
}

void CZRKMenuDoc::ContinueCampaign(int briefingKind, int level)
{
    if (RunLaunchScene(1, briefingKind) == 0) LaunchBattle(GMC_CAMPAIGNSCENARIO, level, std::string());
}

int CZRKMenuDoc::RunLaunchScene(int kind, int argument)
{
    if (kind == 1 && m_pView != nullptr) return m_pView->StartBriefing(argument);
    return 0;
}

int CZRKMenuDoc::ReadGameFile(std::string_view path, std::time_t* modTime, bool versionCheck)
{
    return zrv::ReadGameFile(path, *m_pGameData, modTime,
                             versionCheck ? UnitVersionPolicy::Refuse : UnitVersionPolicy::Ignore);
}

int CZRKMenuDoc::ReadScenarioFile(std::string_view path, std::time_t* modTime, bool versionCheck)
{
    // The menu takes a scenario whatever its campaign byte.
    return zrv::ReadScenarioFile(path, *m_pGameData, modTime, false,
                                 versionCheck ? UnitVersionPolicy::Refuse : UnitVersionPolicy::Ignore);
}

int CZRKMenuDoc::ReadCampaignFile(std::string_view path, std::time_t* modTime, bool versionCheck)
{
    return zrv::ReadCampaignFile(path, *m_pCampaign, modTime,
                                 versionCheck ? UnitVersionPolicy::Refuse : UnitVersionPolicy::Ignore);
}

bool CZRKMenuDoc::SaveCampaignAs(const std::string& defaultPath)
{
    std::string path = defaultPath;
    if (m_pDialogs->CampaignSaveDialog(path) != kAnswerOk || path.empty()) return false;
    // The writer works on a scrambled copy, writes a temporary file and
    // renames it; it shows ErrorMessage[14] with the path when that fails.
    if (!WriteCampaignFile(CampaignSaveName(path), *m_pCampaign)) return false;
    m_bModified = false;
    return true;
}

}  // namespace zrv
