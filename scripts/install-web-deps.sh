#!/usr/bin/env bash
# Installs what the web page's build and its browser tests need: Debian's emscripten for the
# core in WebAssembly, with the tools that build the picture decoders from Debian's source
# packages (dpkg-dev to unpack them, Meson, Make, CMake, Ninja, pkg-config) and the header-only
# option parsers; the small General MIDI SoundFont the page plays with (cut into pieces at build
# time) and zip for the page's archive; Chromium for the tests and benchmarks, ImageMagick,
# ExifTool and Python for their pictures; Node.js and npm only where they are not there already
# (a newer Node from elsewhere is kept). Then the pinned npm packages of web/ (package-lock.json),
# reinstalled only when the lock file changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  emscripten cmake ninja-build pkg-config meson make dpkg-dev libcli11-dev nlohmann-json3-dev
  fluidr3mono-gm-soundfont chromium imagemagick libimage-exiftool-perl python3 zip
)
if ! command -v node >/dev/null; then packages+=(nodejs); fi
if ! command -v npm >/dev/null; then packages+=(npm); fi

bash scripts/apt-install-missing.sh "${packages[@]}"

# npm ci writes node_modules/.package-lock.json; an older one means another lock was installed.
if [ ! web/node_modules/.package-lock.json -nt web/package-lock.json ]; then
  (cd web && npm ci --no-audit --no-fund)
fi
