#!/bin/sh
# Writes small seed GIF files for fuzz_gif_decode into the given folder (default: seeds beside
# this script).
set -eu
out=${1:-$(dirname "$0")/seeds}
mkdir -p "$out"
convert=/usr/bin/convert
"$convert" -size 1x1 xc:red "$out/one-pixel.gif"
"$convert" -size 17x9 gradient:red-blue "$out/gradient.gif"
"$convert" -size 13x21 gradient:green-yellow -interlace GIF "$out/interlaced.gif"
"$convert" -size 8x8 xc:none -fill blue -draw 'rectangle 2,2 5,5' "$out/transparent.gif"
"$convert" -delay 10 -size 6x6 xc:red -size 6x6 xc:lime -page +2+1 -size 3x3 xc:blue \
  "$out/animated.gif"
"$convert" -size 16x16 plasma:fractal -colors 200 "$out/many-colours.gif"
