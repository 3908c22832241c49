#!/usr/bin/env bash
# The own copier against devices that fail in ways a folder of the test cannot: a destination disk that fills up
# (a tmpfs of 8 MiB) and a card whose reads never return (tests/platform/hanging_card.py, a FUSE file system).
# Runs the platform tests of those faults with the two folders. Skipped (exit 77) where they cannot be mounted.
#   copier_faults.sh <platform_tests.exe> <work folder>
set -euo pipefail
tests=$1
work=$2
fuse=""
cleanup() {
  fusermount3 -uz "$work/card" 2>/dev/null || true
  [ -z "$fuse" ] || kill -KILL "$fuse" 2>/dev/null || true
  umount "$work/small" 2>/dev/null || true
}
rm -rf "$work"
mkdir -p "$work/small" "$work/card"
work=$(cd "$work" && pwd)
trap cleanup EXIT
mount -t tmpfs -o size=8m tmpfs "$work/small" 2>/dev/null || { echo "no small disk can be mounted: skipped"; exit 77; }
/usr/bin/python3 "$(dirname "$0")/hanging_card.py" "$work/card" &
fuse=$!
for _ in $(seq 50); do [ -e "$work/card/hang.jpg" ] && break; sleep 0.1; done
[ -e "$work/card/hang.jpg" ] || { echo "no FUSE card can be mounted: skipped"; exit 77; }
windows() { printf 'Z:%s' "${1//\//\\}"; }
KORVANE_SMALL_DISK=$(windows "$work/small") KORVANE_HANGING_CARD=$(windows "$work/card") \
  wine "$tests" --gtest_filter='CopierFaultTest.*'
