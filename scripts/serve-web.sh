#!/usr/bin/env bash
# Serves the web page on this machine alone (127.0.0.1), building it first when it is missing
# or older than its sources. Prints the address to open.
#   scripts/serve-web.sh [PORT]      (default: $PORT, else 8080; 0 takes a free port)
set -euo pipefail
cd "$(dirname "$0")/.."

port=${1:-${PORT:-8080}}
dist=build/web/dist

bash scripts/install-web-deps.sh

# The page is built from web/ and the C++ core it compiles to WebAssembly.
sources=(web CMakeLists.txt cmake midi image convert io app render scripts/build-web.sh
  scripts/build-libraries.sh scripts/toolchains scripts/lib)
existing=()
for s in "${sources[@]}"; do
  if [ -e "$s" ]; then existing+=("$s"); fi
done
if [ ! -f "$dist/index.html" ] ||
  [ -n "$(find "${existing[@]}" \( -path web/node_modules -o -path web/tools \) -prune -o \
    -newer "$dist/index.html" -print -quit)" ]; then
  bash scripts/build-web.sh
  # Judge the next staleness against this build, however the build dated its copies.
  touch "$dist/index.html"
fi

exec node web/tools/serve.mjs --root "$dist" "$port"
