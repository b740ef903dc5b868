#!/bin/sh
# The unit list's placement kept from one run of the battle program to the
# next: the first script resizes the list, widens a column and closes it, and
# the program's end must leave UListDlgRect and UListDlgColumn in the settings
# file; the second script opens the list again, which must come up with that
# rectangle and those widths.
# Usage: unit_list_kept.sh STAGE_FOLDER STARTUP_PEER OUTDIR
set -u
stage=$1
peer=$2
out=$3
here=$(dirname "$0")
cfg=$(mktemp -d /tmp/vulk-XXXXXX) || exit 2
trap 'rm -rf "$cfg"' EXIT
export PLAY_CONFIG_DIR="$cfg"
conf="$cfg/Quillbarrow/Velmorath.conf"
sh "$here/play_battle.sh" "$stage" "$peer" "$here/kept/unit_list_first.play" "$here/kept/unit_list_first.expect" \
  "$out" || exit 1
rect=$(sed -n 's/^UListDlgRect=//p' "$conf")
cols=$(sed -n 's/^UListDlgColumn=//p' "$conf")
echo "UListDlgRect=$rect UListDlgColumn=$cols"
# shellcheck disable=SC2086
set -- $rect
if [ $# -ne 4 ] || [ $(($3 - $1)) -ne 620 ] || [ $(($4 - $2)) -ne 330 ]; then
  echo "the list's rectangle is not in $conf"
  cat "$conf"
  exit 1
fi
case " $cols " in
  *" 150 "*) ;;
  *) echo "the widened column is not in $conf"; exit 1 ;;
esac
# The second opening shows the kept rectangle and widths.
printf '" window %d %d %dx%d client\nunit list widths %s\n' "$1" "$2" $(($3 - $1)) $(($4 - $2)) "$cols" \
  > "$cfg/second.expect"
sh "$here/play_battle.sh" "$stage" "$peer" "$here/kept/unit_list_second.play" "$cfg/second.expect" "$out"
