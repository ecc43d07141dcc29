#!/usr/bin/env bash
# Installs whatever the builds and tests need and is missing, from Debian's packages.
set -euo pipefail

PACKAGES=(
    cmake make g++ googletest libgtest-dev python3
    g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 xvfb xdotool x11-apps imagemagick
    clang libclang-rt-dev
    libunicorn-dev pkg-config
)

missing=()
for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
