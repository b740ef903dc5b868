#!/bin/sh
# Starts the battle program with a test battle through the stand-in
# menu under the order test switch: real pointer events select the own unit
# nearest the enemy, move it next to an enemy, attack the first marked
# target (the decision answered by the switch) and close the program. Checks
# the order log and keeps it with the window pictures in OUT_DIR.
# The battle is the generated test scenario with an enemy company in reach.
# Usage: order_window.sh STAGE_FOLDER STARTUP_PEER TEST_SCENARIOS OUT_DIR
set -u
stage=$1
peer=$2
scenarios=$3
out=$4
dir=$(mktemp -d /tmp/vow-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
cp "$peer" "$dir/startup_peer" && cp "$peer" "$dir/ZRVMenu" || exit 2
cp "$stage/ZRVGame" "$stage/libZRVData.so" "$dir/" || exit 2
cp -r "$stage/Scenario" "$dir/" || exit 2
cp "$scenarios/CLASH.SC2" "$scenarios/CLASH.MB2" "$dir/Scenario/" || exit 2
for f in "$stage"/*.pxs "$stage"/*.PXS "$stage"/*.PLB "$stage"/*.WAV "$stage"/*.wav; do
  [ -e "$f" ] && cp "$f" "$dir/"
done
[ -d "$stage/Data" ] && cp -r "$stage/Data" "$dir/"
rm -rf "$out"
mkdir -p "$out"
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vow$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_ORDER_TEST="$out"
"$dir/startup_peer" launch 4 "$dir/Scenario\\CLASH.SC2" >"$dir/log.txt" 2>&1
code=$?
cat "$dir/log.txt" "$dir"/run/*.result 2>/dev/null
if [ "$code" -ne 0 ]; then
  echo "the stand-in menu failed to launch the battle program: $code"
  exit 1
fi
running() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && return 0
  done
  return 1
}
i=0
while running && [ $i -lt 900 ]; do sleep 0.1; i=$((i + 1)); done
if running; then
  echo "the battle program did not end"
  exit 1
fi
log="$out/orders.log"
cat "$log" 2>/dev/null
fail=0
expect() {
  if ! grep -q "$1" "$log" 2>/dev/null; then
    echo "missing in the order log: $2"
    fail=1
  fi
}
expect '^select ' "an own unit selected"
expect '^effect slide ' "the unit's slide"
expect '^effect sound .* 1$' "the looping move sound"
expect '^moved mode 5 .* movebar 1 candidates [1-9][0-9]* drawn-at-target 1' "the unit at its destination with the move bar and marked enemies"
expect '^decision own=1 moved=1 counter=0 mask=[1-9]' "the attack decision answered with weapons"
expect '^effect explosion ' "the shots bursting on the hexes"
expect '^attacked selection-ended 1 ' "the selection ended by the attack"
expect '^done' "the run to its end"
for p in slide moved burst after; do
  if [ "$(head -c 4 "$out/$p.png" 2>/dev/null | od -An -c | tr -d ' ')" != "211PNG" ]; then
    echo "no picture $p.png"
    fail=1
  fi
done
exit $fail
