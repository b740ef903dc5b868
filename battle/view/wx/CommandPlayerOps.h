#pragma once
// The test player's operations for the unit commands, beside the battle
// program's own (BattlePlayer.h):
//   ctrl <letter>          Ctrl + the letter, as the keyboard sends it
//   barbutton <id>         clicks the button of an open command bar that
//                          carries command id
//   tool <id>              clicks the toolbar's button of command id
//   menu <id>              chooses the menu bar's item of command id with
//                          the keyboard (F10, arrows, Enter); it must be
//                          enabled
//   rclickview <x> <y>     right click at a client point of the map
//   state                  logs the view's order state in four lines: mode,
//                          sub-mode, selected and command unit (their
//                          hexes); what the status strip shows; the
//                          next-unit slot, hex lines, the option words and
//                          the current country's flags, the game's state
//                          flags and flow state; the view's state
//                          word, its scroll position and the captions of
//                          the shown floating windows
//   asked                  with the recording service (test switch
//                          VELMORATH_PLAY_DIALOGS=scripted): logs the boxes
//                          shown and the dialogs asked since the last time
//   boxanswer <n>          queues the answer of the next box
//   stripshot <file.png>   a picture of the status strip's pane
//   screenshot <file.png>  a picture of the whole screen (the floating bars
//                          beside the main window included)

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterCommandOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
