#include "palette.h"

std::unique_ptr<TPalette> CreatePalette(const LOGPALETTE& logPalette) {
  constexpr uint16_t kPaletteVersion = 0x300;
  const size_t count = logPalette.palNumEntries;
  if (logPalette.palVersion != kPaletteVersion || count == 0 || count > 256)
    return nullptr;
  return std::make_unique<TPalette>(
      std::vector<PALETTEENTRY>(logPalette.palPalEntry, logPalette.palPalEntry + count));
}

std::vector<PALETTEENTRY> GreyRampEntries(int bitsPerPixel) {
  const size_t count = size_t{1} << bitsPerPixel;
  std::vector<PALETTEENTRY> entries(count);
  for (size_t i = 0; i < count; ++i) {
    const auto level = static_cast<uint8_t>(i * 255 / (count - 1));
    entries[i] = {level, level, level, 0};
  }
  return entries;
}
