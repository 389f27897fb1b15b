#pragma once
// The texts of the status bar: what is shown, and what lies under the pointer.

#include <string>

#include "bitmap.h"
#include "zoom.h"

// "photo.bmp  300 x 200, 24 bit, RGB TrueColor  100 %"; without a picture only the name
// (or nothing at all before the first file).
std::string PictureStatusText(const std::string& fileName, const TBitmap* bitmap,
                              const TZoom& zoom);

// "(12, 34)  RGB 200, 100, 50", with "  index 2" for a palette picture; empty outside
// the picture.
std::string PointerStatusText(const TBitmap& bitmap, int x, int y);
