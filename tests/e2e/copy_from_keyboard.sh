#!/usr/bin/env bash
# End to end: starts the real korvane.exe under Wine on the current X display, with a card folder and a
# destination registered in its data.ini, and drives it from the keyboard only:
#   1. a copy: Space on the first source, Alt+S, Enter on the name prompt, Enter on the completion box; every
#      copied byte is checked;
#   2. the run's failure paths: a name the shell refuses, a source that is not there (Retry box, cancelled), a
#      malformed source path, a destination that is not there.
# It keeps a screenshot of each window it meets.
#   copy_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"
photos="$work/d/写真"  # the destination, D:\写真 to the program

prepare_work "$exe"

# A small camera card: nested folders, Japanese names (with the code page 932 trail-byte traps ポ, 表 and ソ),
# binary content.
mkdir -p "$work/card/DCIM/100_旅行/二日目" "$work/card/ポスター表" "$work/card/空のフォルダ"
for i in $(seq 1 40); do head -c $((i * 997)) /dev/urandom > "$work/card/DCIM/IMG_$i.JPG"; done
head -c 3000000 /dev/urandom > "$work/card/DCIM/100_旅行/運動会.MTS"
head -c 12345 /dev/urandom > "$work/card/DCIM/100_旅行/二日目/写真ソ.jpg"
printf 'メモ\r\n' > "$work/card/ポスター表/メモ.txt"

write_data_ini "$work/card" 写真 "$photos"

# Replaces the text of the copy window's box at pixel $1,$2 of its client area (96 dpi) with $3.
type_into() {
  xdotool mousemove --window "$(visible_window Korvane)" "$1" "$2" click 1
  type_over "$3"
}
source_box=(124 89)
destination_box=(116 289)
# Starts a run that must end in an error box; keeps its picture and closes it with the key $2.
expect_error_box() {
  xdotool key alt+s
  wait_window エラー || { shot "$1-missing"; fail "no error box for $1"; }
  shot "$1"
  xdotool key "$2"
  wait_gone エラー || fail "the error box for $1 did not close"
}

program=
trap 'kill $program 2>/dev/null || true; unmap_drives' EXIT
start_program
shot 01-copy-window

# 1. A copy into today's folder.
copy_card_today "$work/card" "$photos" 02-copy

# 2. The failure paths.
printf 'x' > "$photos/blocked"     # a file where the new folder should go: the shell cannot copy
open_name_prompt
type_over blocked
xdotool key Return
wait_window エラー || { shot 06-failure; fail "no failure question for a refused name"; }
shot 06-copy-failed-question
xdotool key Return                     # No is the default
wait_gone エラー || fail "the failure question did not close"

type_into "${source_box[@]}" "$(windows_path "$work/d/カード")"
expect_error_box 07-source-not-ready Escape
type_into "${source_box[@]}" 'E:\DCIM\a<b'
expect_error_box 08-bad-file-name Return
type_into "${source_box[@]}" "$(windows_path "$work/card")"
type_into "${destination_box[@]}" "$(windows_path "$work/d/旧写真")\\"
expect_error_box 09-destination-missing Return

[ "$(find "$photos" -mindepth 1 -maxdepth 1 | wc -l)" -eq 2 ] || fail "a failed run left something in $photos"
echo "$(find "$work/card" -type f | wc -l) files copied byte for byte into $photos/$(date +%Y_%m%d); screenshots in $shots"
