#pragma once
// Palettes: the LOGPALETTE layout of a logical palette and the palette object that
// CreatePalette makes from it and a bitmap takes over.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct PALETTEENTRY {
  uint8_t peRed;
  uint8_t peGreen;
  uint8_t peBlue;
  uint8_t peFlags;
};

// Version word 0x300, entry count, then room for 256 entries.
struct LOGPALETTE {
  uint16_t palVersion;
  uint16_t palNumEntries;
  PALETTEENTRY palPalEntry[256];
};

// The palette object; entry i is the colour of pixel value i.
class TPalette {
 public:
  explicit TPalette(std::vector<PALETTEENTRY> entries) : entries_(std::move(entries)) {}
  const std::vector<PALETTEENTRY>& Entries() const { return entries_; }
  size_t Size() const { return entries_.size(); }

 private:
  std::vector<PALETTEENTRY> entries_;
};

// Makes a palette object of the logical palette's first palNumEntries entries; nullptr when
// the version is not 0x300 or the count is 0 or above 256.
std::unique_ptr<TPalette> CreatePalette(const LOGPALETTE& logPalette);

// A grey ramp over all values of an indexed depth (1, 4 or 8 bits): black to white, 2^depth
// entries. What a bitmap without colours of its own is given.
std::vector<PALETTEENTRY> GreyRampEntries(int bitsPerPixel);
