#!/bin/sh
# Regenerates samples/: Windows bitmaps of three public-domain photographs from Debian's
# python3-skimage package, and QAV files of every storage method made from them with qavenc.
#
#   scripts/make-samples.sh [BUILD_DIR]     (default: build-qav; qavenc must be built there)
#
# Needs apt-get (to download the package, which is unpacked, not installed) and ImageMagick.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-qav}
QAVENC=$BUILD/bin/qavenc
# A stand-in may shadow ImageMagick's convert on PATH; take the packaged one.
CONVERT=/usr/bin/convert
OUT=$ROOT/samples

[ -x "$QAVENC" ] || { echo "make-samples: build qavenc first ($QAVENC)" >&2; exit 1; }
[ -x "$CONVERT" ] || { echo "make-samples: ImageMagick's $CONVERT is missing" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
(cd "$WORK" && apt-get download python3-skimage >/dev/null 2>&1 && dpkg -x python3-skimage_*.deb unpacked)
DATA=$(find "$WORK/unpacked" -type d -path '*skimage/data' | head -n 1)
[ -n "$DATA" ] || { echo "make-samples: no skimage data folder in the package" >&2; exit 1; }

mkdir -p "$OUT"
# Windows bitmaps: 24-bit, 8-bit palette, 1-bit.
"$CONVERT" "$DATA/astronaut.png" -resize 256x256 -type TrueColor BMP3:"$OUT/astronaut-24bit.bmp"
"$CONVERT" "$DATA/coffee.png" -resize 384x256 -dither None -colors 256 -type Palette \
  BMP3:"$OUT/coffee-8bit.bmp"
"$CONVERT" "$DATA/chelsea.png" -resize 300x200 -colorspace Gray -monochrome \
  BMP3:"$OUT/chelsea-1bit.bmp"

# QAV files of every storage method.
"$QAVENC" --method 0 --bits 8 "$OUT/coffee-8bit.bmp" "$OUT/coffee-rle-8bit.qav"
"$QAVENC" --method 0 --bits 1 "$OUT/chelsea-1bit.bmp" "$OUT/chelsea-rle-1bit.qav"
"$QAVENC" --method 1 "$OUT/coffee-8bit.bmp" "$OUT/coffee-huffman.qav"
"$QAVENC" --method 1 --packed "$OUT/coffee-8bit.bmp" "$OUT/coffee-huffman-packed.qav"
"$QAVENC" --method 2 --block-size-code 0 --iterations 16 --domain-method 0 --offset-method 1 \
  "$OUT/astronaut-24bit.bmp" "$OUT/astronaut-fractal-4px.qav"
"$QAVENC" --method 2 --block-size-code 1 --iterations 0 --domain-method 2 --offset-method 2 \
  "$OUT/astronaut-24bit.bmp" "$OUT/astronaut-fractal-8px.qav"
ls -l "$OUT"
