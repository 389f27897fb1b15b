#include "colour_rows.h"

#include <cstddef>
#include <cstring>

void WriteColourWordsToBitmap(const uint32_t* colourWords, int width, int height, uint8_t* rows,
                              TBitmap& bitmap) {
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < pixelCount; ++i) {
    rows[3 * i] = static_cast<uint8_t>(colourWords[i]);
    rows[3 * i + 1] = static_cast<uint8_t>(colourWords[i] >> 8);
    rows[3 * i + 2] = static_cast<uint8_t>(colourWords[i] >> 16);
  }
  CopyRowsBottomUp(rows, 3 * static_cast<size_t>(width), height, bitmap);
}

void CopyRowsBottomUp(const uint8_t* rows, size_t rowBytes, int height, TBitmap& bitmap) {
  for (int j = 0; j < height; ++j) {
    std::memcpy(bitmap.RowData(height - 1 - j), rows + static_cast<size_t>(j) * rowBytes, rowBytes);
  }
}
