#!/usr/bin/env bash
# Fails when an #include crosses the folders' dependency rule (README, "Source tree"):
#   core                 includes core and the platform's interfaces, and no system header (<*.h>)
#   platform interfaces  include platform interfaces only, and no system header
#   platform/win32       includes the platform (interfaces and win32), never core, ui or app
#   ui                   includes core, platform and ui, never app
# Usage: include_rules.sh SRC_FOLDER. Prints every breach as file:line: text.
set -uo pipefail
src=${1:?usage: include_rules.sh SRC_FOLDER}
breaches=0

# The include lines of the files directly in FOLDER (DEPTH 1) or anywhere below it (DEPTH 9).
includes() {
  find "$src/$1" -maxdepth "$2" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 grep -nHE '^[[:space:]]*#[[:space:]]*include' 2>/dev/null
}

report() {
  local found=$1 reason=$2
  [ -z "$found" ] && return
  while IFS= read -r line; do printf '%s   <- %s\n' "${line#"$src"/}" "$reason"; done <<<"$found"
  breaches=$((breaches + $(printf '%s\n' "$found" | wc -l)))
}

# check FOLDER DEPTH ALLOWED SYSTEM_HEADERS: every quoted include must name a file matching ALLOWED (a regex
# of the path inside src); angle-bracket headers ending in ".h" are allowed only when SYSTEM_HEADERS is "yes".
check() {
  local folder=$1 depth=$2 allowed=$3 system=$4 lines
  lines=$(includes "$folder" "$depth")
  report "$(printf '%s\n' "$lines" | grep -E '#[[:space:]]*include[[:space:]]*"' |
            grep -vE "#[[:space:]]*include[[:space:]]*\"($allowed)\"")" "$folder may include only $allowed"
  if [ "$system" != yes ]; then
    report "$(printf '%s\n' "$lines" | grep -E '#[[:space:]]*include[[:space:]]*<[^>]*\.h>')" \
           "$folder includes no system header"
  fi
}

interface='platform/[a-z0-9_]+\.h'
check core 9 "core/[a-z0-9_]+/[a-z0-9_]+\.h|$interface" no
check platform 1 "$interface" no
check platform/win32 9 "platform/[a-z0-9_/]+\.h" yes
check ui 9 "(core|platform|ui)/[a-z0-9_/]+\.h|resource\.h" yes

if [ "$breaches" -ne 0 ]; then
  echo "$breaches include(s) break the folders' dependency rule"
  exit 1
fi
echo "every include keeps the folders' dependency rule"
