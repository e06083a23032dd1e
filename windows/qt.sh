#!/usr/bin/env bash
# Builds the static Qt for Windows that cifrella.exe links, from Debian's own
# source of the Qt the host's tools (moc, rcc, uic) belong to, once: the
# result is kept in the cache folder and reused while its version matches.
# Prints the folder Qt was installed to.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${CIFRELLA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/cifrella}
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
prefix=$cache/qt-$version-mingw64
if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
fi

# apt-get source with a private list of the archives apt already uses, as
# source archives, so the system's own lists stay as they are.
apt=$cache/apt
mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/archives/partial"
for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt/sources/$(basename "$f")"
done
if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$apt/sources/main.list"
fi
aptopts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources"
         -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives"
         -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
apt-get -q "${aptopts[@]}" update >&2

src=$cache/src-$version
if [[ ! -d $src/qtbase ]]; then
    rm -rf "$src" && mkdir -p "$src"
    (cd "$src" && apt-get -q "${aptopts[@]}" source "qt6-base=$version" >&2)
    mv "$src"/qt6-base-*/ "$src/qtbase"
fi

build=$cache/build-$version-mingw64
rm -rf "$build" "$prefix"
# Debian's source has no wintab.h, hence no tablet events; Qt 6.4's Windows
# platform plugin needs OpenGL, which costs no library when dynamic. No
# picture of the program is a JPEG or a GIF. Direct2D stays: the DirectWrite
# font engine is built with it (Qt 6.8 does not build without it).
cmake -G Ninja -S "$src/qtbase" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$(dirname "$(dirname "$(find /usr/lib -path '*/cmake/Qt6/Qt6Config.cmake' -print -quit)")")" \
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_network=OFF \
    -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_opengl_dynamic=ON -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF >&2
cmake --build "$build" -j"${CIFRELLA_JOBS:-$(nproc)}" >&2
cmake --install "$build" >&2
touch "$prefix/.complete"
rm -rf "$build"
echo "$prefix"
