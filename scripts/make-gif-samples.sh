#!/bin/sh
# Makes the GIF sample files in samples/ with ImageMagick (Debian package imagemagick).
#   gradient.gif     96 x 64, a red-to-blue gradient, at most 256 colours
#   interlaced.gif   61 x 43, an interlaced radial gradient in 64 colours
#   animated.gif     48 x 32, three frames of their own colours (+map); the third is smaller
#                    and lies at an offset
#   transparent.gif  40 x 30, a blue square on a transparent ground
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/samples"
convert=/usr/bin/convert
mkdir -p "$out"
"$convert" -size 96x64 gradient:red-blue -colors 256 "$out/gradient.gif"
"$convert" -size 61x43 radial-gradient:yellow-navy -colors 64 -interlace GIF "$out/interlaced.gif"
"$convert" -delay 20 \
  -size 48x32 gradient:white-black -colors 32 \
  -size 48x32 gradient:lime-purple -colors 16 \
  \( -size 20x12 xc:orange -repage +10+8 \) \
  +map "$out/animated.gif"
"$convert" -size 40x30 xc:none -fill blue -draw 'rectangle 10,5 29,24' "$out/transparent.gif"
