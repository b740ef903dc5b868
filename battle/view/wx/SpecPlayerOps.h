#pragma once
// The test player's operations for the performance windows, the arms
// change and the evolution table, beside the battle program's own (BattlePlayer.h):
//   perf <country> <slot>      the view opens the performance window of that
//                              unit as the 性能 order does (logs "opener got
//                              perf <result>")
//   perftype <type> [army]     the same for a bare unit type (army: the
//                              opener's country argument, 0 unless given)
//   slots                      logs "slots" and the type each of the four
//                              slots shows (-1: free)
//   specwin <slot>             the performance window of slot becomes the
//                              target of the built-in operations
//   tab <n>                    clicks tab n of the target's sheet
//   logcount <n> <text...>     fails unless n lines of the log so far hold
//                              text
//   locate <country> <slot>    logs "unit at <row> <column>" (for clickhex)
//   arms <country> <slot>      logs "arms set <fitted set> funds <funds>":
//                              the unit's set and its country's war funds
//   classlist <c> <class> [e0 .. e9]  sets the country's development list of
//                              the class when given; logs "class list" with it
//   evolution <c> <type>       the view opens the evolution table of the type
//                              for country c
//   chooser <c> <slot>         the 進化 order's chooser for that unit
//   newweapon <c> <type> <mode>  the new-weapon entry as the turn flow shows
//                              it (logs "answer NewWeapon <result>")
//   newdeploy <c> <slot>       the report of that unit's delivery

namespace platform {
class ScriptPlayer;
}

namespace zrv {

class CMainFrame;
class CZRKGameDoc;

void RegisterSpecOperations(platform::ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc);

}  // namespace zrv
