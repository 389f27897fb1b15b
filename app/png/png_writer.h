#pragma once
// Writes a bitmap as a PNG file: a bitmap of 1, 4 or 8 bits per pixel with a palette as a
// palette PNG of that depth (its colour table as PLTE), every other layout as 8-bit RGB. Only
// the chunks a viewer needs are written (IHDR, PLTE for palette pictures, IDAT, IEND): no
// time, text or colour-space chunks, so the same picture always gives the same bytes.

#include <string>

#include "bitmap.h"
#include "graphic_errors.h"

// A picture that cannot be written as PNG: "Cannot write PNG file %s", with the reason as the
// detail.
class EPngWriteError : public Exception {
 public:
  EPngWriteError(const std::string& fileName, std::string reason);
};

// Writes the PNG to an open file descriptor, row by row (no second copy of the picture), for
// a file named fileName in errors. Raises EPngWriteError for an empty bitmap, a failed write
// (with the system's reason) or an encoder failure.
void WritePngToDescriptor(const TBitmap& bitmap, int descriptor, const std::string& fileName);
