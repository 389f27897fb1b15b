// Feeds arbitrary bytes to the GIF picture decoder. Refusals are expected; crashes,
// out-of-bounds accesses, leaks and hangs are not.

#include <cstddef>
#include <cstdint>

#include "gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Smaller limits keep each run fast; the decoding path is the same.
  GifDecodeLimits limits;
  limits.maxPixels = uint64_t{1} << 22;
  limits.maxPixelWork = uint64_t{1} << 25;
  try {
    const ComposedGif picture = DecodeGifPicture(data, size, limits);
    // Touch every pixel through the accessor that checks its bounds.
    unsigned sum = 0;
    for (int y = 0; y < picture.height; y += 7) {
      for (int x = 0; x < picture.width; x += 7) {
        sum += picture.PixelAt(x, y).red;
      }
    }
    static_cast<void>(sum);
  } catch (const GifDecodeError&) {
  }
  return 0;
}
