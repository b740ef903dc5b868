#!/usr/bin/env bash
# Plants one forbidden include at a time in a scratch tree and expects the
# layer check to fail on each, and to pass on the clean tree.
set -u
check=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mk() { mkdir -p "$(dirname "$tmp/$1")"; printf '%s\n' "$2" > "$tmp/$1"; }

reset_tree() {
  rm -rf "$tmp"/*
  mk battle/engine/Doc.cpp '#include <vector>'
  mk battle/view/wx/Canvas.cpp '#include <wx/panel.h>'
  mk platform/wx/App.cpp '#include <wx/app.h>'
  mk platform/audio/Mixer.cpp '#include <SDL2/SDL_mixer.h>'
  mk platform/media/Decoder.cpp '#include <libavcodec/avcodec.h>'
}

reset_tree
if ! "$check" "$tmp" >/dev/null; then echo "clean tree was refused"; exit 1; fi

cases=(
  'battle/engine/Rules.cpp|#include <wx/string.h>'
  'battle/cpu/Plan.h|#  include "wx/window.h"'
  'foundation/Dib.cpp|#include <SDL2/SDL.h>'
  'platform/core/Text.cpp|#include <gtk/gtk.h>'
  'platform/gfx/Surface8.h|#include <wx/bitmap.h>'
  'battle/view/MapView.cpp|#include <wx/dc.h>'
  'battle/dialogs/AttackModel.h|#include <wx/dialog.h>'
  'menu/MenuDoc.cpp|#include <wx/frame.h>'
  'platform/wx/Canvas.cpp|#include <SDL2/SDL.h>'
  'battle/dialogs/wx/AttackDlg.cpp|#include "battle/view/ZRKGameView.h"'
  'platform/media/Player.cpp|#include <SDL.h>'
  'platform/media/Window.cpp|#include <wx/window.h>'
  'menu/TitleDlg.cpp|#include <libavformat/avformat.h>'
  'platform/wx/MovieWindow.cpp|#include "libswscale/swscale.h"'
)
fail=0
for c in "${cases[@]}"; do
  file=${c%%|*}
  line=${c#*|}
  reset_tree
  mk "$file" "$line"
  if "$check" "$tmp" >/dev/null; then
    echo "not caught: $line in $file"
    fail=1
  fi
done
exit $fail
