#!/usr/bin/env bash
# Builds Korvane and runs every test: the core natively (with sanitizers), then all test programs under Wine
# on a virtual display. Ends with ctest's summary line; no Wine process of the project's prefix is left running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
out=${KORVANE_BUILD_DIR:-$root/build}

status=0
ctest --test-dir "$out/native" --output-on-failure || status=1
# Wine's session starts on the virtual display: its desktop, started by a Wine program before the display, would
# have none. Wine is stopped as this shell ends, before the display goes.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  source "$1"
  korvane_wine_up
  ctest --test-dir "$2" --output-on-failure
' _ "$root/scripts/wine-env.sh" "$out/win" || status=1
exit $status
