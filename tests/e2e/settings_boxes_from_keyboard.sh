#!/usr/bin/env bash
# End to end: the settings window's own boxes, of the real korvane.exe under Wine on the current X display, with
# two sources and three destinations registered in its data.ini (the program in D:\Korvane):
#   1. the window as it opens; a destination clicked shows its name and folder; F2 renames it in place, and Esc
#      leaves the name as it was;
#   2. OK refused twice, the window staying open and data.ini unchanged: for a name with the file's separator
#      "|", and for a data.ini that is read-only;
#   3. an import whose question is answered No: "読み込みは中止されました", and Cancel leaves data.ini as it was;
#   4. a data.ini larger than the 64 MiB that start-up reads: a box names it, the copy window opens after it, and
#      the file stays as it was.
# It keeps a picture of each window and box it meets, cut to the window (the settings window with the box over
# it), at the prefix's dpi.
#   settings_boxes_from_keyboard.sh <korvane.exe> <work folder>
set -euo pipefail
source "$(dirname "$0")/keyboard_driving.sh"
exe=$1
work=$2
shots="$work/screenshots"

rm -rf "$work"
app="$work/d/Korvane"  # D:\Korvane to the program
mkdir -p "$app" "$work/card/DCIM" "$work/usb" "$work/d/写真" "$work/d/仕事" "$work/d/家族旅行" "$shots"
map_drive E "$work/card"
map_drive F "$work/usb"
map_drive D "$work/d"
cp "$exe" "$app/korvane.exe"
ini="$app/data.ini"
printf '%s\r\n' '[SourceList]' 'Source1=SDカード|E:\DCIM' 'Source2=USBメモリ|F:\' 'Source3=' \
  '[DirList]' 'Dir1=写真|D:\写真' 'Dir2=仕事|D:\仕事' 'Dir3=家族旅行|D:\家族旅行' \
  '[Password]' 'Password=' '[Option]' 'Verify=1' 'BackupFolder=G:\バックアップ\' | iconv -f UTF-8 -t CP932 > "$ini"
cp "$ini" "$work/d/backup.ini"
cp "$ini" "$work/registered.ini"

# Pixels at 96 dpi, at the prefix's dpi.
logpixels=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | grep -o '0x[0-9a-fA-F]*' || true)
dpi=$((${logpixels:-96}))
scaled() { echo $(( ($1 * dpi + 48) / 96 )); }

# Presses OK and expects the save to be refused: keeps the box's picture as $1 and closes it.
expect_refused_save() {
  settings_press ok
  wait_window エラー || { shot_window "$1-missing" "$setup"; fail "OK was not refused ($1)"; }
  shot_window "$1" "$setup" エラー
  xdotool key Return
  wait_gone エラー || fail "the box of $1 did not close"
  point_at "$setup" || fail "the settings window closed after a refused save ($1)"
  cmp -s "$ini" "$work/registered.ini" || fail "a refused save changed data.ini ($1)"
}

wine 'D:\Korvane\korvane.exe' >"$work/wine.log" 2>&1 &
program=$!
trap 'kill $program 2>/dev/null || true; chmod u+w "$ini" 2>/dev/null || true; unmap_drives' EXIT

# 1. The window, a destination clicked and renamed in place.
wait_window Korvane || fail "the copy window did not open"
xdotool key alt+i
wait_window "$setup" || fail "Alt+I did not open the settings window"
shot_window settings-window "$setup"
# The destination list's second item (仕事), at 96 dpi 192,160 of the window's client area.
xdotool mousemove --window "$(visible_window "$setup")" "$(scaled 192)" "$(scaled 160)" click 1
sleep 0.7
shot_window settings-destination-selected "$setup"
xdotool key F2
sleep 0.5
xdotool key End
type_text 2026
sleep 0.3
shot_window settings-label-edit "$setup"
xdotool key Escape
point_at "$setup"

# 2. Refused saves.
xdotool key alt+n
type_over '仕事|x'
expect_refused_save save-refused-separator
xdotool key alt+n
type_over 仕事
chmod a-w "$ini"
expect_refused_save save-refused-read-only
chmod u+w "$ini"

# 3. An import answered No.
settings_press import
wait_window 外部から読み込み || fail "the import's file dialog did not open"
type_text 'D:\backup.ini'
xdotool key Return
wait_window 設定ファイルの上書き || fail "the import did not ask before replacing the window's settings"
xdotool key alt+n
wait_window 確認 || fail "No to the import's question did not say that the import was cancelled"
shot_window import-cancelled "$setup" 確認
xdotool key Return
wait_gone 確認 || fail "the import's cancel box did not close"
point_at "$setup"
xdotool key Escape
wait_window Korvane || fail "Esc did not bring the copy window back"
cmp -s "$ini" "$work/registered.ini" || fail "Cancel after the refused saves changed data.ini"
xdotool key alt+x
poll 40 0.25 process_ended $program || fail "the program did not end on Alt+X"

# 4. A data.ini too large to read.
truncate -s 65M "$ini"
wine 'D:\Korvane\korvane.exe' >>"$work/wine.log" 2>&1 &
program=$!
wait_window エラー || fail "start-up did not refuse a data.ini of 65 MiB"
shot_window load-too-large エラー
xdotool key Return
wait_window Korvane || fail "the copy window did not open after the refusal"
shot_window copy-window-after-too-large Korvane
xdotool key alt+x
poll 40 0.25 process_ended $program || fail "the program did not end on Alt+X"
[ "$(stat -c %s "$ini")" = $((65 << 20)) ] || fail "start-up changed the data.ini that it could not read"

echo "settings window's boxes seen at $dpi dpi; screenshots in $shots"
