#!/usr/bin/env bash
# Draws the tree's and the list's folder pictures, closed and open, at the sizes that 100 % to 200 % scaling
# asks for, into res/folder_closed.ico and res/folder_open.ico. Needs ImageMagick.
set -euo pipefail
res=${1:-$(cd "$(dirname "$0")" && pwd)}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
outline='#8A5A10' body='#DDA744' light='#F4C866' inside='#B98430'

# draw <closed|open> <size>: the picture on a 32 × 32 grid, scaled to the size. Lines on odd grid points fall
# on whole pixels at 16 (one-pixel lines) and at 32 and 64 (two-pixel lines), once moved by half a pixel to where
# ImageMagick has pixel edges.
draw() {
  local kind=$1 size=$2
  local scale stroke
  scale=$(awk -v s="$size" 'BEGIN { print s / 32 }')
  stroke=$(awk -v s="$size" 'BEGIN { print 32 / s * (s >= 32 ? 2 : 1) }')  # one pixel, two from 32 up
  local shapes=(-draw "translate -0.5,-0.5 scale $scale,$scale stroke $outline stroke-width $stroke stroke-linejoin round
                        fill $light path 'M 3,9 L 3,5 L 13,5 L 15,9 Z'")
  if [ "$kind" = closed ]; then
    shapes+=(-draw "translate -0.5,-0.5 scale $scale,$scale stroke $outline stroke-width $stroke stroke-linejoin round
                     fill $body path 'M 3,9 L 29,9 L 29,27 L 3,27 Z'")
  else
    shapes+=(-draw "translate -0.5,-0.5 scale $scale,$scale stroke $outline stroke-width $stroke stroke-linejoin round
                     fill $inside path 'M 3,9 L 25,9 L 25,27 L 3,27 Z'"
             -draw "translate -0.5,-0.5 scale $scale,$scale stroke $outline stroke-width $stroke stroke-linejoin round
                     fill $light path 'M 3,27 L 7,15 L 29,15 L 25,27 Z'")
  fi
  convert -size "${size}x${size}" xc:none "${shapes[@]}" "PNG32:$work/$kind-$size.png"
}

for kind in closed open; do
  pictures=()
  for size in 16 20 24 32 40 48 64; do
    draw "$kind" "$size"
    pictures+=("$work/$kind-$size.png")
  done
  convert "${pictures[@]}" "$res/folder_$kind.ico"
done
