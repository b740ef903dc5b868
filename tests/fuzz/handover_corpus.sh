#!/bin/sh
# Seeds of the hand-over fuzz target: the block of each start command (0-8
# and an unknown code), taken with no turn-machine pass and with 31.
set -e
out="$1"
mkdir -p "$out"
for k in 0 1 2 3 4 5 6 7 8 9; do
  for passes in 0 31; do
    printf "\\$(printf '%03o' "$k")\\$(printf '%03o' "$passes")" > "$out/command-$k-passes-$passes"
  done
done
