#include "bitmap_limits.h"

bool WithinImageLimits(int64_t width, int64_t height) {
  if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
    return false;
  // Both sides are below 2^16, so the product cannot overflow.
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxImagePixels;
}

uint64_t PaddedRowBytes(uint64_t width, int bitsPerPixel) {
  return (width * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

std::string BitmapSizeProblem(int64_t width, int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width < 0 || height < 0)
    return "the size " + size + " is negative";
  if (WithinImageLimits(width, height))
    return {};
  return "the size " + size + " is above this viewer's limit of " + std::to_string(kMaxImageSide) +
         " pixels a side and " + std::to_string(kMaxImagePixels) + " pixels in all";
}
