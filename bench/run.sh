#!/usr/bin/env bash
# The startup benchmark: builds Cifrella in Release, installs it into a
# temporary prefix, builds a bare Qt window and the X probe, and measures
# both side by side under Xvfb with openbox. Prints the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${BUILD_PACKAGES[@]}" xvfb openbox x11-utils libxcb-xtest0-dev python3

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j"$(nproc)" >/dev/null
cmake -S bench -B build-release/bench -DCMAKE_BUILD_TYPE=Release -DCIFRELLA_RENDERS="$PWD/build-release/assets/renders" >/dev/null
cmake --build build-release/bench -j"$(nproc)" >/dev/null
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build-release --prefix "$prefix" >/dev/null
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
/usr/bin/python3 bench/run.py "$prefix" build-release/bench
