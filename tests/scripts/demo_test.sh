#!/usr/bin/env bash
# The start script's demo: made only where there is no data.ini, and then a card of real JPEG pictures and a
# destination folder, registered in a data.ini that Korvane reads (code page 932, CR LF, one source, one
# destination, no password, the verified copy and the look for files copied already on).
#   demo_test.sh <demo.sh> <work folder>
set -euo pipefail
demo=$1
work=$2
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/fresh" "$work/kept"

"$demo" "$work/fresh" >/dev/null
app=$(cd "$work/fresh" && pwd)
windows() { printf 'Z:%s' "${1//\//\\}"; }
expected=$(printf '[SourceList]\r\nSource1=デモのカード|%s\r\nSource2=\r\nSource3=\r\n[DirList]\r\nDir1=デモの保存先|%s\r\n[Password]\r\nPassword=\r\n[Option]\r\nVerify=1\r\nSkipCopied=1\r\nReadCardOnce=1\r\n' \
  "$(windows "$app/demo/card")" "$(windows "$app/demo/photos")" | od -An -tx1)
[ "$(iconv -f CP932 -t UTF-8 "$app/data.ini" | od -An -tx1)" = "$expected" ] ||
  fail "data.ini of the demo: $(od -c "$app/data.ini")"
[ -d "$app/demo/card/MISC" ] || fail "the card has no MISC folder beside DCIM"
pictures=("$app"/demo/card/DCIM/*/*.JPG)
[ "${#pictures[@]}" -ge 3 ] || fail "only ${#pictures[@]} pictures on the demo card"
for picture in "${pictures[@]}"; do
  [ "$(identify -format %m "$picture")" = JPEG ] || fail "$picture is no JPEG picture"
done
[ -d "$app/demo/photos" ] && [ -z "$(ls -A "$app/demo/photos")" ] || fail "no empty destination folder"
[ -z "$(find "$app" -maxdepth 1 -name 'data.ini.*')" ] || fail "a temporary file was left beside data.ini"

# An existing data.ini, or a link of that name, is never touched, and no demo is made beside it.
printf '[Password]\r\nPassword=x\r\n' > "$work/kept/data.ini"
cp "$work/kept/data.ini" "$work/kept.before"
"$demo" "$work/kept"
cmp "$work/kept/data.ini" "$work/kept.before" || fail "an existing data.ini was changed"
[ ! -e "$work/kept/demo" ] || fail "a demo was made beside an existing data.ini"
mkdir -p "$work/linked"
ln -s "$work/nowhere.ini" "$work/linked/data.ini"
"$demo" "$work/linked"
[ ! -e "$work/nowhere.ini" ] && [ ! -e "$work/linked/demo" ] || fail "a demo was written through a dangling data.ini link"
echo "demo made once, with ${#pictures[@]} pictures; existing settings left alone"
