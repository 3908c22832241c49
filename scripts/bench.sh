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
# bench_card's card, at 35 MB/s behind the emulated card reader: about 1 GiB of pictures and films in photos/ and
# 20,000 files of 24 KiB in small/ (bench/make_card_source.py), made once in the build folder (again when an older
# card is found there, which is removed); unmounted when the script ends (also on a failure or Ctrl+C). The copies
# go to copies/.
source "$root/tests/support/card_emulator.sh"
card="$out/bench-card"
card_rate=35
trap card_unmount EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
rm -rf "$card/copies"
if [ ! -f "$card/source/small/DCIM/119MSDCF/DSC20000.JPG" ]; then
  rm -rf "$card/photos"  # where an older card's copies went
  /usr/bin/python3 "$root/bench/make_card_source.py" "$card/source"
fi
mkdir -p "$card/copies"
# Names kept, as a card's file system keeps its folders: else each look-up of a path calls the emulator, and a bare
# read of small files takes three times as long as the card's rate makes it.
card_mount "$card/source" "$card/mount" "$card/control" --rate "$card_rate" --keep-names 10
log="$out/bench.log"
: >"$log"
# Wine's session starts on the virtual display: its desktop, started by a Wine program before the display, would
# have none, and the first benchmarks could not create their windows. Wine is stopped as this shell ends, before
# the display goes.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  source "$1"
  bench=$2 log=$3 card=$4 card_rate=$5; shift 5
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
    [ "$name" = bench_card ] && arguments=("$card_rate" "$(winepath -w "$card/mount/photos")"
                                           "$(winepath -w "$card/mount/small")" "$(winepath -w "$card/control")"
                                           "$(winepath -w "$card/copies")")
    wine "$bench/$name.exe" "${arguments[@]}" </dev/null >>"$log" 2>&1 || { echo "$name failed (see $log)" >&2; status=1; }
  done
  exit $status
' _ "$root/scripts/wine-env.sh" "$out/win/bench" "$log" "$card" "$card_rate" "${benchmarks[@]}" || status=$?

{
  printf 'figure\treference\tratio\tgoal\tmet?\n'
  grep -a '^FIGURE' "$log" | tr -d '\r' | cut -f2-
} | column -t -s $'\t' -o ' | '
exit "${status:-0}"
