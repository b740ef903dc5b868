#pragma once
// The test player's operations for the unit list, the tables and the unit
// data editor, beside the battle program's own (BattlePlayer.h):
//   waitstart <caption> [ms] as "wait", for a window whose caption starts so
//   gonestart <caption> [ms] as "gone", for a caption that starts so
//   row <n> [right]          clicks (or right-clicks) the middle of row n of
//                            the target window's list
//   header <column>          clicks the title of a column of that list
//   colwidth <column> <w>    a column of the target's list takes width w (a
//                            divider dragged)
//   rclick <x> <y>           right click at a client point of the target
//   resize <w> <h>           the target window takes that outer size
//   slider <id> <fraction>   clicks the track of the target's slider id at
//                            fraction (0..1) of its width
//   choose <id> <k>          entry k of the target's drop-down list id, as
//                            its popup chooses it
//   setting <key> <value>    writes a number into the program's settings
//   unitlog <c> <s>          logs a unit's hex, strength, fuel, experience,
//                            battery, tallies, flag word and its country's funds
//   placeunit <c> <s> <row> <column>
//                            puts a unit on a hex and tells the view that
//                            the unit changed, as the document does
//   listlog                  logs the unit list's caption, size and rows

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterTableOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
