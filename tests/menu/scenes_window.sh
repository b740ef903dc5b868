#!/bin/sh
# The menu program's scenes after a campaign scenario, on a copy of the stage
# folder with a stand-in battle program that hands back code 7 with a record
# after the first sample scenario (outcome 0): the result scene on the world
# map (flags sink and rise, the outcome text written, a click skips to the
# click wait and the next goes on), then the title; a record whose next
# scenario is -1 plays ending 0 with its pictures and texts and returns to the
# title; a close request during the result scene stops it, the program stays
# on the picture and no campaign step follows. Pictures kept in OUT_FOLDER.
# Usage: scenes_window.sh STAGE_FOLDER OUT_FOLDER STARTUP_PEER
set -u
stage=$1
out=$2
peer=$3
dir=$(mktemp -d /tmp/vsw-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
mkdir -p "$out" && rm -f "$out"/*.png "$out"/*.txt
cp -r "$stage" "$dir/s" || exit 2
cp "$peer" "$dir/s/ZRVGame" && cp "$peer" "$dir/s/startup_peer" || exit 2
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vsw$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_MENU_LOG="$out/log.txt" STARTUP_PEER_BATTLE="7 exit"
fail() {
  echo "$1"
  cat "$out"/log*.txt "$dir"/out*.txt 2>/dev/null
  exit 1
}
# A stand-in battle hands back code 7 with the record "outcome finished view next".
hand_back() {
  STARTUP_PEER_RECORD="$1" "$dir/s/startup_peer" launch 5 SAMPLE01.SC2 >"$dir/peer.txt" 2>&1
  i=0
  while [ $i -lt 100 ] && ! grep -q "^running " "$dir/run/battle.result" 2>/dev/null; do sleep 0.1; i=$((i + 1)); done
  sleep 1
  rm -f "$dir/run/battle.result" "$dir/run/launch.result"
}

# Round 1: the result scene, then the title.
hand_back "0 0 0x00040000 1"
VELMORATH_MENU_PLAY="screen 3; wait; wait; wait; wait; shot $out/result-flags.png; click 320 240; wait; wait; shot $out/result.png; state; click 320 240; screen 0; state; command 57665" \
  timeout -k 10 120 "$dir/s/ZRVMenu" >"$dir/out1.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
grep -q "^start code 7$" "$out/log.txt" || fail "the hand-back was not taken"
grep -q "^state screen 3 " "$out/log.txt" || fail "no result scene on the world map"
grep -q "^screen 0$" "$out/log.txt" || fail "the title did not follow"
mv "$out/log.txt" "$out/log-result.txt"

# Round 2: the campaign's last scenario: the result scene, then ending 0.
hand_back "0 1 0x00040000 -1"
VELMORATH_MENU_PLAY="screen 3; wait; click 320 240; wait; click 320 240; screen 4; wait; click 320 240; wait; wait; shot $out/ending.png; state; click 320 240; wait; wait; click 320 240; wait; wait; click 320 240; wait; wait; click 320 240; wait; wait; click 320 240; wait; wait; click 320 240; screen 0; command 57665" \
  timeout -k 10 120 "$dir/s/ZRVMenu" >"$dir/out2.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
grep -q "^state screen 4 " "$out/log.txt" || fail "no ending picture"
grep -q "^screen 0$" "$out/log.txt" || fail "the ending did not go back to the title"
mv "$out/log.txt" "$out/log-ending.txt"

# Round 3: a close request during the result scene.
hand_back "0 0 0x00040000 1"
VELMORATH_MENU_PLAY="screen 3; wait; command 57665; wait; wait; wait; wait; state; shot $out/closed.png; command 57665" \
  timeout -k 10 120 "$dir/s/ZRVMenu" >"$dir/out3.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
grep -q "^close refused during a scene$" "$out/log.txt" || fail "the close was not refused"
grep -q "^state screen 3 " "$out/log.txt" || fail "the program did not stay on the picture"
mv "$out/log.txt" "$out/log-close.txt"
for f in result-flags result ending closed; do
  [ "$(head -c 4 "$out/$f.png" 2>/dev/null | od -An -c | tr -d ' ')" = "211PNG" ] || fail "no picture $f.png"
done
echo "pictures kept in $out"
