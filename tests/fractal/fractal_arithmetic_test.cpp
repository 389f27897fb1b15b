// The byte arithmetic and the transform table both decoders are built on.
#include <gtest/gtest.h>

#include "fractal_decoder.h"
#include "fractal_pixel_ops.h"
#include "fractal_transform.h"

TEST(FractalArithmetic, ClampByteLimitsToByteRange) {
  const int cases[][2] = {{-32768, 0}, {-1, 0},    {0, 0},    {191, 191},
                          {255, 255},  {256, 255}, {318, 255}};
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(ClampByte(value), expected) << value;
}

// The saturating word operations must equal ClampByte(byte + offset) in every byte position,
// for every byte and offset amount, without disturbing the neighbouring bytes.
TEST(FractalArithmetic, OffsetWordsEqualClampedAdditionForEveryByteAndOffset) {
  for (int position = 0; position < 3; ++position) {
    for (int offset = -300; offset <= 300; ++offset) {
      int16_t triple[3] = {0, 0, 0};
      triple[position] = static_cast<int16_t>(offset);
      const OffsetWords words = OffsetWordsFromTriple(triple);
      for (int value = 0; value < 256; ++value) {
        const uint32_t pixel =
            (0x5Au << 8 * ((position + 1) % 3)) | (uint32_t(value) << 8 * position);
        const uint32_t expected = (0x5Au << 8 * ((position + 1) % 3)) |
                                  (uint32_t(ClampByte(value + offset)) << 8 * position);
        ASSERT_EQ(ApplyOffsetWords(pixel, words), expected)
            << position << " " << offset << " " << value;
      }
    }
  }
  const int16_t extremes[3] = {-32768, 32767, 0};
  EXPECT_EQ(ApplyOffsetWords(0x00BFBFBFu, OffsetWordsFromTriple(extremes)), 0x00BFFF00u);
  const int16_t fileLimits[3] = {-128, 127, 0};  // -128 on 0 gives 0, 127 on 191 gives 255
  EXPECT_EQ(ApplyOffsetWords(0x0000BF00u, OffsetWordsFromTriple(fileLimits)), 0x0000FF00u);
}

TEST(FractalArithmetic, ShrinkQuadScalesEachByteByThreeQuartersOfTheMean) {
  // Bytes 10, 20, 30, 41: s = 101, a = 25, v = 18; 255s: a = 255, v = 191; byte 3 dropped.
  EXPECT_EQ(ShrinkQuad(0xFF00FF0Au, 0xFF00FF14u, 0xFF00FF1Eu, 0xFF00FF29u), 0x0000BF12u);
  EXPECT_EQ(ShrinkQuad(0x7F7F7F7Fu, 0x7F7F7F7Fu, 0x7F7F7F7Fu, 0x7F7F7F7Fu), 0x005F5F5Fu);
  EXPECT_EQ(ShrinkQuad(0x00030201u, 0, 0, 0x00000002u), 0u);
}

// Row 0 of a 4 x 4 range block whose domain pixel (r, c) holds 4r + c.
TEST(FractalArithmetic, TransformCodesGiveTheNinePermutations) {
  const int expectedRow0[9][4] = {{0, 1, 2, 3},     {15, 14, 13, 12}, {0, 4, 8, 12},
                                  {12, 13, 14, 15}, {3, 2, 1, 0},     {12, 8, 4, 0},
                                  {3, 7, 11, 15},   {8, 9, 10, 11},   {2, 3, 0, 1}};
  for (int code = 0; code < 9; ++code) {
    for (int column = 0; column < 4; ++column) {
      const BlockPixel source = TransformSource(code, 4, 0, column);
      EXPECT_EQ(4 * source.row + source.column, expectedRow0[code][column]) << code;
    }
  }
}

// The direct decoder's run form must name the same pixels as the per-pixel table.
TEST(FractalArithmetic, RowSourcesFollowTheTransformTable) {
  for (int side : {4, 8, 16, 32}) {
    for (int code = 0; code < 9; ++code) {
      for (int row = 0; row < side; ++row) {
        const RowSource run = RowSourceOf(code, side, row);
        for (int column = 0; column < side; ++column) {
          const int along = ((run.start + run.step * column) % side + side) % side;
          const BlockPixel expected = TransformSource(code, side, row, column);
          const BlockPixel actual =
              run.alongColumn ? BlockPixel{along, run.line} : BlockPixel{run.line, along};
          ASSERT_TRUE(actual.row == expected.row && actual.column == expected.column)
              << side << " " << code << " " << row << " " << column;
        }
      }
    }
  }
}
