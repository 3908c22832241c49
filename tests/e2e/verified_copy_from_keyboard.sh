#!/usr/bin/env bash
# End to end: the verified copy (data.ini's [Option] Verify=1) of the real korvane.exe under Wine on the current
# X display, driven from the keyboard only. The card's one file at its root is large (2 GiB), so that the pass
# compares it first and for seconds; its other files lie in sub-folders.
#   1. a copy whose pass finds every file equal: the progress window, then the completion box with the count;
#   2. a copy whose pass is cancelled with Esc: the completion box says how far it got;
#   3. a copy spoiled while the pass compares the large file (a byte flipped, a file deleted): the error box
#      names both, and No (the default) leaves the explorer closed.
# It keeps a picture of each window it meets, cut to the copy window and the window over it.
#   verified_copy_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"
photos="$work/d/写真"  # the destination, D:\写真 to the program
today=$(date +%Y_%m%d)

prepare_work "$exe"
mkdir -p "$work/card/DCIM/100_旅行" "$work/card/MISC"

head -c $((2 << 30)) /dev/urandom > "$work/card/運動会.MTS"
for i in $(seq 1 20); do head -c $((i * 4093)) /dev/urandom > "$work/card/DCIM/100_旅行/IMG_$i.JPG"; done
printf 'メモ\r\n' > "$work/card/MISC/メモ.txt"

write_data_ini "$work/card" 写真 "$photos" Verify=1

# Waits, checking often, for the pass's progress window; returns as soon as it shows.
wait_pass() { poll 600 0.1 visible_window_is_there 照合; }

# Starts a verified copy into the new folder $1 (typed over the proposed name unless it is today's).
start_copy() {
  open_name_prompt
  [ "$1" = "$today" ] || type_over "$1"
  xdotool key Return
  wait_pass || { shot "pass-$1-missing"; fail "no progress window for the copy into $1"; }
}

program=
trap 'kill $program 2>/dev/null || true; unmap_drives' EXIT
start_program_on_first_source

# 1. Every file equal.
start_copy "$today"
sleep 0.7
point_at 照合
shot_window 10-verify-progress Korvane 照合
wait_window 完了 || { shot 11-verify-no-completion; fail "no completion box after the pass"; }
shot_window 11-verify-done Korvane 完了
xdotool key Return
close_explorer "$today"
diff -r "$work/card" "$photos/$today" || fail "the copy differs from the card"
rm -rf "${photos:?}/$today"

# 2. Cancelled with Esc as soon as the pass shows: the pass over 2 GiB can end within about a second, before an
# Esc half a second later. (The names typed are ASCII: xdotool's typing of Japanese through remapped key codes
# can lose characters on a busy machine.)
start_copy cancelled
xdotool mousemove --window "$(visible_window 照合)" 3 3 key Escape
wait_window 完了 || { shot 12-verify-no-completion; fail "no completion box after Cancel"; }
shot_window 12-verify-cancelled Korvane 完了
xdotool key Return
close_explorer cancelled
rm -rf "${photos:?}/cancelled"

# 3. The copy spoiled while the pass is at the large file: one byte flipped, one file deleted.
start_copy spoiled
spoiled="$photos/spoiled/DCIM/100_旅行"
printf '\x00' | dd of="$spoiled/IMG_3.JPG" bs=1 seek=100 conv=notrunc status=none
cmp -s "$spoiled/IMG_3.JPG" "$work/card/DCIM/100_旅行/IMG_3.JPG" &&
  printf '\x01' | dd of="$spoiled/IMG_3.JPG" bs=1 seek=100 conv=notrunc status=none
rm "$spoiled/IMG_7.JPG"
wait_window エラー || { shot 13-verify-no-error; fail "no error box for the spoiled copy"; }
shot_window 13-verify-differences Korvane エラー
xdotool key Return  # No is the default
wait_gone エラー || fail "the error box did not close"
sleep 2
[ -z "$(visible_window spoiled)" ] || fail "No opened the explorer"
echo "verified copy: equal, cancelled and spoiled runs seen; screenshots in $shots"
