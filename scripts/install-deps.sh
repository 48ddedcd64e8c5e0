#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pixorale need.
# Skips apt entirely when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-translations-l10n libgl-dev fonts-noto-cjk xvfb xauth x11-utils imagemagick
  python3 python3-mido midicsv strace
  xdotool icewm librsvg2-bin
  libspng-dev libjpeg62-turbo-dev libfluidsynth-dev fluid-soundfont-gm libcairo2-dev
  libsndfile1-dev fluidsynth libjpeg-turbo-progs
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
