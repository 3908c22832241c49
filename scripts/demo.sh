#!/usr/bin/env bash
# Gives a fresh build something to copy. When the folder $1 (the one of korvane.exe) has no data.ini, it makes a
# small camera card (a DCIM tree of a few JPEG pictures and a MISC folder, as cameras write them) and an empty
# destination folder in $1/demo, and
# registers them in a new data.ini (code page 932, CR LF): one source slot, one destination, no password, and
# the verified copy and the look for files copied already on (a second copy of the card asks first).
# An existing data.ini is never touched.
#   demo.sh <folder of korvane.exe>
set -euo pipefail
app=$(cd "$1" && pwd)
ini="$app/data.ini"
if [ -e "$ini" ] || [ -L "$ini" ]; then
  exit 0
fi

card="$app/demo/card"
photos="$app/demo/photos"
# Two entries at the card's root, as on a real card: Wine's shell copies a pattern that matches a single entry
# into a new folder as that entry renamed, where Windows makes the folder.
mkdir -p "$card/DCIM/100KORVA" "$card/MISC" "$photos"
for i in 1 2 3 4; do
  convert -size 640x480 -seed "$i" plasma: -quality 80 "$card/DCIM/100KORVA/IMG_000$i.JPG"
done

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
tmp=$(mktemp "$app/data.ini.XXXXXX")
trap 'rm -f "$tmp"' EXIT
printf '[SourceList]\r\nSource1=デモのカード|%s\r\nSource2=\r\nSource3=\r\n[DirList]\r\nDir1=デモの保存先|%s\r\n[Password]\r\nPassword=\r\n[Option]\r\nVerify=1\r\nSkipCopied=1\r\nReadCardOnce=1\r\n' \
  "$(windows_path "$card")" "$(windows_path "$photos")" | iconv -f UTF-8 -t CP932 > "$tmp"
chmod 644 "$tmp"
# No clobbering: a data.ini that appeared meanwhile stays as it is.
mv -n "$tmp" "$ini"
if [ ! -e "$tmp" ]; then
  echo "Demo: a camera card in $card and a destination in $photos, registered in $ini"
fi
