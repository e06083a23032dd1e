#!/usr/bin/env bash
# Installs what is missing, builds Cifrella with its tests and runs them all:
# the puzzle core, the screens on the offscreen platform, the installed
# program driven on real desktops (openbox, xfwm4, metacity, mutter, weston),
# displays and colour schemes, with the Orca screen reader, and its
# packaging; then the same program and tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer; the offscreen tests of a build without X11;
# and a bounded libFuzzer run over the exercise.
set -euo pipefail
cd "$(dirname "$0")"
scripts/test-setup.sh
jobs=$(nproc)

echo "== tests"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs" -LE desktop -E '^packaging$'

echo "== the offscreen tests of a build without X11"
cmake --preset nox11 >/dev/null
cmake --build --preset nox11 -j"$jobs"
ctest --preset nox11 -j"$jobs"

echo "== fuzzing the exercise"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz
