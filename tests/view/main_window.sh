#!/bin/sh
# Starts the battle program the way the menu program does (a stand-in menu
# fills the hand-over block with a new campaign of the first sample
# scenario) and lets the driver play its main window with real pointer and
# key events; the driver ends by closing the window as a window manager
# does. Then the window must have gone by itself (the close waits for the
# idle pass) and kept its rectangle as "GameWindow" in the settings file.
# The screen pictures the driver takes are kept in OUT_DIR.
# Usage: main_window.sh STAGE_FOLDER STARTUP_PEER DRIVER OUT_DIR
set -u
stage=$1
peer=$2
driver=$3
out=$4
dir=$(mktemp -d /tmp/vmw-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/battle_folder.sh"
prepare_battle_folder "$stage" "$peer" "$dir" || exit 2
rm -rf "$out" && mkdir -p "$out" || exit 2
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vmw$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_FRAME_STATE="$dir/frame-state.txt"
# Two recent files, the newest of them gone from the disk.
mkdir -p "$dir/cfg/Quillbarrow" || exit 2
printf '[Recent File List]\nFile1=%s\nFile2=%s\n' "$dir/Save/gone.DC2" "$dir/Save/kept.DC2" \
  >"$dir/cfg/Quillbarrow/Velmorath.conf" || exit 2
# Classic scroll bars, so a click in the trough pages.
export GTK_OVERLAY_SCROLLING=0
"$dir/startup_peer" launch 4 "$dir/Scenario\\SAMPLE01.SC2" >"$dir/log.txt" 2>&1
code=$?
if [ "$code" -ne 0 ]; then
  cat "$dir/log.txt" "$dir"/run/*.result 2>/dev/null
  echo "the stand-in menu failed to launch the battle program: $code"
  exit 1
fi
"$driver" "$dir/frame-state.txt" "$out"
driven=$?
i=0
while battle_running "$dir" && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
status=0
if battle_running "$dir"; then
  echo "the battle program did not close"
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && kill "${p#/proc/}"
  done
  status=1
fi
[ "$driven" -eq 0 ] || status=1
conf="$dir/cfg/Quillbarrow/Velmorath.conf"
if ! grep -Eq '^GameWindow=-?[0-9]+ -?[0-9]+ [0-9]+ [0-9]+$' "$conf" 2>/dev/null; then
  echo "no GameWindow in $conf"
  cat "$conf" 2>/dev/null
  status=1
else
  grep '^GameWindow=' "$conf"
fi
# Choosing the missing file said so.
if ! grep -q "gone.DC2" "$dir/log.txt" || ! grep -q "が見つかりません" "$dir/log.txt"; then
  echo "no message said the recent file is missing"
  cat "$dir/log.txt"
  status=1
fi
# The list in the settings file lost the missing entry and kept the other.
if ! grep -qx "File1=$dir/Save/kept.DC2" "$conf" || grep -q '^File2=.' "$conf"; then
  echo "the recent file list in $conf did not drop the missing file"
  sed -n '/Recent File List/,/^\[/p' "$conf"
  status=1
fi
[ "$status" -eq 0 ] && echo "pictures of the screen in $out"
exit $status
