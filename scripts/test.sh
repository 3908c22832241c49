#!/usr/bin/env bash
# Builds Korvane and runs every test: the core natively (with sanitizers), then all test programs under Wine
# on a virtual display. Ends with ctest's summary line; no Wine process of the project's prefix is left running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
out=${KORVANE_BUILD_DIR:-$root/build}
source "$root/scripts/wine-env.sh"
korvane_wine_up

status=0
ctest --test-dir "$out/native" --output-on-failure || status=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$out/win" --output-on-failure || status=1
exit $status
