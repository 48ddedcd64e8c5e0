#!/usr/bin/env bash
# Builds the web page with Debian's emscripten into build/web/dist/, static files only:
#   index.html, styles.css, src/             the page and its conversion worker
#   core/pixorale-core.{js,wasm}             the conversion core as a WebAssembly module
#   synth/                                   js-synthesizer, FluidSynth and the SoundFont,
#                                            loaded on the first Play
#   licenses/                                what the page is built from and plays with
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
mkdir -p "$dist/core" "$dist/synth" "$dist/licenses"
cp web/index.html web/styles.css "$dist/"
cp -r web/src "$dist/"
cp "$build/web/pixorale-core.js" "$build/web/pixorale-core.wasm" "$dist/core/"
cp "$build/web/facts.js" "$dist/src/"
synth=web/node_modules/js-synthesizer
cp "$synth/dist/js-synthesizer.min.js" "$synth/externals/libfluidsynth-2.4.6-with-libsndfile.js" \
  /usr/share/sounds/sf3/FluidR3Mono_GM.sf3 "$dist/synth/"

cp LICENSE "$dist/licenses/pixorale.txt"
cp "$synth/LICENSE" "$dist/licenses/js-synthesizer.txt"
cp "$synth/externals/LICENSE.fluidsynth.txt" "$dist/licenses/fluidsynth.txt"
cp /usr/share/doc/fluidr3mono-gm-soundfont/copyright "$dist/licenses/fluidr3mono-gm-soundfont.txt"
# The decoders' licences, named without their versions: the page links to them.
copy_licences "$prefix" "$dist/licenses" unversioned lf
echo "The page is in $dist"
