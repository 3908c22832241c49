# Sourced by the other scripts: a project-local 64-bit Wine prefix on a Japanese system (ANSI code page 932),
# with one wineserver kept alive so that each test process starts fast.
KORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$KORVANE_ROOT/build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL

korvane_wine_up() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
  # The window tests run on a bare X display: without a window manager, Wine would wait two seconds for one at
  # every window that closes, unless the windows of the test program are left unmanaged.
  wine reg add 'HKCU\Software\Wine\AppDefaults\ui_tests.exe\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 || true
  # Start Wine's background services now, detached from our output: started later by a test, they would hold
  # ctest's output pipe open and it would wait for them forever.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
