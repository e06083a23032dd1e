#!/usr/bin/env bash
# Installs what is missing, builds Cifrella with its tests and runs them all:
# the puzzle core, the screens on the offscreen platform, the installed
# program driven on real desktops (openbox, xfwm4, metacity, mutter, weston),
# displays and colour schemes, with the Orca screen reader, and its
# packaging; then the same program and tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer; the offscreen tests of a build without X11;
# and a bounded libFuzzer run over the exercise. With CIFRELLA_WINDOWS other
# than 0 (so by default), also the Windows program and its installer, built by
# windows.sh, under Wine.
set -euo pipefail
cd "$(dirname "$0")"
scripts/test-setup.sh
jobs=$(nproc)

# One build and its tests: title, preset, then what ctest is to leave out.
build_and_test() {
    local start=$SECONDS title=$1 preset=$2
    shift 2
    echo "== $title"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs" "$@"
    echo "== $title: $((SECONDS - start)) s"
}

build_and_test "tests" default
if [[ ${CIFRELLA_WINDOWS:-1} != 0 ]]; then
    start=$SECONDS
    echo "== the Windows program under Wine"
    ./windows.sh
    source scripts/packages.sh
    scripts/ensure-packages.sh "${WINE_PACKAGES[@]}"
    ctest --preset windows
    echo "== the Windows program under Wine: $((SECONDS - start)) s"
fi
build_and_test "tests under AddressSanitizer and UndefinedBehaviorSanitizer" sanitize -LE desktop -E '^packaging$'
build_and_test "the offscreen tests of a build without X11" nox11
build_and_test "fuzzing the exercise" fuzz
