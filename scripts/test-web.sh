#!/usr/bin/env bash
# The web stage of the suite: builds the page (the core and its decoders in WebAssembly, the
# page's files) and runs the browser tests against it in headless Chromium, with the Linux
# build's converter as the reference whose bytes every download must equal.
#   scripts/test-web.sh [LINUX_BUILD_DIR]   (default: build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "${1:-build/ci}")
converter=$linux_build/app/cli/pixorale-convert
started=$(date +%s)

if [ ! -x "$converter" ]; then
  echo "test-web.sh: no converter at $converter (build $linux_build first)" >&2
  exit 1
fi

bash scripts/install-web-deps.sh
bash scripts/build-web.sh

# The page's own modules, its server, then the page in the browser.
mapfile -t suites < <(find tests/web -name '*.test.mjs' | sort)
PIXORALE_CONVERT=$converter PIXORALE_WEB_DIST=$PWD/build/web/dist node --test "${suites[@]}"

echo "Web stage passed in $(($(date +%s) - started)) s"
