# Shared by the scripts that start the battle program the way the menu
# program does: a program folder of its own with the staged files, and a
# test whether the program of that folder still runs. Sourced, not run.

# prepare_battle_folder STAGE_FOLDER STARTUP_PEER DIR: DIR gets the battle
# program, the stand-in menu (as ZRVMenu), the data library, the scenarios
# and the pictures, and an empty run folder.
prepare_battle_folder() {
  mkdir -m 700 "$3/run" || return 1
  cp "$2" "$3/startup_peer" && cp "$2" "$3/ZRVMenu" || return 1
  cp "$1/ZRVGame" "$1/libZRVData.so" "$3/" || return 1
  cp -r "$1/Scenario" "$3/" || return 1
  for f in "$1"/*.pxs "$1"/*.PXS "$1"/*.PLB; do cp "$f" "$3/"; done
}

# battle_running DIR: true while a process runs DIR's copy of the program.
battle_running() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$1/ZRVGame" ] && return 0
  done
  return 1
}
