#include "fractal_shrink.h"

#include "fractal_pixel_ops.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QAV_FRACTAL_X86 1
#endif

namespace {

void ShrinkRowsPortable(const uint32_t* working, uint32_t* domain, size_t domainWidth,
                        size_t firstRow, size_t endRow) {
  const size_t workingWidth = 2 * domainWidth;
  for (size_t row = firstRow; row < endRow; ++row) {
    const uint32_t* upper = working + 2 * row * workingWidth;
    const uint32_t* lower = upper + workingWidth;
    uint32_t* out = domain + row * domainWidth;
    for (size_t x = 0; x < domainWidth; ++x) {
      out[x] = ShrinkQuad(upper[2 * x], upper[2 * x + 1], lower[2 * x], lower[2 * x + 1]);
    }
  }
}

#ifdef QAV_FRACTAL_X86

// The vector forms follow ShrinkQuad: bytes 0 and 2 summed in the 16-bit lanes of one vector,
// bytes 1 and 3 in another, then a = s >> 2 and v = 3a >> 2 per lane.
inline __m128i ThreeQuartersOfQuarter128(__m128i sums) {
  const __m128i quarter = _mm_srli_epi16(sums, 2);
  return _mm_srli_epi16(_mm_add_epi16(quarter, _mm_add_epi16(quarter, quarter)), 2);
}

// Four domain pixels from the even and odd pixels of the two working rows.
inline __m128i ShrinkFour(__m128i upperEven, __m128i upperOdd, __m128i lowerEven,
                          __m128i lowerOdd) {
  const __m128i evenMask = _mm_set1_epi16(0x00FF);
  const __m128i evenSums = _mm_add_epi16(
      _mm_add_epi16(_mm_and_si128(upperEven, evenMask), _mm_and_si128(upperOdd, evenMask)),
      _mm_add_epi16(_mm_and_si128(lowerEven, evenMask), _mm_and_si128(lowerOdd, evenMask)));
  const __m128i oddSums =
      _mm_add_epi16(_mm_add_epi16(_mm_srli_epi16(upperEven, 8), _mm_srli_epi16(upperOdd, 8)),
                    _mm_add_epi16(_mm_srli_epi16(lowerEven, 8), _mm_srli_epi16(lowerOdd, 8)));
  const __m128i byte1Only = _mm_set1_epi32(0x0000FF00);
  return _mm_or_si128(
      ThreeQuartersOfQuarter128(evenSums),
      _mm_and_si128(_mm_slli_epi16(ThreeQuartersOfQuarter128(oddSums), 8), byte1Only));
}

inline __m128i EvenWords(__m128i first, __m128i second) {
  return _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
}
inline __m128i OddWords(__m128i first, __m128i second) {
  return _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), _MM_SHUFFLE(3, 1, 3, 1)));
}

// Domain pixels [x, domainWidth) of one row, four at a time; domainWidth - x is a multiple of 4.
inline void ShrinkRowTail128(const uint32_t* upper, const uint32_t* lower, uint32_t* out, size_t x,
                             size_t domainWidth) {
  for (; x < domainWidth; x += 4) {
    const __m128i upper0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + 2 * x));
    const __m128i upper1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + 2 * x + 4));
    const __m128i lower0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + 2 * x));
    const __m128i lower1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + 2 * x + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     ShrinkFour(EvenWords(upper0, upper1), OddWords(upper0, upper1),
                                EvenWords(lower0, lower1), OddWords(lower0, lower1)));
  }
}

void ShrinkRowsSse2(const uint32_t* working, uint32_t* domain, size_t domainWidth, size_t firstRow,
                    size_t endRow) {
  const size_t workingWidth = 2 * domainWidth;
  for (size_t row = firstRow; row < endRow; ++row) {
    const uint32_t* upper = working + 2 * row * workingWidth;
    ShrinkRowTail128(upper, upper + workingWidth, domain + row * domainWidth, 0, domainWidth);
  }
}

__attribute__((target("avx2"))) inline __m256i ThreeQuartersOfQuarter256(__m256i sums) {
  const __m256i quarter = _mm256_srli_epi16(sums, 2);
  return _mm256_srli_epi16(_mm256_add_epi16(quarter, _mm256_add_epi16(quarter, quarter)), 2);
}
__attribute__((target("avx2"))) inline __m256i EvenWords256(__m256i first, __m256i second) {
  return _mm256_castps_si256(_mm256_shuffle_ps(
      _mm256_castsi256_ps(first), _mm256_castsi256_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
}
__attribute__((target("avx2"))) inline __m256i OddWords256(__m256i first, __m256i second) {
  return _mm256_castps_si256(_mm256_shuffle_ps(
      _mm256_castsi256_ps(first), _mm256_castsi256_ps(second), _MM_SHUFFLE(3, 1, 3, 1)));
}

__attribute__((target("avx2"))) void ShrinkRowsAvx2(const uint32_t* working, uint32_t* domain,
                                                    size_t domainWidth, size_t firstRow,
                                                    size_t endRow) {
  const size_t workingWidth = 2 * domainWidth;
  const __m256i evenMask = _mm256_set1_epi16(0x00FF);
  const __m256i byte1Only = _mm256_set1_epi32(0x0000FF00);
  for (size_t row = firstRow; row < endRow; ++row) {
    const uint32_t* upper = working + 2 * row * workingWidth;
    const uint32_t* lower = upper + workingWidth;
    uint32_t* out = domain + row * domainWidth;
    size_t x = 0;
    for (; x + 8 <= domainWidth; x += 8) {
      const __m256i upper0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + 2 * x));
      const __m256i upper1 =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + 2 * x + 8));
      const __m256i lower0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + 2 * x));
      const __m256i lower1 =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + 2 * x + 8));
      // Within each 128-bit lane the pixel pairs of outputs 0, 1, 4, 5 and 2, 3, 6, 7.
      const __m256i upperEven = EvenWords256(upper0, upper1);
      const __m256i upperOdd = OddWords256(upper0, upper1);
      const __m256i lowerEven = EvenWords256(lower0, lower1);
      const __m256i lowerOdd = OddWords256(lower0, lower1);
      const __m256i evenSums =
          _mm256_add_epi16(_mm256_add_epi16(_mm256_and_si256(upperEven, evenMask),
                                            _mm256_and_si256(upperOdd, evenMask)),
                           _mm256_add_epi16(_mm256_and_si256(lowerEven, evenMask),
                                            _mm256_and_si256(lowerOdd, evenMask)));
      const __m256i oddSums = _mm256_add_epi16(
          _mm256_add_epi16(_mm256_srli_epi16(upperEven, 8), _mm256_srli_epi16(upperOdd, 8)),
          _mm256_add_epi16(_mm256_srli_epi16(lowerEven, 8), _mm256_srli_epi16(lowerOdd, 8)));
      const __m256i shrunk = _mm256_or_si256(
          ThreeQuartersOfQuarter256(evenSums),
          _mm256_and_si256(_mm256_slli_epi16(ThreeQuartersOfQuarter256(oddSums), 8), byte1Only));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                          _mm256_permute4x64_epi64(shrunk, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    ShrinkRowTail128(upper, lower, out, x, domainWidth);
  }
}

#endif  // QAV_FRACTAL_X86

}  // namespace

ShrinkRowsKernel ShrinkRowsKernelFor(FractalKernelLevel level) {
  switch (ResolveFractalKernelLevel(level)) {
#ifdef QAV_FRACTAL_X86
    case FractalKernelLevel::Avx2:
      return &ShrinkRowsAvx2;
    case FractalKernelLevel::Sse2:
      return &ShrinkRowsSse2;
#endif
    default:
      return &ShrinkRowsPortable;
  }
}
