#!/usr/bin/env bash
# Builds one target of the program for this machine in build/, configured
# once without the tests: the program itself for run.sh, the picture
# renderer for windows.sh. Usage: scripts/host-build.sh TARGET
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -f build/CMakeCache.txt ]] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target "$1"
