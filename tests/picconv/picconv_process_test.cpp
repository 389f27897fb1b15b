// picconv run as a program in a scratch working directory.

#include <gtest/gtest.h>

#include <filesystem>

#include "bitmap.h"
#include "gif_crafting.h"
#include "gif_decoder.h"
#include "gif_fixtures.h"
#include "process_runner.h"

namespace {

namespace fs = std::filesystem;

GifRgb BitmapPixel(const TBitmap& bitmap, int x, int y) {
  const uint8_t* row = bitmap.RowData(y);
  if (bitmap.GetPixelFormat() == pf8bit) {
    const PALETTEENTRY& entry = bitmap.GetPalette()->Entries().at(row[x]);
    return {entry.peRed, entry.peGreen, entry.peBlue};
  }
  return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
}

struct ConvertedCase {
  const char* name;
  GifFileLayout layout;
  TBitmapFormat expectedFormat;
};

std::vector<ConvertedCase> ConvertedCases() {
  GifFrameLayout transparent = PatternFrame(2, 1, 19, 13, 32, 1);
  transparent.localTable = DistinctColours(32, 5);
  transparent.transparentIndex = 4;
  GifFrameLayout fullTable = PatternFrame(0, 0, 31, 7, 256, 0);
  fullTable.localTable = DistinctColours(256, 8);
  fullTable.transparentIndex = 0;
  return {
      {"palette", {23, 17, DistinctColours(4, 0), 2, {transparent}}, pf8bit},
      {"true_colour", {31, 7, DistinctColours(2, 0), 1, {fullTable}}, pf24bit},
  };
}

void PrintTo(const ConvertedCase& c, std::ostream* out) {
  *out << c.name;
}

class PicconvConverts : public testing::TestWithParam<ConvertedCase> {};

TEST_P(PicconvConverts, WritesTheDecodedPictureAsBitmap) {
  const ConvertedCase& c = GetParam();
  ScratchWorkingDirectory scratch;
  const std::vector<uint8_t> gif = EncodeGif(c.layout);
  WriteBytes("picconv.gif", gif);

  const ProcessOutcome outcome = RunProgramAndWait(PICCONV_PATH);
  ASSERT_TRUE(outcome.Succeeded()) << outcome.standardError;
  EXPECT_EQ(outcome.standardError, "");

  TBitmap bitmap;
  bitmap.LoadFromBitmapFile("picconv.bmp");
  const ComposedGif decoded = DecodeGifPicture(gif.data(), gif.size());
  ASSERT_EQ(bitmap.GetWidth(), decoded.width);
  ASSERT_EQ(bitmap.GetHeight(), decoded.height);
  EXPECT_EQ(bitmap.GetPixelFormat(), c.expectedFormat);
  for (int y = 0; y < decoded.height; ++y) {
    for (int x = 0; x < decoded.width; ++x) {
      ASSERT_EQ(BitmapPixel(bitmap, x, y), decoded.PixelAt(x, y)) << x << ", " << y;
    }
  }
  EXPECT_FALSE(fs::exists("picconv.bmp.part"));
}

// The longest side a GIF can have, as a row: shown and saved.
TEST(PicconvLargeSides, ConvertsARowOf65535Pixels) {
  ScratchWorkingDirectory scratch;
  std::vector<uint8_t> row(65535);
  for (size_t x = 0; x < row.size(); ++x) {
    row[x] = static_cast<uint8_t>(x % 4);
  }
  const std::vector<GifRgb> table = {kBlack, kRed, kGreen, kBlue};
  CraftedImage image;
  image.width = 65535;
  image.height = 1;
  image.codes = LiteralCodes(row, 2);
  WriteBytes("picconv.gif", CraftedGif(65535, 1, table).Image(image).Trailer().File());
  const ProcessOutcome outcome = RunProgramAndWait(PICCONV_PATH);
  ASSERT_TRUE(outcome.Succeeded()) << outcome.standardError;
  TBitmap bitmap;
  bitmap.LoadFromBitmapFile("picconv.bmp");
  ASSERT_EQ(bitmap.GetWidth(), 65535);
  ASSERT_EQ(bitmap.GetHeight(), 1);
  for (int x = 0; x < 65535; ++x) {
    ASSERT_EQ(BitmapPixel(bitmap, x, 0), table[static_cast<size_t>(x % 4)]) << x;
  }
}

INSTANTIATE_TEST_SUITE_P(GifFiles, PicconvConverts, testing::ValuesIn(ConvertedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailingCase {
  const char* name;
  bool writeInput;
  std::vector<uint8_t> input;
};

std::vector<FailingCase> FailingCases() {
  const std::vector<uint8_t> valid =
      EncodeGif({40, 40, DistinctColours(64, 0), 0, {PatternFrame(0, 0, 40, 40, 64, 0)}});
  const std::string text = "GIF? no, just text\n";
  return {
      {"zero_bytes", true, {}},
      {"cut_in_the_colour_table", true, {valid.begin(), valid.begin() + 100}},
      {"not_a_gif", true, {text.begin(), text.end()}},
      {"no_input_file", false, {}},
  };
}

void PrintTo(const FailingCase& c, std::ostream* out) {
  *out << c.name;
}

class PicconvFails : public testing::TestWithParam<FailingCase> {};

TEST_P(PicconvFails, WithOneLineAndNoNewBitmap) {
  const FailingCase& c = GetParam();
  ScratchWorkingDirectory scratch;
  if (c.writeInput) {
    WriteBytes("picconv.gif", c.input);
  }
  for (bool earlierBitmap : {false, true}) {
    const std::vector<uint8_t> earlier = {'B', 'M', 'o', 'l', 'd'};
    if (earlierBitmap) {
      WriteBytes("picconv.bmp", earlier);
    }
    const ProcessOutcome outcome = RunProgramAndWait(PICCONV_PATH);
    ASSERT_TRUE(outcome.started) << outcome.startError;
    EXPECT_TRUE(outcome.exitedNormally);
    EXPECT_NE(outcome.exitStatus, 0);
    const std::string& line = outcome.standardError;
    EXPECT_EQ(line.rfind("picconv: ", 0), 0u) << line;
    EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    // A sentence about the user's file, which the viewer names; not about the hand-over copy.
    EXPECT_EQ(line.find("picconv.gif"), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 2), ".\n") << line;
    if (earlierBitmap) {
      EXPECT_EQ(ReadBytes("picconv.bmp"), earlier);
    } else {
      EXPECT_FALSE(fs::exists("picconv.bmp"));
    }
    EXPECT_FALSE(fs::exists("picconv.bmp.part"));
  }
}

INSTANTIATE_TEST_SUITE_P(BadInput, PicconvFails, testing::ValuesIn(FailingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
