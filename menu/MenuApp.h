#pragma once
// CZRKMenuApp: the menu program's application as a plain object, driven by
// the wx entry point or by a test. It runs the start-up against the other
// program (one copy per user, the hand-over block), owns the document and the
// view, starts the battle program for the document, and runs the actions the
// menu defers to idle time.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menu/MenuDoc.h"
#include "menu/MenuSceneDirector.h"
#include "menu/MenuSeams.h"
#include "menu/MenuStartup.h"
#include "menu/MenuView.h"

namespace platform {
class SettingsStore;
}

namespace zrv {

// The About box's title text.
inline constexpr const char* kAboutTitle = "Velmorath";

class CZRKMenuApp : public BattleStarter {
public:
    // Deferred actions.
    enum : int { kActionNone = 0, kActionResultScene = 1, kActionNextStep = 2, kActionContinue = 3, kActionQuit = 4 };

    explicit CZRKMenuApp(platform::SettingsStore* settings);
    ~CZRKMenuApp() override;

    // Start-up against the other program: one copy, the block, a battle that
    // handed back. Ok means go on and build the document and the view.
    MenuStartup::Result InitInstance(MenuStartup::RequestHandler handler, std::chrono::milliseconds peerWait);
    // The program's arguments change nothing.
    static void ParseSwitches(int argc, char** argv);
    // Document and view on a block (the start-up's, or a test's).
    void CreateDocument(platform::SharedBlock* block);
    // The view's first update; the window side calls it once it stands.
    void InitialUpdate();

    // One idle pass: the deferred action. True when more idle time is wanted.
    bool OnIdle();
    // A battle program started by this one that ended before it asked this
    // program to close did not start: the menu says so and takes input again.
    void PollLaunchedBattle(bool closeRequested);
    void ExitInstance();

    int DeferredAction() const { return m_nDeferredAction; }
    void SetDeferredAction(int action) { m_nDeferredAction = action; }
    // How the main window is closed (action 4); unset: nothing.
    void SetCloseMainWindow(std::function<bool()> close) { m_closeMainWindow = std::move(close); }
    // Told of every start of the battle program and whether it started (the test player's log).
    void SetLaunchHook(std::function<void(uint32_t, const std::string&, bool)> hook) { m_launchHook = std::move(hook); }
    // Extra environment for the battle program (the test player's).
    void SetBattleEnvironment(std::vector<std::string> env) { m_extraEnv = std::move(env); }

    // Commands of the document and the view in one table.
    bool QueryCommand(int id, CommandState& state) const;
    bool RunCommand(int id);

    CZRKMenuDoc* Doc() { return m_pDoc.get(); }
    MenuSceneDirector* Scenes() { return m_pScenes.get(); }
    CZRKMenuView* View() { return m_pView.get(); }
    MenuStartup& Startup() { return m_startup; }

    // BattleStarter: through the start-up's launcher, program folder + "ZRVGame".
    bool LaunchBattle(uint32_t command, int32_t param, const std::string& pathSjis,
                      const std::function<void(platform::SharedBlock&)>& fill, const std::vector<std::string>& env,
                      std::string* why) override;

private:
    platform::SettingsStore* m_pSettings;
    MenuStartup m_startup;
    std::unique_ptr<CZRKMenuView> m_pView;
    std::unique_ptr<CZRKMenuDoc> m_pDoc;
    // Goes first: it points at the view.
    std::unique_ptr<MenuSceneDirector> m_pScenes;
    int m_nDeferredAction = kActionNone;
    std::function<bool()> m_closeMainWindow;
    std::vector<std::string> m_extraEnv;
    std::function<void(uint32_t, const std::string&, bool)> m_launchHook;
};

}  // namespace zrv
