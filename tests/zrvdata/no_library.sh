#!/bin/sh
# Stages a copy of a program in an empty folder, with no data library or with
# the given stand-in for it, runs it and checks that it takes its failure
# path: the built-in text on stderr and the exit code for a missing library.
# With a size, the library is cut to that many bytes first.
# Usage: no_library.sh PROGRAM EXIT_CODE [LIBRARY [SIZE]]
set -u
prog=$1
want=$2
lib=${3:-}
size=${4:-}
dir=$(mktemp -d) || exit 2
trap 'rm -rf "$dir"' EXIT
cp "$prog" "$dir/" || exit 2
if [ -n "$lib" ]; then cp "$lib" "$dir/libZRVData.so" || exit 2; fi
if [ -n "$size" ]; then truncate -s "$size" "$dir/libZRVData.so" || exit 2; fi
out=$("$dir/$(basename "$prog")" 2>&1)
code=$?
printf '%s\n' "$out"
if [ "$code" -ne "$want" ]; then
  echo "exit code $code, expected $want"
  exit 1
fi
if ! printf '%s\n' "$out" | grep -q 'データ(ZRVData.DLL)がロードできないので終了します'; then
  echo "the failure text was not shown"
  exit 1
fi
