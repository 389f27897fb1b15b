#pragma once
// Decoding of the run-length compressed pixel data of Windows bitmaps (BI_RLE8 and BI_RLE4).

#include <cstddef>
#include <cstdint>

#include "byte_reader.h"

// Decodes the runs from the reader into rows that hold width pixels of bitsPerPixel (8 or 4)
// bits each, row 0 the top; the runs start at the bottom row as the format stores them. The rows
// must be cleared before: pixels that the runs skip keep index 0. A run or move that leaves the
// picture, or data that ends before the end-of-bitmap mark while rows are still missing, refuses
// the file (EInvalidGraphic).
void DecodeBmpRle(ByteReader& runs, int bitsPerPixel, int width, int height, uint8_t* rows,
                  int bytesPerRow);

// The bytes of run-length data up to and including the end-of-bitmap mark (all of them when
// there is none): what the picture's rows can come from, whatever follows the mark.
size_t BmpRleBytesToEndMark(const uint8_t* data, size_t size, int bitsPerPixel);
