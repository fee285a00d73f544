#!/usr/bin/env bash
# Runs every benchmark of each build this machine runs (ARCH forces one) under Wine on a private
# virtual display large enough for 1920x1080 pictures, and prints one line per figure, each
# labelled with its build.
set -u
cd "$(dirname "$0")/.."
source scripts/bed.sh
choose_archs || exit 2
echo "make bench: the $(echo "$RUN_ARCHS" | sed 's/ / and the /') build ($RUN_WHY)"
targets=""
for arch in $RUN_ARCHS; do targets="$targets build-$arch"; done
make -s --no-print-directory $targets || exit 1
export BED_FORCE_XVFB=1
bed_up "$RUN_ARCHS" 2560x1600x24 || exit 1
rc=0
for arch in $RUN_ARCHS; do
  bin=$(bin_dir "$arch")
  bench_bin="$(win_dir "$arch")/bin"
  winpath() { scripts/wine-run "$arch" winepath.exe -w "$1" 2>/dev/null; }
  for exe in "$bench_bin"/bench_*.exe; do
    [ -e "$exe" ] || continue
    echo "== [$arch] $(basename "$exe" .exe)"
    scripts/wine-run "$arch" "$exe" "$(winpath "$bin/snipquill.exe")" \
      "$(winpath "$bench_bin/minimal_window.exe")" | sed -u "s/^/[$arch] /"
    [ "${PIPESTATUS[0]}" = 0 ] || rc=1
  done
  size=$(stat -c %s "$bin/snipquill.exe")
  printf '[%s] %-48s %12.3f %-4s %s\n' "$arch" "snipquill.exe size" \
    "$(awk "BEGIN{print $size/1048576}")" "MB" "(target <= 1.5 MB)"
done
bed_down
exit $rc
