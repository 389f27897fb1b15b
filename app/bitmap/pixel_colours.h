#pragma once
// Colours of a bitmap's pixels, whatever its layout: for views that cannot take the rows as
// they are (colour masks of any kind) and for checks against reference pictures.

#include <cstdint>

#include "bitmap.h"

// Writes the GetWidth() colours of a row as 0xFFRRGGBB words. Indexed pixels take their
// palette's colour (black beyond its end or without one); masked fields are scaled to 8 bits,
// so a full field gives 255. Rows outside the bitmap are refused like RowData refuses them.
void ConvertRowToXrgb32(const TBitmap& bitmap, int row, uint32_t* colours);

// The palette index of pixel x of a row of 1, 4 or 8 bits per pixel.
unsigned PaletteIndexInRow(const uint8_t* row, int x, int bitsPerPixel);
