#!/usr/bin/env bash
# Builds the web page with Debian's emscripten into build/web/dist/, static files only:
#   index.html, styles.css, src/             the page and its conversion worker
#   manifest.json, icons/, service-worker.js what installs the page and keeps it offline
#   core/pixorale-core.{js,wasm}             the conversion core as a WebAssembly module
#   synth/                                   js-synthesizer and FluidSynth, loaded once the
#                                            page is idle with a song shown
#   synth/fonts/                             the SoundFont in pieces (an instrument's keys
#                                            each), each fetched when a song plays it
#   licenses/                                what the page is built from and plays with
# and beside it build/web/pixorale-web-VERSION.zip, the same files for any static web host.
# The picture decoders are built from Debian's source packages (scripts/build-libraries.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh

# emscripten's tools run on Node and need the modules Debian keeps in its shared folder.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
prefix=$PWD/build/web/prefix
build=build/web/core
dist=build/web/dist

bash scripts/install-web-deps.sh
bash scripts/build-libraries.sh emscripten "$prefix"

PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH= emcmake cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DPIXORALE_WERROR=ON -DCMAKE_FIND_ROOT_PATH="$prefix" \
  -DPIXORALE_WAV=OFF -DPIXORALE_PIANO_ROLL=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" >build/web/configure.log ||
  { cat build/web/configure.log; exit 1; }
# What the page reads depends on the libraries found: say so.
sed -n 's/^-- \(PNG input\|JPEG input\): /Web \1: /p' build/web/configure.log
cmake --build "$build" -j "$(pixorale_jobs)" --target pixorale-core pixorale-page-facts-module

rm -rf "$dist"
mkdir -p "$dist/core" "$dist/synth" "$dist/licenses" "$dist/icons"
cp web/index.html web/styles.css web/manifest.json "$dist/"
cp -r web/src "$dist/"
cp resources/icons/pixorale.svg resources/icons/pixorale-256.png resources/icons/pixorale-128.png \
  "$dist/icons/"
cp "$build/web/pixorale-core.js" "$build/web/pixorale-core.wasm" "$dist/core/"
cp "$build/web/facts.js" "$dist/src/"
synth=web/node_modules/js-synthesizer
cp "$synth/dist/js-synthesizer.min.js" "$synth/externals/libfluidsynth-2.4.6-with-libsndfile.js" \
  "$dist/synth/"
node web/tools/split-sound-font.mjs /usr/share/sounds/sf3/FluidR3Mono_GM.sf3 "$dist/synth/fonts"

cp LICENSE "$dist/licenses/pixorale.txt"
cp "$synth/LICENSE" "$dist/licenses/js-synthesizer.txt"
cp "$synth/externals/LICENSE.fluidsynth.txt" "$dist/licenses/fluidsynth.txt"
cp /usr/share/doc/fluidr3mono-gm-soundfont/copyright "$dist/licenses/fluidr3mono-gm-soundfont.txt"
# The decoders' licences, named without their versions: the page links to them.
copy_licences "$prefix" "$dist/licenses" unversioned lf

# The service worker stores the page's files and the synthesizer at once (the SoundFont's
# pieces once fetched), under a version that changes with any built file.
page_files=$(cd "$dist" && { find index.html styles.css manifest.json icons src core -type f &&
  find synth -maxdepth 1 -type f && echo synth/fonts/index.json; } | sort)
version=$(cd "$dist" && find . -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum | cut -c1-16)
sed -e "s/@VERSION@/$version/" -e "s|@PAGE_FILES@|$(printf "'%s', " $page_files | sed 's/, $//')|" \
  web/service-worker.js >"$dist/service-worker.js"

zip=build/web/pixorale-web-$(pixorale_version).zip
rm -f "$zip"
(cd "$dist" && zip -q -r -X "$OLDPWD/$zip" .)
echo "The page is in $dist, and in $zip for a web host"
