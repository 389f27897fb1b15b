#include "fractal_pixel_ops.h"

OffsetWords OffsetWordsFromTriple(const int16_t* blockOffsets) {
  OffsetWords words;
  for (int byte = 0; byte < 3; ++byte) {
    const int offset = blockOffsets[byte];
    const uint32_t amount = static_cast<uint32_t>(offset < 0 ? (-offset > 255 ? 255 : -offset)
                                                             : (offset > 255 ? 255 : offset));
    (offset < 0 ? words.lower : words.raise) |= amount << (8 * byte);
  }
  return words;
}
