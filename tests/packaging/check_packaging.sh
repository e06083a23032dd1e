#!/usr/bin/env bash
# What a parent or a school installs: the installed tree, the desktop entry
# and AppStream data checked by their own validators, the Debian package
# built, linted, installed, started and removed, and the Windows resource
# script compiled. Usage: check_packaging.sh BUILD_DIR APP_ID
set -uo pipefail
build=$1 id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() { # name, then the command
    local name=$1; shift
    if out=$("$@" 2>&1); then
        passed=$((passed + 1)); echo "ok   $name"
    else
        failed=$((failed + 1)); echo "FAIL $name"; echo "$out" | sed 's/^/     /'
    fi
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
prefix=$work/prefix

installed_tree() {
    local expected actual
    expected=$(printf '%s\n' bin/cifrella \
        "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
        share/doc/cifrella/copyright share/doc/cifrella/changelog.gz \
        share/doc/cifrella/fonts/ComicNeue-LICENCE.txt share/doc/cifrella/fonts/LiberationSans-LICENCE.txt \
        "share/icons/hicolor/scalable/apps/$id.svg" \
        $(for s in 16 32 48 64 128 256; do echo "share/icons/hicolor/${s}x$s/apps/$id.png"; done) | sort)
    actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
    diff <(echo "$expected") <(echo "$actual")
}
check "installed tree holds exactly the expected files" installed_tree

icon_sizes() {
    for s in 16 32 48 64 128 256; do
        local got
        got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${s}x$s/apps/$id.png") || return 1
        [[ $got == "${s}x$s" ]] || { echo "${s}x$s icon is $got"; return 1; }
    done
}
check "every icon has the size its folder names" icon_sizes

desktop_entry() {
    local out
    out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)
    echo "$out"
    ! grep -qE 'error:|warning:' <<<"$out"
}
check "desktop-file-validate: no errors or warnings" desktop_entry

appstream() {
    local out
    out=$(appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) || { echo "$out"; return 1; }
    echo "$out"
    ! grep -qE '^(E|W):' <<<"$out"
}
check "appstreamcli validate: no errors or warnings" appstream

windows_resources() {
    local rc=$build/packaging/cifrella.rc decompiled
    x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-xc -I "$(dirname "$rc")" "$rc" -O coff -o "$work/cifrella.res" || return 1
    decompiled=$(x86_64-w64-mingw32-windres -J coff -O rc "$work/cifrella.res") || return 1
    grep -q 'FILEVERSION 1, 0, 0, 0' <<<"$decompiled" && grep -q 'PRODUCTVERSION 1, 0, 0, 0' <<<"$decompiled" \
        && grep -q '"FileVersion", "1.00' <<<"$decompiled" && grep -q '"ProductVersion", "1.00' <<<"$decompiled" \
        && grep -q 'Translation", 0x410' <<<"$decompiled" && grep -q 'RT_GROUP_ICON' <<<"$decompiled" \
        || { echo "$decompiled"; return 1; }
}
check "the Windows resource script compiles with version 1.0.0.0 / 1.00, Italian" windows_resources

deb=""
build_deb() {
    (cd "$build" && rm -f cifrella_*.deb && cpack -G DEB >/dev/null) || return 1
    deb=$(ls "$build"/cifrella_1.00_*.deb)
}
check "cpack builds cifrella_1.00_<arch>.deb" build_deb
deb=$(ls "$build"/cifrella_1.00_*.deb 2>/dev/null | head -1)

lint() {
    local out
    out=$(lintian "$deb" 2>&1 | grep -v 'running with root')
    echo "$out"
    ! grep -q '^E:' <<<"$out"
}
check "lintian reports no errors" lint

install_start_remove() {
    local files display pid
    [[ $(id -u) -eq 0 ]] || { echo "needs root to install the package"; return 1; }
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null || return 1
    files=$(dpkg -L cifrella | while read -r f; do [[ -f $f ]] && echo "$f"; done)
    # Xvfb picks a free number and writes it once it takes connections; a
    # socket file alone may be left over from a server that was killed.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" &
    local xvfb=$!
    for _ in $(seq 200); do [[ -s $work/display ]] && break; sleep 0.05; done
    [[ -s $work/display ]] || { kill "$xvfb"; echo "Xvfb gave no display number"; return 1; }
    display=:$(<"$work/display")
    DISPLAY=$display /usr/bin/cifrella &
    pid=$!
    local shown=""
    for _ in $(seq 100); do
        shown=$(DISPLAY=$display xdotool search --onlyvisible --name '^Cifrella$' 2>/dev/null) && [[ -n $shown ]] && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    kill "$xvfb"; wait "$xvfb" 2>/dev/null
    [[ -n $shown ]] || { echo "the installed program showed no window"; return 1; }
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq cifrella >/dev/null || return 1
    local left
    left=$(for f in $files; do [[ -e $f ]] && echo "$f"; done)
    [[ -z $left ]] || { echo "left behind: $left"; return 1; }
}
check "the package installs, starts from /usr/bin and removes cleanly" install_start_remove

echo "packaging: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
