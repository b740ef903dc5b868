#!/bin/sh
# Runs the battle program under the virtual display until its first idle
# pass, saves what its window shows as a PNG, and checks that the view kept
# its profile values in the settings file.
# Usage: battle_window.sh PROGRAM OUT.png
set -u
prog=$1
out=$2
rm -f "$out"
conf="${XDG_CONFIG_HOME:-$HOME/.config}/Quillbarrow/Velmorath.conf"
rm -f "$conf"
VELMORATH_SCREENSHOT="$out" "$prog"
code=$?
if [ "$code" -ne 0 ]; then
  echo "exit code $code"
  exit 1
fi
if [ "$(head -c 4 "$out" 2>/dev/null | od -An -c | tr -d ' ')" != "211PNG" ]; then
  echo "no PNG of the window at $out"
  exit 1
fi
if ! grep -q '^ProgDlgX=32767' "$conf" 2>/dev/null; then
  echo "the profile values were not written to $conf"
  exit 1
fi
echo "window saved to $out"
