#!/usr/bin/env bash
# End to end: Korvane's own copy (data.ini's [Option] ReadCardOnce=1 and Verify=1) of the real korvane.exe under
# Wine on the current X display, driven from the keyboard only. The card holds a large file (1 GiB), so that the
# copy's progress window shows for a while, small files in sub-folders, a hidden file and an empty folder.
#   1. a copy checked against the card's checksums: the progress window, then the completion box with the count,
#      and the new folder equal to the card;
#   2. the same name again: the one question for the files there already; Cancel (Esc) copies nothing;
#   3. where a small disk (a tmpfs of 16 MiB) can be mounted: the program started again with a destination on it,
#      and the copy refused for lack of space before anything is made.
# It keeps a picture of each window it meets, cut to the copy window and the window over it.
#   own_copy_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"
photos="$work/d/写真"  # the destination, D:\写真 to the program
today=$(date +%Y_%m%d)

prepare_work "$exe"
mkdir -p "$work/card/DCIM/100_旅行" "$work/card/空のフォルダ"

head -c $((1 << 30)) /dev/urandom > "$work/card/運動会.MTS"
for i in $(seq 1 20); do head -c $((i * 4093)) /dev/urandom > "$work/card/DCIM/100_旅行/IMG_$i.JPG"; done
printf 'メモ\r\n' > "$work/card/.隠し.txt"

write_data_ini "$work/card" 写真 "$photos" Verify=1 ReadCardOnce=1

program=
small="$work/d/小さい"
trap 'kill $program 2>/dev/null || true; umount "$small" 2>/dev/null || true; unmap_drives' EXIT
start_program_on_first_source

# 1. The copy and its check against the card's checksums.
open_name_prompt
xdotool key Return
poll 600 0.1 visible_window_is_there カードからコピー || { shot 20-own-no-progress; fail "no progress window"; }
sleep 0.7
point_at カードからコピー
shot_window 20-own-copy-progress Korvane カードからコピー
wait_window 完了 || { shot 21-own-no-completion; fail "no completion box after the copy"; }
shot_window 21-own-copy-done Korvane 完了
xdotool key Return
close_explorer "$today"
diff -r "$work/card" "$photos/$today" || fail "the copy differs from the card"
[ -z "$(find "$photos/$today" -name '*.tmp')" ] || fail "a temporary file was left"

# 2. The same name again: the files are there already.
open_name_prompt
xdotool key Return
wait_window 確認 || { shot 22-own-no-question; fail "no question for the files there"; }
shot_window 22-own-copy-files-there Korvane 確認
xdotool key Escape
wait_gone 確認 || fail "the question did not close"
sleep 1
[ -z "$(visible_window カードからコピー)" ] || fail "Cancel copied"

# 3. No room on the destination's disk.
mkdir -p "$small"
if mount -t tmpfs -o size=16m tmpfs "$small" 2>/dev/null; then
  click_window Korvane
  xdotool key alt+x
  poll 100 0.1 bash -c "! kill -0 $program 2>/dev/null" || fail "the program did not end"
  write_data_ini "$work/card" 小さい "$small" Verify=1 ReadCardOnce=1
  start_program_on_first_source
  open_name_prompt
  xdotool key Return
  wait_window エラー || { shot 23-own-no-refusal; fail "no refusal for lack of space"; }
  shot_window 23-own-copy-no-room Korvane エラー
  xdotool key Return
  wait_gone エラー || fail "the refusal did not close"
  [ -z "$(ls -A "$small")" ] || fail "something was made on the small disk"
else
  echo "no small disk can be mounted: the refusal for lack of space is not seen"
fi
echo "own copy: a checked copy equal to the card, the question for the files there and the refusal seen; screenshots in $shots"
