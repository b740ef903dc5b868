#pragma once
// The test player's operations for the situation table, the progress window
// and the event popup (real pointer clicks where a player clicks):
//   sittab <page>        clicks the tab of page 0-3 of the situation table
//   sitcolumn <column>   clicks the header of a column of the operations list
//   sitrow <row>         clicks row n of the operations list as shown
//   sitstate             logs the sheet's active page and pending mask, how
//                        often each page was drawn, the list's rows (first
//                        five), the owner texts and whether 位置確認 is on
//   progress             logs whether the progress window is shown, its
//                        bar and its screen place
//   history <event> [long]  shows the event in the popup (as the view's
//                        presentation would, without its wait)
//   historywait <state> [ms]  waits for the popup's display state (0: done)
//   historyclick         clicks the middle of the popup's screen and logs
//                        whether everything had appeared
//   historystate         logs whether the popup is shown, and its state
//   presenthistory <event>  the view presents the event as the game does
//                        (its wait runs while the script goes on)
//   presentfixture       the same with an event of three explanation lines
//   progressmove <x> <y> moves the progress window to a screen point
//   progressgrows [ms]   waits until the progress bar is longer than when
//                        the operation began

#include <functional>

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class SituationWindows;

// present(event) runs the view's presentation of a historical event.
void RegisterSituationOperations(platform::ScriptPlayer& player, SituationWindows& windows,
                                 std::function<void(int event)> present);

}  // namespace zrv
