#include "pixel_colours.h"

#include <bit>

namespace {

constexpr uint32_t kOpaque = 0xFF000000;

uint32_t Xrgb(uint32_t red, uint32_t green, uint32_t blue) {
  return kOpaque | red << 16 | green << 8 | blue;
}

// Extracts the field of a mask from a pixel and scales it to 0..255 with rounding.
class MaskField {
 public:
  explicit MaskField(uint32_t mask)
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), top_(mask >> shift_) {}
  uint32_t Scale(uint32_t pixel) const {
    if (top_ == 0)
      return 0;
    const uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<uint32_t>((value * 255 + top_ / 2) / top_);
  }

 private:
  uint32_t mask_;
  int shift_;
  uint64_t top_;
};

// The masks a layout without stored ones implies.
TColorMasks ImpliedMasks(int bitsPerPixel) {
  if (bitsPerPixel == 16)
    return {0x7C00, 0x03E0, 0x001F};
  return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

void ConvertIndexedRow(const TBitmap& bitmap, const uint8_t* row, uint32_t* colours) {
  const int bits = bitmap.BitsPerPixel();
  const TPalette* palette = bitmap.GetPalette();
  const size_t known = palette ? palette->Size() : 0;
  for (int x = 0; x < bitmap.GetWidth(); ++x) {
    const size_t index = PaletteIndexInRow(row, x, bits);
    if (index >= known) {
      colours[x] = kOpaque;
      continue;
    }
    const PALETTEENTRY& entry = palette->Entries()[index];
    colours[x] = Xrgb(entry.peRed, entry.peGreen, entry.peBlue);
  }
}

void ConvertMaskedRow(const TBitmap& bitmap, const uint8_t* row, uint32_t* colours) {
  const TColorMasks masks =
      bitmap.HasColorMasks() ? bitmap.GetColorMasks() : ImpliedMasks(bitmap.BitsPerPixel());
  const MaskField red(masks.red), green(masks.green), blue(masks.blue);
  const bool wide = bitmap.BitsPerPixel() == 32;
  for (int x = 0; x < bitmap.GetWidth(); ++x) {
    const uint8_t* p = row + x * (wide ? 4 : 2);
    uint32_t pixel = static_cast<uint32_t>(p[0] | p[1] << 8);
    if (wide)
      pixel |= static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    colours[x] = Xrgb(red.Scale(pixel), green.Scale(pixel), blue.Scale(pixel));
  }
}

}  // namespace

unsigned PaletteIndexInRow(const uint8_t* row, int x, int bitsPerPixel) {
  const int perByte = 8 / bitsPerPixel;
  const unsigned valueMask = (1u << bitsPerPixel) - 1;
  // The leftmost pixel of a byte sits in its most significant bits.
  const int shift = 8 - bitsPerPixel * (x % perByte + 1);
  return row[x / perByte] >> shift & valueMask;
}

void ConvertRowToXrgb32(const TBitmap& bitmap, int row, uint32_t* colours) {
  const uint8_t* pixels = bitmap.RowData(row);
  switch (bitmap.BitsPerPixel()) {
    case 1:
    case 4:
    case 8:
      ConvertIndexedRow(bitmap, pixels, colours);
      break;
    case 24:
      for (int x = 0; x < bitmap.GetWidth(); ++x) {
        const uint8_t* bgr = pixels + 3 * x;
        colours[x] = Xrgb(bgr[2], bgr[1], bgr[0]);
      }
      break;
    default:
      ConvertMaskedRow(bitmap, pixels, colours);
      break;
  }
}
