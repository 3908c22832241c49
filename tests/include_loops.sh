#!/usr/bin/env bash
# Fails when the includes of src/ run in a loop, at either level:
#   files    a unit (foo.h with foo.cpp) that reaches itself through the units it includes;
#   folders  a folder (core, platform/win32, ui/copy, ...) that reaches itself through the folders it includes.
# Usage: include_loops.sh SRC_FOLDER. Prints each loop found.
set -uo pipefail
src=${1:?usage: include_loops.sh SRC_FOLDER}

# One "unit included-unit" line per include of a header of src/ in another unit.
edges=$(cd "$src" && find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\n' | sort | while read -r file; do
  unit=${file%.*}
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)\.h".*/\1/p' "$file" | while read -r included; do
    [ -f "$included.h" ] && [ "$included" != "$unit" ] && printf '%s %s\n' "$unit" "$included"
  done
done)

status=0
# tsort names a loop on its error output; every node of a loop is listed there.
check() {
  local level=$1 pairs=$2 loop
  loop=$(printf '%s\n' "$pairs" | tsort 2>&1 >/dev/null | grep -v 'input contains a loop')
  if [ -n "$loop" ]; then
    echo "the includes of these $level run in a loop:"
    printf '%s\n' "$loop" | sed 's/^tsort: */  /'
    status=1
  fi
}
check files "$edges"
folders=$(printf '%s\n' "$edges" | awk '{ a = $1; b = $2; sub(/\/[^\/]*$/, "", a); sub(/\/[^\/]*$/, "", b);
                                          if (a != b) print a, b }')
check folders "$folders"
[ "$status" -eq 0 ] && echo "no include loop between files or folders"
exit $status
