#include "bitmap_limits.h"

uint64_t PaddedRowBytes(uint64_t width, int bitsPerPixel) {
  return (width * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

std::string BitmapSizeProblem(int64_t width, int64_t height, int bitsPerPixel) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width < 0 || height < 0)
    return "the size " + size + " is negative";
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    return "the size " + size + " is larger than " + std::to_string(kMaxBitmapSide) +
           " pixels a side";
  // Both sides are below 2^16 and the depth at most 32, so the product cannot overflow.
  const uint64_t rowBytes =
      PaddedRowBytes(static_cast<uint64_t>(width), bitsPerPixel) * static_cast<uint64_t>(height);
  if (rowBytes > kMaxBitmapRowBytes)
    return "the size " + size + " at " + std::to_string(bitsPerPixel) +
           " bits per pixel needs more than 1 GiB of pixel rows";
  return {};
}
