# Sourced by scripts/build-libraries.sh: what building a library for 64-bit Windows with
# Debian's mingw-w64 (posix thread model) needs. Another toolchain gives the same names.
host=x86_64-w64-mingw32
cc=$host-gcc-posix
ar=$host-ar
ranlib=$host-ranlib
# CMake's view of the target; libraries are looked for only in the prefix being filled.
cmake_target=(
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 -DCMAKE_C_COMPILER="$cc"
  -DCMAKE_RC_COMPILER="$host-windres" -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
)
# What a static Cairo needs besides its own libraries, recorded in its package file: GDI
# and AlphaBlend for its Windows surface and fonts, and the stack protector's checks that
# mingw-w64 keeps in libssp.
extra_libs="-lgdi32 -lmsimg32 -lssp"

# Meson's view of the target (scripts/build-libraries.sh writes the cross file).
meson_binaries="strip = '$host-strip'
windres = '$host-windres'"
meson_system=windows
meson_cpu=x86_64

# Runs a configure script for the target.
run_configure() {
  "$@"
}

# Cairo draws its text with the platform's own fonts.
cairo_platform_options=(--enable-win32=yes --enable-win32-font=yes)
