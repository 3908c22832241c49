#!/usr/bin/env bash
# Builds Korvane and runs every test: the core natively (with sanitizers), then all test programs under Wine
# on a virtual display. Ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
korvane_wine_up

status=0
ctest --test-dir "$root/build/native" --output-on-failure || status=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$root/build/win" --output-on-failure || status=1
exit $status
