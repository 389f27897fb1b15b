// Files made by the writer and the fractal encoder, read back through ReadQAVFile: every
// storage method and stream method, pixel for pixel, and every truncation refused.

#include <gtest/gtest.h>

#include <cstring>

#include "fractal_encoder.h"
#include "qav_test_support.h"
#include "qav_writer.h"

namespace {

// An 8-bit picture with runs and noise, so that both run kinds and many codes occur.
QavPaletteImage MakePaletteImage(int width, int height, int bits) {
  QavPaletteImage image;
  image.width = width;
  image.height = height;
  const size_t entries = bits == 1 ? 2 : 256;
  for (size_t i = 0; i < entries; ++i) {
    image.palette.push_back(
        {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0});
  }
  const size_t rowBytes = bits == 1 ? (width + 7) / 8 : width;
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (size_t x = 0; x < rowBytes; ++x) {
      noise = noise * 1103515245 + 12345;
      image.rows.push_back(x < rowBytes / 2 ? static_cast<uint8_t>(y * 3)
                                            : static_cast<uint8_t>(noise >> 24));
    }
  }
  return image;
}

// The stored rows of the record's bitmap, bottom row first.
std::vector<uint8_t> StoredRowsOf(const TQAV& image, size_t rowBytes) {
  std::vector<uint8_t> rows;
  for (int stored = 0; stored < image.bitmap->GetHeight(); ++stored) {
    const uint8_t* row = image.bitmap->RowData(image.bitmap->GetHeight() - 1 - stored);
    rows.insert(rows.end(), row, row + rowBytes);
  }
  return rows;
}

void ExpectEveryTruncationRefused(const std::vector<uint8_t>& whole, size_t step) {
  for (size_t length = 0; length < whole.size(); length += step) {
    SCOPED_TRACE(length);
    TQAV image;
    const ReadResult read =
        ReadBytes(image, std::vector<uint8_t>(whole.begin(), whole.begin() + length));
    EXPECT_EQ(read.result, -1);
    ExpectEmptyRecord(image);
  }
}

TEST(QavRoundTrip, PaletteMethods) {
  struct Case {
    const char* name;
    int bits;
    int method;
    bool packed;
    int width;
  };
  const Case cases[] = {
      {"method 0, 8 bits", 8, 0, false, 37},
      {"method 0, 1 bit", 1, 0, false, 45},
      {"method 1 unpacked", 8, 1, false, 37},
      {"method 1 packed", 8, 1, true, 37},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QavPaletteImage source = MakePaletteImage(c.width, 23, c.bits);
    const std::vector<uint8_t> file =
        c.method == 0 ? WriteRunLengthQav(source) : WriteHuffmanQav(source, c.packed);
    if (c.method == 1) {
      EXPECT_EQ(file[22] != 0 || file[23] != 0, c.packed);  // packedSize
    }
    TQAV image;
    const ReadResult read = ReadBytes(image, file);
    ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
    const size_t rowBytes = source.rows.size() / 23;
    EXPECT_EQ(StoredRowsOf(image, rowBytes), source.rows);
    const auto& entries = image.bitmap->GetPalette()->Entries();
    ASSERT_EQ(entries.size(), source.palette.size());
    EXPECT_EQ(entries.back().peBlue, source.palette.back().peBlue);
    ExpectEveryTruncationRefused(file, 7);
  }
}

// A smooth picture with an edge and a bright corner (offsets that clamp).
ColourWordImage MakeColourPicture(int width, int height) {
  ColourWordImage picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t red = x < width / 2 ? 40 + 2 * y : 250;
      const uint32_t green = (x * 255) / width;
      const uint32_t blue = static_cast<uint32_t>(128 + 60 * ((x / 4 + y / 4) % 2));
      picture.words.push_back(blue | (green << 8) | (red << 16));
    }
  }
  return picture;
}

TEST(QavRoundTrip, FractalStreamMethodsGiveTheSameParameters) {
  const ColourWordImage picture = MakeColourPicture(50, 30);
  FractalEncodeOptions options;
  options.blockSizeCode = 0;
  FractalParameters parameters;
  std::string error;
  ASSERT_TRUE(EncodeFractal(picture, options, &parameters, &error)) << error;
  ColourWordImage expected;
  ASSERT_TRUE(DecodeFractalParameters(parameters, 50, 30, 12, &expected));
  EXPECT_GT(ColourPsnr(picture, expected), 21.0);

  for (uint8_t domainMethod = 0; domainMethod <= 2; ++domainMethod) {
    for (uint8_t offsetMethod = 0; offsetMethod <= 2; ++offsetMethod) {
      SCOPED_TRACE(testing::Message() << int{domainMethod} << "/" << int{offsetMethod});
      const std::vector<uint8_t> file =
          WriteFractalQav(50, 30, parameters, {12, domainMethod, offsetMethod});
      TQAV image;
      const ReadResult read = ReadBytes(image, file);
      ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
      const size_t blocks = parameters.transforms.size();
      EXPECT_EQ(
          0, std::memcmp(image.domainIndices.get(), parameters.domainIndices.data(), 2 * blocks));
      EXPECT_EQ(0, std::memcmp(image.transforms.get(), parameters.transforms.data(), blocks));
      // The bitmap holds the decode, bottom row first, blue green red.
      for (int row = 0; row < 30; ++row) {
        const uint8_t* pixels = image.bitmap->RowData(29 - row);
        for (int x = 0; x < 50; ++x) {
          const uint32_t word = expected.words[static_cast<size_t>(row) * 50 + x];
          ASSERT_EQ(pixels[3 * x] | (pixels[3 * x + 1] << 8) | (pixels[3 * x + 2] << 16),
                    static_cast<int>(word & 0xFFFFFF))
              << row << "," << x;
        }
      }
      if (domainMethod == 2 && offsetMethod == 1)
        ExpectEveryTruncationRefused(file, 5);
    }
  }
}

TEST(QavRoundTrip, FractalEncoderFitsEveryBlockSize) {
  const ColourWordImage picture = MakeColourPicture(96, 64);
  for (int code = 0; code <= 3; ++code) {
    SCOPED_TRACE(code);
    FractalEncodeOptions options;
    options.blockSizeCode = code;
    FractalParameters parameters;
    std::string error;
    ASSERT_TRUE(EncodeFractal(picture, options, &parameters, &error)) << error;
    ColourWordImage decoded;
    ASSERT_TRUE(DecodeFractalParameters(parameters, 96, 64, 16, &decoded));
    // Larger blocks fit worse; all stay far above the flat grey start (about 10 dB).
    EXPECT_GT(ColourPsnr(picture, decoded), code < 2 ? 21.0 : 16.0);
  }
}

}  // namespace
