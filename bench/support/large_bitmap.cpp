#include "large_bitmap.h"

void MakePatternedBitmap(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetHeight(height);
  bitmap.SetWidth(width);
  for (int row = 0; row < height; ++row) {
    uint8_t* pixels = bitmap.RowData(row);
    for (int i = 0; i < bitmap.BytesPerRow(); ++i)
      pixels[i] = static_cast<uint8_t>(row * 3 + i);
  }
}
