#!/usr/bin/env bash
# Cross-builds the Windows programs in Release with mingw-w64 and packages them; runs
# nothing else. Leaves in build/windows/dist/:
#   pixorale.exe, pixorale-convert.exe       the desktop program and the converter
#   pixorale-VERSION-windows-x64.zip         both, with the README and the licence
#   pixorale-VERSION-setup.exe               the installer (per user; /S installs silently)
# With --tests the unit tests are built too, for scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

tests=OFF
if [ "${1:-}" = "--tests" ]; then
  tests=ON
fi

bash scripts/install-windows-deps.sh
prefix=$PWD/build/windows/prefix
bash scripts/windows-prefix.sh "$prefix"

version=$(sed -n 's/^project(Pixorale VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=build/windows/release
dist=build/windows/dist

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPIXORALE_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DPIXORALE_WERROR=ON \
  -DPIXORALE_BUILD_TESTS="$tests" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine >/dev/null
cmake --build "$build" -j 2

rm -rf "$dist"
staging=$build/package
rm -rf "$staging"
mkdir -p "$dist" "$staging"
for program in pixorale pixorale-convert; do
  x86_64-w64-mingw32-strip -o "$staging/$program.exe" "$build/app/$( [ $program = pixorale ] && echo win32 || echo cli )/$program.exe"
done
# Windows readers expect line ends in CR LF.
sed 's/$/\r/' README.md >"$staging/README.txt"
sed 's/$/\r/' LICENSE >"$staging/LICENSE.txt"

cp "$staging/pixorale.exe" "$staging/pixorale-convert.exe" "$dist/"
zip_name=pixorale-$version-windows-x64.zip
(cd "$staging" && rm -f "../$zip_name" && zip -q -X "../$zip_name" pixorale.exe pixorale-convert.exe README.txt LICENSE.txt)
mv "$build/$zip_name" "$dist/"

makensis -V2 -DVERSION="$version" -DINPUT_DIR="$PWD/$staging" \
  -DICON="$PWD/$build/app/win32/generated/pixorale.ico" \
  -DOUTFILE="$PWD/$dist/pixorale-$version-setup.exe" packaging/windows/pixorale.nsi

ls -l "$dist"
