#!/usr/bin/env bash
# End to end: the verified copy (data.ini's [Option] Verify=1) of the real korvane.exe under Wine, from a card
# behind the emulated card reader (tests/support/card_emulator.py, drive E:) that fails as cards do, driven from
# the keyboard. Each case mounts the card with its fault and runs the program once:
#   flaky     a byte that reads differently from its second read on: the pass names that file as different, and
#             every other file is read twice (copied, compared);
#   bad       a block that fails from its second read on (the shell's copy read it well): the pass names the file
#             unreadable and compares the rest; never "照合しました";
#   bad_in_copy  a block that fails at once: an error box, the shell's copy's failure or (Wine's copy reports
#             success without the file's bytes) the pass's, which names the file unreadable;
#   pulled    the card pulled during the pass: the box counts the files that could not be read and names them;
#             with the card back, a second copy is verified whole;
#   hung      a read of the pass that never returns: Esc ends the pass within 0.5 s, as cancelled, and quitting the
#             program while the read still hangs ends it within 2 s;
#   backup_bad_copy  with a backup folder (F:\控え\): a byte of the backup's copy changed after the copies, before the
#             pass reads it: the box names that file as different in the backup's copy alone;
#   slow      a card of 30 MB/s: the progress window's speed and time left agree within 20 % with the rate the
#             card is read at (measured from the emulator's counters: a busy machine may serve less).
# With the mode `own`, the copy is Korvane's own (ReadCardOnce=1 as well), which reads the card once and checks the
# copies against the checksums made from that read:
#   once      every card byte read exactly once, and the new folder equal to the card;
#   backup    with a backup folder (F:\控え\): both new folders equal to the card, the card still read once;
#   own_hung  a read of the copy that never returns: Esc ends the copy within 0.5 s, and no file stands under a
#             picture's name unless it is the card's whole file, nor any temporary file;
#   own_bad   a block that fails at once: the other files are copied, the box names the file unreadable;
#   own_flaky a byte that reads differently from its second read on: the copy holds the one read, all equal;
#   own_pulled  the card pulled in the middle of a later picture: the box names the files not read, those before are
#             whole, no picture stands half written nor any temporary file; with the card back, a second copy is whole;
#   missing_backup  a backup folder that is not there (F:\ない\): its question; No copies nothing and reads no card
#             byte, Yes copies to the destination alone, the card read once.
# The texts of the boxes are read with window_texts.exe; the pictures of the windows are kept.
#   faulty_card_from_keyboard.sh <korvane.exe> <window_texts.exe> <work folder> [own]
set -euo pipefail
here=$(dirname "$0")
source "$here/keyboard_driving.sh"
source "$here/../support/card_emulator.sh"
exe=$1
texts_exe=$2
work=$3
mode=${4:-shell}
shots="$work/screenshots"
card="$work/card"       # what the card holds
mount="$work/e"         # the card in its reader: E:\ to the program
control="$work/control" # the test's side of the reader
photos="$work/d/写真"   # the destination, D:\写真 to the program
backup="$work/f/控え"   # the backup folder, F:\控え
folder='DCIM\100_TEST'
program=

# On a bare display Wine waits two seconds for a window manager at every window that closes, which the timings of
# the hung card would measure: the program's windows are left unmanaged while the test runs.
unmanaged='HKCU\Software\Wine\AppDefaults\korvane.exe\X11 Driver'
cleanup() {
  [ -z "$program" ] || kill "$program" 2>/dev/null || true
  card_unmount
  unmap_drives
  wine reg delete "$unmanaged" /f </dev/null >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

rm -rf "$work"
mkdir -p "$work/app" "$card/DCIM/100_TEST" "$card/MISC" "$mount" "$photos" "$backup" "$shots"
map_drive E "$mount"
map_drive D "$work/d"
map_drive F "$work/f"
cp "$exe" "$work/app/korvane.exe"
wine reg add "$unmanaged" /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
for i in $(seq 1 8); do head -c $((6000000 + i * 4093)) /dev/urandom > "$card/DCIM/100_TEST/IMG_$i.JPG"; done
printf 'メモ\r\n' > "$card/MISC/メモ.txt"
# Writes data.ini: the card's slot, the destination, Verify=1, the own copy in the mode `own`, and the options $@.
settings() {
  local options=(Verify=1)
  [ "$mode" = shell ] || options+=(ReadCardOnce=1)
  printf '%s\r\n' '[SourceList]' 'Source1=カード|E:\' 'Source2=' 'Source3=' '[DirList]' 'Dir1=写真|D:\写真' \
    '[Password]' 'Password=' '[Option]' "${options[@]}" "$@" | iconv -f UTF-8 -t CP932 > "$work/app/data.ini"
}
settings
# The progress window of the copy's check: the pass's, or the own copy's, which copies and checks together.
progress=照合
[ "$mode" = shell ] || progress=カードからコピー

texts() { wine "$texts_exe" "$1" </dev/null 2>/dev/null | tr -d '\r'; }
size_of() { stat -c %s "$card/DCIM/100_TEST/$1"; }
now_ms() { date +%s%3N; }
# A process whose threads have all ended but one stuck in a read of the emulated card (Linux lets no signal end a
# read that the FUSE server has taken) shows as a zombie until the read is released: it has ended.
process_gone() { ! kill -0 "$1" 2>/dev/null || grep -q '^[^ ]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

# Mounts the card with the emulator's options $@ and starts the program with the card's slot chosen.
start() {
  card_mount "$card" "$mount" "$control" "$@"
  wine "$work/app/korvane.exe" >>"$work/wine.log" 2>&1 &
  program=$!
  wait_window Korvane || fail "the copy window did not open"
  xdotool key space  # the first source option has the focus: choose it
  sleep 0.5
}

# Quits the program (Alt+F4 on the copy window) and unmounts the card.
quit() {
  focus_copy_window
  xdotool key alt+F4
  poll 40 0.25 process_gone "$program" || fail "the program did not end"
  program=
  card_unmount
}

# Starts a verified copy into the new folder $1 and waits for the pass's progress window.
copy_into() {
  open_name_prompt
  copy_named "$1"
}
# The same from the name prompt on, which a question of the run may come before.
copy_named() {
  wait_window コピー || fail "the name prompt did not open"
  type_over "$1"
  xdotool key Return
  poll 600 0.1 visible_window_is_there "$progress" || { shot "$1-no-pass"; fail "no progress window for the copy into $1"; }
}

# Waits for the box titled $2 at the end of the copy into $1, keeps its picture and its text in $box.
outcome() {
  wait_window "$2" || { shot "$1-no-box"; fail "$1: no box titled $2 (see $shots/$1-no-box.png)"; }
  shot_window "$1-$2" Korvane "$2"
  box=$(texts "$2")
  echo "--- $1: $2"$'\n'"$box"
  [[ $box != *照合しました* ]] || [ "$2" = 完了 ] || fail "$1: the box says the files were compared"
}
expect_text() { [[ $box == *"$1"* ]] || fail "$2: the box does not say \"$1\""; }

# Every file but $2 was read $1 times from the card (twice: once by the shell's copy, once by the pass).
others_read() {
  local file path
  for file in "$card"/DCIM/100_TEST/*; do
    path=/DCIM/100_TEST/${file##*/}
    [ "$path" = "/DCIM/100_TEST/${2:-}" ] && continue
    [ "$(card_bytes_read "$control" "$path")" = $(($1 * $(stat -c %s "$file"))) ] ||
      fail "$path was read $(card_bytes_read "$control" "$path") bytes, not $1 times its size"
  done
}
others_read_twice() { others_read 2 "$1"; }

# Waits for the explorer that opened on the new folder $1; it is left open, beside the program.
explorer_opened() { wait_window "$1" || fail "the explorer did not open on $1"; }

# flaky: the copy holds the first read, the pass sees the second.
flaky() {
  start --flaky /DCIM/100_TEST/IMG_3.JPG@100
  copy_into flaky
  outcome flaky エラー
  expect_text "内容が異なるファイル：1 個" flaky
  expect_text "$folder\\IMG_3.JPG（内容が異なります）" flaky
  others_read_twice IMG_3.JPG
  cmp -s "$card/DCIM/100_TEST/IMG_3.JPG" "$photos/flaky/DCIM/100_TEST/IMG_3.JPG" || fail "flaky: the copy is not the first read"
  xdotool key Return  # No
  quit
}

# bad: the shell's copy reads the block well, the pass cannot.
bad() {
  start --bad "/DCIM/100_TEST/IMG_5.JPG@$(( $(size_of IMG_5.JPG) - 10 ))#2"
  copy_into bad
  outcome bad エラー
  expect_text "読めなかったファイル：1 個" bad
  expect_text "$folder\\IMG_5.JPG（読めません" bad
  others_read_twice IMG_5.JPG
  xdotool key Return
  quit
}

# bad_in_copy: the block fails from its first read on: an error box, and nothing says that the card was compared.
bad_in_copy() {
  start --bad "/DCIM/100_TEST/IMG_5.JPG@100"
  open_name_prompt
  type_over bad_in_copy
  xdotool key Return
  outcome bad_in_copy エラー
  [[ $box != *照合したところ* ]] || expect_text "IMG_5.JPG（読めません" bad_in_copy
  xdotool key Return
  quit
}

# pulled: during the pass, at 20 MB/s; then the card is back.
pulled() {
  start --rate 20
  copy_into pulled
  sleep 1
  touch "$control/pulled"
  outcome pulled エラー
  expect_text "読めなかったファイル：" pulled
  expect_text "（読めません" pulled
  [[ $box != *内容が異なります* ]] || fail "pulled: a file that could not be read is reported as different"
  xdotool key Return
  rm "$control/pulled"
  copy_into again
  outcome again 完了
  expect_text "9 個のファイル" again
  xdotool key Return
  explorer_opened again
  diff -r "$card" "$photos/again" || fail "the second copy differs from the card"
  quit
}

# Waits until the card holds a read of the copy into $1.
wait_held() { poll 600 0.1 test -f "$control/held" || fail "$1: the copy did not reach the held read"; }

# Waits until the card holds a read, then Esc on the progress window, which must close within 0.5 s.
escape_held_read() {
  wait_held "$1"
  sleep 0.5
  shot_window "$1-waiting" Korvane "$progress"
  point_at "$progress"
  escaped=$(now_ms)
  xdotool key Escape
  poll 100 0.02 no_window "$progress" || fail "$1: Esc did not end the work"
  ended=$(($(now_ms) - escaped))
  echo "$1: Esc ended the work in $ended ms"
  [ "$ended" -le 500 ] || fail "$1: Esc took $ended ms to end the work"
}

# Quits the program while its read still hangs: it must end within 2 s.
quit_while_held() {
  [ -f "$control/held" ] || fail "$1: the read was released before the program quit"
  focus_copy_window
  quitting=$(now_ms)
  xdotool key alt+F4
  poll 200 0.02 process_gone "$program" ||
    { shot "$1-not-ended"; fail "$1: the program did not end while its read hangs"; }
  ended=$(($(now_ms) - quitting))
  echo "$1: the program ended in $ended ms while its read hangs"
  [ "$ended" -le 2000 ] || fail "$1: the program took $ended ms to end"
  program=
  card_unmount
}

# hung: the pass's first read of IMG_4 never returns until the test releases it.
hung() {
  start --hold /DCIM/100_TEST/IMG_4.JPG@0#2
  copy_into hung
  escape_held_read hung
  outcome hung 完了
  expect_text "照合は取り消されました" hung
  xdotool key Return
  explorer_opened hung
  quit_while_held hung
}

# Inverts the byte at offset $2 of the file $1.
flip_byte() {
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "\\$(printf %03o $((255 - byte)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# backup_bad_copy: both copies made whole from the card, then a byte of the backup's IMG_5 changed while the pass
# over the destination's copy holds its read of IMG_1 (the card's third read of it: one for each copy, then the
# pass's); the pass over the backup's copy finds it, and the destination's copy has no problem.
backup_bad_copy() {
  settings 'BackupFolder=F:\控え\'
  start --hold /DCIM/100_TEST/IMG_1.JPG@0#3
  copy_into backup_bad_copy
  wait_held backup_bad_copy
  cmp -s "$card/DCIM/100_TEST/IMG_5.JPG" "$backup/backup_bad_copy/DCIM/100_TEST/IMG_5.JPG" ||
    fail "backup_bad_copy: the read held is not the pass's: the backup's copy is not made yet"
  flip_byte "$backup/backup_bad_copy/DCIM/100_TEST/IMG_5.JPG" 3000000
  touch "$control/release"
  outcome backup_bad_copy エラー
  expect_text "保存先：D:\\写真\\backup_bad_copy"$'\n'"問題はありません" backup_bad_copy
  expect_text "バックアップ：F:\\控え\\backup_bad_copy"$'\n'"内容が異なるファイル：1 個" backup_bad_copy
  expect_text "$folder\\IMG_5.JPG（内容が異なります）" backup_bad_copy
  others_read 4 IMG_5.JPG  # the pass stops reading IMG_5 at its difference
  diff -r "$card" "$photos/backup_bad_copy" || fail "backup_bad_copy: the destination's copy differs from the card"
  xdotool key Return  # No
  quit
  settings
}

# slow: one large file at 30 MB/s (10^6 bytes), 28.6 MB/s as the program counts (2^20 bytes) at most.
slow() {
  rm -f "$card"/DCIM/100_TEST/*  # MISC stays: under Wine the shell's copy of a card with one folder loses that folder
  head -c 300000000 /dev/urandom > "$card/DCIM/100_TEST/MVI_1.MP4"
  start --rate 30
  copy_into slow
  # The card's rate as the emulator served it since the pass showed (a busy machine may not reach the rate asked
  # for), against the figures the window shows three seconds later.
  read_before=$(card_bytes_read "$control") since=$(now_ms)
  sleep 3
  box=$(texts 照合)
  rate=$(( ($(card_bytes_read "$control") - read_before) * 1000 / ($(now_ms) - since) ))
  shot_window slow-progress Korvane 照合
  echo "--- slow: 照合 (the card served $rate bytes a second)"$'\n'"$box"
  awk -v rate="$rate" '
    / MB \/ / { split($0, a, " MB / "); done = a[1] + 0; total = a[2] + 0 }
    /MB\/秒/ { speed = $1 + 0; sub(/.*約 /, ""); left = $0 + 0 }
    END {
      rate /= 1048576
      expected = (total - done) / rate
      printf "speed %.1f MB/s (card %.1f), time left %d s (card %.1f s)\n", speed, rate, left, expected
      if (speed < 0.8 * rate || speed > 1.2 * rate) exit 1
      if (left < 0.8 * expected - 1 || left > 1.2 * expected + 1) exit 1
    }' <<<"$box" || fail "slow: the speed or the time left do not agree with the card's rate"
  outcome slow 完了
  xdotool key Return
  explorer_opened slow
  quit
}

# The card's bytes, all files together.
card_size() { find "$card" -type f -printf '%s\n' | awk '{ n += $1 } END { print n + 0 }'; }
# The card was read once: as many bytes read as it holds.
read_once() {
  [ "$(card_bytes_read "$control")" = "$(card_size)" ] ||
    fail "$1: $(card_bytes_read "$control") bytes read from a card of $(card_size) bytes"
}
# Every file in the new folder $1 is the card's file at its path, whole: no partial picture, no temporary file.
only_whole_files() {
  local file
  while IFS= read -r -d '' file; do
    cmp -s "$file" "$card/${file#"$1"/}" || fail "$1 holds ${file#"$1"/}, which is not the card's file"
  done < <(find "$1" -type f -print0)
}

# once: a copy reads each card byte once, and the new folder equals the card.
once() {
  start
  copy_into once
  outcome once 完了
  expect_text "9 個のファイル" once
  expect_text "照合しました" once
  read_once once
  diff -r "$card" "$photos/once" || fail "once: the copy differs from the card"
  xdotool key Return
  explorer_opened once
  quit
}

# backup: both new folders equal the card, written from the one read.
backup() {
  settings 'BackupFolder=F:\控え\'
  start
  copy_into backup
  outcome backup 完了
  read_once backup
  diff -r "$card" "$photos/backup" || fail "backup: the destination's copy differs from the card"
  diff -r "$card" "$backup/backup" || fail "backup: the backup folder's copy differs from the card"
  xdotool key Return
  explorer_opened backup
  quit
  settings
}

# own_hung: the copy's read of the middle of IMG_4 never returns until the test releases it; its first half is written.
own_hung() {
  start --hold /DCIM/100_TEST/IMG_4.JPG@3000000
  copy_into own_hung
  escape_held_read own_hung
  outcome own_hung エラー
  expect_text "コピーは中断または失敗しました" own_hung
  expect_text "コピーは取り消されました" own_hung
  only_whole_files "$photos/own_hung"
  [ ! -e "$photos/own_hung/DCIM/100_TEST/IMG_4.JPG" ] || fail "own_hung: IMG_4.JPG stands under its name"
  xdotool key Return  # No, the default: nothing opens
  quit_while_held own_hung
}

# own_bad: a block of IMG_5 fails at the copy's one read; the rest is copied.
own_bad() {
  start --bad "/DCIM/100_TEST/IMG_5.JPG@100"
  copy_into own_bad
  outcome own_bad エラー
  expect_text "読めなかったファイル：1 個" own_bad
  expect_text "$folder\\IMG_5.JPG（読めません" own_bad
  only_whole_files "$photos/own_bad"
  [ "$(find "$photos/own_bad" -type f | wc -l)" = 8 ] || fail "own_bad: the other 8 files were not all copied"
  others_read 1 IMG_5.JPG
  xdotool key Return  # No
  quit
}

# own_flaky: the card is read once, so the copy holds that read and all is equal.
own_flaky() {
  start --flaky /DCIM/100_TEST/IMG_3.JPG@100
  copy_into own_flaky
  outcome own_flaky 完了
  expect_text "照合しました" own_flaky
  read_once own_flaky
  diff -r "$card" "$photos/own_flaky" || fail "own_flaky: the copy is not the one read of the card"
  xdotool key Return
  explorer_opened own_flaky
  quit
}

# own_pulled: the card pulled while the copy's read of the middle of IMG_5 is held. The files before it are whole, it
# and those after it are named unreadable, none stands half written; with the card back, a second copy takes it all.
own_pulled() {
  start --hold /DCIM/100_TEST/IMG_5.JPG@3000000
  copy_into own_pulled
  wait_held own_pulled
  touch "$control/pulled" "$control/release"
  outcome own_pulled エラー
  expect_text "カードのチェックサムと照合したところ、問題が見つかりました：" own_pulled
  expect_text "読めなかったファイル：4 個" own_pulled
  for i in 5 6 7 8; do expect_text "$folder\\IMG_$i.JPG（読めません" own_pulled; done
  [[ $box != *内容が異なります* ]] || fail "own_pulled: a file that could not be read is reported as different"
  only_whole_files "$photos/own_pulled"
  # The card is listed folder by folder, each by name under Wine: MISC's file and IMG_1 to IMG_4 came before.
  [ "$(find "$photos/own_pulled" -type f | wc -l)" = 5 ] || fail "own_pulled: a file read before the pull is missing"
  xdotool key Return  # No
  quit
  start
  copy_into own_pulled_again
  outcome own_pulled_again 完了
  expect_text "照合しました" own_pulled_again
  read_once own_pulled_again
  diff -r "$card" "$photos/own_pulled_again" || fail "own_pulled: the second copy differs from the card"
  xdotool key Return
  explorer_opened own_pulled_again
  quit
}

# missing_backup: a backup folder that is not there is asked about before the card is read; No copies nothing, Yes
# copies to the destination alone, the card read once.
missing_backup() {
  local before
  settings 'BackupFolder=F:\ない\'
  start
  before=$(ls "$photos")
  xdotool key alt+s
  outcome missing_backup 確認
  expect_text "バックアップ先のフォルダ："$'\n''F:\ない\'$'\n'"は存在しません" missing_backup
  expect_text "保存先だけにコピーしますか？" missing_backup
  xdotool key Return  # No, the default
  wait_gone 確認 || fail "missing_backup: the question did not close"
  [ -z "$(visible_window コピー)" ] || fail "missing_backup: No went on to the name prompt"
  [ "$(ls "$photos")" = "$before" ] || fail "missing_backup: No made a folder in $photos"
  [ "$(card_bytes_read "$control")" = 0 ] || fail "missing_backup: No read $(card_bytes_read "$control") card bytes"
  focus_copy_window
  xdotool key alt+s
  outcome missing_backup_yes 確認
  xdotool key y
  copy_named missing_backup
  outcome missing_backup 完了
  expect_text "照合しました" missing_backup
  [[ $box != *バックアップ* ]] || fail "missing_backup: the completion box names a backup folder"
  read_once missing_backup
  diff -r "$card" "$photos/missing_backup" || fail "missing_backup: the copy differs from the card"
  [ ! -e "$work/f/ない" ] || fail "missing_backup: the missing backup folder was made"
  xdotool key Return
  explorer_opened missing_backup
  quit
  settings
}

# The cases to run: all of the mode, or those named in KORVANE_CARD_CASES (when one is looked into).
cases="flaky bad bad_in_copy pulled hung backup_bad_copy slow"  # slow last: it replaces the card's pictures
[ "$mode" = shell ] || cases="once backup own_hung own_bad own_flaky own_pulled missing_backup"
cases=${KORVANE_CARD_CASES:-$cases}
for case in $cases; do "$case"; done
echo "faulty card ($mode copy): $cases seen; screenshots in $shots"
