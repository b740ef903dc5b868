#!/bin/sh
# The battle program's HQ map and overview window driven with real key and
# pointer events (the driver), twice: the first run moves the overview
# window and closes it, and its place must then be in the settings file; the
# second run opens it again and must find it there. The screen pictures are
# kept in OUT_DIR.
# Usage: hq_overview.sh STAGE_FOLDER STARTUP_PEER DRIVER OUT_DIR
set -u
stage=$1
peer=$2
driver=$3
out=$4
dir=$(mktemp -d /tmp/vhq-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/battle_folder.sh"
prepare_battle_folder "$stage" "$peer" "$dir" || exit 2
rm -rf "$out" && mkdir -p "$out" || exit 2
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vhq$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_FRAME_STATE="$dir/frame-state.txt"
conf="$dir/cfg/Quillbarrow/Velmorath.conf"
status=0

run() {
  rm -f "$dir/frame-state.txt"
  "$dir/startup_peer" launch 4 "$dir/Scenario\\SAMPLE01.SC2" >"$dir/log.txt" 2>&1
  code=$?
  if [ "$code" -ne 0 ]; then
    cat "$dir/log.txt" "$dir"/run/*.result 2>/dev/null
    echo "the stand-in menu failed to launch the battle program: $code"
    exit 1
  fi
  "$driver" "$dir/frame-state.txt" "$out" "$@" || status=1
  i=0
  while battle_running "$dir" && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  if battle_running "$dir"; then
    echo "the battle program did not close"
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && kill "${p#/proc/}"
    done
    status=1
  fi
}

run first
x=$(sed -n 's/^SMapDlgX=//p' "$conf" 2>/dev/null)
y=$(sed -n 's/^SMapDlgY=//p' "$conf" 2>/dev/null)
echo "SMapDlgX=$x SMapDlgY=$y"
if [ "$x" != 600 ] || [ "$y" != 420 ]; then
  echo "the overview's place is not in $conf"
  cat "$conf" 2>/dev/null
  status=1
fi
run again "${x:-0}" "${y:-0}"
exit $status
