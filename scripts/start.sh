#!/usr/bin/env bash
# Builds Korvane and starts it under Wine. A build without settings gets a demo card and destination first
# (scripts/demo.sh). Without a display it runs on a virtual one, saves a screenshot of the window to
# build/korvane.png and ends the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --windows-only
source "$root/scripts/wine-env.sh"
korvane_wine_up
exe="$root/build/win/korvane.exe"
"$root/scripts/demo.sh" "$(dirname "$exe")"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

shot="$root/build/korvane.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wine "$1" & pid=$!
  for _ in $(seq 60); do
    xdotool search --name "^Korvane$" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 2
  import -window root "$2"
  kill $pid 2>/dev/null; wineserver -k 2>/dev/null || true
' _ "$exe" "$shot"
echo "No display: Korvane ran on a virtual display; its window is in $shot"
