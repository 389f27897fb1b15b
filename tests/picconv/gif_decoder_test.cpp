// The decoder against ImageMagick's rendering of the same files.

#include <gtest/gtest.h>

#include "gif_decoder.h"
#include "gif_fixtures.h"

namespace {

enum class Form { kPalette, kTrueColour };

struct ReferenceCase {
  const char* name;
  GifFileLayout layout;
  Form expectedForm;
};

GifFileLayout OneFrame(int w, int h, int colours, GifFrameLayout frame, int background = 0) {
  GifFileLayout layout{w, h, DistinctColours(colours, 1), background, {}};
  layout.frames.push_back(std::move(frame));
  return layout;
}

std::vector<ReferenceCase> ReferenceCases() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"one_pixel", OneFrame(1, 1, 2, PatternFrame(0, 0, 1, 1, 2, 1)), Form::kPalette});
  cases.push_back(
      {"odd_size", OneFrame(37, 19, 16, PatternFrame(0, 0, 37, 19, 16, 0)), Form::kPalette});

  GifFrameLayout interlaced = PatternFrame(0, 0, 13, 29, 32, 5);
  interlaced.interlaced = true;
  cases.push_back({"interlaced", OneFrame(13, 29, 32, interlaced), Form::kPalette});

  // A frame with its own table at an offset: the uncovered border takes the global
  // background colour, which is added to the frame's table.
  GifFrameLayout local = PatternFrame(3, 2, 11, 9, 64, 2);
  local.localTable = DistinctColours(64, 99);
  cases.push_back({"local_table_at_offset", OneFrame(20, 15, 4, local, 1), Form::kPalette});

  GifFrameLayout transparent = PatternFrame(0, 0, 17, 11, 8, 3);
  transparent.transparentIndex = 3;
  cases.push_back({"transparent", OneFrame(17, 11, 8, transparent, 5), Form::kPalette});

  // 256 colours of its own plus a background that is not among them: true colour.
  GifFrameLayout fullTable = PatternFrame(0, 0, 40, 9, 256, 0);
  fullTable.localTable = DistinctColours(256, 42);
  fullTable.transparentIndex = 7;
  cases.push_back(
      {"full_table_and_transparent", OneFrame(40, 9, 2, fullTable, 1), Form::kTrueColour});

  GifFileLayout animated = OneFrame(12, 12, 16, PatternFrame(0, 0, 12, 12, 16, 0));
  animated.frames.push_back(PatternFrame(0, 0, 12, 12, 16, 9));
  animated.frames.push_back(PatternFrame(2, 2, 5, 5, 16, 4));
  // No image has a delay, so the picture is all three composed.
  cases.push_back({"three_images_without_delays", animated, Form::kPalette});
  return cases;
}

// Compares the decoder's picture of gifFile with ImageMagick's frame shownFrame, transparent
// pixels taking the given background colour.
void ExpectSameAsImageMagick(const std::filesystem::path& gifFile, GifRgb background,
                             int shownFrame) {
  const std::vector<uint8_t> gif = ReadBytes(gifFile);
  const ComposedGif picture = DecodeGifPicture(gif.data(), gif.size());
  const std::vector<uint8_t> reference = ImageMagickFrameRgba(gifFile, shownFrame);
  const int w = picture.width;
  ASSERT_EQ(reference.size(), static_cast<size_t>(w) * picture.height * 4)
      << "ImageMagick's rendering";
  int mismatches = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* rgba = &reference[(static_cast<size_t>(y) * w + x) * 4];
      const GifRgb expected = rgba[3] == 0 ? background : GifRgb{rgba[0], rgba[1], rgba[2]};
      const GifRgb actual = picture.PixelAt(x, y);
      if (!(actual == expected) && ++mismatches <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << int{actual.red} << ","
                      << int{actual.green} << "," << int{actual.blue} << " expected "
                      << int{expected.red} << "," << int{expected.green} << ","
                      << int{expected.blue};
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

void PrintTo(const ReferenceCase& c, std::ostream* out) {
  *out << c.name;
}

class DecoderAgainstImageMagick : public testing::TestWithParam<ReferenceCase> {};

TEST_P(DecoderAgainstImageMagick, PixelsMatchWithTransparencyOnTheBackground) {
  const ReferenceCase& c = GetParam();
  ScratchWorkingDirectory scratch;
  const std::vector<uint8_t> gif = EncodeGif(c.layout);
  WriteBytes("case.gif", gif);
  const ComposedGif picture = DecodeGifPicture(gif.data(), gif.size());
  EXPECT_EQ(picture.width, c.layout.screenWidth);
  EXPECT_EQ(picture.height, c.layout.screenHeight);
  EXPECT_EQ(picture.IsPaletted(), c.expectedForm == Form::kPalette);
  ExpectSameAsImageMagick(scratch.Path() / "case.gif",
                          c.layout.globalTable.at(static_cast<size_t>(c.layout.backgroundIndex)),
                          static_cast<int>(c.layout.frames.size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(GifFiles, DecoderAgainstImageMagick, testing::ValuesIn(ReferenceCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The committed samples, written by ImageMagick's own encoder.
class SampleAgainstImageMagick : public testing::TestWithParam<const char*> {};

TEST_P(SampleAgainstImageMagick, PixelsMatch) {
  const std::filesystem::path file = std::filesystem::path(QAV_SAMPLES_DIR) / GetParam();
  // Every image of the animated sample has a delay: the first one is the picture.
  ExpectSameAsImageMagick(file, GifBackgroundColour(ReadBytes(file)), 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleAgainstImageMagick,
                         testing::Values("gradient.gif", "interlaced.gif", "animated.gif",
                                         "transparent.gif"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
