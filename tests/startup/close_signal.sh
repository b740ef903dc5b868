#!/bin/sh
# A logout or a kill: the battle program, started the way the menu program
# starts it, gets SIGNAL once it has taken its start command and ends through
# its close path (its window's profile values are written), within seconds.
# Usage: close_signal.sh STAGE_FOLDER STARTUP_PEER SIGNAL
set -u
stage=$1
peer=$2
sig=$3
dir=$(mktemp -d /tmp/vcs-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
cp "$peer" "$dir/startup_peer" && cp "$peer" "$dir/ZRVMenu" || exit 2
cp "$stage/ZRVGame" "$stage/libZRVData.so" "$dir/" || exit 2
cp -r "$stage/Scenario" "$dir/" || exit 2
for f in "$stage"/*.pxs "$stage"/*.PXS "$stage"/*.PLB; do cp "$f" "$dir/"; done
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vcs$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0
"$dir/startup_peer" launch 4 "$dir/Scenario\\SAMPLE01.SC2" >"$dir/log.txt" 2>&1
code=$?
if [ "$code" -ne 0 ]; then
  cat "$dir/log.txt" "$dir"/run/*.result 2>/dev/null
  echo "the stand-in menu failed to launch the battle program: $code"
  exit 1
fi
battle() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$dir/ZRVGame" ] && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}
i=0
until grep -q 'start command 4 taken' "$dir/log.txt" || [ $i -ge 300 ]; do sleep 0.1; i=$((i + 1)); done
pid=$(battle) || { cat "$dir/log.txt"; echo "the battle program is not running"; exit 1; }
sleep 1
kill -s "$sig" "$pid"
i=0
while battle >/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
cat "$dir/log.txt"
if battle >/dev/null; then
  kill -9 "$pid"
  echo "the battle program did not end on $sig"
  exit 1
fi
if ! grep -q 'closing on signal' "$dir/log.txt"; then
  echo "the signal did not go through the close path"
  exit 1
fi
conf="$dir/cfg/Quillbarrow/Velmorath.conf"
if ! grep -q '^ProgDlgX=' "$conf" 2>/dev/null; then
  echo "the window did not close through its close path: no profile values in $conf"
  exit 1
fi
echo "ended on $sig"
