// The direct decoder: each pass applies every block's transform anew, run by run through the
// block descriptors, with no per-pixel tables.
#include "fractal_map_ops.h"
#include "fractal_work.h"
#include "parallel_for.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <type_traits>

namespace {

// One range row from a line of n domain pixels read from `start` by `step` with wrap-around:
// at most two straight runs, [start, n) then [0, start) forward, or [0, start] then
// (start, n) backward.
template <typename Ops>
void MapRangeRow(uint32_t* target, const uint32_t* domain, const uint32_t* domainRows,
                 const RowSource& source, size_t side, OffsetWords offset) {
  const size_t start = static_cast<size_t>(source.start);
  const size_t firstRun = source.step > 0 ? side - start : start + 1;
  const size_t wrapFrom = source.step > 0 ? 0 : side - 1;
  if (source.alongColumn) {
    const uint32_t* column = domain + source.line;
    Ops::Gather(target, column, domainRows + start, source.step, firstRun, offset);
    Ops::Gather(target + firstRun, column, domainRows + wrapFrom, source.step, side - firstRun,
                offset);
    return;
  }
  const uint32_t* line = domain + domainRows[source.line];
  if (source.step > 0) {
    Ops::Forward(target, line + start, firstRun, offset);
    Ops::Forward(target + firstRun, line + wrapFrom, side - firstRun, offset);
  } else {
    Ops::Reversed(target, line + start, firstRun, offset);
    Ops::Reversed(target + firstRun, line + wrapFrom, side - firstRun, offset);
  }
}

#ifdef QAV_FRACTAL_MAP_SSE2
// Side 4: a domain block's four rows fit four registers, and every transform re-arranges that
// tile - rows picked in some order, each kept, reversed or with its halves exchanged, from the
// tile itself or from its transpose - so a range row is at most one shuffle instead of two
// short runs of single pixels.
struct Tile4 {
  __m128i rows[4];
};

Tile4 LoadTile4(const uint32_t* domain, const uint32_t* domainRows) {
  Tile4 tile;
  for (int row = 0; row < 4; ++row)
    tile.rows[row] = Sse2MapOps::Load(domain + domainRows[row]);
  return tile;
}

Tile4 Transposed(const Tile4& tile) {
  const __m128i low01 = _mm_unpacklo_epi32(tile.rows[0], tile.rows[1]);
  const __m128i low23 = _mm_unpacklo_epi32(tile.rows[2], tile.rows[3]);
  const __m128i high01 = _mm_unpackhi_epi32(tile.rows[0], tile.rows[1]);
  const __m128i high23 = _mm_unpackhi_epi32(tile.rows[2], tile.rows[3]);
  return Tile4{{_mm_unpacklo_epi64(low01, low23), _mm_unpackhi_epi64(low01, low23),
                _mm_unpacklo_epi64(high01, high23), _mm_unpackhi_epi64(high01, high23)}};
}

__m128i ReversedRow(__m128i row) {
  return _mm_shuffle_epi32(row, _MM_SHUFFLE(0, 1, 2, 3));
}
__m128i HalvesExchanged(__m128i row) {
  return _mm_shuffle_epi32(row, _MM_SHUFFLE(1, 0, 3, 2));
}

// Range row r of a side-4 block under `code` from the domain tile and its transpose (the
// transpose is computed only for the codes that read columns).
Tile4 TransformTile4(int code, const Tile4& d) {
  switch (code) {
    case 1:
      return Tile4{{ReversedRow(d.rows[3]), ReversedRow(d.rows[2]), ReversedRow(d.rows[1]),
                    ReversedRow(d.rows[0])}};
    case 2:
      return Transposed(d);
    case 3:
      return Tile4{{d.rows[3], d.rows[2], d.rows[1], d.rows[0]}};
    case 4:
      return Tile4{{ReversedRow(d.rows[0]), ReversedRow(d.rows[1]), ReversedRow(d.rows[2]),
                    ReversedRow(d.rows[3])}};
    case 5: {
      const Tile4 t = Transposed(d);
      return Tile4{{ReversedRow(t.rows[0]), ReversedRow(t.rows[1]), ReversedRow(t.rows[2]),
                    ReversedRow(t.rows[3])}};
    }
    case 6: {
      const Tile4 t = Transposed(d);
      return Tile4{{t.rows[3], t.rows[2], t.rows[1], t.rows[0]}};
    }
    case 7:
      return Tile4{{d.rows[2], d.rows[3], d.rows[0], d.rows[1]}};
    case 8:
      return Tile4{{HalvesExchanged(d.rows[0]), HalvesExchanged(d.rows[1]),
                    HalvesExchanged(d.rows[2]), HalvesExchanged(d.rows[3])}};
    default:
      return d;
  }
}

void MapSide4Block(uint32_t* working, const uint32_t* domain, const uint32_t* rangeRows,
                   const uint32_t* domainRows, int code, OffsetWords offset) {
  const __m128i raise = _mm_set1_epi32(static_cast<int>(offset.raise));
  const __m128i lower = _mm_set1_epi32(static_cast<int>(offset.lower));
  const Tile4 range = TransformTile4(code, LoadTile4(domain, domainRows));
  for (int row = 0; row < 4; ++row)
    Sse2MapOps::Store(working + rangeRows[row], Sse2MapOps::Apply(range.rows[row], raise, lower));
}

// With AVX2 the tile's 16 pixels sit in two registers, and a range block is any permutation
// of them: each half of the block is two in-register permutes, one of rows 0 and 1 and one of
// rows 2 and 3, blended by which pair each pixel comes from - no branch on the code.
struct Side4Permutations {
  // Per code, the tile position (4 * row + column) each range pixel takes its value from.
  alignas(32) int32_t sources[kTransformCodeCount][16];
};

Side4Permutations MakeSide4Permutations() {
  Side4Permutations permutations{};
  for (int code = 0; code < kTransformCodeCount; ++code) {
    for (int pixel = 0; pixel < 16; ++pixel) {
      const BlockPixel source = TransformSource(code, 4, pixel / 4, pixel % 4);
      permutations.sources[code][pixel] = 4 * source.row + source.column;
    }
  }
  return permutations;
}

__attribute__((target("avx2"))) void MapSide4BlockAvx2(uint32_t* working, const uint32_t* domain,
                                                       const uint32_t* rangeRows,
                                                       const uint32_t* domainRows,
                                                       const int32_t* sources, OffsetWords offset) {
  const __m256i upperRows =
      _mm256_inserti128_si256(_mm256_castsi128_si256(Sse2MapOps::Load(domain + domainRows[0])),
                              Sse2MapOps::Load(domain + domainRows[1]), 1);
  const __m256i lowerRows =
      _mm256_inserti128_si256(_mm256_castsi128_si256(Sse2MapOps::Load(domain + domainRows[2])),
                              Sse2MapOps::Load(domain + domainRows[3]), 1);
  const __m256i raise = _mm256_set1_epi32(static_cast<int>(offset.raise));
  const __m256i lower = _mm256_set1_epi32(static_cast<int>(offset.lower));
  for (int half = 0; half < 2; ++half) {
    const __m256i index = _mm256_load_si256(reinterpret_cast<const __m256i*>(sources + 8 * half));
    const __m256 fromUpper = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(upperRows, index));
    const __m256 fromLower = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(lowerRows, index));
    // Positions 8..15 lie in rows 2 and 3: bit 3, shifted into the sign bit, picks them.
    const __m256 inLower = _mm256_castsi256_ps(_mm256_slli_epi32(index, 28));
    const __m256i pixels = _mm256_castps_si256(_mm256_blendv_ps(fromUpper, fromLower, inLower));
    const __m256i mapped = _mm256_subs_epu8(_mm256_adds_epu8(pixels, raise), lower);
    Sse2MapOps::Store(working + rangeRows[2 * half], _mm256_castsi256_si128(mapped));
    Sse2MapOps::Store(working + rangeRows[2 * half + 1], _mm256_extracti128_si256(mapped, 1));
  }
}

#else
struct Side4Permutations;
#endif

template <typename Ops>
void MapDirectBlocks(const FractalImages& images, const RowSourceTable& rowSources,
                     const uint16_t* domainIndices, const int16_t* offsets,
                     const uint8_t* transforms, const Side4Permutations* side4Permutations,
                     size_t firstBlock, size_t endBlock) {
  const size_t side = static_cast<size_t>(images.geometry.blockSide);
  // Domain descriptors are read in the file's random order: fetch them some blocks ahead.
  constexpr size_t kPrefetchDistance = 8;
  for (size_t block = firstBlock; block < endBlock; ++block) {
    if (block + kPrefetchDistance < endBlock) {
      const size_t ahead = block + kPrefetchDistance;
      const uint32_t* aheadRows =
          images.domainDescriptors.data() + size_t{domainIndices[ahead]} * kDescriptorSlots;
      __builtin_prefetch(aheadRows);
      __builtin_prefetch(images.rangeDescriptors.data() + ahead * kDescriptorSlots);
    }
    // Nearer blocks' descriptors have arrived by now: fetch the domain rows they name.
    if (block + kPrefetchDistance / 2 < endBlock) {
      const uint32_t* nearRows =
          images.domainDescriptors.data() +
          size_t{domainIndices[block + kPrefetchDistance / 2]} * kDescriptorSlots;
      for (size_t row = 0; row < side; ++row)
        __builtin_prefetch(images.domain.data() + nearRows[row]);
    }
    const int code = transforms[block];
    if (code >= kTransformCodeCount)
      continue;  // maps nothing; the block keeps its pixels
    const OffsetWords words = OffsetWordsFromTriple(offsets + 3 * block);
    const uint32_t* rangeRows = images.rangeDescriptors.data() + block * kDescriptorSlots;
    const uint32_t* domainRows =
        images.domainDescriptors.data() + size_t{domainIndices[block]} * kDescriptorSlots;
#ifdef QAV_FRACTAL_MAP_SSE2
    if constexpr (std::is_same_v<Ops, Sse2MapOps>) {
      if (side4Permutations != nullptr) {
        MapSide4BlockAvx2(images.working.data(), images.domain.data(), rangeRows, domainRows,
                          side4Permutations->sources[code], words);
        continue;
      }
      if (side == 4) {
        MapSide4Block(images.working.data(), images.domain.data(), rangeRows, domainRows, code,
                      words);
        continue;
      }
    }
#endif
    for (size_t row = 0; row < side; ++row) {
      MapRangeRow<Ops>(images.working.data() + rangeRows[row], images.domain.data(), domainRows,
                       rowSources[code][row], side, words);
    }
  }
}

template <typename Ops>
void RunDirectPasses(FractalImages& images, const uint16_t* domainIndices, const int16_t* offsets,
                     const uint8_t* transforms, int iterations, FractalKernelLevel level) {
  const RowSourceTable rowSources = MakeRowSources(images.geometry.blockSide);
  const size_t blockPixels =
      static_cast<size_t>(images.geometry.blockSide) * images.geometry.blockSide;
  const Side4Permutations* side4Permutations = nullptr;
#ifdef QAV_FRACTAL_MAP_SSE2
  const Side4Permutations permutations = MakeSide4Permutations();
  if (level == FractalKernelLevel::Avx2 && images.geometry.blockSide == 4)
    side4Permutations = &permutations;
#endif
  for (int pass = 0; pass < iterations; ++pass) {
    images.Shrink(level);
    ParallelFor(images.geometry.rangeBlocks, ChunkFor(blockPixels), [&](size_t begin, size_t end) {
      MapDirectBlocks<Ops>(images, rowSources, domainIndices, offsets, transforms,
                           side4Permutations, begin, end);
    });
  }
}

}  // namespace

QavStatus DecodeFractalDirectWith(const FractalDecodeOptions& options, int blockSizeCode,
                                  const uint16_t* domainIndices, const int16_t* offsets,
                                  const uint8_t* transforms, size_t blockCount, int16_t width,
                                  int16_t height, uint32_t* output, int iterations) {
  const FractalInputs inputs{blockSizeCode, domainIndices, offsets, transforms, blockCount,
                             width,         height,        output,  iterations};
  return RunCheckedDecode(options, inputs, [&](FractalImages& images, FractalKernelLevel level) {
    images.Prepare();
    WithMapOps(level, [&](auto ops) {
      RunDirectPasses<decltype(ops)>(images, domainIndices, offsets, transforms, iterations, level);
    });
    return true;
  });
}

QavStatus DecodeFractalDirect(int blockSizeCode, const uint16_t* domainIndices,
                              const int16_t* offsets, const uint8_t* transforms, size_t blockCount,
                              int16_t width, int16_t height, uint32_t* output, int iterations) {
  return DecodeFractalDirectWith(FractalDecodeOptions{}, blockSizeCode, domainIndices, offsets,
                                 transforms, blockCount, width, height, output, iterations);
}

int ReiterateFractal(int blockSizeCode, const uint16_t* domainIndices, const int16_t* offsets,
                     const uint8_t* transforms, int16_t width, int16_t height, uint32_t* output,
                     int iterations) {
  // The format's form trusts the arrays to hold the image's blocks.
  FractalGeometry geometry;
  if (!ComputeFractalGeometry(blockSizeCode, width, height, &geometry).IsOk())
    return -1;
  const QavStatus status =
      DecodeFractalDirect(blockSizeCode, domainIndices, offsets, transforms, geometry.rangeBlocks,
                          width, height, output, iterations);
  return status.IsOk() ? 0 : -1;
}
