#pragma once
// Builds small Windows bitmap files field by field, so that a test can show one fault.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CraftedBmp {
  uint32_t headerBytes = 40;  // 12, 40, 52, 56, 108, 124 or any other
  int32_t width = 4;
  int32_t height = 2;  // negative: top-down
  uint16_t planes = 1;
  uint16_t bitsPerPixel = 8;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  // Masks: inside a header of 52 bytes or more, else right after the header.
  std::vector<uint32_t> masks;
  std::vector<uint32_t> colourTable;    // 0xRRGGBB entries
  std::vector<uint8_t> pixels;          // the pixel data exactly as stored
  std::optional<uint32_t> pixelOffset;  // default: right after the colour table

  std::vector<uint8_t> Bytes() const;
};

// Loads bytes into a bitmap under the name "crafted.bmp" and returns the Detail() of the
// EInvalidGraphic refusal ("" when it loaded); other exceptions pass.
class TBitmap;
std::string RefusalOf(const std::vector<uint8_t>& bytes, TBitmap& into);
std::string RefusalOf(const std::vector<uint8_t>& bytes);
