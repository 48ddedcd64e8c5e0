#!/usr/bin/env bash
# Installs what is missing, builds and installs Pixorale under ./stage, and converts the
# bundled sample picture into sample.mid.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh

bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPIXORALE_BUILD_TESTS=OFF \
  -DPIXORALE_BUILD_BENCHMARKS=OFF
cmake --build build/release -j "$(pixorale_jobs)"
cmake --install build/release --prefix stage

stage/bin/pixorale-convert --force samples/sunset.bmp -o sample.mid
echo "Wrote sample.mid; the desktop program is stage/bin/pixorale"
