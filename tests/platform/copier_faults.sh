#!/usr/bin/env bash
# The own copier against devices that fail in ways a folder of the test cannot: a destination disk that fills up
# (a tmpfs of 8 MiB) and a card whose reads do not answer (the emulated card, tests/support/card_emulator.py, holding
# every read of hang.jpg). Runs the platform tests of those faults with the two folders. Fails when either cannot be
# mounted: a run never passes without them.
#   copier_faults.sh <platform_tests.exe> <work folder>
set -euo pipefail
tests=$1
work=$2
source "$(dirname "$0")/../support/card_emulator.sh"
cleanup() {
  card_unmount
  umount "$work/small" 2>/dev/null || true
}
rm -rf "$work"
mkdir -p "$work/small" "$work/source"
work=$(cd "$work" && pwd)
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mount -t tmpfs -o size=8m tmpfs "$work/small" || { echo "FAILED: no small disk of 8 MiB can be mounted" >&2; exit 1; }
head -c $((8 << 10)) /dev/urandom >"$work/source/a.jpg"
head -c $((4 << 20)) /dev/urandom >"$work/source/hang.jpg"
card_mount "$work/source" "$work/card" "$work/control" --hold /hang.jpg@0
# The held read is let go after a while: under Wine a process whose read never returns cannot end.
(sleep 5 && touch "$work/control/release") &
windows() { printf 'Z:%s' "${1//\//\\}"; }
KORVANE_SMALL_DISK=$(windows "$work/small") KORVANE_HANGING_CARD=$(windows "$work/card") \
  wine "$tests" --gtest_filter='CopierFaultTest.*'
