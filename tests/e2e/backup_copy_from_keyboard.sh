#!/usr/bin/env bash
# End to end: a copy with a backup folder (data.ini's [Option] BackupFolder=F:\控え\, with ReadCardOnce=1 and
# Verify=1) of the real korvane.exe under Wine on the current X display, driven from the keyboard only. The card
# (E:) is an ordinary folder; the destination is D:\写真, the backup folder F:\控え.
#   1. a copy: the completion box names both new folders, the explorer opens on the destination's, and both new
#      folders hold the card's tree byte for byte;
#   2. the backup disk taken away (F: unmapped): the question names the backup folder, and No (the default)
#      copies nothing;
#   3. the same question answered Yes copies to the destination alone.
# It keeps a picture of each box it meets, cut to the copy window and the box over it.
#   backup_copy_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"
photos="$work/d/写真"       # D:\写真 to the program
backup="$work/f/控え"       # F:\控え
today=$(date +%Y_%m%d)

prepare_work "$exe"
mkdir -p "$work/card/DCIM/100_旅行" "$work/card/MISC" "$backup"
map_drive F "$work/f"
for i in $(seq 1 12); do head -c $((i * 40093)) /dev/urandom > "$work/card/DCIM/100_旅行/IMG_$i.JPG"; done
printf 'メモ\r\n' > "$work/card/MISC/メモ.txt"

write_data_ini "$work/card" 写真 "$photos" Verify=1 ReadCardOnce=1 'BackupFolder=F:\控え\'

# Starts a copy into today's folder and waits for the box titled $1 over the copy window.
start_copy() {
  open_name_prompt
  xdotool key Return
  wait_window "$1" || { shot "no-$1"; fail "no box titled $1"; }
}

program=
trap 'kill $program 2>/dev/null || true; unmap_drives' EXIT
start_program_on_first_source

# 1. Both copies, from the one read of the card.
start_copy 完了
shot_window backup-copy-done Korvane 完了
xdotool key Return
close_explorer "$today"
for copy in "$photos/$today" "$backup/$today"; do
  diff -r "$work/card" "$copy" || fail "$copy differs from the card"
done
rm -rf "${photos:?}/$today" "${backup:?}/$today"

# 2. The backup disk taken away: the question comes before the name prompt, and No, the default, copies nothing.
rm -f "$WINEPREFIX/dosdevices/f:"
press_in_copy_window alt+s 確認 || { shot backup-missing-no-question; fail "no question for the missing backup folder"; }
shot_window backup-missing-question Korvane 確認
xdotool key Return
wait_gone 確認 || fail "the question did not close"
[ -z "$(visible_window コピー)" ] || fail "No went on to the name prompt"
[ ! -e "$photos/$today" ] || fail "No copied to the destination"

# 3. Yes copies to the destination alone.
press_in_copy_window alt+s 確認 || fail "no question for the missing backup folder"
xdotool key y
wait_window コピー || fail "Yes did not go on to the name prompt"
xdotool key Return
wait_window 完了 || { shot backup-missing-yes-failure; fail "Yes did not copy"; }
xdotool key Return
close_explorer "$today"
diff -r "$work/card" "$photos/$today" || fail "the copy to the destination alone differs from the card"
[ ! -e "$backup/$today" ] || fail "Yes copied to the backup folder"
echo "backup copy end to end: passed"
