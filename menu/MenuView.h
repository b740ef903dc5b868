#pragma once
// CZRKMenuView: the menu program's single view, a plain object on the menu
// variant of the off-screen view. It loads the title pictures, reads the code
// the battle program left in the hand-over block and decides what to show
// (the return dispatcher), draws the title screen with its five buttons and
// answers the pointer on it, and keeps the view option word ViewFlags. Scenes,
// the dialogs between campaign scenarios and the window come in through seams.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "battle/engine/BattleScene.h"
#include "battle/engine/GameDoc.h"
#include "foundation/OSBView.h"
#include "foundation/Sound.h"
#include "menu/MenuSeams.h"
#include "menu/TitleMovie.h"

namespace platform {
class SettingsStore;
class SharedBlock;
}  // namespace platform

namespace zrv {

inline constexpr const char* kMenuProfileSection = "Settings";

// View option word.
inline constexpr uint32_t kViewFlagsDefault = 0x280F0000;
inline constexpr uint32_t kViewFlagsAtConstruction = 0x28040000;
inline constexpr uint32_t kViewColorMask = 0x00700000;
inline constexpr uint32_t kViewMovieSmall = 0x00800000;
// The bits the launcher hands to the battle program (+0x0C bits 16-23).
inline constexpr uint32_t kViewHandedBits = 0x00FF0000;

// Menu command ids.
enum MenuCommand : int {
    kCmdNewScenario = 57600,
    kCmdResume = 57601,
    kCmdExit = 57665,
    kCmdNewCampaign = 32774,
    kCmdDifficultyAllowed = 32801,
    kCmdWeaponGuide = 32802,
    kCmdKeepWeaponRows = 32803,
    kCmdHelp = 32804,
    kCmdBattleMaximised = 32805,
    kCmdSoundEffects = 32788,
    kCmdMusic = 32789,
    kCmdMovieSmall = 32790,
    kCmdMovieLarge = 32791,
    kCmdColorFirst = 32792,  // 32792..32796: window colours 0..4
    kCmdColorLast = 32796,
    kCmdReceive = 32798,
    kCmdSend = 32799,
    kCmdNetwork = 32800,
    kCmdNetworkAllowed = 32807,
    kCmdNoMovie = 32812,
};

// The ViewFlags value written back: only the sound, music, colour and movie
// size bits survive, and bits 16 and 17 are always stored set.
constexpr uint32_t ViewFlagsToStore(uint32_t flags)
{
    return (flags & 0xFC0000u) | 0x30000u;
}

class CZRKMenuView : public COSBView, public MenuMovieView {
public:
    enum ScreenState : int { kTitle = 0, kLogos = 1, kCredits = 2, kWorldMap = 3, kScenePicture = 4 };
    static constexpr int kTitleButtonCount = 5;
    struct TitleButton {
        platform::Rect draw;  // left, top, right, bottom (exclusive)
        int sourceX, sourceY;  // highlighted image inside the title background
        platform::Rect hit;    // left -1: never hit
        int command;           // 0: the staff credits
    };
    static const std::array<TitleButton, kTitleButtonCount> kTitleButtons;

    // Sound effects of the title buttons.
    static constexpr int kEffectHover = 4;
    static constexpr int kEffectClick = 5;

    explicit CZRKMenuView(platform::SettingsStore* settings);
    ~CZRKMenuView() override;

    // Seams (none owned).
    void SetBlock(platform::SharedBlock* block) { m_pBlock = block; }
    void SetScenes(MenuScenes* scenes) { m_pScenes = scenes; }
    void SetChildDialogs(MenuChildDialogs* dialogs) { m_pChildDialogs = dialogs; }
    // A title button's command goes to the window as a posted command.
    void SetCommandPoster(std::function<void(int)> post) { m_postCommand = std::move(post); }
    // The application's deferred action (1: the result scene at the next idle pass).
    void SetDeferredActionSink(std::function<void(int)> sink) { m_setDeferredAction = std::move(sink); }
    // Told of every sound effect asked for (tests and the test player).
    void SetEffectHook(std::function<void(int)> hook) { m_effectHook = std::move(hook); }
    // Told when the scroll range changed.
    void SetScrollRangeHook(std::function<void()> hook) { m_scrollRangeChanged = std::move(hook); }

    // First update: pictures, sound, the scene-parameter block, the return
    // dispatcher. The menu bar is built trimmed by the window side.
    void OnInitialUpdate() override;
    void OnDraw() override { BlitOSB(nullptr); }
    // Acts on the hand-over code: the screen to show and the option word.
    void DispatchReturnCode(uint32_t code);

    // Title screen.
    void DrawTitle();
    void BackToTitle();
    // Index of the title button under the view point (x, y), or -1.
    static int TitleButtonAt(int x, int y);
    int HighlightedButton() const { return m_nHighlight; }

    // Pointer, in client coordinates.
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnMButtonDown();
    void OnTimer(int id);
    // A music device ended one play.
    void OnMCINotify(uint32_t device);

    // The view's own commands; false when id is not one of them.
    bool QueryCommand(int id, CommandState& state) const;
    bool RunCommand(int id);

    // The launcher's side: sound let go before the battle program starts,
    // and taken again when it could not be started.
    void ReleaseSound();
    void RestoreSound();
    void SetLaunched(bool launched) { m_bLaunched = launched ? 1 : 0; }
    bool Launched() const { return m_bLaunched != 0; }

    // Scenes through the seam.
    int RunResultScene();
    int StartBriefing(int kind);
    void StartEnding(const CAMPAIGNSTRUCT& record);
    void ShowWorldSituation();
    void OpenEncyclopedia(std::span<const uint32_t> entries);

    // Movies. The window side gives the title dialog's window, the UI loop
    // its routines run and how the pointer is shown; the view makes the
    // dialog at its first update. Without them no movie dialog can be made.
    void SetMovieSeams(std::unique_ptr<TitleWindow> window, EventPump* pump, std::function<void(bool)> cursor);
    void RunTitleSequence(int endMode);
    void PlayMovieOverBackdrop(std::string_view name);
    void PlayTitleDialogModal(int endMode);
    CMenuMovies* MovieRoutines() { return m_pMovies.get(); }
    CTitleDlg* TitleDialog() { return m_pTitleDlg.get(); }

    // MenuMovieView.
    uint32_t& SceneFlags() override { return m_dwSceneFlags; }
    uint32_t& MovieDevice() override { return m_nMovieDevice; }
    void StopCDAudio() override;
    void PlayCurrentCDTrack() override;
    void FreeAllSoundEffects() override;
    void ReleaseDirectSound() override;
    bool SoundEnabled() override;
    void InitDirectSound() override;
    void* MovieParent() override { return nullptr; }
    ScreenSize Screen() override;
    void ShowCursor(bool shown) override;
    bool LocateMovie(std::string_view name, std::string& path) override;

    // Writes ViewFlags as the destructor does (also at a normal exit).
    void SaveViewFlags();

    uint32_t ViewFlags() const { return m_dwViewFlags; }
    void SetViewFlags(uint32_t flags) { m_dwViewFlags = flags; }
    uint32_t SceneFlags() const { return m_dwSceneFlags; }
    int ScreenState() const { return m_nScreenState; }
    void SetScreenState(int state);
    bool NoMovie() const { return m_bNoMovie != 0; }
    int ScrollLock() const { return m_bScrollLock; }
    void SetScrollLock(int lock) { m_bScrollLock = lock; }
    // What code 7 handed over: the outcome (0..2, -1 out of range) and the
    // finished scenario (-1 when out of range).
    int Outcome() const { return m_nOutcome; }
    int FinishedScenario() const { return m_nFinishedScenario; }
    ViewSound& Sound() { return m_sound; }
    CDib* TitlePicture() { return m_pTitleDib.get(); }
    CDib* WorldMapPicture() { return m_pMapDib.get(); }
    CDib* WorkPicture() { return m_pWorkDib.get(); }
    CDib* FlagSheetPicture() { return m_pFlagSheetDib.get(); }
    CDib* FlagsPicture() { return m_pFlagsDib.get(); }
    CDib* CreditPicture() { return m_pCreditDib.get(); }
    CDib* LogoPicture() { return m_pLogoDib.get(); }
    // A picture of the program folder mapped to the view's colours (null when
    // it cannot be loaded).
    std::unique_ptr<CDib> LoadPicture(const char* name) const;
    // A sound effect of a scene (told to the effect hook like the title's).
    void PlaySceneEffect(int effect) { PlayEffect(effect); }
    // Where the picture stands in the client area (centred when larger).
    PointI DisplayOffset() const;
    // Resets the scroll range for the screen state (the world map only scrolls).
    void ResetScrollRange();
    // Loads a palette file of the program folder and applies colours 10-245.
    bool LoadAndApplyPalette(const char* name);

private:
    void LoadPictures();
    void MakeTitleDialog();
    void PlayEffect(int effect);
    void DrawButton(int index, bool highlighted);
    void ShowTitleRect(const platform::Rect& r);
    std::string ProgramFile(const char* name) const;

    platform::SettingsStore* m_pSettings;
    platform::SharedBlock* m_pBlock = nullptr;
    MenuScenes m_nullScenes;
    MenuChildDialogs m_nullChildDialogs;
    MenuScenes* m_pScenes = &m_nullScenes;
    MenuChildDialogs* m_pChildDialogs = &m_nullChildDialogs;
    std::function<void(int)> m_postCommand;
    std::function<void(int)> m_setDeferredAction;
    std::function<void(int)> m_effectHook;
    std::function<void()> m_scrollRangeChanged;

    uint32_t m_dwViewFlags = kViewFlagsAtConstruction;
    uint32_t m_dwSceneFlags = 0;
    int m_nScreenState = kTitle;
    int m_nHighlight = -1;
    int m_bScrollLock = 1;
    int m_bLaunched = 0;
    int m_bNoMovie = 0;
    int m_bNetworkAllowed = 0;
    int m_nOutcome = -1;
    int m_nFinishedScenario = -1;
    bool m_bSaved = false;

    std::unique_ptr<CDib> m_pLogoDib;      // TIRNLOGO.PXS
    std::unique_ptr<CDib> m_pTitleDib;     // TitleTR2.PXS
    std::unique_ptr<CDib> m_pTitleLogoDib; // TitleLo2.PXS
    std::unique_ptr<CDib> m_pCreditDib;    // Credit2.PXS
    std::unique_ptr<CDib> m_pMapDib;       // Euromap2.PXS
    std::unique_ptr<CDib> m_pWorkDib;      // the world map's size
    std::unique_ptr<CDib> m_pFlagSheetDib; // Eurofla2.PXS
    std::unique_ptr<CDib> m_pFlagsDib;     // flags.pxs
    std::unique_ptr<CDib> m_pUnitDib;      // unit2.pxs
    std::unique_ptr<CDib> m_pSpecDib;      // spec2.pxs
    std::unique_ptr<CDib> m_pWeaponDib;    // weapon.pxs

    ViewSound m_sound;
    BattleSceneLink m_sceneLink;

    // Movies; the dialog goes before its window and the routines.
    uint32_t m_nMovieDevice = 0;
    struct NoPump : EventPump {
        void RunOnce() override {}
    } m_noPump;
    EventPump* m_pMoviePump = &m_noPump;
    std::function<void(bool)> m_showCursor;
    std::unique_ptr<TitleWindow> m_pTitleWindow;
    std::unique_ptr<CMenuMovies> m_pMovies;
    std::unique_ptr<CTitleDlg> m_pTitleDlg;
};

}  // namespace zrv
