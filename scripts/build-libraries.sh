#!/usr/bin/env bash
# Builds the C libraries that Debian ships only for Linux, from Debian's source packages at
# pinned versions, as static libraries for another toolchain:
#   zlib, libspng, libjpeg-turbo   PNG and JPEG input
#   libpng, pixman, cairo          the piano roll (cairo draws with pixman, writes with libpng)
# and copies Debian's header-only CLI11 and nlohmann-json beside them, from the host's packages
# at pinned versions (the native build compiles with the same headers).
#   scripts/build-libraries.sh TOOLCHAIN PREFIX
# TOOLCHAIN names scripts/toolchains/TOOLCHAIN.sh, which says how to compile for the target
# and, in `libraries`, which of them it needs (all when it does not say).
# The libraries are built once per set of pins into a cache folder outside the tree
# (PIXORALE_CACHE, default ~/.cache/pixorale) and copied into PREFIX from there; their
# licences go to PREFIX/share/licenses/PACKAGE-VERSION/copyright.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh
toolchain=$1
prefix=$(realpath -m "$2")
jobs=$(pixorale_jobs)
# shellcheck source=scripts/toolchains/mingw-w64.sh
source "scripts/toolchains/$toolchain.sh"

# Debian 12's versions. Each is served by the archive with Debian's changes, but pixman's.
pins=(
  "zlib 1:1.2.13.dfsg-1"
  "libspng 0.7.3-3"
  "libjpeg-turbo 1:2.1.5-2"
  "libpng1.6 1.6.39-2+deb12u5"
  "pixman 0.42.2-1 --orig-only"
  "cairo 1.16.0-7"
)
# Debian 12's header-only option parsers: PACKAGE VERSION NAME, the licence named NAME-VERSION.
# Nothing is compiled, so the host's package at the pinned version gives the same headers a
# build from its source package would, with Debian's CMake package files.
header_only_pins=(
  "libcli11-dev 2.1.2+ds-1 cli11"
  "nlohmann-json3-dev 3.11.2-2 nlohmann-json"
)

key=$(cat "$0" "scripts/toolchains/$toolchain.sh" scripts/debian-source.sh | sha256sum |
  cut -c1-16)
cache=$(realpath -m "${PIXORALE_CACHE:-$HOME/.cache/pixorale}")/libraries-$toolchain-$key
stamp=$prefix/.libraries-$key
# Says the cache is whole; beside the cache, so that it is not copied into the prefix.
cache_built=$cache.built
placeholder=@PIXORALE_LIBRARIES_PREFIX@
# Checked on every run: a complete prefix does not make a different host package right.
for pin in "${header_only_pins[@]}"; do
  read -r package version _ <<<"$pin"
  require_package_version "$package" "$version"
done
if [ -f "$stamp" ]; then
  exit 0
fi

build_all() {
  local out=$1 work=$1.work
  rm -rf "$out" "$work"
  mkdir -p "$out/lib/pkgconfig" "$work"
  local meson_cross=$work/meson-cross.txt
  write_meson_cross_file "$meson_cross" "$out"
  export PKG_CONFIG_LIBDIR=$out/lib/pkgconfig PKG_CONFIG_PATH=
  local pin package version tree started
  for pin in "${pins[@]}"; do
    read -r package version orig_only <<<"$pin"
    if [ -n "${libraries:-}" ] && [[ " ${libraries[*]} " != *" $package "* ]]; then
      continue
    fi
    started=$(date +%s)
    bash scripts/debian-source.sh "$work/sources" "$package" "$version" ${orig_only:-}
    tree=$(find "$work/sources" -mindepth 1 -maxdepth 1 -type d -name "$package-*" -print -quit)
    "build_$package" "$tree" "$out" "$work/build-$package" "$meson_cross"
    licence "$package-${version#*:}" "$tree" "$out"
    echo "Built $package $version in $(($(date +%s) - started)) s"
  done
  # Only what building against the libraries needs, and their licences.
  rm -rf "$work" "$out/bin" "$out/share/man" "$out/share/doc"
}

# Meson's description of the machine the libraries run on, from the toolchain's names.
write_meson_cross_file() {
  cat >"$1" <<CROSS
[binaries]
c = '$cc'
ar = '$ar'
$meson_binaries
pkgconfig = 'pkg-config'

[built-in options]
pkg_config_path = ''

[properties]
pkg_config_libdir = '$2/lib/pkgconfig'

[host_machine]
system = '$meson_system'
cpu_family = '$meson_cpu'
cpu = '$meson_cpu'
endian = 'little'
CROSS
}

# Debian's copyright file names every author and licence of the source package; a tree
# without Debian's part has the upstream notice.
licence() {
  mkdir -p "$3/share/licenses/$1"
  cp "$2/debian/copyright" "$3/share/licenses/$1/copyright" 2>/dev/null ||
    cp "$2/COPYING" "$3/share/licenses/$1/copyright"
}

cmake_build() {
  local tree=$1 out=$2 build=$3
  shift 3
  cmake -S "$tree" -B "$build" -G Ninja "${cmake_target[@]}" -DCMAKE_FIND_ROOT_PATH="$out" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" \
    -DCMAKE_INSTALL_LIBDIR="$out/lib" "$@" >"$build.log" 2>&1 || { cat "$build.log"; return 1; }
  cmake --build "$build" -j "$jobs" >>"$build.log" 2>&1 || { tail -50 "$build.log"; return 1; }
  cmake --install "$build" >>"$build.log" 2>&1
}

meson_build() {
  local tree=$1 out=$2 build=$3 cross=$4
  shift 4
  meson setup "$build" "$tree" --cross-file "$cross" --prefix "$out" --libdir lib \
    --buildtype release --default-library static --wrap-mode nodownload "$@" >"$build.log" 2>&1 ||
    { cat "$build.log"; return 1; }
  meson install -C "$build" >>"$build.log" 2>&1 || { tail -50 "$build.log"; return 1; }
}

build_zlib() {
  local tree=$1 out=$2 build=$3
  rm -rf "$build" && cp -r "$tree" "$build"
  (cd "$build" && CHOST=$host CC=$cc AR=$ar RANLIB=$ranlib CFLAGS=-O2 \
    run_configure ./configure --static --prefix="$out" --libdir="$out/lib" >/dev/null &&
    make -j "$jobs" libz.a >/dev/null && make install >/dev/null)
}

build_libspng() {
  meson_build "$1" "$2" "$3" "$4" -Dbuild_examples=false -Dstatic_zlib=true
}

# The JPEG 6.2 interface, as Debian's libjpeg62-turbo; the portable C code, no SIMD.
build_libjpeg-turbo() {
  cmake_build "$1" "$2" "$3" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF ${jpeg_cmake_options[@]+"${jpeg_cmake_options[@]}"}
}

build_libpng1.6() {
  cmake_build "$1" "$2" "$3" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF
}

build_pixman() {
  meson_build "$1" "$2" "$3" "$4" -Dtests=disabled -Dgtk=disabled \
    -Dlibpng=disabled -Dopenmp=disabled
}

# Only the image surface, PNG files and the platform's own fonts: no X, no FreeType, no
# vector file formats.
build_cairo() {
  local tree=$1 out=$2 build=$3
  rm -rf "$build" && cp -r "$tree" "$build"
  # Debian's patches touch the autotools inputs; the generated files stay current.
  find "$build" -name Makefile.in -o -name configure -o -name aclocal.m4 -o -name config.h.in |
    xargs touch
  (cd "$build" && run_configure ./configure --host="$host" --prefix="$out" --libdir="$out/lib" \
    --enable-static --disable-shared --disable-gtk-doc --disable-valgrind \
    --enable-png=yes --disable-xlib --disable-xcb --disable-qt --disable-quartz \
    --disable-gl --disable-glesv2 --disable-glesv3 --disable-cogl --disable-directfb \
    --disable-vg --disable-egl --disable-glx --disable-wgl --disable-script --disable-ft \
    --disable-fc --disable-ps --disable-pdf --disable-svg --disable-test-surfaces \
    --disable-tee --disable-xml --disable-gobject --disable-trace --disable-interpreter \
    --disable-symbol-lookup --disable-pthread "${cairo_platform_options[@]}" \
    CC="$cc" CFLAGS="-O2" LIBS="$extra_libs" >configure.log 2>&1 ||
    { cat configure.log; exit 1; }
    make -C src -j "$jobs" >make.log 2>&1 && make -C src install >>make.log 2>&1 ||
    { tail -50 make.log; exit 1; })
}

# One build at a time fills the cache; another waits for it and uses what it built.
mkdir -p "$(dirname "$cache")"
exec {lock}>"$cache.lock"
flock "$lock"
if [ ! -f "$cache_built" ]; then
  started=$(date +%s)
  build_all "$cache"
  # The package files name the folder they were built for; PREFIX takes its place on copying.
  { grep -rlF "$cache" "$cache/lib" || true; } | xargs -r sed -i "s|$cache|$placeholder|g"
  touch "$cache_built"
  echo "Libraries for $toolchain built in $(($(date +%s) - started)) s"
fi
mkdir -p "$prefix"
cp -a "$cache/." "$prefix/"
{ grep -rlF "$placeholder" "$prefix/lib" || true; } | xargs -r sed -i "s|$placeholder|$prefix|g"
rm -f "$prefix"/.libraries-*
# The header-only libraries the converter's option parsing uses, with their CMake packages
# (which find the headers relative to themselves), where a build for the toolchain looks.
for pin in "${header_only_pins[@]}"; do
  read -r package version name <<<"$pin"
  dpkg-query -L "$package" | grep -E '^/usr/(include|share/cmake)/' | while read -r file; do
    if [ -f "$file" ]; then install -D -m 644 "$file" "$prefix/${file#/usr/}"; fi
  done
  mkdir -p "$prefix/share/licenses/$name-$version"
  cp "/usr/share/doc/$package/copyright" "$prefix/share/licenses/$name-$version/copyright"
done
touch "$stamp"
