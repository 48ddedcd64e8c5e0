#!/usr/bin/env bash
# Installs the Debian packages the Windows build and its tests need: the mingw-w64 cross
# compiler, 64-bit Wine (no i386 Wine: that needs a second architecture), NSIS for the
# installer, and an X server and fonts for the desktop program's tests under Wine.
# Skips apt entirely when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build python3 python3-mido zip
  g++-mingw-w64-x86-64-posix googletest libcli11-dev nlohmann-json3-dev
  wine64 wine fonts-wine nsis
  xvfb xauth xdotool x11-utils fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
