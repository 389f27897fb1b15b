// Both decoders through their public entry points: the grey start, geometry, the input checks
// and allocation failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fractal_decoder.h"
#include "fractal_test_support.h"
#include "fractal_work.h"

namespace {

using DecodeFunction = QavStatus (*)(int, const uint16_t*, const int16_t*, const uint8_t*, size_t,
                                     int16_t, int16_t, uint32_t*, int);

class BothDecoders : public ::testing::TestWithParam<DecodeFunction> {
 protected:
  QavStatus Decode(const FractalParameters& p, std::vector<uint32_t>& output, int iterations) {
    return GetParam()(p.blockSizeCode, p.domainIndices.data(), p.offsets.data(),
                      p.transforms.data(), p.transforms.size(), p.width, p.height, output.data(),
                      iterations);
  }
};

uint32_t Grey(int value) {
  return uint32_t(value) * 0x010101u;
}

TEST_P(BothDecoders, GreyStartConvergesThroughTheKnownValues) {
  const int withoutOffset[] = {127, 95, 71, 53, 39, 29, 21, 15, 11};
  const FractalParameters flat = UniformParameters(0, 20, 12, 0, 5);
  for (int pass = 0; pass <= 8; ++pass) {
    std::vector<uint32_t> output(20 * 12);
    ASSERT_EQ(Decode(flat, output, pass), QavCode::Ok);
    const uint32_t expected = pass == 0 ? 0x7F7F7F7Fu : Grey(withoutOffset[pass]);
    for (uint32_t word : output)
      ASSERT_EQ(word, expected) << "pass " << pass;
  }
  // v * 3 / 4 + 64 from 127 reaches its fixed point 253 at pass 15.
  const int withOffset64[] = {159, 183, 201, 214, 224, 232, 238, 242,
                              245, 247, 249, 250, 251, 252, 253};
  const FractalParameters raised = UniformParameters(1, 40, 17, 64, 8);
  for (int pass = 1; pass <= 20; ++pass) {
    std::vector<uint32_t> output(40 * 17);
    ASSERT_EQ(Decode(raised, output, pass), QavCode::Ok);
    const uint32_t expected = Grey(withOffset64[std::min(pass, 15) - 1]);
    for (uint32_t word : output)
      ASSERT_EQ(word, expected) << "pass " << pass;
  }
}

TEST_P(BothDecoders, BlocksWithCodesAboveEightKeepTheirPixels) {
  FractalParameters p = UniformParameters(0, 16, 16, 0, 0);
  p.transforms[5] = 9;  // block 5: rows 4-7, columns 4-7
  p.transforms[0] = 255;
  std::vector<uint32_t> output(16 * 16);
  ASSERT_EQ(Decode(p, output, 3), QavCode::Ok);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool kept = (y < 4 && x < 4) || (y >= 4 && y < 8 && x >= 4 && x < 8);
      // A mapped pixel has byte 3 clear; a kept one still has the grey start's 127 there.
      ASSERT_EQ(output[y * 16 + x] >> 24, kept ? 127u : 0u) << y << " " << x;
      if (kept) {
        ASSERT_EQ(output[y * 16 + x], 0x7F7F7F7Fu);
      }
    }
  }
}

// Only rows 0..height-1, columns 0..width-1 of the working image are written, and nothing more.
TEST_P(BothDecoders, CopiesOutOnlyTheImageWithoutItsPadding) {
  std::mt19937 random(7);
  for (auto [code, width, height] : {std::tuple{0, 1, 1}, {2, 33, 17}, {1, 100, 75}, {2, 64, 3}}) {
    FractalParameters p = RandomParameters(random, code, int16_t(width), int16_t(height), false);
    std::vector<uint32_t> output(size_t(width) * height + 8, 0xDEADBEEFu);
    ASSERT_EQ(Decode(p, output, 4), QavCode::Ok);
    for (size_t i = size_t(width) * height; i < output.size(); ++i)
      ASSERT_EQ(output[i], 0xDEADBEEFu);
    for (size_t i = 0; i < size_t(width) * height; ++i)
      ASSERT_EQ(output[i] >> 24, 0u);
  }
}

TEST_P(BothDecoders, RejectsInputsOutsideTheLimitsWithoutWriting) {
  const FractalParameters good = UniformParameters(0, 16, 8, 0);  // N = 8, 2 domain blocks
  FractalParameters badIndex = good;
  badIndex.domainIndices[7] = 2;
  struct Case {
    const FractalParameters& parameters;
    size_t blockCount;
    int16_t width, height;
    int iterations;
    QavCode expected;
  } cases[] = {
      {good, 8, 0, 8, 1, QavCode::BadFractalSize},
      {good, 8, 16, -3, 1, QavCode::BadFractalSize},
      {good, 8, 32767, 8, 1, QavCode::BadFractalSize},  // pads to 32768
      {good, 8, 16, 8, -1, QavCode::BadIterations},
      {good, 7, 16, 8, 1, QavCode::ShortArrays},
      {good, 8, 16, 9, 1, QavCode::ShortArrays},  // 16 x 16 needs 16 blocks
      {badIndex, 8, 16, 8, 1, QavCode::BadDomainIndex},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> output(16 * 16, 1u);
    const FractalParameters& p = c.parameters;
    EXPECT_EQ(
        GetParam()(p.blockSizeCode, p.domainIndices.data(), p.offsets.data(), p.transforms.data(),
                   c.blockCount, c.width, c.height, output.data(), c.iterations),
        c.expected);
    for (uint32_t word : output)
      ASSERT_EQ(word, 1u);
  }
  std::vector<uint32_t> output(16 * 8);
  EXPECT_EQ(GetParam()(0, good.domainIndices.data(), nullptr, good.transforms.data(), 8, 16, 8,
                       output.data(), 1),
            QavCode::ShortArrays);
}

INSTANTIATE_TEST_SUITE_P(Fractal, BothDecoders,
                         ::testing::Values(&DecodeFractalTableDriven, &DecodeFractalDirect));

TEST(FractalGeometry, PadsToTwiceTheBlockSide) {
  struct Case {
    int code, width, height, paddedWidth, paddedHeight;
    size_t blocks;
    int side;
  } cases[] = {
      {0, 1, 1, 8, 8, 4, 4},       {1, 100, 75, 112, 80, 140, 8},
      {2, 33, 17, 64, 32, 8, 16},  {2, 64, 64, 64, 64, 16, 16},
      {7, 8, 8, 8, 8, 4, 4},       {3, 1, 65, 64, 128, 8, 32},
      {-1, 16, 16, 16, 16, 16, 4}, {0, 32760, 8, 32760, 8, 16380, 4},
  };
  for (const Case& c : cases) {
    FractalGeometry geometry;
    ASSERT_EQ(ComputeFractalGeometry(c.code, c.width, c.height, &geometry), QavCode::Ok);
    EXPECT_EQ(geometry.blockSide, c.side);
    EXPECT_EQ(geometry.paddedWidth, c.paddedWidth);
    EXPECT_EQ(geometry.paddedHeight, c.paddedHeight);
    EXPECT_EQ(geometry.rangeBlocks, c.blocks);
    EXPECT_EQ(geometry.domainBlocks, c.blocks / 4);
  }
  FractalGeometry geometry;
  // 2^31 bytes of working image and above are refused: 23176 x 23176 words is just over.
  EXPECT_EQ(ComputeFractalGeometry(0, 23176, 23176, &geometry), QavCode::BadFractalSize);
  EXPECT_EQ(ComputeFractalGeometry(0, 23168, 23168, &geometry), QavCode::Ok);
}

TEST(ReiterateFractal, ReturnsZeroAfterDecodingAndMinusOneOutsideTheLimits) {
  const FractalParameters p = UniformParameters(0, 9, 9, 0);
  std::vector<uint32_t> output(81, 1u);
  EXPECT_EQ(ReiterateFractal(0, p.domainIndices.data(), p.offsets.data(), p.transforms.data(), 9, 9,
                             output.data(), 1),
            0);
  EXPECT_EQ(output[80], Grey(95));
  output.assign(81, 1u);
  EXPECT_EQ(ReiterateFractal(0, p.domainIndices.data(), p.offsets.data(), p.transforms.data(), 9, 0,
                             output.data(), 1),
            -1);
  EXPECT_EQ(ReiterateFractal(0, p.domainIndices.data(), p.offsets.data(), p.transforms.data(), 9, 9,
                             output.data(), -1),
            -1);
  for (uint32_t word : output)
    ASSERT_EQ(word, 1u);
}

// Allocation number failingCall (counting from 0) fails; the others go to malloc.
int failingCall = 0;
int callsSoFar = 0;
void* FailOnCall(size_t bytes) {
  return callsSoFar++ == failingCall ? nullptr : std::malloc(bytes);
}

TEST(FractalMemory, EveryFailedAllocationLeavesTheOutputUntouched) {
  const FractalParameters p = UniformParameters(1, 30, 20, 3);
  FractalDecodeOptions options;
  options.allocate = &FailOnCall;
  for (auto decode : {&DecodeFractalTableDrivenWith, &DecodeFractalDirectWith}) {
    const int allocations = decode == &DecodeFractalTableDrivenWith ? 6 : 4;
    for (failingCall = 0; failingCall <= allocations; ++failingCall) {
      callsSoFar = 0;
      std::vector<uint32_t> output(30 * 20, 1u);
      const QavStatus status =
          decode(options, 1, p.domainIndices.data(), p.offsets.data(), p.transforms.data(),
                 p.transforms.size(), 30, 20, output.data(), 2);
      if (failingCall == allocations) {  // every allocation granted
        EXPECT_EQ(status, QavCode::Ok);
        EXPECT_EQ(output[0], Grey(76));  // 95 + 3, then 98 * 3 / 4 + 3
        continue;
      }
      EXPECT_EQ(status, QavCode::OutOfMemory) << failingCall;
      for (uint32_t word : output)
        ASSERT_EQ(word, 1u);
    }
  }
}

}  // namespace
