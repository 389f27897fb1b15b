// Loads arbitrary bytes as a Windows bitmap. A refusal is fine; anything that loads must have
// every row readable, must save, and what it saves must load back to the same file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bitmap.h"
#include "graphic_errors.h"
#include "pixel_colours.h"

namespace {

void ReadEveryPixel(const TBitmap& bitmap) {
  std::vector<uint32_t> colours(static_cast<size_t>(bitmap.GetWidth()));
  for (int row = 0; row < bitmap.GetHeight(); ++row)
    ConvertRowToXrgb32(bitmap, row, colours.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBitmap bitmap;
  try {
    bitmap.LoadFromBitmapBytes(data, size, "fuzz.bmp");
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  ReadEveryPixel(bitmap);
  const std::vector<uint8_t> saved = bitmap.SaveToBitmapBytes();
  TBitmap again;
  try {
    again.LoadFromBitmapBytes(saved.data(), saved.size(), "saved.bmp");
  } catch (const EInvalidGraphic&) {
    std::abort();  // we wrote a file we cannot read
  }
  if (again.GetPixelFormat() != bitmap.GetPixelFormat() || again.SaveToBitmapBytes() != saved)
    std::abort();
  return 0;
}
