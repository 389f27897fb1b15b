#pragma once
// The map step's pixel loops, in a portable and an SSE2 form with the same interface, so each
// decoder's block loop is written once as a template over them. Every form gives, per colour
// byte, ClampByte(domain byte + offset) with byte 3 zero (domain pixels have byte 3 zero).

#include <cstddef>
#include <cstdint>

#include "fractal_kernel_level.h"
#include "fractal_pixel_ops.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define QAV_FRACTAL_MAP_SSE2 1
#endif

struct PortableMapOps {
  // target[i] = source[i], offset, for i < count.
  static void Forward(uint32_t* target, const uint32_t* source, size_t count, OffsetWords offset) {
    for (size_t i = 0; i < count; ++i)
      target[i] = ApplyOffsetWords(source[i], offset);
  }
  // target[i] = source[-i], offset.
  static void Reversed(uint32_t* target, const uint32_t* source, size_t count, OffsetWords offset) {
    for (size_t i = 0; i < count; ++i)
      target[i] = ApplyOffsetWords(*(source - i), offset);
  }
  // target[i] = base[indices[i * indexStep]], offset.
  static void Gather(uint32_t* target, const uint32_t* base, const uint32_t* indices,
                     ptrdiff_t indexStep, size_t count, OffsetWords offset) {
    for (size_t i = 0; i < count; ++i, indices += indexStep) {
      target[i] = ApplyOffsetWords(base[*indices], offset);
    }
  }
};

#ifdef QAV_FRACTAL_MAP_SSE2
struct Sse2MapOps {
  static __m128i Apply(__m128i pixels, __m128i raise, __m128i lower) {
    return _mm_subs_epu8(_mm_adds_epu8(pixels, raise), lower);
  }
  static __m128i Load(const uint32_t* source) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
  }
  static void Store(uint32_t* target, __m128i pixels) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), pixels);
  }

  static void Forward(uint32_t* target, const uint32_t* source, size_t count, OffsetWords offset) {
    const __m128i raise = _mm_set1_epi32(static_cast<int>(offset.raise));
    const __m128i lower = _mm_set1_epi32(static_cast<int>(offset.lower));
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
      Store(target + i, Apply(Load(source + i), raise, lower));
    PortableMapOps::Forward(target + i, source + i, count - i, offset);
  }
  static void Reversed(uint32_t* target, const uint32_t* source, size_t count, OffsetWords offset) {
    const __m128i raise = _mm_set1_epi32(static_cast<int>(offset.raise));
    const __m128i lower = _mm_set1_epi32(static_cast<int>(offset.lower));
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
      const __m128i backwards = Load(source - i - 3);
      Store(target + i, Apply(_mm_shuffle_epi32(backwards, _MM_SHUFFLE(0, 1, 2, 3)), raise, lower));
    }
    PortableMapOps::Reversed(target + i, source - i, count - i, offset);
  }
  static void Gather(uint32_t* target, const uint32_t* base, const uint32_t* indices,
                     ptrdiff_t indexStep, size_t count, OffsetWords offset) {
    const __m128i raise = _mm_set1_epi32(static_cast<int>(offset.raise));
    const __m128i lower = _mm_set1_epi32(static_cast<int>(offset.lower));
    size_t i = 0;
    for (; i + 4 <= count; i += 4, indices += 4 * indexStep) {
      const __m128i pixels = _mm_setr_epi32(static_cast<int>(base[indices[0]]),
                                            static_cast<int>(base[indices[indexStep]]),
                                            static_cast<int>(base[indices[2 * indexStep]]),
                                            static_cast<int>(base[indices[3 * indexStep]]));
      Store(target + i, Apply(pixels, raise, lower));
    }
    PortableMapOps::Gather(target + i, base, indices, indexStep, count - i, offset);
  }
};
#endif

// Calls body with the map operations of a resolved kernel level (an object of PortableMapOps
// or Sse2MapOps), so a decoder's template loop is instantiated once per form.
template <typename Body>
void WithMapOps(FractalKernelLevel resolvedLevel, Body&& body) {
#ifdef QAV_FRACTAL_MAP_SSE2
  if (resolvedLevel != FractalKernelLevel::Portable) {
    body(Sse2MapOps{});
    return;
  }
#endif
  body(PortableMapOps{});
}
