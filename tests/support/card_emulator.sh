# Sourced by the end-to-end scripts and the benchmarks: the emulated card (card_emulator.py) for a script. The
# card is mounted by card_mount and unmounted by card_unmount, which the script's exit trap must call (also on a
# failure or Ctrl+C): no mount is left behind. A machine without /dev/fuse or without fusepy fails here with the
# emulator's message, so that a test run never passes without its cards.

card_emulator_py="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/card_emulator.py"
card_mount_points=() card_controls=()  # of each card mounted, for card_unmount

# card_mount SOURCE MOUNTPOINT CONTROL [emulator options...]
card_mount() {
  /usr/bin/python3 "$card_emulator_py" mount "$@" || { echo "FAILED: the emulated card could not be mounted" >&2; exit 1; }
  card_mount_points+=("$2")
  card_controls+=("$3")
}

# Unmounts every card the script mounted.
card_unmount() {
  local i
  for i in "${!card_mount_points[@]}"; do
    /usr/bin/python3 "$card_emulator_py" unmount "${card_mount_points[$i]}" "${card_controls[$i]}" || true
  done
  card_mount_points=() card_controls=()
}

# The bytes read from the card of the control folder $1: in total, or of the file $2 ("/DCIM/IMG_1.JPG"). Printed
# with %.0f: mawk's print writes sums past 2^31 as 4e+09.
card_bytes_read() {
  awk -F '\t' -v name="${2:-}" 'name == "" || $2 == name { n += $1 } END { printf "%.0f\n", n }' "$1/counters"
}
