#include "colour_rows.h"

void WriteColourWordsBottomUp(const uint32_t* colourWords, int width, int height,
                              TBitmap& bitmap) {
  for (int j = 0; j < height; ++j) {
    const uint32_t* word = colourWords + static_cast<size_t>(j) * width;
    uint8_t* pixel = bitmap.RowData(height - 1 - j);
    for (int i = 0; i < width; ++i, pixel += 3) {
      pixel[0] = static_cast<uint8_t>(word[i]);
      pixel[1] = static_cast<uint8_t>(word[i] >> 8);
      pixel[2] = static_cast<uint8_t>(word[i] >> 16);
    }
  }
}
