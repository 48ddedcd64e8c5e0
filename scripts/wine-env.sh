# Sourced by the Windows scripts: a private Wine prefix for the tests, booted once, with its
# server started before anything is run under it and stopped at the end.
#   wine_start PREFIX   boots PREFIX (first time: 10-20 s) and starts its server
#   wine_stop           stops the server and every Windows process of the prefix
# Every call runs with WINEDEBUG=-all: Wine's diagnostics would otherwise mix into the
# programs' own output. The server's output goes to /dev/null: its helper processes would
# otherwise keep a test's pipe open and CTest would wait forever.

wine_start() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEARCH=win64
  # Wine's own dialogs in English whatever the machine's locale: the tests find them by title.
  export LC_ALL=C.UTF-8
  # No Mono or Gecko installer prompts; no menu entries or file associations on the host.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/.pixorale-fonts" ]; then
    wineboot --init >/dev/null 2>&1 </dev/null
    wineserver -w
    # Wine draws the windows' frames and captions itself, as Windows does; the tests and the
    # screenshots need no window manager.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      >/dev/null 2>&1 </dev/null
    # The dialogs ask for "MS Shell Dlg"; without a font that has Japanese glyphs the menus
    # and dialogs show boxes.
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    local name
    for name in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "Tahoma" "MS Sans Serif"; do
      wine reg add "$key" /v "$name" /t REG_SZ /d "Noto Sans CJK JP" /f >/dev/null 2>&1 </dev/null
    done
    wineserver -w
    touch "$WINEPREFIX/.pixorale-fonts"
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  # The prefix's services start with the first program and stay while the server runs;
  # started here, they hold /dev/null rather than a test's output pipe.
  wineboot >/dev/null 2>&1 </dev/null
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
