#!/bin/sh
# Starts the battle program the way the menu program does (a stand-in menu
# fills the hand-over block with a new campaign of the first sample
# scenario), lets it run until the first phase waits for the click on the
# information screen, clicks it away (VELMORATH_SHOW_MAP=1: the battle
# program closes itself once the map is shown), saves what its window shows
# as a PNG, and checks that the view kept its profile values in the settings
# file when it closed.
# Usage: battle_window.sh STAGE_FOLDER STARTUP_PEER OUT.png
set -u
stage=$1
peer=$2
out=$3
dir=$(mktemp -d /tmp/vbw-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/battle_folder.sh"
prepare_battle_folder "$stage" "$peer" "$dir" || exit 2
rm -f "$out"
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vbw$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_SHOW_MAP=1 VELMORATH_SCREENSHOT="$out"
"$dir/startup_peer" launch 4 "$dir/Scenario\\SAMPLE01.SC2" >"$dir/log.txt" 2>&1
code=$?
cat "$dir/log.txt" "$dir"/run/*.result 2>/dev/null
if [ "$code" -ne 0 ]; then
  echo "the stand-in menu failed to launch the battle program: $code"
  exit 1
fi
# The battle program closes the menu at once and carries on alone until it
# has shown the map: wait until no process runs its copy.
i=0
while battle_running "$dir" && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
if battle_running "$dir"; then
  echo "the battle program did not end"
  exit 1
fi
conf="$dir/cfg/Quillbarrow/Velmorath.conf"
if ! grep -q '^ProgDlgX=32767' "$conf" 2>/dev/null; then
  echo "the profile values were not written to $conf"
  exit 1
fi
if [ "$(head -c 4 "$out" 2>/dev/null | od -An -c | tr -d ' ')" != "211PNG" ]; then
  echo "no PNG of the window at $out"
  exit 1
fi
echo "window saved to $out"
