// The table-driven decoder: every transform is resolved once into a source table laid out in
// working-image order, so the destination of entry i is working pixel i and each pass is one
// shrink loop and one flat map loop with no branch on the transform code.
#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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
using CodeSourceSteps =
    std::array<uint32_t, kTransformCodeCount * kDescriptorSlots * kDescriptorSlots>;

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
  // Domain descriptors are read in the file's random order: fetch them some blocks ahead.
  constexpr size_t kPrefetchBlocks = 16;
  for (size_t block = firstBlock; block < endBlock; ++block) {
    if (block + kPrefetchBlocks < endBlock) {
      __builtin_prefetch(images.domainDescriptors.data() +
                         size_t{domainIndices[block + kPrefetchBlocks]} * kDescriptorSlots);
    }
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

// One working row of the map: `blocks` runs of `side` pixels, run b taking the offsets of
// rowOffsets[b]. Chosen once a decode, so the block loop is not instantiated per form.
using MapTableRowKernel = void (*)(uint32_t* target, const uint32_t* domain,
                                   const uint32_t* sources, const OffsetWords* rowOffsets,
                                   size_t blocks, size_t side);

template <typename Ops>
void MapTableRow(uint32_t* target, const uint32_t* domain, const uint32_t* sources,
                 const OffsetWords* rowOffsets, size_t blocks, size_t side) {
  for (size_t block = 0; block < blocks; ++block) {
    const OffsetWords words = rowOffsets[block];
    if (words.raise & kBlockKeepsPixels)
      continue;
    Ops::Gather(target + block * side, domain, sources + block * side, 1, side, words);
  }
}

#ifdef QAV_FRACTAL_MAP_SSE2

__attribute__((target("avx2"))) inline void StoreMapped256(uint32_t* target, const uint32_t* domain,
                                                           const uint32_t* sources, __m256i raise,
                                                           __m256i lower) {
  const __m256i indices = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sources));
  // Indices are below 2^29, so they stay positive as the gather's signed lanes.
  const __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(domain), indices, 4);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(target),
                      _mm256_subs_epu8(_mm256_adds_epu8(pixels, raise), lower));
}

// Eight pixels a step with a hardware gather. Side 4 takes two blocks a step (a row holds an
// even number of blocks): their two offset pairs are spread over the low and high halves.
__attribute__((target("avx2"))) void MapTableRowAvx2(uint32_t* target, const uint32_t* domain,
                                                     const uint32_t* sources,
                                                     const OffsetWords* rowOffsets, size_t blocks,
                                                     size_t side) {
  if (side == 4) {
    const __m256i raiseLanes = _mm256_setr_epi32(0, 0, 0, 0, 2, 2, 2, 2);
    const __m256i lowerLanes = _mm256_setr_epi32(1, 1, 1, 1, 3, 3, 3, 3);
    for (size_t block = 0; block + 2 <= blocks; block += 2) {
      const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowOffsets + block));
      if (_mm_movemask_ps(_mm_castsi128_ps(pair)) & 0x5) {  // a raise word with the keep mark
        MapTableRow<Sse2MapOps>(target + 4 * block, domain, sources + 4 * block, rowOffsets + block,
                                2, 4);
        continue;
      }
      const __m256i words = _mm256_castsi128_si256(pair);
      StoreMapped256(target + 4 * block, domain, sources + 4 * block,
                     _mm256_permutevar8x32_epi32(words, raiseLanes),
                     _mm256_permutevar8x32_epi32(words, lowerLanes));
    }
    return;
  }
  for (size_t block = 0; block < blocks; ++block) {
    const OffsetWords words = rowOffsets[block];
    if (words.raise & kBlockKeepsPixels)
      continue;
    const __m256i raise = _mm256_set1_epi32(static_cast<int>(words.raise));
    const __m256i lower = _mm256_set1_epi32(static_cast<int>(words.lower));
    for (size_t i = block * side; i < (block + 1) * side; i += 8)
      StoreMapped256(target + i, domain, sources + i, raise, lower);
  }
}

#endif

void MapTableBlockRows(const FractalImages& images, const SourceTable& table,
                       MapTableRowKernel mapRow, size_t firstRow, size_t endRow) {
  const size_t side = static_cast<size_t>(images.geometry.blockSide);
  const size_t width = static_cast<size_t>(images.geometry.paddedWidth);
  uint32_t* working = images.working.data();
  const uint32_t* domain = images.domain.data();
  for (size_t blockRow = firstRow; blockRow < endRow; ++blockRow) {
    const OffsetWords* rowOffsets = table.blockOffsets.data() + blockRow * images.blocksPerRow;
    for (size_t y = blockRow * side; y < (blockRow + 1) * side; ++y) {
      mapRow(working + y * width, domain, table.sources.data() + y * width, rowOffsets,
             images.blocksPerRow, side);
    }
  }
}

MapTableRowKernel MapTableRowKernelFor(FractalKernelLevel resolvedLevel) {
#ifdef QAV_FRACTAL_MAP_SSE2
  if (resolvedLevel == FractalKernelLevel::Avx2)
    return &MapTableRowAvx2;
#endif
  MapTableRowKernel kernel = nullptr;
  WithMapOps(resolvedLevel, [&](auto ops) { kernel = &MapTableRow<decltype(ops)>; });
  return kernel;
}

void RunTablePasses(FractalImages& images, const SourceTable& table, int iterations,
                    FractalKernelLevel level) {
  const size_t blockRows =
      static_cast<size_t>(images.geometry.paddedHeight / images.geometry.blockSide);
  const size_t pixelsPerBlockRow = static_cast<size_t>(images.geometry.paddedWidth) *
                                   static_cast<size_t>(images.geometry.blockSide);
  const MapTableRowKernel mapRow = MapTableRowKernelFor(level);
  for (int pass = 0; pass < iterations; ++pass) {
    images.Shrink(level);
    ParallelFor(blockRows, ChunkFor(pixelsPerBlockRow), [&](size_t begin, size_t end) {
      MapTableBlockRows(images, table, mapRow, begin, end);
    });
  }
}

}  // namespace

QavStatus DecodeFractalTableDrivenWith(const FractalDecodeOptions& options, int blockSizeCode,
                                       const uint16_t* domainIndices, const int16_t* offsets,
                                       const uint8_t* transforms, size_t blockCount, int16_t width,
                                       int16_t height, uint32_t* output, int iterations) {
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
    RunTablePasses(images, table, iterations, level);
    return true;
  });
}

QavStatus DecodeFractalTableDriven(int blockSizeCode, const uint16_t* domainIndices,
                                   const int16_t* offsets, const uint8_t* transforms,
                                   size_t blockCount, int16_t width, int16_t height,
                                   uint32_t* output, int iterations) {
  return DecodeFractalTableDrivenWith(FractalDecodeOptions{}, blockSizeCode, domainIndices, offsets,
                                      transforms, blockCount, width, height, output, iterations);
}
