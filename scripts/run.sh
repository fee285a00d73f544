#!/usr/bin/env bash
# Starts Snipquill under Wine; on a virtual display when there is no real one.
set -u
cd "$(dirname "$0")/.."
source scripts/bed.sh
had_display=${DISPLAY:-}
bed_up || exit 1
exe="$BUILD/bin/snipquill.exe"
if [ -z "$had_display" ] || [ -n "${CI:-}" ]; then
  shot="$BUILD/screenshot.png"
  echo "No display: Snipquill runs on the virtual display $DISPLAY."
  echo "A screenshot is written to $shot every 2 seconds; look at it with any image viewer,"
  echo "or drive the note with: DISPLAY=$DISPLAY xdotool ...   Ctrl-C stops everything."
  wine "$exe" "$@" &
  app=$!
  while kill -0 "$app" 2>/dev/null; do
    sleep 2
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null || true
  done
else
  wine "$exe" "$@"
fi
bed_down
