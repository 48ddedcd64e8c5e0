#!/usr/bin/env bash
# The Windows stage of the suite: cross-builds with warnings as errors (and the packages),
# checks the programs' imports and the zip's readme and licences, then under Wine runs the
# unit tests, compares pixorale-convert.exe with the Linux build byte for byte (BMP, PNG and
# JPEG in; MIDI and piano roll out), drives pixorale.exe on an X server (drops come from the
# Linux build's X11 drag source), and installs and uninstalls the installer silently.
#   scripts/test-windows.sh [LINUX_BUILD_DIR]   (default: build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh
root=$PWD
linux_build=$(realpath "${1:-build/ci}")
started=$(date +%s)

bash scripts/build-windows.sh --tests
build=$root/build/windows/release
dist=$root/build/windows/dist
version=$(pixorale_version)

export PYTHONDONTWRITEBYTECODE=1
(cd tests/win32 && PIXORALE_DIST=$dist /usr/bin/python3 -m unittest -v test_packages)

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
xvfb_pid=
cleanup() {
  wine_stop
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A fresh prefix each run: nothing of an earlier run (settings, installs) can leak in.
prefix=$root/build/windows/wineprefix
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
wine_start "$prefix"
echo "Wine prefix ready after $(($(date +%s) - started)) s"

ctest --test-dir "$build" --output-on-failure -j "$(pixorale_jobs)"

export PIXORALE_CONVERT_EXE=$build/app/cli/pixorale-convert.exe
export PIXORALE_CONVERT_LINUX=$linux_build/app/cli/pixorale-convert
if [ -x "$linux_build/tests/gui/x11_drag_source" ]; then
  export X11_DRAG_SOURCE=$linux_build/tests/gui/x11_drag_source
fi
export PIXORALE_EXE=$build/app/win32/pixorale.exe
export WINDOW_PROBE_EXE=$build/tests/win32/window_probe.exe
(cd tests/win32 && /usr/bin/python3 -m unittest -v test_converter)

# The converter's end-to-end suites, against the .exe. The others check what only Linux has
# (SIGTERM, the progress line on a Linux terminal, "/" in the paths of messages, the man page).
wrapper=$build/pixorale-convert-under-wine
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$PIXORALE_CONVERT_EXE" >"$wrapper"
chmod +x "$wrapper"
(cd tests/e2e && PIXORALE_CONVERT=$wrapper /usr/bin/python3 -m unittest test_options \
  test_reproducible test_settings)

# An X server of our own for the desktop program; Xvfb picks a free display number.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display_number <&"$display_fd"
export DISPLAY=:$display_number
(cd tests/win32 && /usr/bin/python3 -m unittest -v test_desktop)

# The installer: silent install into the per-user folder, the shortcut, silent uninstall.
(cd tests/win32 && PIXORALE_DIST=$dist PIXORALE_VERSION=$version /usr/bin/python3 -m unittest -v \
  test_installer)

ls -l "$dist"
echo "Windows stage passed in $(($(date +%s) - started)) s"
