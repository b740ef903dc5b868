#!/bin/sh
# The menu program on a copy of the stage folder, played with real pointer
# events (the menu's test player): the start-up logos, the title, the
# new-campaign button highlighted under the pointer, a click that shows the
# briefing on the world map (a click skips it to its click wait, the next one
# goes on) and then starts the battle program with a new campaign of the
# first scenario, the battle's map; then a second round
# whose battle goes back to the title at once, and the menu program it starts
# shows the title again. The pictures are kept in OUT_FOLDER.
# Usage: menu_window.sh STAGE_FOLDER OUT_FOLDER
set -u
stage=$1
out=$2
dir=$(mktemp -d /tmp/vmw-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
mkdir -p "$out" && rm -f "$out"/*.png "$out"/*.txt
cp -r "$stage" "$dir/s" || exit 2
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vmw$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_MENU_LOG="$out/log.txt"
fail() {
  echo "$1"
  cat "$out/log.txt" "$dir"/out*.txt 2>/dev/null
  exit 1
}
battle_running() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/s/ZRVGame" ] && return 0
  done
  return 1
}
menu_running() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/s/ZRVMenu" ] && return 0
  done
  return 1
}
wait_gone() {
  i=0
  while { battle_running || menu_running; } && [ $i -lt 400 ]; do sleep 0.1; i=$((i + 1)); done
  ! battle_running && ! menu_running
}

# Round 1: the battle shows its map and closes itself (VELMORATH_SHOW_MAP).
VELMORATH_MENU_PLAY="screen 1; wait; wait; wait; shot $out/logo.png; screen 0; shot $out/title.png; move 31 217; state; shot $out/highlighted.png; click 31 217; screen 3; wait; click 320 240; wait; wait; shot $out/briefing.png; state; click 320 240" \
VELMORATH_MENU_PLAY_AFTER="command 57665" VELMORATH_SHOW_MAP=1 VELMORATH_SCREENSHOT="$out/battle.png" \
  "$dir/s/ZRVMenu" >"$dir/out1.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
wait_gone || fail "the battle program did not end"
grep -q "^start code 1$" "$out/log.txt" || fail "no fresh start"
grep -q "^state screen 0 highlight 0 " "$out/log.txt" || fail "the button was not highlighted"
grep -q "^effect 4$" "$out/log.txt" || fail "no hover sound"
grep -q "^effect 5$" "$out/log.txt" || fail "no click sound"
grep -q '^launch 4 .*Scenario\\SAMPLE01.SC2 ok$' "$out/log.txt" || fail "no new campaign started"
grep -q "start command 4 taken" "$dir/out1.txt" || fail "the battle program did not take the command"
grep -q "^state screen 3 " "$out/log.txt" || fail "no briefing on the world map"
for f in logo title highlighted briefing battle; do
  [ "$(head -c 4 "$out/$f.png" 2>/dev/null | od -An -c | tr -d ' ')" = "211PNG" ] || fail "no picture $f.png"
done
mv "$out/log.txt" "$out/log-round1.txt"

# Round 2: the battle goes back to the title once it stands; the menu it
# starts shows the title with the battle's option word and closes.
rm -rf "$dir/run"/* 2>/dev/null
VELMORATH_MENU_PLAY="screen 0; move 31 217; click 31 217; screen 3; wait; click 320 240; wait; wait; click 320 240" \
VELMORATH_MENU_PLAY_AFTER="state; shot $out/returned.png; command 57665" VELMORATH_RUN_COMMAND=32901 \
  "$dir/s/ZRVMenu" >"$dir/out2.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
wait_gone || fail "the battle program or the second menu did not end"
grep -q "^start code 6$" "$out/log.txt" || fail "the second menu did not take the hand-back"
grep -q "^state screen 0 " "$out/log.txt" || fail "the second menu shows no title"
[ "$(head -c 4 "$out/returned.png" 2>/dev/null | od -An -c | tr -d ' ')" = "211PNG" ] || fail "no picture returned.png"
mv "$out/log.txt" "$out/log-round2.txt"
echo "pictures kept in $out"
