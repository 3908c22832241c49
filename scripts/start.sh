#!/usr/bin/env bash
# Builds Korvane (the program alone: the test command builds the rest) and starts it under Wine. A build without
# settings gets a demo card and destination first (scripts/demo.sh). With a display, it ends when Korvane and
# the windows it opened (Explorer on a new folder) are closed. Without a display it runs on a virtual one, saves
# a screenshot of the window to build/korvane.png and ends the program. Either way no Wine process of the
# project's prefix is left running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KORVANE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --windows-only korvane
source "$root/scripts/wine-env.sh"
exe="$out/win/korvane.exe"
"$root/scripts/demo.sh" "$(dirname "$exe")"

if [ -n "${DISPLAY:-}" ]; then
  korvane_wine_down_on_exit
  korvane_wine_prefix
  wine "$exe"
  # The server ends a few seconds after the last of the prefix's programs, the explorers Korvane opened too.
  wineserver -w
  exit
fi

# Wine's session starts on the virtual display: started before it, without a display, it would show no window.
shot="$out/korvane.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  source "$3"
  korvane_wine_up  # stopped with the program as this shell ends, before the virtual display goes
  wine "$1" &
  for _ in $(seq 60); do
    xdotool search --onlyvisible --name "^Korvane$" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 1  # let it paint
  import -window root "$2"
' _ "$exe" "$shot" "$root/scripts/wine-env.sh"
echo "No display: Korvane ran on a virtual display; its window is in $shot"
