// The geometry of a fractal image and the checks of a decode's inputs.
#include <cstdint>

#include "fractal_decoder.h"

namespace {

constexpr int64_t kLargestPaddedSide = 32767;                 // W and H are 16-bit signed
constexpr int64_t kWorkingImageByteLimit = int64_t{1} << 31;  // the working image's bytes

int64_t RoundUpToMultiple(int64_t value, int64_t step) {
  return (value + step - 1) / step * step;
}

}  // namespace

int ClampByte(int value) {
  return value > 255 ? 255 : (value < 0 ? 0 : value);
}

int BlockSideFromCode(int blockSizeCode) {
  switch (blockSizeCode) {
    case 1:
      return 8;
    case 2:
      return 16;
    case 3:
      return 32;
    default:
      return 4;
  }
}

QavStatus ComputeFractalGeometry(int blockSizeCode, int width, int height,
                                 FractalGeometry* geometry) {
  if (width < 1 || height < 1)
    return QavStatus(QavCode::BadFractalSize);
  const int side = BlockSideFromCode(blockSizeCode);
  const int64_t paddedWidth = RoundUpToMultiple(width, 2 * side);
  const int64_t paddedHeight = RoundUpToMultiple(height, 2 * side);
  if (paddedWidth > kLargestPaddedSide || paddedHeight > kLargestPaddedSide) {
    return QavStatus(QavCode::BadFractalSize);
  }
  if (paddedWidth * paddedHeight * 4 >= kWorkingImageByteLimit)
    return QavStatus(QavCode::BadFractalSize);
  geometry->blockSide = side;
  geometry->paddedWidth = static_cast<int>(paddedWidth);
  geometry->paddedHeight = static_cast<int>(paddedHeight);
  geometry->rangeBlocks = static_cast<size_t>(paddedWidth * paddedHeight / (side * side));
  geometry->domainBlocks = geometry->rangeBlocks / 4;
  return QavStatus::Ok();
}

QavStatus CheckFractalInputs(int blockSizeCode, const uint16_t* domainIndices, size_t blockCount,
                             int width, int height, int iterations) {
  FractalGeometry geometry;
  const QavStatus sizeStatus = ComputeFractalGeometry(blockSizeCode, width, height, &geometry);
  if (!sizeStatus.IsOk())
    return sizeStatus;
  if (iterations < 0)
    return QavStatus(QavCode::BadIterations);
  // A missing array holds no blocks.
  if (domainIndices == nullptr || blockCount < geometry.rangeBlocks) {
    return QavStatus(QavCode::ShortArrays);
  }
  for (size_t block = 0; block < geometry.rangeBlocks; ++block) {
    if (domainIndices[block] >= geometry.domainBlocks)
      return QavStatus(QavCode::BadDomainIndex);
  }
  return QavStatus::Ok();
}
