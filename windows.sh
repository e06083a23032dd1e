#!/usr/bin/env bash
# Builds Cifrella for 64-bit Windows on this Debian machine: the static Qt it
# links (once, from Debian's source; windows/qt.sh), the renderer of the
# pictures for this machine, then cifrella.exe and its installer
# (build-windows/cifrella-<version>-setup.exe).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

# The pictures are rendered by this machine's own build of the renderer.
scripts/host-build.sh render_pictures

qt=$(windows/qt.sh)
if [[ ! -f build-windows/CMakeCache.txt ]]; then
    cmake -G Ninja -S . -B build-windows \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/windows/toolchain-mingw64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr \
        -DCIFRELLA_HOST_TOOLS="$PWD/build/assets"
fi
cmake --build build-windows -j"$(nproc)"
(cd build-windows && cpack -G NSIS)
