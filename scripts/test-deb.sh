#!/usr/bin/env bash
# Makes the Debian package from a Linux build, installs it with apt as a user would, runs
# both installed programs, then removes it again.
#   scripts/test-deb.sh [BUILD_DIR]   (default: build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}

rm -f "$build"/pixorale_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/pixorale_*.deb)
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$package" >/dev/null
trap 'apt-get remove -y -qq pixorale >/dev/null' EXIT

for file in /usr/bin/pixorale /usr/bin/pixorale-convert /usr/share/applications/pixorale.desktop \
  /usr/share/icons/hicolor/scalable/apps/pixorale.svg /usr/share/man/man1/pixorale-convert.1; do
  test -e "$file" || { echo "the package did not install $file"; exit 1; }
done
work=$(mktemp -d)
/usr/bin/pixorale-convert --seed 1 samples/sunset.bmp -o "$work/sunset.mid"
head -c 4 "$work/sunset.mid" | grep -q MThd
# The piano roll comes from the render module the converter loads from the package.
/usr/bin/pixorale-convert --seed 1 samples/sunset.bmp -o "$work/roll.mid" --piano-roll "$work/roll.png"
head -c 4 "$work/roll.png" | grep -q PNG
/usr/bin/pixorale --version
rm -rf "$work"
echo "Debian package: $(basename "$package"), $(stat -c %s "$package") bytes, installed and run"
