#include "fractal_kernel_level.h"

namespace {

FractalKernelLevel WidestSupportedLevel() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  return hasAvx2 ? FractalKernelLevel::Avx2 : FractalKernelLevel::Sse2;
#else
  return FractalKernelLevel::Portable;
#endif
}

}  // namespace

FractalKernelLevel ResolveFractalKernelLevel(FractalKernelLevel requested) {
  const FractalKernelLevel widest = WidestSupportedLevel();
  if (requested == FractalKernelLevel::Best)
    return widest;
  return static_cast<int>(requested) < static_cast<int>(widest) ? requested : widest;
}
