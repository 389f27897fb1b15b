// The table-driven decoder: every transform is resolved once into a source table laid out in
// working-image order, so the destination of entry i is working pixel i and each pass is one
// shrink loop and one flat map loop with no branch on the transform code.
#include <array>

#include "fractal_map_ops.h"
#include "fractal_work.h"
#include "parallel_for.h"

namespace {

// Marks a block whose transform code maps nothing: its table entries are never filled, and
// the map leaves its pixels as they are. Real offset words never have bit 31 set.
constexpr uint32_t kBlockKeepsPixels = 0x80000000u;

struct SourceTable {
  FractalBuffer<uint32_t> sources;          // per working pixel, its domain pixel
  FractalBuffer<OffsetWords> blockOffsets;  // per range block
};

// Per transform code, the distance in domain-image words from the first pixel of a domain block
// to the source of each range-block pixel, row by row. Resolved once a decode, so that filling
// a table entry is one addition.
using CodeSourceSteps = std::array<uint32_t, kTransformCodeCount * kDescriptorSlots * kDescriptorSlots>;

void ResolveCodeSourceSteps(const RowSourceTable& rowSources, int side, size_t domainWidth,
                            CodeSourceSteps& steps) {
  const size_t blockPixels = static_cast<size_t>(side) * static_cast<size_t>(side);
  for (int code = 0; code < kTransformCodeCount; ++code) {
    uint32_t* codeSteps = steps.data() + static_cast<size_t>(code) * blockPixels;
    for (int row = 0; row < side; ++row) {
      // Walk the row's source line with wrap-around instead of resolving each pixel.
      const RowSource& source = rowSources[code][row];
      int along = source.start;
      for (int column = 0; column < side; ++column) {
        const size_t sourceRow = static_cast<size_t>(source.alongColumn ? along : source.line);
        const size_t sourceColumn = static_cast<size_t>(source.alongColumn ? source.line : along);
        codeSteps[static_cast<size_t>(row * side + column)] =
            static_cast<uint32_t>(sourceRow * domainWidth + sourceColumn);
        along += source.step;
        if (along == side)
          along = 0;
        if (along < 0)
          along = side - 1;
      }
    }
  }
}

void FillSourceEntries(const FractalImages& images, const CodeSourceSteps& steps,
                       const uint16_t* domainIndices, const int16_t* offsets,
                       const uint8_t* transforms, SourceTable& table, size_t firstBlock,
                       size_t endBlock) {
  const size_t side = static_cast<size_t>(images.geometry.blockSide);
  for (size_t block = firstBlock; block < endBlock; ++block) {
    const int code = transforms[block];
    OffsetWords& words = table.blockOffsets.data()[block];
    if (code >= kTransformCodeCount) {
      words = OffsetWords{kBlockKeepsPixels, 0};
      continue;
    }
    words = OffsetWordsFromTriple(offsets + 3 * block);
    const uint32_t* rangeRows = images.rangeDescriptors.data() + block * kDescriptorSlots;
    const uint32_t domainFirst =
        images.domainDescriptors.data()[size_t{domainIndices[block]} * kDescriptorSlots];
    const uint32_t* codeSteps = steps.data() + static_cast<size_t>(code) * side * side;
    for (size_t row = 0; row < side; ++row) {
      uint32_t* entries = table.sources.data() + rangeRows[row];
      const uint32_t* rowSteps = codeSteps + row * side;
      for (size_t column = 0; column < side; ++column)
        entries[column] = domainFirst + rowSteps[column];
    }
  }
}

template <typename Ops>
void MapTableBlockRows(const FractalImages& images, const SourceTable& table, size_t firstRow,
                       size_t endRow) {
  const size_t side = static_cast<size_t>(images.geometry.blockSide);
  const size_t width = static_cast<size_t>(images.geometry.paddedWidth);
  uint32_t* working = images.working.data();
  const uint32_t* domain = images.domain.data();
  for (size_t blockRow = firstRow; blockRow < endRow; ++blockRow) {
    const OffsetWords* rowOffsets = table.blockOffsets.data() + blockRow * images.blocksPerRow;
    for (size_t y = blockRow * side; y < (blockRow + 1) * side; ++y) {
      uint32_t* target = working + y * width;
      const uint32_t* sources = table.sources.data() + y * width;
      for (size_t block = 0; block < images.blocksPerRow; ++block) {
        const OffsetWords words = rowOffsets[block];
        if (words.raise & kBlockKeepsPixels)
          continue;
        Ops::Gather(target + block * side, domain, sources + block * side, 1, side, words);
      }
    }
  }
}

template <typename Ops>
void RunTablePasses(FractalImages& images, const SourceTable& table, int iterations,
                    FractalKernelLevel level) {
  const size_t blockRows =
      static_cast<size_t>(images.geometry.paddedHeight / images.geometry.blockSide);
  const size_t pixelsPerBlockRow = static_cast<size_t>(images.geometry.paddedWidth) *
                                   static_cast<size_t>(images.geometry.blockSide);
  for (int pass = 0; pass < iterations; ++pass) {
    images.Shrink(level);
    ParallelFor(blockRows, ChunkFor(pixelsPerBlockRow), [&](size_t begin, size_t end) {
      MapTableBlockRows<Ops>(images, table, begin, end);
    });
  }
}

}  // namespace

FractalStatus DecodeFractalTableDrivenWith(const FractalDecodeOptions& options, int blockSizeCode,
                                           const uint16_t* domainIndices, const int16_t* offsets,
                                           const uint8_t* transforms, size_t blockCount,
                                           int16_t width, int16_t height, uint32_t* output,
                                           int iterations) {
  const FractalInputs inputs{blockSizeCode, domainIndices, offsets, transforms, blockCount,
                             width,         height,        output,  iterations};
  return RunCheckedDecode(options, inputs, [&](FractalImages& images, FractalKernelLevel level) {
    SourceTable table;
    const FractalGeometry& geometry = images.geometry;
    if (!table.sources.Obtain(options.allocate, images.domainWidth * images.domainHeight * 4) ||
        !table.blockOffsets.Obtain(options.allocate, geometry.rangeBlocks)) {
      return false;
    }
    images.Prepare();
    const size_t blockPixels = static_cast<size_t>(geometry.blockSide) * geometry.blockSide;
    CodeSourceSteps steps;
    ResolveCodeSourceSteps(MakeRowSources(geometry.blockSide), geometry.blockSide,
                           images.domainWidth, steps);
    ParallelFor(geometry.rangeBlocks, ChunkFor(blockPixels), [&](size_t begin, size_t end) {
      FillSourceEntries(images, steps, domainIndices, offsets, transforms, table, begin, end);
    });
    WithMapOps(level,
               [&](auto ops) { RunTablePasses<decltype(ops)>(images, table, iterations, level); });
    return true;
  });
}

FractalStatus DecodeFractalTableDriven(int blockSizeCode, const uint16_t* domainIndices,
                                       const int16_t* offsets, const uint8_t* transforms,
                                       size_t blockCount, int16_t width, int16_t height,
                                       uint32_t* output, int iterations) {
  return DecodeFractalTableDrivenWith(FractalDecodeOptions{}, blockSizeCode, domainIndices, offsets,
                                      transforms, blockCount, width, height, output, iterations);
}
