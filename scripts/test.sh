#!/usr/bin/env bash
# Runs every test headless: the native unit tests (sanitizers), then, for each build this machine
# runs, under Wine the unit tests, the Win32 tests and the end-to-end tests. Builds what it uses
# first; the shipped 32-bit program is always built, so it always compiles.
set -u
cd "$(dirname "$0")/.."
source scripts/bed.sh
choose_archs || exit 2
echo "make test: testing the $(echo "$RUN_ARCHS" | sed 's/ / and the /') build ($RUN_WHY)"
targets="native"
for arch in $RUN_ARCHS; do targets="$targets build-$arch"; done
case " $RUN_ARCHS " in *" x86 "*) ;; *) targets="$targets app-x86" ;; esac
make -s --no-print-directory $targets || exit 1

bed_up "$RUN_ARCHS" || exit 1
rc=0
ctest --test-dir "$BUILD/native" -j"${JOBS:-2}" --output-on-failure --no-tests=error || rc=1
for arch in $RUN_ARCHS; do
  echo "== the $arch build"
  ctest --test-dir "$(win_dir "$arch")" -j"${JOBS:-2}" --output-on-failure --no-tests=error || rc=1
done
bed_down
[ $rc = 0 ] && echo "make test: all passed ($RUN_ARCHS)" || echo "make test: FAILED ($RUN_ARCHS)"
exit $rc
