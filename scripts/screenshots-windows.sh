#!/usr/bin/env bash
# Screenshots of the Windows desktop program under Wine on a virtual X server: the main
# window with its File menu open, the conversion settings dialog and the About box, saved
# into docs/screenshots/windows-*.png. Wine draws the frames itself, as Windows does.
#   scripts/screenshots-windows.sh    (after scripts/build-windows.sh --tests)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows/release
program=$build/app/win32/pixorale.exe
probe=$build/tests/win32/window_probe.exe
[ -x "$program" ] && [ -x "$probe" ] || { echo "run scripts/build-windows.sh --tests first" >&2; exit 1; }

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  wine_stop
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
wine_start "$root/build/windows/wineprefix-screenshots"

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display_number <&"$display_fd"
export DISPLAY=:$display_number

probe() { wine "$probe" "$@" </dev/null >"$work/probe.out" 2>/dev/null; }
# The whole screen, cut to the windows on it (the rest is the server's black).
shoot() {
  sleep 0.7
  import -window root "$work/screen.png"
  convert "$work/screen.png" -bordercolor black -border 1 -trim +repage -bordercolor '#5a6b7c' \
    -border 12 "docs/screenshots/$1.png"
}

mkdir -p docs/screenshots
(cd "$work" && wine "$program" </dev/null >/dev/null 2>&1) &
program_pid=$!
probe wait Pixorale 20000
probe menu Pixorale f
shoot windows-main-window-file-menu
probe menu Pixorale f  # closes it again
sleep 0.3
probe command Pixorale 40006
probe wait "dialog:変換設定"
shoot windows-settings-dialog
probe click "dialog:変換設定" 2
probe gone "dialog:変換設定"
probe command Pixorale 40008
probe wait "dialog:Pixorale"
shoot windows-about-box
probe click "dialog:Pixorale" 1
probe gone "dialog:Pixorale"
probe command Pixorale 40005
wait "$program_pid"
ls -l docs/screenshots/windows-*.png
