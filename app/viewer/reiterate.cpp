#include "reiterate.h"

#include <new>
#include <vector>

#include "colour_rows.h"
#include "fractal_decoder.h"
#include "whole_number.h"

namespace {

bool HoldsFractalParameters(const TQAV& image) {
  return image.domainIndices && image.offsets && image.transforms;
}

// The rows written are 3 x width bytes of 24-bit pixels: the bitmap must be the one a fractal
// load leaves behind. The reader refuses fractal files that name another pixel format, so
// this only guards against a record in an unexpected state.
bool BitmapFitsRecord(const TQAV& image) {
  return image.bitmap && image.bitmap->GetPixelFormat() == pf24bit &&
         image.bitmap->GetWidth() == image.width && image.bitmap->GetHeight() == image.height;
}

}  // namespace

int IterationCountFromText(const std::string& text) {
  return WholeNumberWithin(text, kMinIterations, kMaxIterations);
}

bool Reiterate(TQAV* image, int count) {
  if (image == nullptr || !HoldsFractalParameters(*image) || !BitmapFitsRecord(*image)) {
    return false;
  }
  const size_t pixelCount = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  // The colour words and the packed rows, obtained for this re-decode only.
  std::vector<uint32_t> colourWords;
  std::vector<uint8_t> rows;
  try {
    colourWords.resize(pixelCount);
    rows.resize(3 * pixelCount);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const QavStatus status = DecodeFractalDirect(
      static_cast<int>(image->fractalHeader.blockSizeCode), image->domainIndices.get(),
      image->offsets.get(), image->transforms.get(), image->fractalHeader.blockCount, image->width,
      image->height, colourWords.data(), count);
  if (!status.IsOk())
    return false;
  WriteColourWordsToBitmap(colourWords.data(), image->width, image->height, rows.data(),
                           *image->bitmap);
  return true;
}
