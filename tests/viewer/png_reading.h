#pragma once
// Reads PNG files back for the checks of qavconv's PNG output: the chunks in order, and the
// header, colour table and rows as libspng decodes them.

#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 0;
  int colourType = 0;             // 2: RGB, 3: palette
  std::vector<uint32_t> palette;  // 0xRRGGBB
  size_t rowBytes = 0;
  std::vector<uint8_t> rows;  // as stored: packed indices or red, green, blue bytes
};

// The chunk types of a PNG file in order ("IHDR", "PLTE", ...); empty when it is no PNG.
std::vector<std::string> PngChunkTypes(const std::vector<uint8_t>& file);

// Decodes a PNG; throws std::runtime_error with libspng's reason when it cannot.
DecodedPng DecodePng(const std::vector<uint8_t>& file);
