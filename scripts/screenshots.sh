#!/usr/bin/env bash
# Starts the desktop program on a virtual X server with a small window manager, opens its
# File menu, the conversion settings dialog and the About box through the keyboard (as a
# user would, with the menu mnemonics) and saves a PNG of each into docs/screenshots/.
#
#   scripts/screenshots.sh [BUILD_DIR]    (default: build-qt, then build)
#
# Needs xvfb-run, icewm, xdotool, ImageMagick and fonts-noto-cjk (scripts/install-deps.sh).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${PIXORALE_SCREENSHOT_DISPLAY:-}" ]; then
  build=${1:-}
  if [ -z "$build" ]; then
    for candidate in "$repo/build-qt" "$repo/build"; do
      [ -x "$candidate/app/desktop/pixorale" ] && build=$candidate && break
    done
  fi
  program=$(cd "${build:?no build directory with app/desktop/pixorale}" && pwd)/app/desktop/pixorale
  [ -x "$program" ] || { echo "not built: $program" >&2; exit 1; }
  export PIXORALE_SCREENSHOT_DISPLAY=1 PIXORALE_PROGRAM=$program
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0"
fi

out=$repo/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A window manager draws the title bars, so the captions show; its fonts must have
# Japanese glyphs for the settings dialog's title.
export ICEWM_PRIVCFG=$work/icewm
mkdir -p "$ICEWM_PRIVCFG"
cat >"$ICEWM_PRIVCFG/preferences" <<'PREFS'
ShowTaskBar=0
TitleFontNameXft="Noto Sans CJK JP:size=10:bold"
PREFS
icewm >/dev/null 2>&1 &
pids+=($!)
convert -size 16x16 xc:'#5a6b7c' "$work/desktop.png"
icewmbg --image="$work/desktop.png" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

# The program runs in a scratch directory, so its setting.set lands there.
(cd "$work" && exec "$PIXORALE_PROGRAM") 2>"$work/program.log" &
program_pid=$!
pids+=("$program_pid")

wait_for_window() {  # xdotool search arguments; prints the newest matching window
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible "$@" | tail -n 1) || {
    echo "window did not appear: $*" >&2
    exit 1
  }
  echo "$id"
}

settle() { sleep 0.7; }

main=$(wait_for_window --classname pixorale)
xprop -id "$main" WM_CLASS | grep -q '"ZIVI_Duzaz"' || { echo "wrong WM_CLASS" >&2; exit 1; }
settle
xdotool windowmove --sync "$main" 60 60 || true
xdotool windowactivate --sync "$main"
settle

# The main window with its File menu open, which fits inside the window.
xdotool key alt+f
settle
eval "$(xwininfo -id "$main" | awk -F: '
  /Absolute upper-left X/ {print "x=" $2+0}
  /Absolute upper-left Y/ {print "y=" $2+0}
  /Width/ {print "w=" $2+0}
  /Height/ {print "h=" $2+0}')"
read -r left right top bottom < <(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
x=$((x - left)) y=$((y - top)) w=$((w + left + right)) h=$((h + top + bottom))
echo "main window, frame included: ${w}x${h} at $x,$y"
pad=16
import -window root -crop "$((w + 2 * pad))x$((h + 2 * pad))+$((x - pad))+$((y - pad))" \
  +repage "$out/main-window-file-menu.png"
xdotool key Escape Escape
settle

# The conversion settings dialog, through 設定(&T) > 変換設定(&C).
xdotool key alt+t
settle
xdotool key c
settings=$(wait_for_window --name '^変換設定$')
settle
import -frame -window "$settings" "$out/settings-dialog.png"
xdotool key Escape
settle

# The About box, through ヘルプ(&H) > バージョン情報(&V); Enter closes it.
xdotool key alt+h
settle
xdotool key v
settle
about=$(xdotool getactivewindow)
[ "$about" != "$main" ] || { echo "the About box did not open" >&2; exit 1; }
import -frame -window "$about" "$out/about-box.png"
xdotool key Return
settle

# 終了(&X) ends the program, which leaves its settings behind.
xdotool key alt+f
settle
xdotool key x
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "the program did not exit" >&2
  exit 1
fi
wait "$program_pid" || { echo "the program exited with $?" >&2; exit 1; }
[ -s "$work/setting.set" ] || { echo "no setting.set written at exit" >&2; exit 1; }
echo "saved: $(cd "$out" && ls main-window-file-menu.png settings-dialog.png about-box.png | tr '\n' ' ')"
