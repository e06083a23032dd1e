# The Debian packages each of the two set-up commands needs.
# shellcheck shell=bash
BUILD_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n qt6-svg-dev libxcb1-dev libxcb-randr0-dev libgl-dev
    fonts-comic-neue fonts-liberation2 fonts-dejavu-core fontconfig
)
# What run.sh needs to show the program where there is no display.
RUN_PACKAGES=(xvfb xauth)
TEST_PACKAGES=(
    libgtest-dev clang "libclang-rt-dev|libclang-rt-14-dev"
    python3 python3-xlib xvfb xauth openbox xdotool xclip x11-utils imagemagick
    dbus dbus-bin at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    desktop-file-utils appstream lintian binutils-mingw-w64-x86-64
    xfwm4 metacity mutter kwin-x11 kwin-style-breeze icewm wmctrl
    weston xwayland qt6-wayland qt6ct xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    "kglobalacceld?" orca speech-dispatcher speech-dispatcher-espeak-ng speech-dispatcher-audio-plugins espeak-ng libao4 locales
)
# What windows.sh needs: the cross compiler, the tools that fetch and build
# Qt's source, and the installer maker.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix ninja-build dpkg-dev nsis)
# What the Wine suite of the Windows program needs beside the test packages.
WINE_PACKAGES=(wine wine64)
