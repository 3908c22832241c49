#!/usr/bin/env bash
# End to end: the whole life of a user, on the real korvane.exe under Wine on the current X display, from the
# keyboard only:
#   1. no data.ini: Alt+I opens the settings window and Esc brings the copy window back, nothing written;
#   2. the first settings: a source (Space on its box, name, folder), two destinations (Alt+A, name, folder) and
#      a password, OK; data.ini holds exactly them and the new copy window copies the card byte for byte;
#   3. the settings again, through the password dialog: a wrong password is refused, the right one lets in;
#   4. export, a change, import of the export (the question answered Yes), OK: data.ini is the export again.
# It keeps a screenshot of each window and box it meets.
#   settings_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"
password_dialog='パスワードを入力してください'
password='ひみつ の pass'

photos="$work/d/写真" backup="$work/d/バックアップ"  # D:\写真 and D:\バックアップ to the program
prepare_work "$exe"
mkdir -p "$work/card/DCIM/100_旅行" "$work/card/MISC" "$backup"
for i in 1 2 3; do head -c $((i * 4099)) /dev/urandom > "$work/card/DCIM/100_旅行/ポスター表$i.JPG"; done
printf 'PRINT\r\n' > "$work/card/MISC/AUTPRINT.MRK"
ini="$work/app/data.ini"
exported="$work/d/設定の控え.ini"

# Adds a destination named $1 for the folder $2: Alt+A adds a numbered item and selects it, Alt+N reaches the
# name box, Tab the folder box; both edit the selected item as they are typed into.
add_destination() {
  xdotool key alt+a
  xdotool key alt+n
  type_over "$1"
  xdotool key Tab
  type_over "$(windows_path "$2")"
}

# Answers the file dialog titled $1 with the file $2, typed into its file name box (which has the focus), and
# keeps its picture as $3.
choose_file() {
  wait_window "$1" || fail "the file dialog $1 did not open"
  shot "$3"
  type_text "$(windows_path "$2")"
  xdotool key Return
  wait_gone "$1" || fail "the file dialog $1 did not close"
  point_at "$setup"
}

program=
trap 'kill $program 2>/dev/null || true; unmap_drives' EXIT

# 1. Nothing registered yet; the settings window opens and Esc cancels it.
start_program
shot 01-copy-window-empty
xdotool key alt+i
wait_window "$setup" || fail "Alt+I did not open the settings window"
shot 02-settings-empty
xdotool key Escape
wait_window Korvane || fail "Esc in the settings window did not bring the copy window back"
[ ! -e "$ini" ] || fail "Cancel wrote $ini"

# 2. The first settings.
xdotool key alt+i
wait_window "$setup" || fail "Alt+I did not open the settings window again"
xdotool key space                      # the first slot's box has the focus; checking it focuses its name box
type_text 'カード'
xdotool key Tab
type_text "$(windows_path "$work/card")"
add_destination 写真 "$photos"
add_destination バックアップ "$backup"
settings_focus password
type_text "$password"
shot 03-settings-filled
settings_press ok
wait_window Korvane || fail "OK did not bring the copy window back"
printf '[SourceList]\r\nSource1=カード|%s\r\nSource2=\r\nSource3=\r\n[DirList]\r\nDir1=写真|%s\r\nDir2=バックアップ|%s\r\n[Password]\r\nPassword=%s\r\n' \
  "$(windows_path "$work/card")" "$(windows_path "$photos")" "$(windows_path "$backup")" "$password" |
  iconv -f UTF-8 -t CP932 > "$work/expected.ini"
cmp "$ini" "$work/expected.ini" ||
  fail "data.ini after OK: $(iconv -f CP932 -t UTF-8 "$ini" | od -c | head -n 20)"
shot 04-copy-window-registered
copy_card_today "$work/card" "$photos" 05-copy

# 3. Through the password dialog: a wrong password, then the right one.
press_in_copy_window alt+i "$password_dialog" || fail "Alt+I did not open the password dialog"
type_text "${password^^}"
shot 06-password-dialog
xdotool key Return
wait_window エラー || fail "a wrong password was not refused"
shot 07-wrong-password
xdotool key Return
wait_gone エラー || fail "the wrong-password box did not close"
point_at "$password_dialog" || fail "the password dialog closed after a wrong password"
type_over "$password"
xdotool key Return
wait_window "$setup" || fail "the right password did not open the settings window"
[ -z "$(visible_window Korvane)" ] || fail "the copy window stayed open beside the settings window"
shot 08-settings-registered

# 4. Export, change, import the export, OK.
settings_press export
choose_file 外部に保存 "$exported" 09-export-dialog
wait_file "$exported" || fail "the export wrote no file"
cmp "$exported" "$ini" || fail "the export of unchanged settings differs from data.ini"
saved=$(stat -c %i "$ini")
settings_focus password
type_over changed
xdotool key Tab space                  # from the password box Tab wraps round to the first slot's box: uncheck it
shot 10-settings-changed
settings_press import
choose_file 外部から読み込み "$exported" 11-import-dialog
wait_window 設定ファイルの上書き || fail "the import did not ask before replacing the window's settings"
shot 12-import-question
xdotool key Return                     # Yes is the default
wait_gone 設定ファイルの上書き || fail "the import question did not close"
point_at "$setup"
shot 13-settings-imported
[ "$(stat -c %i "$ini")" = "$saved" ] || fail "the import wrote data.ini before OK"
settings_press ok
wait_window Korvane || fail "OK after the import did not bring the copy window back"
cmp "$ini" "$exported" || fail "data.ini after the import and OK differs from the exported file"
shot 14-copy-window-imported

echo "settings registered, exported and imported from the keyboard; screenshots in $shots"
