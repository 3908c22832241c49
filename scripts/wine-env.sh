# Sourced by the other scripts: a project-local 64-bit Wine prefix on a Japanese system (ANSI code page 932),
# in the build folder (so that builds side by side in separate folders have separate prefixes). Its screen has
# KORVANE_DPI dots per inch, 96 when unset; any other dpi has a prefix of its own ("wineprefix-192dpi"), so that
# the tests' prefix stays at 96.
KORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KORVANE_DPI=${KORVANE_DPI:-96}
export WINEPREFIX="${KORVANE_BUILD_DIR:-$KORVANE_ROOT/build}/wineprefix"
[ "$KORVANE_DPI" = 96 ] || WINEPREFIX+="-${KORVANE_DPI}dpi"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL

# Makes the prefix if there is none and gives it, new or old, the project's settings; safe to run again. With
# --keep-server, the wineserver that it leaves running stays until it is stopped (korvane_wine_down): it must be
# started before any other Wine program, since a server that a Wine program starts ends with the last of them.
korvane_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  if [ "${1:-}" = --keep-server ]; then
    wineserver -p >/dev/null 2>&1 || true
  fi
  # The windows' font (the system's message font, "MS Shell Dlg", which the prefix substitutes with "MS UI
  # Gothic") is not installed under Wine, which would draw it with IPA Gothic (IPAゴシック): at 9 points (12
  # pixels) that font's underscore falls below its cell and is cut off, and a folder "2026_1205" reads
  # "2026 1205". IPAex Gothic draws it inside the cell, at the same height (but "\" as a backslash, where IPA
  # Gothic and Windows' Japanese fonts draw "¥").
  # The window tests run on a bare X display: without a window manager, Wine would wait two seconds for one at
  # every window that closes, unless the windows of the test program are left unmanaged.
  # The screen's dpi is the desktop's LogPixels.
  local settings="$WINEPREFIX/korvane-settings.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"MS UI Gothic"="IPAexGothic"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\AppDefaults\ui_tests.exe\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$(printf %08x "$KORVANE_DPI")" '' >"$settings"
  wine reg import "Z:${settings//\//\\}" </dev/null >/dev/null 2>&1 || true
}

# Stops every Wine process of the prefix, and its server.
korvane_wine_down() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Stops the prefix's Wine when the calling shell ends, also on a failure or Ctrl+C: sets the shell's traps on
# EXIT, HUP, INT and TERM. A script that ends its Wine programs itself finds nothing left to stop.
korvane_wine_down_on_exit() {
  trap korvane_wine_down EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# Makes the prefix ready and keeps one wineserver alive, so that each test process starts fast; the server and
# every Wine process of the prefix are stopped when the calling shell ends (korvane_wine_down_on_exit).
korvane_wine_up() {
  korvane_wine_down_on_exit
  korvane_wine_prefix --keep-server
  # Start Wine's background services now, detached from our output: started later by a test, they would hold
  # ctest's output pipe open and it would wait for them forever.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
