#include "fractal_work.h"

#include <cstdint>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "fractal_shrink.h"
#include "parallel_for.h"

void* AllocateWithMalloc(size_t bytes) {
  return std::malloc(bytes);
}

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Below this a buffer keeps its 4 KiB pages: a huge page would zero more than it saves.
constexpr size_t kHugePageBufferMin = kHugePage / 2;

size_t RoundUpToHugePage(size_t bytes) {
  return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

size_t BytesToRequest(size_t bytes) {
  // No overflow: buffers hold fewer than 2^31 bytes.
  return bytes < kHugePageBufferMin ? bytes : RoundUpToHugePage(bytes) + kHugePage;
}

void* PlaceBuffer(void* block, size_t bytes) {
  if (bytes < kHugePageBufferMin)
    return block;
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // The advised range lies inside the block, which has room for it past the moved start.
  madvise(reinterpret_cast<void*>(first), RoundUpToHugePage(bytes), MADV_HUGEPAGE);  // a hint
#endif
  return reinterpret_cast<void*>(first);
}

size_t ChunkFor(size_t pixelsPerIndex, size_t pixelsPerChunk) {
  if (pixelsPerIndex == 0 || pixelsPerIndex >= pixelsPerChunk)
    return 1;
  return pixelsPerChunk / pixelsPerIndex;
}

QavStatus CheckDecodeInputs(int blockSizeCode, const uint16_t* domainIndices,
                            const int16_t* offsets, const uint8_t* transforms, size_t blockCount,
                            int width, int height, const uint32_t* output, int iterations,
                            FractalGeometry* geometry) {
  const QavStatus status =
      CheckFractalInputs(blockSizeCode, domainIndices, blockCount, width, height, iterations);
  if (!status.IsOk())
    return status;
  if (offsets == nullptr || transforms == nullptr || output == nullptr) {
    return QavStatus(QavCode::ShortArrays);
  }
  return ComputeFractalGeometry(blockSizeCode, width, height, geometry);
}

bool FractalImages::Obtain(const FractalGeometry& checkedGeometry, void* (*allocate)(size_t)) {
  geometry = checkedGeometry;
  const size_t width = static_cast<size_t>(geometry.paddedWidth);
  const size_t height = static_cast<size_t>(geometry.paddedHeight);
  domainWidth = width / 2;
  domainHeight = height / 2;
  blocksPerRow = width / static_cast<size_t>(geometry.blockSide);
  // No product overflows: the working image has fewer than 2^29 words.
  return working.Obtain(allocate, width * height) &&
         domain.Obtain(allocate, domainWidth * domainHeight) &&
         rangeDescriptors.Obtain(allocate, geometry.rangeBlocks * kDescriptorSlots) &&
         domainDescriptors.Obtain(allocate, geometry.domainBlocks * kDescriptorSlots);
}

namespace {

// Fills descriptors [firstBlock, endBlock) of an image `imageWidth` words wide cut into blocks
// of `side`, `blocksPerRow` across.
void FillDescriptors(uint32_t* descriptors, size_t firstBlock, size_t endBlock, size_t blocksPerRow,
                     size_t side, size_t imageWidth) {
  for (size_t block = firstBlock; block < endBlock; ++block) {
    const size_t firstRow = side * (block / blocksPerRow);
    const size_t firstColumn = side * (block % blocksPerRow);
    uint32_t* slots = descriptors + block * kDescriptorSlots;
    for (size_t row = 0; row < side; ++row) {
      slots[row] = static_cast<uint32_t>((firstRow + row) * imageWidth + firstColumn);
    }
  }
}

}  // namespace

void FractalImages::Prepare() {
  const size_t width = static_cast<size_t>(geometry.paddedWidth);
  const size_t side = static_cast<size_t>(geometry.blockSide);
  uint32_t* workingPixels = working.data();
  // Every byte 127: mid grey, with 127 in bits 24-31 until the first map overwrites them.
  ParallelFor(
      static_cast<size_t>(geometry.paddedHeight), ChunkFor(width), [&](size_t begin, size_t end) {
        std::memset(workingPixels + begin * width, 127, (end - begin) * width * sizeof(uint32_t));
      });
  ParallelFor(geometry.rangeBlocks, ChunkFor(side * side), [&](size_t begin, size_t end) {
    FillDescriptors(rangeDescriptors.data(), begin, end, blocksPerRow, side, width);
  });
  ParallelFor(geometry.domainBlocks, ChunkFor(side * side), [&](size_t begin, size_t end) {
    FillDescriptors(domainDescriptors.data(), begin, end, blocksPerRow / 2, side, domainWidth);
  });
}

void FractalImages::Shrink(FractalKernelLevel level) {
  const ShrinkRowsKernel shrinkRows = ShrinkRowsKernelFor(level);
  const uint32_t* workingPixels = working.data();
  uint32_t* domainPixels = domain.data();
  const size_t width = domainWidth;
  ParallelFor(domainHeight, ChunkFor(width), [&](size_t begin, size_t end) {
    shrinkRows(workingPixels, domainPixels, width, begin, end);
  });
}

void FractalImages::CopyOut(uint32_t* output, int width, int height) const {
  const size_t rowWords = static_cast<size_t>(width);
  const size_t paddedWidth = static_cast<size_t>(geometry.paddedWidth);
  const uint32_t* workingPixels = working.data();
  ParallelFor(static_cast<size_t>(height), ChunkFor(rowWords), [&](size_t begin, size_t end) {
    for (size_t row = begin; row < end; ++row) {
      std::memcpy(output + row * rowWords, workingPixels + row * paddedWidth,
                  rowWords * sizeof(uint32_t));
    }
  });
}
