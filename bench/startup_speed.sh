#!/bin/sh
# Start-up of the battle program beside an empty window, in one run: ROUNDS
# times each, one after the other, then the medians and their ratio.
#   empty window   from its start to its first paint (bench_empty_window)
#   battle program from the stand-in menu's start (it writes a new-campaign
#                  command into the block and starts ZRVGame, as ZRVMenu
#                  does) to the first paint of the map canvas once the game
#                  stands
# Each figure is the real-time clock at the first paint, as the program
# prints it, less the clock just before the start. Needs a display:
#   xvfb-run -a sh bench/startup_speed.sh build [ROUNDS]
set -u
build=$(cd "${1:?usage: startup_speed.sh BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-7}
stage=$build/stage
peer=$build/tests/startup/startup_peer
empty=$build/bench/bench_empty_window
for f in "$stage/ZRVGame" "$peer" "$empty"; do
  [ -x "$f" ] || { echo "missing $f (build the programs, the tests and the benchmarks)"; exit 2; }
done
dir=$(mktemp -d /tmp/velmorath-startup-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
cp "$peer" "$dir/startup_peer" && cp "$peer" "$dir/ZRVMenu" || exit 2
cp "$stage/ZRVGame" "$stage/libZRVData.so" "$dir/" || exit 2
cp -r "$stage/Scenario" "$dir/" || exit 2
for f in "$stage"/*.pxs "$stage"/*.PXS "$stage"/*.PLB "$stage"/*.wav "$stage"/*.WAV; do
  [ -e "$f" ] && cp "$f" "$dir/"
done
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vsb$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_STARTUP_TIMES=1 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

now() { date +%s%N; }

# The first "<label> <ns>" line of file, waited for up to 30 s.
stamp() {
  i=0
  while [ $i -lt 3000 ]; do
    s=$(sed -n "s/^.*$2 \([0-9][0-9]*\)\$/\1/p" "$1" | head -n 1)
    [ -n "$s" ] && { echo "$s"; return 0; }
    sleep 0.01
    i=$((i + 1))
  done
  return 1
}

battle_pid() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}

empty_ms=""
battle_ms=""
r=0
while [ $r -lt "$rounds" ]; do
  r=$((r + 1))
  t0=$(now)
  "$empty" >"$dir/empty.txt" 2>&1
  t1=$(stamp "$dir/empty.txt" "first frame") || { cat "$dir/empty.txt"; echo "the empty window never painted"; exit 1; }
  empty_ms="$empty_ms $(( (t1 - t0) / 1000 ))"

  rm -f "$dir/battle.txt"
  t0=$(now)
  "$dir/startup_peer" launch 4 "$dir/Scenario\\SAMPLE01.SC2" >"$dir/battle.txt" 2>&1 &
  launcher=$!
  t1=$(stamp "$dir/battle.txt" "ZRVGame: first frame") || { cat "$dir/battle.txt"; echo "the battle program never painted"; exit 1; }
  battle_ms="$battle_ms $(( (t1 - t0) / 1000 ))"
  if pid=$(battle_pid); then kill -TERM "$pid"; fi
  wait "$launcher"
done

median() { printf '%s\n' $1 | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
em=$(median "$empty_ms")
bm=$(median "$battle_ms")
echo "rounds $rounds (microseconds)"
echo "empty window  :$empty_ms"
echo "battle program:$battle_ms"
awk -v e="$em" -v b="$bm" 'BEGIN {
  printf "median empty window   %.1f ms\n", e / 1000
  printf "median battle program %.1f ms\n", b / 1000
  printf "ratio %.2f (goal 1.5 or less)\n", b / e
}'
