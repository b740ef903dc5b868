#!/bin/sh
# The menu program's movies on the real movie device, driven through the
# menu's test player with real pointer and key events: the title sequence
# with end mode 1 (the black backdrop and "OPENING.MPG" at its placed
# rectangle mid-movie, a click that is not taken while the movie plays, the
# wait for a click afterwards) and a full-screen movie after it; then, in a
# second run, the full-screen player three times (ended by a close request
# of the menu's window, by Esc, and by its own end), each time back on the
# menu with the pointer shown. The pictures are kept in OUT_FOLDER.
# Usage: menu_movies.sh STAGE_FOLDER OUT_FOLDER
set -u
stage=$1
out=$2
dir=$(mktemp -d /tmp/vmm-XXXXXX) || exit 2
trap 'rm -rf "$dir"' EXIT
mkdir -m 700 "$dir/run"
mkdir -p "$out" && rm -f "$out"/*.png "$out"/*.txt
cp -r "$stage" "$dir/s" || exit 2
export VELMORATH_RUNTIME_DIR="$dir/run" VELMORATH_SHM_SUFFIX=".vmm$$" XDG_CONFIG_HOME="$dir/cfg"
export VELMORATH_EXIT_AFTER_IDLE=0 VELMORATH_MENU_LOG="$out/log.txt"
log="$out/log.txt"
fail() {
  echo "FAILED: $1"
  cat "$log" "$dir"/out*.txt 2>/dev/null
  exit 1
}
is_png() {
  [ "$(head -c 4 "$1" 2>/dev/null | od -An -c | tr -d ' ')" = "211PNG" ]
}
# near NAME R G B: the last logged colour of the point named NAME is within 60
# of R G B in each channel.
near() {
  awk -v x="$2" -v y="$3" -v r="$4" -v g="$5" -v b="$6" '
    $1 == "pixel" && $2 == x && $3 == y { R = $4; G = $5; B = $6; seen = 1 }
    function d(a, c) { return a > c ? a - c : c - a }
    END { exit !(seen && d(R, r) < 60 && d(G, g) < 60 && d(B, b) < 60) }' "$log"
}

# The screen is 1024 x 768: the movie stands at (128, 96), 768 x 576. The
# first bar of the picture is near-white, the last blue; around it black.
# The steps wait for the movies' own states, never for a time: the title's
# movie plays at step 7 (a click then is not taken), the dialog waits for a
# click at step 0 with the movie looping. The colours come from the picture
# the grab before them saved.
play="screen 0; screensize; movie_title 1; waitmovie title 7; wait; screenclick 40 40; movie_state"
play="$play; grab $out/title_mid_movie.png; pixel 155 168 868 168 60 48"
play="$play; waitmovie title 0; movie_state; grab $out/title_waiting.png"
play="$play; screenclick 40 40; waitmovie title done; movie_state; state; shot $out/title_after.png"
# A full-screen movie after the title in the same run shows its picture too.
play="$play; movie_fullscreen Hs410622.AVI; waitmovie playing; wait; grab $out/title_then_fullscreen.png"
play="$play; pixel 27 96 1000 740; waitmovie over; command 57665"
VELMORATH_MENU_PLAY="$play" "$dir/s/ZRVMenu" >"$dir/out1.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
grep -q "^shot saved $out/title_after.png$" "$log" || fail "the play did not run to its end"
grep -q "^screensize 1024 768$" "$log" || fail "the screen is not 1024 x 768"
near x 155 168 235 235 235 || fail "no first bar at the placed movie's corner"
near x 868 168 16 16 235 || fail "no last bar at the placed movie's right"
near x 60 48 0 0 0 || fail "the backdrop around the movie is not black"
sed -n '/^movie title start/,/^movie title done/p' "$log" >"$dir/title.txt"
grep -q "^cursor hidden$" "$dir/title.txt" || fail "the pointer was not hidden for the movie"
[ "$(grep "^cursor " "$dir/title.txt" | tail -1)" = "cursor shown" ] || fail "the pointer is not back after the title"
# The click during the movie was not taken: the sequence was still at the movie.
grep -m1 "^movie state" "$dir/title.txt" | grep -q "step 7 clickable 0 finished 0 window 1" ||
  fail "the title dialog did not stand at its movie while it played"
grep "^movie state" "$dir/title.txt" | sed -n 2p | grep -q "step 0 clickable 1 finished 0 window 1 flags 0x070000" ||
  fail "the dialog did not wait for a click with the movie looping"
grep -A1 "^movie title done" "$log" | grep -q "finished 1 window 0 flags 0x000000 device 0" ||
  fail "the click did not end the sequence, close its window and its movie"
grep -q "^state screen 0 " "$log" || fail "not back on the title screen"
near x 27 96 235 235 235 || fail "the full-screen movie after the title does not show its picture"
grep -q "^movie fullscreen done after " "$log" || fail "the full-screen movie after the title did not end"
mv "$log" "$out/log-title.txt"

# Full screen: the 4:3 rectangle of a 1024 x 768 screen is the whole screen.
# Three plays, each started once the one before is over: ended by a close
# request of the menu's window (which only ends the movie), by Esc, and by
# its own end; then a close request ends the program.
play="screen 0; movie_fullscreen Hs410622.AVI; waitmovie playing; wait; grab $out/fullscreen_movie.png"
play="$play; pixel 27 96 1000 740; command 57665; waitmovie over; state"
play="$play; movie_fullscreen Hs410622.AVI; waitmovie playing; key esc; waitmovie over; shot $out/after_esc.png"
play="$play; movie_fullscreen Hs410622.AVI; waitmovie playing; waitmovie over; state; shot $out/after_end.png"
play="$play; command 57665"
VELMORATH_MENU_PLAY="$play" "$dir/s/ZRVMenu" >"$dir/out2.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the menu program ended with $code"
grep -q "^shot saved $out/after_end.png$" "$log" || fail "the play did not run to its end"

# The full-screen player.
near x 27 96 235 235 235 || fail "the full-screen movie does not cover the screen's left"
near x 1000 740 24 24 24 || fail "the full-screen movie does not reach the screen's corner"
[ "$(grep -c "^movie fullscreen start$" "$log")" -eq 3 ] || fail "three full-screen plays were not started"
[ "$(grep -c "^movie fullscreen done after " "$log")" -eq 3 ] || fail "three full-screen plays did not end"
awk '/^movie fullscreen start$/ { n++; hidden[n] = 0; shown[n] = 0 }
     /^cursor hidden$/ && n { hidden[n] = 1 }
     /^cursor shown$/ && n { shown[n] = 1 }
     END { for (i = 1; i <= 3; i++) if (!hidden[i] || !shown[i]) exit 1 }' "$log" ||
  fail "the pointer was not hidden during each full-screen play and shown after it"
# The close request and Esc reached the movie's loop while it played, the
# third play ran to its end with no message.
awk '/^movie fullscreen start$/ { n++ }
     /^movie message / && n { m[n] = m[n] $3 " " }
     /^movie fullscreen done after / { t[n] = $5 }
     END { exit !(m[1] == "close " && m[2] == "abort " && m[3] == "" && t[3] >= 3500) }' "$log" ||
  fail "the close request or Esc did not end its movie, or the last one did not play to its end"
[ "$(grep -c "^state screen 0 " "$log")" -eq 2 ] || fail "the menu did not stay after the close request"
for f in title_mid_movie title_waiting title_after title_then_fullscreen fullscreen_movie after_esc after_end; do
  is_png "$out/$f.png" || fail "no picture $f.png"
done
mv "$log" "$out/log-fullscreen.txt"
echo "pictures kept in $out"
