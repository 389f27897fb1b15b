// The two decoders must agree bit for bit on every valid input, whatever the kernel level and
// the number of threads.
#include <gtest/gtest.h>

#include "fractal_test_support.h"
#include "fractal_work.h"
#include "parallel_for.h"

namespace {

std::vector<uint32_t> Decode(decltype(&DecodeFractalDirectWith) decode, FractalKernelLevel level,
                             const FractalParameters& p, int iterations) {
  FractalDecodeOptions options;
  options.kernels = level;
  std::vector<uint32_t> output(size_t(p.width) * p.height);
  EXPECT_EQ(decode(options, p.blockSizeCode, p.domainIndices.data(), p.offsets.data(),
                   p.transforms.data(), p.transforms.size(), p.width, p.height, output.data(),
                   iterations),
            QavCode::Ok);
  return output;
}

TEST(FractalCrossCheck, DecodersAgreeOnRandomParametersAtEveryKernelLevelAndThreadCount) {
  std::mt19937 random(2024);
  const FractalKernelLevel levels[] = {FractalKernelLevel::Portable, FractalKernelLevel::Sse2,
                                       FractalKernelLevel::Avx2};
  for (int round = 0; round < 60; ++round) {
    const int code = round % 5 == 4 ? 7 : round % 4;
    const int16_t width = int16_t(1 + random() % 150);
    const int16_t height = int16_t(1 + random() % 150);
    const int iterations = int(random() % 33);
    const FractalParameters p = RandomParameters(random, code, width, height, round % 3 == 0);
    SetParallelThreadCount(1);
    const std::vector<uint32_t> reference =
        Decode(&DecodeFractalDirectWith, FractalKernelLevel::Portable, p, iterations);
    for (unsigned threads : {1u, 2u, 3u}) {
      SetParallelThreadCount(threads);
      for (FractalKernelLevel level : levels) {
        for (auto decode : {&DecodeFractalDirectWith, &DecodeFractalTableDrivenWith}) {
          ASSERT_EQ(Decode(decode, level, p, iterations), reference)
              << "round " << round << " code " << code << " " << width << "x" << height
              << " passes " << iterations << " threads " << threads << " level " << int(level);
        }
      }
    }
  }
  SetParallelThreadCount(0);
}

// Large enough that every step is split across the pool.
TEST(FractalCrossCheck, DecodersAgreeOnAnImageSplitAcrossThreads) {
  std::mt19937 random(99);
  for (int code : {0, 3}) {
    const FractalParameters p = RandomParameters(random, code, 700, 515, true);
    SetParallelThreadCount(1);
    const std::vector<uint32_t> reference =
        Decode(&DecodeFractalDirectWith, FractalKernelLevel::Portable, p, 6);
    SetParallelThreadCount(4);
    EXPECT_EQ(Decode(&DecodeFractalTableDrivenWith, FractalKernelLevel::Best, p, 6), reference);
    EXPECT_EQ(Decode(&DecodeFractalDirectWith, FractalKernelLevel::Best, p, 6), reference);
  }
  SetParallelThreadCount(0);
}

}  // namespace
