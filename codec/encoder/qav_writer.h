#pragma once
// The QAV writer: lays out the common header, a method header (padding zero-filled), the
// palette and the coded data of each storage method, byte for byte as the reader takes them.

#include <cstdint>
#include <string>
#include <vector>

#include "fractal_encoder.h"
#include "palette.h"

// A palette picture as method 0 and method 1 store it.
struct QavPaletteImage {
  int width = 0;
  int height = 0;
  std::vector<PALETTEENTRY> palette;  // 256 entries (8 bits a pixel) or 2 (1 bit a pixel)
  // The stored rows, bottom row of the picture first, no padding between rows: width bytes a
  // row for 8 bits, (width + 7) / 8 for 1 bit (leftmost pixel in the most significant bit).
  std::vector<uint8_t> rows;
};

// Storage method 0: 8 bits a pixel with a 256-entry palette, or 1 bit with a 2-entry palette.
std::vector<uint8_t> WriteRunLengthQav(const QavPaletteImage& image);

// Storage method 1 (8 bits a pixel, 256 entries). packBitStream run-length packs the Huffman
// bit stream; a bit stream longer than the pixels it codes is stored unpacked, since the
// format bounds the packed stream's expansion by the pixel count.
std::vector<uint8_t> WriteHuffmanQav(const QavPaletteImage& image, bool packBitStream);

// How a fractal file stores its parameters: 0 raw, 1 run-length, 2 Huffman for the domain
// indices and the offsets (the transforms are always Huffman coded).
struct FractalStorage {
  uint32_t iterations = 0;  // 0 means 8 to the reader
  uint8_t domainMethod = 0;
  uint8_t offsetMethod = 0;
};

// Storage method 2.
std::vector<uint8_t> WriteFractalQav(int width, int height, const FractalParameters& parameters,
                                     const FractalStorage& storage);

// Creates or replaces the file with the bytes; false when it cannot be written.
bool WriteBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
