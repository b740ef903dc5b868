#pragma once
// The menu program's test player: a list of named operations, run one after
// another once the title stands, with real pointer and key events
// (wxUIActionSimulator) so that the window reacts as it does to a person.
// VELMORATH_MENU_PLAY holds the list ("move 31 217; shot a.png; click 31 217"),
// VELMORATH_MENU_PLAY_AFTER the list for the menu program the battle program
// starts when it hands back, VELMORATH_MENU_LOG a file that gets one line per
// thing worth checking (screens, effects, launches). Besides pointer, key,
// command and picture operations, "screen <n>" waits for a screen state and
// "dialog [caption]" for a dialog that "button", "check", "select" and
// "dshot" then act on. Other pieces register operations of their own under
// new names.

#include <functional>
#include <string>
#include <vector>

namespace zrv {
class CZRKMenuApp;
}

namespace zrv::menu {

class CMainFrame;

// An operation gets its words after the name; false stops the play.
using PlayOperation = std::function<bool(const std::vector<std::string>& args)>;
void RegisterPlayOperation(const std::string& name, PlayOperation op);

// Appends a line to the play log (nothing without VELMORATH_MENU_LOG).
void PlayLog(const std::string& line);

// Takes the lists from the environment (so the battle program and later menus
// do not inherit them) and hands the second one on through app.
void PreparePlay(CZRKMenuApp& app);
// Starts the play on frame once it stands; nothing without a list.
void StartPlay(CMainFrame& frame, CZRKMenuApp& app);
// Ends the play (before the frame goes).
void StopPlay();

}  // namespace zrv::menu
