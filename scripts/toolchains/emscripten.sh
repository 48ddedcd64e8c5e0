# Sourced by scripts/build-libraries.sh: what building a library for the web page with
# Debian's emscripten needs. Only the picture decoders are built: the page draws and plays in
# the browser.
libraries=(zlib libspng libjpeg-turbo)
host=wasm32-unknown-emscripten
cc=emcc
ar=emar
ranlib=emranlib
# emscripten's tools run on Node and need the acorn and terser that Debian keeps in its shared
# Node folder; a Node installed from elsewhere does not look there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake_target=(
  -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
)
extra_libs=
# CMake cannot read type sizes out of a WebAssembly test program; wasm32's are these.
jpeg_cmake_options=(-DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4)

# Meson's view of the target (scripts/build-libraries.sh writes the cross file).
meson_binaries="strip = 'true'"
meson_system=emscripten
meson_cpu=wasm32

# Runs a configure script for the target.
run_configure() {
  emconfigure "$@"
}

cairo_platform_options=()
