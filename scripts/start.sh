#!/usr/bin/env bash
# Builds Korvane (the program alone: the test command builds the rest) and starts it under Wine. A build without
# settings gets a demo card and destination first (scripts/demo.sh). Without a display it runs on a virtual one,
# saves a screenshot of the window to build/korvane.png and ends the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KORVANE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --windows-only korvane
source "$root/scripts/wine-env.sh"
exe="$out/win/korvane.exe"
"$root/scripts/demo.sh" "$(dirname "$exe")"

if [ -n "${DISPLAY:-}" ]; then
  korvane_wine_up
  exec wine "$exe"
fi

# Wine's session starts on the virtual display: started before it, without a display, it would show no window.
shot="$out/korvane.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  source "$3"
  korvane_wine_up
  wine "$1" & pid=$!
  for _ in $(seq 60); do
    xdotool search --onlyvisible --name "^Korvane$" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 1  # let it paint
  import -window root "$2"
  kill $pid 2>/dev/null; wineserver -k 2>/dev/null || true
' _ "$exe" "$shot" "$root/scripts/wine-env.sh"
echo "No display: Korvane ran on a virtual display; its window is in $shot"
