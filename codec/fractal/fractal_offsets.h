#pragma once
// The colour offsets of a fractal file are stored as red, green, blue triples of signed
// bytes; the decoders take them per block as blue, green, red 16-bit values, the byte order
// of a colour word.

#include <cstddef>
#include <cstdint>

inline void SpreadOffsetTriples(const uint8_t* triples, size_t blocks, int16_t* offsets) {
  for (size_t k = 0; k < blocks; ++k) {
    offsets[3 * k] = static_cast<int8_t>(triples[3 * k + 2]);
    offsets[3 * k + 1] = static_cast<int8_t>(triples[3 * k + 1]);
    offsets[3 * k + 2] = static_cast<int8_t>(triples[3 * k]);
  }
}
