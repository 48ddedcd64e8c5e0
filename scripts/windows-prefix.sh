#!/usr/bin/env bash
# Fills the private prefix the Windows build finds its dependencies in (default
# build/windows/prefix): the C libraries and the header-only CLI11 and nlohmann-json of
# scripts/build-libraries.sh, and GoogleTest cross-built from Debian's sources. The headers are
# copied rather than found in /usr: Debian's package files would add -isystem /usr/include,
# whose Linux headers break every Windows compile. Does nothing when the prefix is already complete.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh

prefix=${1:-$PWD/build/windows/prefix}
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
# Debian 12's; the unit tests of the Linux build use the same package.
googletest_version=1.12.1-0.2
stamp=$prefix/.googletest-$googletest_version

# Does nothing when the prefix already holds the pinned versions.
bash scripts/build-libraries.sh mingw-w64 "$prefix"
require_package_version googletest "$googletest_version"
if [ -f "$stamp" ]; then
  exit 0
fi
# GoogleTest has no Windows package in Debian: build its sources with the cross compiler.
gtest_build=$PWD/build/windows/googletest
cmake -S /usr/src/googletest -B "$gtest_build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
  -Dgtest_disable_pthreads=OFF >/dev/null
cmake --build "$gtest_build" -j "$(pixorale_jobs)" >/dev/null
cmake --install "$gtest_build" >/dev/null
rm -f "$prefix"/.googletest-*
touch "$stamp"
