#!/bin/sh
# Seeds for the picture, palette, sound and scene targets from the staged
# program folder: small pictures behind each call's three leading bytes,
# palettes and sound effects as they are, and a few scene blocks.
# Usage: media_corpus.sh STAGE_FOLDER CORPUS_FOLDER
set -eu
stage=$1
out=$2
mkdir -p "$out/picture" "$out/palette" "$out/wave" "$out/scene"
n=0
for f in $(find "$stage" -maxdepth 1 -iname '*.pxs' -size -12k | sort | head -6); do
  for mode in '\000\000\000' '\001\002\003' '\002\010\000' '\003\007\005'; do
    n=$((n + 1))
    { printf "$mode"; cat "$f"; } > "$out/picture/seed$n"
  done
done
for f in $(find "$stage" -maxdepth 1 -iname '*.PLB' | sort | head -3); do cp "$f" "$out/palette/"; done
for f in $(find "$stage" -maxdepth 1 -iname 'SE0*.WAV' -size -40k | sort | head -4); do cp "$f" "$out/wave/"; done
head -c 504 /dev/zero > "$out/scene/empty"
{ head -c 32 /dev/zero; printf '\014\000\000\000'; head -c 468 /dev/zero; } > "$out/scene/type12"
