#!/bin/sh
# Writes small QAV seed files of every storage method for fuzz_qav_reader into the given folder
# (default: seeds beside this script), made with qavenc from shrunken copies of the samples.
#
#   fuzz/qav/make-seeds.sh [BUILD_DIR] [FOLDER]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
qavenc=${1:-$root/build-qav}/bin/qavenc
out=${2:-$here/seeds}
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
"$convert" "$root/samples/coffee-8bit.bmp" -resize 13x9! -colors 16 -type Palette BMP3:"$work/small8.bmp"
"$convert" "$root/samples/chelsea-1bit.bmp" -resize 11x5! -monochrome BMP3:"$work/small1.bmp"
"$convert" "$root/samples/astronaut-24bit.bmp" -resize 19x11! -type TrueColor BMP3:"$work/small24.bmp"
"$qavenc" --method 0 --bits 8 "$work/small8.bmp" "$out/rle-8bit.qav"
"$qavenc" --method 0 --bits 1 "$work/small1.bmp" "$out/rle-1bit.qav"
"$qavenc" --method 1 "$work/small8.bmp" "$out/huffman.qav"
"$qavenc" --method 1 --packed "$work/small8.bmp" "$out/huffman-packed.qav"
for d in 0 1 2; do
  "$qavenc" --method 2 --block-size-code 0 --iterations 2 --domain-method $d --offset-method $(( (d + 1) % 3 )) \
    "$work/small24.bmp" "$out/fractal-domain$d.qav" >/dev/null
done
"$qavenc" --method 2 --block-size-code 1 --iterations 0 "$work/small24.bmp" "$out/fractal-8px.qav" >/dev/null
