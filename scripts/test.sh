#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test:
# unit tests, Qt widget tests and end-to-end tests of the installed programs; the Debian
# package installed with apt; the Windows programs cross-built and tested under Wine; the web
# page built with emscripten and tested in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh

bash scripts/install-deps.sh
bash scripts/install-web-deps.sh

jobs=$(pixorale_jobs)
# The ci presets (CMakePresets.json): everything, warnings as errors, in build/ci.
cmake --preset ci
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs"

bash scripts/test-deb.sh build/ci
bash scripts/test-windows.sh build/ci
bash scripts/test-web.sh build/ci

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then each
# fuzz target for a bounded time.
bash scripts/sanitize.sh build/asan
bash scripts/fuzz.sh build/fuzz
