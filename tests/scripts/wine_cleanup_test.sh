#!/usr/bin/env bash
# The scripts' Wine (scripts/wine-env.sh): after korvane_wine_up and a program in the prefix, the server stays
# while the shell runs (so that each test process starts fast), and no Wine process of the prefix is left when the
# shell ends, whether it ends normally, on a failure (with the failure's status) or on a signal; and a prefix made
# before korvane_wine_up gave prefixes their settings gets them too. Its own prefix is in the work folder.
# Skipped (exit 77) where Wine is not installed.
#   wine_cleanup_test.sh <wine-env.sh> <work folder>
set -euo pipefail
env_script=$1
work=$2
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v wine >/dev/null && command -v wineserver >/dev/null || { echo "no Wine: skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
out=$(cd "$work" && pwd)
prefix=$out/wineprefix
shell=""  # the shell of the case being run, in a process group of its own
stop_all() {
  [ -z "$shell" ] || kill -TERM -- "-$shell" 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
}
trap stop_all EXIT

# The Wine processes of the prefix (the server, the services, programs): Wine's own executables whose
# environment names the prefix.
prefix_processes() {
  local exe pid
  for exe in $(find /proc/[0-9]*/exe -maxdepth 0 -lname '*/wine*' 2>/dev/null); do
    pid=${exe#/proc/}
    pid=${pid%/exe}
    grep -qzx "WINEPREFIX=$prefix" "/proc/$pid/environ" 2>/dev/null && echo "$pid $(tr '\0' ' ' <"/proc/$pid/cmdline")"
  done
  return 0
}

# A prefix as the scripts made it before they gave prefixes their settings.
(export KORVANE_BUILD_DIR=$out; source "$env_script"; wineboot -i >/dev/null 2>&1 || true; wineserver -w)
[ -f "$prefix/system.reg" ] || fail "no prefix was made in $prefix"

mkfifo "$out/control"
#     how the shell ends      what it is told        its status
cases=("normally"             "exit 0"               0
       "on a failure"         "false"                1
       "on a signal"          "TERM"                 143)
for ((i = 0; i < ${#cases[@]}; i += 3)); do
  name=${cases[i]} how=${cases[i + 1]} expected=${cases[i + 2]}
  KORVANE_BUILD_DIR=$out setsid bash -c '
    set -euo pipefail
    source "$1"
    korvane_wine_up
    wine cmd /c exit </dev/null >/dev/null 2>&1
    : >"$2"
    read -r how <"$3"
    eval "$how"' _ "$env_script" "$out/ready" "$out/control" &
  shell=$!
  for _ in $(seq 240); do
    [ -e "$out/ready" ] && break
    sleep 0.25
  done
  [ -e "$out/ready" ] || fail "ending $name: korvane_wine_up and the program did not finish"
  rm -f "$out/ready"
  sleep 4  # a server that is not kept ends within about three seconds of the last program
  [[ $(prefix_processes) == *wineserver* ]] || fail "the server did not stay while the shell ran"
  if [ "$how" = TERM ]; then
    kill -TERM -- "-$shell"  # the shell's whole process group, as Ctrl+C reaches a script's
  else
    timeout 30 bash -c 'echo "$1" >"$2"' _ "$how" "$out/control" || fail "ending $name: the shell did not listen"
  fi
  status=0
  wait "$shell" || status=$?
  shell=""
  [ "$status" -eq "$expected" ] || fail "ending $name: status $status, not $expected"
  for _ in $(seq 20); do
    [ -z "$(prefix_processes)" ] && break
    sleep 0.25
  done
  left=$(prefix_processes)
  [ -z "$left" ] || fail "ending $name left Wine running: $left"
done

# The server has written the registry out as it ended.
grep -A3 -F '[Software\\Wine\\Fonts\\Replacements]' "$prefix/user.reg" | grep -qxF '"MS UI Gothic"="IPAexGothic"' ||
  fail "the prefix made before has no replacement of MS UI Gothic"
sed -n '/^\[Control Panel\\\\Desktop\]/,/^$/p' "$prefix/user.reg" | grep -qxF '"LogPixels"=dword:00000060' ||
  fail "the prefix's screen is not at 96 dpi"
# Another dpi has a prefix of its own: the tests' prefix stays at 96 dpi.
other=$(KORVANE_BUILD_DIR=$out KORVANE_DPI=192 bash -c 'source "$1"; echo "$WINEPREFIX"' _ "$env_script")
[ "$other" != "$prefix" ] || fail "KORVANE_DPI=192 uses the prefix of 96 dpi"
echo "no Wine left running after a shell that ended normally, on a failure or on a signal; the old prefix has its font" \
  "and 96 dpi"
