#!/bin/sh
# Plays a test script in the battle program started as the menu program
# starts it (a stand-in menu hands over a new campaign of the first sample
# scenario), then checks the play log: the script must have run to its end
# and every line of the expectation file must appear in the log, in order.
# Pictures the script takes land in OUTDIR, with the log. A file NAME.launch
# beside the script gives the start command and the stand-in menu's set-up
# instead ("2 cpu": a new scenario with every country computer-run). A file
# NAME.distinct names pictures of the script, one a line, that must all
# differ: each shows the screen at its own moment. A file NAME.conf names
# lines that must be in the settings file after the program has ended. A file
# NAME.without names files of the program folder, one a line, taken away
# before the start. A file NAME.env holds NAME=VALUE lines for the program's
# environment.
# Usage: play_battle.sh STAGE_FOLDER STARTUP_PEER SCRIPT EXPECT OUTDIR
set -u
stage=$1
peer=$2
script=$3
expect=$4
out=$5
name=$(basename "$script" .play)
dir=$(mktemp -d /tmp/vpl-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/../view/battle_folder.sh"
prepare_battle_folder "$stage" "$peer" "$dir" || exit 2
mkdir "$dir/Data"
without="${script%.play}.without"
if [ -f "$without" ]; then
  while IFS= read -r gone; do [ -n "$gone" ] && rm -f "$dir/$gone"; done < "$without"
fi
mkdir -p "$out"
# The script names its pictures relative to the output folder.
sed "s#@OUT@#$out#g" "$script" > "$dir/script.play"
log="$out/$name.log"
rm -f "$log"
# PLAY_CONFIG_DIR keeps the settings from one run to the next.
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vpl$$" XDG_CONFIG_HOME="${PLAY_CONFIG_DIR:-$dir/cfg}"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_PLAY_SCRIPT="$dir/script.play" VELMORATH_PLAY_LOG="$log"
envfile="${script%.play}.env"
if [ -f "$envfile" ]; then
  while IFS= read -r assign; do
    case $assign in *=*) export "${assign?}" ;; esac
  done < "$envfile"
fi
command=4
setup=
launch="${script%.play}.launch"
[ -f "$launch" ] && read -r command setup < "$launch"
# shellcheck disable=SC2086
"$dir/startup_peer" launch "$command" "$dir/Scenario\\SAMPLE01.SC2" $setup >"$dir/out.txt" 2>&1
code=$?
if [ "$code" -ne 0 ]; then
  cat "$dir/out.txt"
  echo "the stand-in menu failed to launch the battle program: $code"
  exit 1
fi
i=0
while battle_running "$dir" && [ $i -lt 2600 ]; do sleep 0.1; i=$((i + 1)); done
if battle_running "$dir"; then
  cat "$dir/out.txt"
  echo "the battle program did not end"
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && kill "${p#/proc/}"
  done
  exit 1
fi
cat "$log" 2>/dev/null
if ! grep -qx 'script done' "$log" 2>/dev/null; then
  echo "the script did not run to its end"
  exit 1
fi
# Each expected line as a fixed substring, found after the previous one.
at=0
fail=0
while IFS= read -r want; do
  [ -z "$want" ] && continue
  case $want in \#*) continue ;; esac
  n=$(tail -n +$((at + 1)) "$log" | grep -nF -m1 -- "$want" | cut -d: -f1)
  if [ -z "$n" ]; then
    echo "not in the log (after line $at): $want"
    fail=1
  else
    at=$((at + n))
  fi
done < "$expect"
distinct="${script%.play}.distinct"
if [ -f "$distinct" ]; then
  sums=$(while IFS= read -r pic; do [ -n "$pic" ] && md5sum < "$out/$pic"; done < "$distinct")
  if [ "$(echo "$sums" | sort | uniq -d)" != "" ]; then
    echo "pictures that should differ are the same:"
    while IFS= read -r pic; do [ -n "$pic" ] && md5sum "$out/$pic"; done < "$distinct"
    fail=1
  fi
fi
conf="${script%.play}.conf"
if [ -f "$conf" ]; then
  settings="$dir/cfg/Quillbarrow/Velmorath.conf"
  while IFS= read -r want; do
    [ -z "$want" ] && continue
    if ! grep -qxF -- "$want" "$settings" 2>/dev/null; then
      echo "not in the settings file: $want"
      fail=1
    fi
  done < "$conf"
fi
exit $fail
