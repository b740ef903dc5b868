#pragma once
// The battle program's operations for the test player, beside the player's
// own (ScriptPlayer.h):
//   command <id>               the command as the menu bar sends it
//   waitmap                    the map is shown for the viewing country and
//                              the view is not busy
//   clickview <x> <y>          left click at a client point of the map
//   clickhex <row> <column>    left click on the middle of a hex
//   open attack <c> <s> <tc> <ts> [flags]   a dialog opened through the
//   open merge <c> <s> <c2> <s2>            dialog service as its opener
//   open unload <c> <s>                     would (country, unit slot);
//   open launch <c> <s>                     the answer goes to the log
//   board <c> <s> <carrier c> <carrier s>   puts a unit aboard a carrier
//   unit <c> <s> <field> <value>            sets strength, fuel, exp,
//                                           ammo<i>, flag (hex value) or
//                                           hex of a unit record
// The script runs once the game stands; its end closes the program.

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterBattleOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
