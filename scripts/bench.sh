#!/usr/bin/env bash
# Builds the Windows program and its benchmarks (no test program), runs every benchmark under Wine on a virtual
# display and prints one table: each figure beside its reference, their ratio, the goal and whether it is met.
#   bench.sh [benchmark...]   only the benchmarks named, if any (built alone: bench_start_up needs all of them)
# Each benchmark takes the median of several runs, with the reference and the program alternating in the same
# run. The benchmarks' own output goes to build/bench.log. No Wine process of the project's prefix is left
# running when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --windows-only "${@:-benchmarks}"
out=${KORVANE_BUILD_DIR:-$root/build}
benchmarks=(bench_start_up bench_settings_window bench_destination_list bench_load_settings bench_destination_tree
            bench_copy_run bench_already_copied bench_verify bench_copier bench_card)
[ $# -gt 0 ] && benchmarks=("$@")
# bench_card's card: 1 GiB of pictures and films behind the emulated card reader at 35 MB/s, unmounted when the
# script ends (also on a failure or Ctrl+C).
source "$root/tests/support/card_emulator.sh"
card="$out/bench-card"
trap card_unmount EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
rm -rf "$card/photos"
if [ ! -f "$card/source/DCIM/100_BENCH/MVI_16.MP4" ]; then
  mkdir -p "$card/source/DCIM/100_BENCH" "$card/source/MISC"
  for i in $(seq 1 16); do head -c $((64 << 20)) /dev/urandom > "$card/source/DCIM/100_BENCH/MVI_$i.MP4"; done
  printf 'memo\r\n' > "$card/source/MISC/memo.txt"
fi
mkdir -p "$card/photos"
card_mount "$card/source" "$card/mount" "$card/control" --rate 35
log="$out/bench.log"
: >"$log"
# Wine's session starts on the virtual display: its desktop, started by a Wine program before the display, would
# have none, and the first benchmarks could not create their windows. Wine is stopped as this shell ends, before
# the display goes.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  source "$1"
  bench=$2 log=$3 card=$4; shift 4
  korvane_wine_up
  # Windows that close wait two seconds for a window manager on a bare display, unless they are left unmanaged.
  for name in "$@"; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$name.exe\\X11 Driver" /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1 || true
  done
  status=0
  for name in "$@"; do
    echo "== $name" >>"$log"
    arguments=()
    [ "$name" = bench_start_up ] && arguments=("$(winepath -w "$bench/bare_window.exe")"
                                               "$(winepath -w "$bench/controls_window.exe")"
                                               "$(winepath -w "$bench/../korvane.exe")")
    # 202,000 small files: under /tmp (Z:\tmp to Wine), not in the build folder; the benchmark removes them.
    [ "$name" = bench_already_copied ] && arguments=("$(winepath -w /tmp)")
    [ "$name" = bench_card ] && arguments=("$(winepath -w "$card/mount")" "$(winepath -w "$card/control")"
                                           "$(winepath -w "$card/photos")")
    wine "$bench/$name.exe" "${arguments[@]}" </dev/null >>"$log" 2>&1 || { echo "$name failed (see $log)" >&2; status=1; }
  done
  exit $status
' _ "$root/scripts/wine-env.sh" "$out/win/bench" "$log" "$card" "${benchmarks[@]}" || status=$?

{
  printf 'figure\treference\tratio\tgoal\tmet?\n'
  grep -a '^FIGURE' "$log" | tr -d '\r' | cut -f2-
} | column -t -s $'\t' -o ' | '
exit "${status:-0}"
