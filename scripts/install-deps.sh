#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pixorale need.
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

bash "$(dirname "$0")/apt-install-missing.sh" "${packages[@]}"
