#!/usr/bin/env bash
# Installs the Debian packages the Windows build and its tests need: the mingw-w64 cross
# compiler, the tools that build the C libraries from Debian's source packages (dpkg-dev to
# unpack them, Meson, Make, pkg-config), 64-bit Wine (no i386 Wine: that needs a second
# architecture), NSIS for the installer, an X server and fonts for the desktop program's
# tests under Wine, ImageMagick for the pictures the converter's tests compare, and
# inotify-tools, with which the installer's test waits for the uninstaller to finish.
set -euo pipefail

packages=(
  cmake ninja-build python3 python3-mido zip
  g++-mingw-w64-x86-64-posix googletest libcli11-dev nlohmann-json3-dev
  dpkg-dev meson make pkg-config imagemagick
  wine64 wine fonts-wine nsis
  xvfb xauth xdotool x11-utils fonts-noto-cjk inotify-tools
)

bash "$(dirname "$0")/apt-install-missing.sh" "${packages[@]}"
