// Every QAV sample opens and shows the picture of the bitmap it was made from: exactly for
// the palette methods, closely for the fractal ones.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fractal_encoder.h"
#include "pixel_colours.h"
#include "qav_reader.h"

namespace {

const std::string kSamples = QAV_SAMPLES_DIR;

std::vector<uint32_t> Colours(const TBitmap& bitmap) {
  std::vector<uint32_t> colours(static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetHeight());
  for (int row = 0; row < bitmap.GetHeight(); ++row) {
    ConvertRowToXrgb32(bitmap, row, colours.data() + static_cast<size_t>(row) * bitmap.GetWidth());
  }
  return colours;
}

TEST(QavSamples, OpenAndMatchTheirSourceBitmaps) {
  struct Case {
    const char* qav;
    const char* bmp;
    TBitmapFormat format;
    double minimumPsnr;
  };
  const Case cases[] = {
      {"coffee-rle-8bit.qav", "coffee-8bit.bmp", pf8bit, 0},
      {"chelsea-rle-1bit.qav", "chelsea-1bit.bmp", pf1bit, 0},
      {"coffee-huffman.qav", "coffee-8bit.bmp", pf8bit, 0},
      {"coffee-huffman-packed.qav", "coffee-8bit.bmp", pf8bit, 0},
      {"astronaut-fractal-4px.qav", "astronaut-24bit.bmp", pf24bit, 26.0},
      {"astronaut-fractal-8px.qav", "astronaut-24bit.bmp", pf24bit, 20.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.qav);
    TQAV image;
    const QavStatus status = ReadQAVFileChecked(&image, kSamples + "/" + c.qav);
    ASSERT_TRUE(status.IsOk()) << testing::PrintToString(status);
    TBitmap source;
    source.LoadFromBitmapFile(kSamples + "/" + c.bmp);
    EXPECT_EQ(image.bitmap->GetPixelFormat(), c.format);
    ASSERT_EQ(image.bitmap->GetWidth(), source.GetWidth());
    ASSERT_EQ(image.bitmap->GetHeight(), source.GetHeight());
    const std::vector<uint32_t> shown = Colours(*image.bitmap);
    const std::vector<uint32_t> expected = Colours(source);
    if (c.minimumPsnr == 0) {
      EXPECT_EQ(shown, expected);
    } else {
      const ColourWordImage a{source.GetWidth(), source.GetHeight(), shown};
      const ColourWordImage b{source.GetWidth(), source.GetHeight(), expected};
      EXPECT_GT(ColourPsnr(a, b), c.minimumPsnr);
    }
  }
}

}  // namespace
