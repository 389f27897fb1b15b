#pragma once
// Decoded fractal images are height rows of width colour words (blue bits 0-7, green 8-15,
// red 16-23), decoded row 0 first; in the bitmap decoded row 0 is the bottom row.

#include <cstddef>
#include <cstdint>

#include "bitmap.h"

// Copies height stored rows of rowBytes bytes each, stored row j to bitmap row height - 1 - j:
// stored and decoded images run bottom row first.
void CopyRowsBottomUp(const uint8_t* rows, size_t rowBytes, int height, TBitmap& bitmap);

// Packs the words into 24-bit pixels (bytes blue, green, red; bits 24-31 dropped) in `rows`,
// which holds 3 x width x height bytes, then copies decoded row j to bitmap row
// height - 1 - j. The bitmap must be 24-bit and at least width x height.
void WriteColourWordsToBitmap(const uint32_t* colourWords, int width, int height, uint8_t* rows,
                              TBitmap& bitmap);
