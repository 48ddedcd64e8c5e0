#!/usr/bin/env bash
# Cross-builds the Windows programs in Release with mingw-w64 and packages them; runs
# nothing else. Leaves in build/windows/dist/:
#   pixorale.exe, pixorale-convert.exe       the desktop program and the converter
#   pixorale-VERSION-windows-x64.zip         both, with the Japanese readme and the licences
#   pixorale-VERSION-setup.exe               the installer (per user; /S installs silently)
# With --tests the unit tests are built too, for scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh

tests=OFF
if [ "${1:-}" = "--tests" ]; then
  tests=ON
fi

bash scripts/install-windows-deps.sh
prefix=$PWD/build/windows/prefix
bash scripts/windows-prefix.sh "$prefix"

version=$(pixorale_version)
build=build/windows/release
dist=build/windows/dist

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPIXORALE_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DPIXORALE_WERROR=ON \
  -DPIXORALE_BUILD_TESTS="$tests" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine >build/windows/configure.log ||
  { cat build/windows/configure.log; exit 1; }
# What the programs can read and make depends on the libraries found: say so.
sed -n 's/^-- \(PNG input\|JPEG input\|WAV output\|Piano roll output\): /Windows \1: /p' \
  build/windows/configure.log
cmake --build "$build" -j "$(pixorale_jobs)"

rm -rf "$dist"
staging=$build/package
rm -rf "$staging"
mkdir -p "$dist" "$staging"
for program in pixorale pixorale-convert; do
  x86_64-w64-mingw32-strip -o "$staging/$program.exe" "$build/app/$( [ $program = pixorale ] && echo win32 || echo cli )/$program.exe"
done
# The users' readme is Japanese; the developers' README stays out. Windows readers expect
# line ends in CR LF, and Notepad takes a text for UTF-8 when it starts with the byte order mark.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' packaging/windows/README-ja.txt; } >"$staging/README.txt"
copy_text LICENSE "$staging/LICENSE.txt" crlf
# The licence of every library built into the programs, named with its Debian version: those
# of the prefix, and the compiler's runtime.
copy_licences "$prefix" "$staging/licenses" versioned crlf
for package in mingw-w64-common gcc-mingw-w64-base; do
  package_version=$(dpkg-query -W -f='${Version}' "$package")
  copy_text "/usr/share/doc/$package/copyright" \
    "$staging/licenses/$package-${package_version#*:}.txt" crlf
done

cp "$staging/pixorale.exe" "$staging/pixorale-convert.exe" "$dist/"
zip_name=pixorale-$version-windows-x64.zip
(cd "$staging" && rm -f "../$zip_name" &&
  zip -q -X -r "../$zip_name" pixorale.exe pixorale-convert.exe README.txt LICENSE.txt licenses)
mv "$build/$zip_name" "$dist/"

makensis -V2 -DVERSION="$version" -DINPUT_DIR="$PWD/$staging" \
  -DICON="$PWD/$build/app/win32/generated/pixorale.ico" \
  -DOUTFILE="$PWD/$dist/pixorale-$version-setup.exe" packaging/windows/pixorale.nsi

ls -l "$dist"
