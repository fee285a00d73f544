#!/usr/bin/env bash
# Runs every benchmark under Wine on a private virtual display large enough for 1920x1080
# pictures, and prints one line per figure.
set -u
cd "$(dirname "$0")/.."
export BED_FORCE_XVFB=1
source scripts/bed.sh
bed_up 2560x1600x24 || exit 1
rc=0
for exe in "$BUILD"/win/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  echo "== $(basename "$exe" .exe)"
  wine "$exe" "$(winepath -w "$BUILD/bin/snipquill.exe")" "$(winepath -w "$BUILD/win/bin/minimal_window.exe")" || rc=1
done
size=$(stat -c %s "$BUILD/bin/snipquill.exe")
printf '%-48s %12.3f %-4s %s\n' "snipquill.exe size" "$(awk "BEGIN{print $size/1048576}")" "MB" "(target <= 1.5 MB)"
bed_down
exit $rc
