#!/usr/bin/env bash
# Installs the Debian packages Corvanel needs to build, run and test, and only those
# that are missing: on a machine that has them all this does nothing and needs no network.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # the window
    qt6-base-dev libgl-dev fonts-wqy-microhei qt6-translations-l10n
    # Qt's SVG icon engine, a plugin: it draws the program's icon
    libqt6svg6
    # unit tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # the save tests build a GBK locale of their own with localedef
    locales
    # sanitizers and fuzzing
    clang libclang-rt-14-dev
    # end-to-end tests in a real X server, screenshots
    xvfb xauth xdotool xclip x11-utils imagemagick
    # desktop integration checks and the Debian package
    desktop-file-utils appstream dpkg-dev file lintian man-db
    # the Windows build: mingw-w64 cross-compilers (posix threads), Wine to run it, NSIS for
    # its installer, rsvg-convert to draw its icon from the SVG
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine nsis librsvg2-bin
    # the Windows package test reads the zip and the Start-menu shortcut
    unzip perl
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run as root, or install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
