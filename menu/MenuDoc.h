#pragma once
// CZRKMenuDoc: the menu program's single document, a plain object. It holds
// what the menu shows and hands to the battle program (a game-state block,
// the campaign record with its world-situation tables, the weapon-guide
// entries and the option word MenuFlags), carries the File, Table, View and
// Settings commands, fills the hand-over block and starts the battle program,
// and decides the steps of a campaign.

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/GameFiles.h"
#include "foundation/GameRecords.h"
#include "menu/MenuSeams.h"
#include "menu/MenuView.h"

namespace platform {
class SettingsStore;
class SharedBlock;
}  // namespace platform

namespace zrv {

// MenuFlags bits.
inline constexpr uint32_t kMenuFlagsDefault = 0x20000000;
inline constexpr uint32_t kMenuDifficultyAllowed = 0x40000000;
inline constexpr uint32_t kMenuKeepWeaponRows = 0x20000000;
inline constexpr uint32_t kMenuBattleMaximised = 0x10000000;

// The two questions of the campaign start check and the resume's questions.
inline constexpr const char* kMsgRepairStart =
    "変換作業で Campaignの開始先に異常が発生しました\n修復しますか？ (開始先 >> %s)";
inline constexpr const char* kMsgForceStart =
    "変換作業で Campaignの開始先に異常が発生しました\n修復できません。強行実行しますか？";
inline constexpr const char* kMsgLowerDifficulty = "難易度を下げますか？";
inline constexpr const char* kMsgDifficultyWarning =
    "難易度設定を実行すると大勝利ができなくなります。\n本当によろしいでしょうか？";
inline constexpr const char* kMsgNoWeaponGuide = "兵器図鑑がありません。\nキャンペーンをプレイすると登録されます。";
// The resume dialog's filter.
inline constexpr const char* kResumeFilter =
    "ゲーム保存データ (*.DG2)|*.DG2|マルチプレイ保存データ(*.DM2)|*.DM2|シナリオ間保存データ (*.DC2)|*.DC2|全ファイル "
    "(*.*)|*.*||";
inline constexpr const char* kCampaignSaveFilter = "シナリオ間保存データ (*.DC2)|*.DC2|全ファイル (*.*)|*.*||";

// Where the battle window goes, as ZRV_SHOW tells the battle program: "max"
// or "x,y,w,h". gameWindow is the stored "x y w h" text.
std::string BattleWindowPlacement(std::string_view gameWindow, uint32_t menuFlags, int screenW, int screenH);

// How many of the first cityCount city values name a nation whose nation
// value equals nation. A city value outside the nation table names none.
int CountCampaignCities(const CAMPAIGNSTRUCT& record, int cityCount, uint32_t nation);

// The centre of a scenario's rectangle on the campaign map; (0, 0) for an
// index outside the scenario table.
PointI ScenarioCentre(int scenario);

// The scenario header of a file: 0, 10, 11, 12, 13, 15.
int ReadScenarioHeader(std::string_view path, SCNRHEADSTRUCT& head);

// The text of the resume dialog's information panel for a file (CP932).
std::string ResumePreviewText(std::string_view path);

// The name a campaign save is written under: ".DC2" added when the last path
// element holds no dot.
std::string CampaignSaveName(std::string_view chosen);

class CZRKMenuDoc {
public:
    explicit CZRKMenuDoc(platform::SettingsStore* settings);
    ~CZRKMenuDoc();
    CZRKMenuDoc(const CZRKMenuDoc&) = delete;
    CZRKMenuDoc& operator=(const CZRKMenuDoc&) = delete;

    // Seams (none owned).
    void SetView(CZRKMenuView* view) { m_pView = view; }
    void SetBlock(platform::SharedBlock* block) { m_pBlock = block; }
    void SetStarter(BattleStarter* starter) { m_pStarter = starter; }
    void SetMenuDialogs(MenuDialogs* dialogs) { m_pDialogs = dialogs; }
    void SetScreenSize(std::function<SizeI()> size) { m_screenSize = std::move(size); }

    // MenuFlags and, at code 7, the campaign record from the block (first call only).
    bool OnNewDocument();
    // Writes MenuFlags (the destructor does it too).
    void SaveMenuFlags();

    // Commands.
    bool QueryCommand(int id, CommandState& state) const;
    bool RunCommand(int id);
    void OnGameResume();
    void OnNewCampaign();
    void OnWeaponGuide();

    // Launcher and campaign steps.
    void LaunchBattle(uint32_t mode, int32_t param, const std::string& path);
    bool InitCampaign(int scenario);
    bool CheckCampaignStart();
    void NextCampaignStep();
    void ContinueCampaign(int briefingKind, int level);
    int RunLaunchScene(int kind, int argument);

    // Readers (version checked or not) and the campaign save.
    int ReadGameFile(std::string_view path, std::time_t* modTime, bool versionCheck);
    int ReadScenarioFile(std::string_view path, std::time_t* modTime, bool versionCheck);
    int ReadCampaignFile(std::string_view path, std::time_t* modTime, bool versionCheck);
    bool SaveCampaignAs(const std::string& defaultPath);

    uint32_t m_dwTestFlags = 0;
    int m_bFlagsLoaded = 0;
    uint32_t m_dwMenuFlags = 0;
    std::unique_ptr<GAMEDATASTRUCT> m_pGameData;
    std::unique_ptr<CAMPAIGNSTRUCT> m_pCampaign;
    std::array<uint32_t, kArmsCount> m_dwWeaponGuide{};
    bool m_bModified = false;
    int m_bDiscFlag = 1;

private:
    bool TitleShown() const;
    SizeI ScreenSize() const;

    platform::SettingsStore* m_pSettings;
    CZRKMenuView* m_pView = nullptr;
    platform::SharedBlock* m_pBlock = nullptr;
    BattleStarter* m_pStarter = nullptr;
    MenuDialogs m_nullDialogs;
    MenuDialogs* m_pDialogs = &m_nullDialogs;
    std::function<SizeI()> m_screenSize;
    bool m_bSaved = false;
};

}  // namespace zrv
