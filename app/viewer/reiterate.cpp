#include "reiterate.h"

#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "colour_rows.h"
#include "fractal_decoder.h"
#include "whole_number.h"

namespace {

// The record's arrays may be held as plain or as owning pointers.
template <typename Pointer>
auto RawPointer(const Pointer& pointer) {
  if constexpr (std::is_pointer_v<Pointer>) {
    return pointer;
  } else {
    return pointer.get();
  }
}

bool HoldsFractalParameters(const TQAV& image) {
  return RawPointer(image.domainIndices) != nullptr && RawPointer(image.offsets) != nullptr &&
         RawPointer(image.transforms) != nullptr;
}

bool BitmapFitsRecord(const TQAV& image) {
  const TBitmap* bitmap = RawPointer(image.bitmap);
  return bitmap != nullptr && bitmap->GetPixelFormat() == pf24bit &&
         bitmap->GetWidth() == image.width && bitmap->GetHeight() == image.height;
}

}  // namespace

int IterationCountFromText(const std::string& text) {
  return WholeNumberWithin(text, kMinIterations, kMaxIterations);
}

bool Reiterate(TQAV* image, int count) {
  if (image == nullptr || !HoldsFractalParameters(*image) || !BitmapFitsRecord(*image)) {
    return false;
  }
  const size_t pixelCount = static_cast<size_t>(image->width) * image->height;
  std::vector<uint32_t> colourWords;
  try {
    colourWords.resize(pixelCount);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const FractalStatus status = DecodeFractalDirect(
      static_cast<int>(image->fractalHeader.blockSizeCode), RawPointer(image->domainIndices),
      RawPointer(image->offsets), RawPointer(image->transforms), image->fractalHeader.blockCount,
      image->width, image->height, colourWords.data(), count);
  if (status != FractalStatus::Ok) return false;
  WriteColourWordsBottomUp(colourWords.data(), image->width, image->height,
                           *RawPointer(image->bitmap));
  return true;
}
