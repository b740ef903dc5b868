#pragma once
// The test player's operations for the march, construction, password,
// country-control and music dialogs, beside the battle program's own
// (BattlePlayer.h):
//   target <c> <u> <row> <col> [bomb]  gives the unit a standing target (a
//                                       bombing target with "bomb")
//   marchdialog <c> <u> march|bomb      opens the march or bombing-target
//                                       dialog through the dialog service, as
//                                       the move command does for a type that
//                                       marches to bomb; logs the answer and
//                                       the unit's order word
//   order <c> <u>                       logs the unit's order word and target
//   gameoption <bits> on|off            sets or clears bits of the game options
//   display <bits> on|off               sets or clears bits of the view's
//                                       display options
//   funds <c> <n>                       sets a country's war funds
//   countryflag <c> <bits> on|off       sets or clears bits of a country's flags
//   route <row> <col> <bits>            adds route bits to a map cell
//   cell <row> <col>                    logs a map cell and its durability
//   country <c>                         logs a country's flags, controller,
//                                       music track and password
//   music                               logs the track the view plays

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterChoiceOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
