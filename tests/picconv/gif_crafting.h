#pragma once
// GIF files written block by block, so that a test says exactly what each block holds, damage
// included.

#include <cstdint>
#include <string>
#include <vector>

#include "gif_decoder.h"

// Colours for crafted tables.
inline constexpr GifRgb kBlack{0, 0, 0};
inline constexpr GifRgb kRed{255, 0, 0};
inline constexpr GifRgb kGreen{0, 255, 0};
inline constexpr GifRgb kBlue{0, 0, 255};
inline constexpr GifRgb kYellow{255, 255, 0};
inline constexpr GifRgb kWhite{255, 255, 255};

// LZW codes: a clear code, each pixel value as a literal, and (when asked) the end code.
std::vector<uint32_t> LiteralCodes(const std::vector<uint8_t>& pixels, int minCodeSize,
                                   bool withEndCode = true);
uint32_t ClearCode(int minCodeSize);
uint32_t EndCode(int minCodeSize);

struct CraftedImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  std::vector<GifRgb> localTable;  // empty: none
  int minCodeSize = 2;
  std::vector<uint32_t> codes;  // packed at the widths a decoder reads them at
  bool dataTerminator = true;   // the empty sub-block that ends the data
};

class CraftedGif {
 public:
  // The signature and screen descriptor; an empty table means no global table. Tables are
  // padded with black to a power of two.
  CraftedGif(int width, int height, const std::vector<GifRgb>& globalTable,
             int backgroundIndex = 0);
  // A graphic control extension: disposal method 0 to 3, delay in hundredths of a second.
  CraftedGif& Control(int disposal, int delay, int transparentIndex = -1);
  CraftedGif& Image(const CraftedImage& image);
  CraftedGif& Trailer();
  CraftedGif& Bytes(const std::vector<uint8_t>& bytes);
  const std::vector<uint8_t>& File() const { return bytes_; }

 private:
  void Table(const std::vector<GifRgb>& table);
  void Word(int value);
  std::vector<uint8_t> bytes_;
};

// LZW codes for count pixels of one value, each code one pixel longer than the one before
// until the table is full, then the longest code again; the last code may give up to 4095
// pixels more than asked for. Flat pictures compress this way.
std::vector<uint32_t> FlatRunCodes(uint64_t count, uint8_t value, int minCodeSize);

// Packs codes least significant bit first, widening them as a decoder does.
std::vector<uint8_t> PackLzwCodes(const std::vector<uint32_t>& codes, int minCodeSize);
