#include "gif_to_bitmap.h"

#include <cstring>

#include "palette.h"

namespace {

// The 8-bit format carries a 256-entry table; entries the picture does not use stay black.
std::unique_ptr<TPalette> PaletteOf(const ComposedGif& picture) {
  LOGPALETTE logPalette{};
  logPalette.palVersion = 0x300;
  logPalette.palNumEntries = 256;
  for (size_t i = 0; i < picture.palette.size() && i < 256; ++i) {
    const GifRgb& colour = picture.palette[i];
    logPalette.palPalEntry[i] = {colour.red, colour.green, colour.blue, 0};
  }
  return CreatePalette(logPalette);
}

void FillPaletteRows(const ComposedGif& picture, TBitmap& bitmap) {
  const size_t width = static_cast<size_t>(picture.width);
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(bitmap.RowData(y), picture.indices.data() + static_cast<size_t>(y) * width, width);
  }
}

void FillTrueColourRows(const ComposedGif& picture, TBitmap& bitmap) {
  const size_t width = static_cast<size_t>(picture.width);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* source = picture.rgb.data() + static_cast<size_t>(y) * width * 3;
    uint8_t* row = bitmap.RowData(y);
    for (size_t x = 0; x < width; ++x) {
      row[x * 3] = source[x * 3 + 2];
      row[x * 3 + 1] = source[x * 3 + 1];
      row[x * 3 + 2] = source[x * 3];
    }
  }
}

}  // namespace

void FillBitmapFromGif(const ComposedGif& picture, TBitmap& bitmap) {
  bitmap.SetPixelFormat(picture.IsPaletted() ? pf8bit : pf24bit);
  bitmap.SetHeight(picture.height);
  bitmap.SetWidth(picture.width);
  if (picture.IsPaletted()) {
    bitmap.SetPalette(PaletteOf(picture));
    FillPaletteRows(picture, bitmap);
  } else {
    bitmap.SetPalette(nullptr);
    bitmap.SetIgnorePalette(true);
    FillTrueColourRows(picture, bitmap);
  }
}
