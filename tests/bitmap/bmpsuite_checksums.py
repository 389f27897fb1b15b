#!/usr/bin/env python3
"""Writes the expected pixels of the BMP suite files we show, as checksums.

    tests/bitmap/bmpsuite_checksums.py SUITE_FOLDER > tests/bitmap/data/bmpsuite/pixel-checksums.txt

SUITE_FOLDER is a copy of Jason Summers' BMP Suite 2.8 with its reference renderings in html/.
The renderings carry no licence that lets us copy them, so the test compares the decoder's
pixels with a checksum of each rendering instead. Renderings are read with ImageMagick.

Each line of the output: the suite file, its width and height, the CRC-32 of its pixels as
R, G, B bytes (top row first, left to right), and the runs of pixels that the rendering leaves
partly or fully transparent, as row:first+count. Those runs are not in the checksum: we do
not show transparency, so what the colours there become is not held to the rendering.
"""

import subprocess
import sys
import zlib
from pathlib import Path

# Each file we show and the rendering it must equal. Why a questionable or bad file
# matches the rendering it does is said beside it.
RENDERING_OF = {
    "g/pal1.bmp": "pal1.png",
    "g/pal1bg.bmp": "pal1bg.png",
    "g/pal1wb.bmp": "pal1.png",
    "g/pal4.bmp": "pal4.png",
    "g/pal4gs.bmp": "pal4gs.png",
    "g/pal4rle.bmp": "pal4.png",
    "g/pal8-0.bmp": "pal8.png",
    "g/pal8.bmp": "pal8.png",
    "g/pal8gs.bmp": "pal8gs.png",
    "g/pal8nonsquare.bmp": "pal8nonsquare-e.png",  # shown unstretched
    "g/pal8os2.bmp": "pal8.png",
    "g/pal8rle.bmp": "pal8.png",
    "g/pal8topdown.bmp": "pal8.png",
    "g/pal8v4.bmp": "pal8.png",
    "g/pal8v5.bmp": "pal8.png",
    "g/pal8w124.bmp": "pal8w124.png",
    "g/pal8w125.bmp": "pal8w125.png",
    "g/pal8w126.bmp": "pal8w126.png",
    "g/rgb16-565.bmp": "rgb16-565.png",
    "g/rgb16-565pal.bmp": "rgb16-565.png",
    "g/rgb16.bmp": "rgb16.png",
    "g/rgb16bfdef.bmp": "rgb16.png",
    "g/rgb24.bmp": "rgb24.png",
    "g/rgb24pal.bmp": "rgb24.png",
    "g/rgb32.bmp": "rgb24.png",
    "g/rgb32bf.bmp": "rgb24.png",
    "g/rgb32bfdef.bmp": "rgb24.png",
    "q/pal1p1.bmp": "pal1p1.png",  # one-entry table; index 1 shows black
    "q/pal2.bmp": "pal2.png",  # 2 bits widened to the 4-bit layout
    "q/pal2color.bmp": "pal2color.png",
    # Pixels the runs skip get index 0, as the "-0" renderings show them.
    "q/pal4rlecut.bmp": "pal4rlecut-0.png",
    "q/pal4rletrns.bmp": "pal4rletrns-0.png",
    "q/pal8offs.bmp": "pal8.png",  # gap before the pixels: the offset rules
    "q/pal8os2-hs.bmp": "pal8.png",  # file-size and hotspot fields are unused
    "q/pal8os2-sz.bmp": "pal8.png",
    "q/pal8os2sp.bmp": "pal8.png",  # table length from the room before the pixels
    "q/pal8os2v2-40sz.bmp": "pal8.png",
    "q/pal8oversizepal.bmp": "pal8.png",  # entries beyond 256 are not used
    "q/pal8rlecut.bmp": "pal8rlecut-0.png",
    "q/pal8rletrns.bmp": "pal8rletrns-0.png",
    "q/rgb16-231.bmp": "rgb16-231.png",
    "q/rgb16-3103.bmp": "rgb16-3103.png",
    "q/rgb16faketrns.bmp": "rgb16.png",  # the unused bit is not alpha
    "q/rgb24largepal.bmp": "rgb24.png",
    "q/rgb24lprof.bmp": "rgb24.png",  # linked profile ignored
    "q/rgb32-7187.bmp": "rgb32-7187.png",
    "q/rgb32-xbgr.bmp": "rgb24.png",
    "q/rgb32fakealpha.bmp": "rgb24.png",  # the unused byte is not alpha
    "q/rgb32h52.bmp": "rgb24.png",
    # Alpha masks are read but not used: colours match where the rendering is opaque.
    "q/rgba16-1924.bmp": "rgba16-1924.png",
    "q/rgba16-4444.bmp": "rgba16-4444.png",
    "q/rgba16-5551.bmp": "rgba16-5551.png",
    "q/rgba32-1.bmp": "rgba32.png",
    "q/rgba32-1010102.bmp": "rgba32-1010102.png",
    "q/rgba32-2.bmp": "rgba32.png",
    "q/rgba32-61754.bmp": "rgba32-61754.png",
    "q/rgba32-81284.bmp": "rgba32-81284.png",
    "q/rgba32abf.bmp": "rgba32.png",
    "q/rgba32h56.bmp": "rgba32.png",
    # Size-of-image, resolution and file-size fields are not needed, so these load whole.
    "b/badbitssize.bmp": "pal1.png",
    "b/baddens1.bmp": "pal1.png",
    "b/baddens2.bmp": "pal1.png",
    "b/badfilesize.bmp": "pal1.png",
    "b/rgb16-880.bmp": "rgb16-880.png",  # odd masks, but a clear picture
}


def image_size(rendering):
    out = subprocess.run(["identify", "-format", "%w %h", str(rendering)],
                         capture_output=True, check=True, text=True).stdout
    width, height = out.split()
    return int(width), int(height)


def rgba_pixels(rendering):
    """The rendering as 8-bit R, G, B, A; 16-bit samples are rounded to the nearest 8-bit."""
    raw = subprocess.run(["convert", str(rendering), "-endian", "MSB", "-depth", "16", "rgba:-"],
                         capture_output=True, check=True).stdout
    samples = [(raw[i] << 8 | raw[i + 1]) for i in range(0, len(raw), 2)]
    return bytes((sample + 128) // 257 for sample in samples)


def transparent_runs(rgba, width, height):
    runs = []
    for y in range(height):
        x = 0
        while x < width:
            if rgba[(y * width + x) * 4 + 3] == 255:
                x += 1
                continue
            first = x
            while x < width and rgba[(y * width + x) * 4 + 3] != 255:
                x += 1
            runs.append(f"{y}:{first}+{x - first}")
    return runs


def opaque_colours(rgba):
    colours = bytearray()
    for i in range(0, len(rgba), 4):
        if rgba[i + 3] == 255:
            colours += rgba[i:i + 3]
    return bytes(colours)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: bmpsuite_checksums.py SUITE_FOLDER")
    renderings = Path(sys.argv[1]) / "html"
    print("# Expected pixels of the BMP suite files we show; made by bmpsuite_checksums.py.")
    print("# file width height crc32-of-RGB-rows [transparent runs row:first+count, not compared]")
    for suite_file, rendering in RENDERING_OF.items():
        width, height = image_size(renderings / rendering)
        rgba = rgba_pixels(renderings / rendering)
        checksum = zlib.crc32(opaque_colours(rgba))
        fields = [suite_file, str(width), str(height), f"{checksum:08x}"]
        print(" ".join(fields + transparent_runs(rgba, width, height)))


if __name__ == "__main__":
    main()
