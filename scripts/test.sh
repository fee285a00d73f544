#!/usr/bin/env bash
# Runs every test headless: the native unit tests (sanitizers), then under Wine the unit tests,
# the Win32 tests and the end-to-end tests. One ctest run, so it ends with one summary.
set -u
cd "$(dirname "$0")/.."
source scripts/bed.sh
bed_up || exit 1
ctest --test-dir "$BUILD" -j"${JOBS:-2}" --output-on-failure --no-tests=error
rc=$?
bed_down
exit $rc
