#pragma once
// The test player's operations for the production and deployment windows
// and the improvement sheet (the sheet's tabs: "tab <n>" of SpecPlayerOps.h):
//   placement                      logs the view's placement state: mode,
//                                  armed bit and what it places, the current
//                                  country's funds, units and next serial
//                                  number, the pool records in use, the
//                                  production and deployment checks' codes
//                                  and the cursor hex
//   hex <row> <column>             logs a hex's placement mark and the unit
//                                  standing there (type, strength, shown) or
//                                  none
//   marks                          logs the number of candidate hexes and
//                                  the last placed one with its unit
//   clickmark <n>                  clicks the n-th candidate hex (index
//                                  order) as the player clicks it
//   producible <type>...           the current country produces these types
//   pool <type> <serial> <exp> <strength>
//                                  a unit of type waits in the first free
//                                  carry-over record; the game becomes a
//                                  campaign
//   clickrow <row>                 clicks a row of the target's shown list
//   pointer <x> <y>                moves the pointer to a screen point

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterPlacementOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
