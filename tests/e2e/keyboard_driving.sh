# Sourced by the end-to-end scripts: drives Korvane's windows under Wine on a bare X display with xdotool.
# Without a window manager the X focus follows the pointer, so every wait for a window also puts the pointer on
# it: the keys that follow go to that window. The caller sets `shots`, the folder of the screenshots, and for the
# program's helpers `work`, the test's folder, and `photos`, the destination.

fail() { echo "FAILED: $*" >&2; exit 1; }

# Drive letters for folders of the test, so that the windows show paths as a user's would ("E:\DCIM"); every
# other folder is given through Wine's drive Z:.
declare -A mapped_drives=()
map_drive() {
  ln -sfn "$(cd "$2" && pwd)" "$WINEPREFIX/dosdevices/${1,,}:"
  mapped_drives[$1]=$2
}
# The drives go with the test, so that the prefix keeps no drive letter of it.
unmap_drives() {
  local letter
  for letter in "${!mapped_drives[@]}"; do rm -f "$WINEPREFIX/dosdevices/${letter,,}:"; done
}
windows_path() {
  local path=$1 letter root
  for letter in "${!mapped_drives[@]}"; do
    root=${mapped_drives[$letter]}
    if [ "$path" = "$root" ] || [[ $path == "$root"/* ]]; then
      path=${path#"$root"}
      path=${path:-/}
      printf '%s:%s' "$letter" "${path//\//\\}"
      return
    fi
  done
  printf 'Z:%s' "${path//\//\\}"
}

visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

# Puts the pointer on the top left corner (the window's own background) of the visible window titled $1.
point_at() {
  local window
  window=$(visible_window "$1")
  [ -n "$window" ] || return 1
  xdotool mousemove --window "$window" 3 3
  sleep 0.3
}

# Waits for a visible top-level window titled exactly $1 and points at it.
wait_window() {
  for _ in $(seq 1 120); do
    if [ -n "$(visible_window "$1")" ]; then
      sleep 0.7  # let it paint
      point_at "$1"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Runs the command $3... up to $1 times, $2 seconds apart, until it succeeds.
poll() {
  local tries=$1 pause=$2
  shift 2
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    sleep "$pause"
  done
  return 1
}

no_window() { [ -z "$(visible_window "$1")" ]; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }
visible_window_is_there() { [ -n "$(visible_window "$1")" ]; }
wait_gone() { poll 40 0.25 no_window "$1"; }

# Gives a window the focus with a click on its top left corner: a window that the program activates by itself
# needs only the pointer, another one (the explorer's, or one under a window just closed) needs the click.
click_window() { xdotool mousemove --window "$(visible_window "$1")" 3 3 click 1; sleep 0.5; }

shot() { import -window root "$shots/$1.png"; }

# Keeps the picture $1 cut to the smallest rectangle that holds the visible windows titled $2...; without one of
# them, the whole screen.
shot_window() {
  local name=$1 title id X Y WIDTH HEIGHT SCREEN WINDOW left=1000000 top=1000000 right=0 bottom=0
  shift
  for title in "$@"; do
    id=$(visible_window "$title")
    [ -n "$id" ] || { shot "$name"; return; }
    eval "$(xdotool getwindowgeometry --shell "$id")"
    left=$((X < left ? X : left)) top=$((Y < top ? Y : top))
    right=$((X + WIDTH > right ? X + WIDTH : right)) bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
  done
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shots/$name.png"
}

# Types $1 into the focused box. Characters outside the keyboard map (Japanese) are typed through a key code
# that xdotool maps for each one; the delay lets Wine read each key before the next remapping, which takes
# longer on a busy machine (at 40 ms, characters were lost under load).
type_text() {
  local delay=40
  [[ $1 == *[![:ascii:]]* ]] && delay=150
  xdotool type --delay "$delay" "$1"
}

# Waits until the file $1 is there: a save moves its temporary file into place a moment after its dialog closes.
wait_file() { poll 40 0.25 test -f "$1"; }

# Replaces the text of the focused box with $1.
type_over() { xdotool key End shift+Home BackSpace; type_text "$1"; }

# Makes the test's folders anew below $work: the program's ($work/app, with a copy of korvane.exe $1), the card's
# (E:\), the destination disk's (D:\) with $photos, and the screenshots'.
prepare_work() {
  rm -rf "$work"
  mkdir -p "$work/app" "$work/card" "$photos" "$shots"
  map_drive E "$work/card"
  map_drive D "$work/d"
  cp "$1" "$work/app/korvane.exe"
}

# Writes the program's data.ini in code page 932: the folder $1 as the source カード, the folder $3 as the
# destination $2, no password, and the lines $4... under [Option] when there are any.
write_data_ini() {
  local card=$1 name=$2 destination=$3
  shift 3
  {
    printf '%s\r\n' '[SourceList]' "Source1=カード|$(windows_path "$card")" 'Source2=' 'Source3=' '[DirList]' \
      "Dir1=$name|$(windows_path "$destination")" '[Password]' 'Password='
    [ $# -eq 0 ] || printf '%s\r\n' '[Option]' "$@"
  } | iconv -f UTF-8 -t CP932 > "$work/app/data.ini"
}

# Starts $work/app/korvane.exe in the background, its process in `program`, and waits for the copy window. Wine's
# output goes to $work/wine.log: the explorer the program starts inherits it, and would hold a pipe of the test
# open.
start_program() {
  wine "$work/app/korvane.exe" >>"$work/wine.log" 2>&1 &
  program=$!
  wait_window Korvane || fail "the copy window did not open"
}

# Starts the program and chooses the first source, whose option has the focus.
start_program_on_first_source() {
  start_program
  xdotool key space
  sleep 0.5
}

# Closes the explorer that opened on the folder $1 and gives the copy window the focus again.
close_explorer() {
  wait_window "$1" || fail "the explorer did not open on $1"
  click_window "$1"
  xdotool key alt+F4
  wait_gone "$1" || fail "the explorer did not close"
  click_window Korvane
}

# Gives the copy window the focus with a click on its bottom right corner, which no explorer covers.
focus_copy_window() {
  local WINDOW WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(visible_window Korvane)")"
  xdotool mousemove --window "$WINDOW" $((WIDTH - 3)) $((HEIGHT - 3)) click 1
  sleep 0.5
}

# Presses the key $1 in the copy window and waits for the window titled $2. The copy window is given the focus
# first, and the key is pressed once more if no window came within 5 seconds: after an explorer had closed, a key
# pressed in the copy window sometimes never reached it (seen with Alt+S and Alt+I on a busy machine).
press_in_copy_window() {
  focus_copy_window
  xdotool key "$1"
  poll 20 0.25 visible_window_is_there "$2" || { focus_copy_window; xdotool key "$1"; }
  wait_window "$2"
}

# Presses 開始 (Alt+S) in the copy window and waits for the name prompt.
open_name_prompt() {
  press_in_copy_window alt+s コピー || { shot no-name-prompt; fail "the name prompt did not open"; }
}

# Copies the card registered as the copy window's first source into today's folder under $2, from the keyboard:
# Space on the first source, Alt+S, Enter on the name prompt, Enter on the completion box; then compares every
# byte with the card $1 and closes the explorer that opened on the new folder. Screenshots are named $3-*.
copy_card_today() {
  local card=$1 destination=$2 prefix=$3 today
  today=$(date +%Y_%m%d)
  xdotool key space                      # the first source option has the focus: choose it
  sleep 0.5
  shot "$prefix-source-chosen"
  open_name_prompt
  shot "$prefix-name-prompt"
  xdotool key Return                     # today's date, as proposed
  wait_window 完了 || { shot "$prefix-failure"; fail "the completion message did not appear"; }
  shot "$prefix-copy-done"
  xdotool key Return
  wait_window "$today" || fail "the explorer did not open on the new folder"
  shot "$prefix-explorer"
  [ -d "$destination/$today" ] || fail "no folder $destination/$today"
  diff -r "$card" "$destination/$today" || fail "the copy differs from the card"
  close_explorer "$today"
}

setup='セットアップ - Korvane'  # the settings window's title

# The buttons of the settings window without an access key, reached in tab order from the item name box, which
# its label's access key (Alt+N) focuses wherever the focus was.
settings_focus() {
  local tabs
  case $1 in
    import) tabs=3 ;;
    ok) tabs=4 ;;
    export) tabs=6 ;;
    password) tabs=7 ;;
  esac
  xdotool key alt+n
  for _ in $(seq "$tabs"); do xdotool key Tab; done
}
settings_press() { settings_focus "$1"; xdotool key space; }
