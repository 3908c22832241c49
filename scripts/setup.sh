#!/usr/bin/env bash
# Installs what building, running and testing Korvane on Debian needs: the mingw-w64 cross compiler,
# Wine, a virtual display, Japanese locale and fonts, CMake, GoogleTest, xxHash, and FUSE with its Python binding
# for the tests' emulated card. Safe to run again.
set -euo pipefail

packages=(cmake ninja-build make g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix wine64 wine
          libxxhash-dev xvfb xauth x11-utils xdotool fonts-ipafont-gothic fonts-ipaexfont-gothic imagemagick locales
          fuse3 python3-fusepy)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "Generating the ja_JP.UTF-8 locale"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
