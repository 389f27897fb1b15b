#pragma once
#include "bitmap.h"

// Makes `bitmap` a 24-bit picture of the given size whose bytes change at every pixel and
// every row, so that no copy or paint can take a shortcut.
void MakePatternedBitmap(TBitmap& bitmap, int width, int height);
