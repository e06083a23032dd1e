#!/usr/bin/env bash
# Installs what is missing, builds Cifrella with its tests and runs them all:
# the puzzle core, the screens on the offscreen platform, the installed
# program driven under Xvfb with a window manager and its packaging; then the
# same tests built with AddressSanitizer and UndefinedBehaviorSanitizer, and
# a bounded libFuzzer run over the exercise.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

echo "== tests"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs" -E '^packaging$'

echo "== fuzzing the exercise"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz
