#!/usr/bin/env bash
# Starts Snipquill under Wine, the shipped 32-bit build where this machine runs it and the 64-bit
# one otherwise (ARCH forces one); on a virtual display when there is no real one.
set -u
cd "$(dirname "$0")/.."
source scripts/bed.sh
choose_archs || exit 2
arch=${RUN_ARCHS%% *}
echo "make run: the $arch build ($RUN_WHY)"
make -s --no-print-directory "app-$arch" || exit 1
had_display=${DISPLAY:-}
bed_up "$arch" || exit 1
exe="$(bin_dir "$arch")/snipquill.exe"
if [ -z "$had_display" ] || [ -n "${CI:-}" ]; then
  shot="$BUILD/screenshot.png"
  echo "No display: Snipquill runs on the virtual display $DISPLAY."
  echo "A screenshot is written to $shot every 2 seconds; look at it with any image viewer,"
  echo "or drive the note with: DISPLAY=$DISPLAY xdotool ...   Ctrl-C stops everything."
  scripts/wine-run "$arch" "$exe" "$@" &
  app=$!
  while kill -0 "$app" 2>/dev/null; do
    sleep 2
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null || true
  done
else
  scripts/wine-run "$arch" "$exe" "$@"
fi
bed_down
