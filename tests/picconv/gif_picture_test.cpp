// The picture of crafted GIF files, each showing one behaviour, against the picture drawn by
// hand as rows of letters (K black, R red, G green, B blue, Y yellow, W white).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "gif_crafting.h"
#include "gif_decoder.h"
#include "gif_fixtures.h"
#include "gif_rows.h"
#include "gif_sentences.h"

namespace {

GifRgb ColourOfLetter(char letter) {
  static const std::map<char, GifRgb> colours = {{'K', kBlack}, {'R', kRed},    {'G', kGreen},
                                                 {'B', kBlue},  {'Y', kYellow}, {'W', kWhite}};
  return colours.at(letter);
}

// Compares every pixel with the rows of letters; reports the first few differences.
void ExpectPicture(const ComposedGif& picture, const std::vector<std::string>& rows) {
  ASSERT_EQ(picture.height, static_cast<int>(rows.size()));
  ASSERT_EQ(picture.width, static_cast<int>(rows.at(0).size()));
  int differences = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const GifRgb expected = ColourOfLetter(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
      const GifRgb actual = picture.PixelAt(x, y);
      if (!(actual == expected) && ++differences <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << int{actual.red} << ","
                      << int{actual.green} << "," << int{actual.blue} << ", expected "
                      << rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

struct PictureCase {
  const char* name;
  std::vector<uint8_t> file;
  std::vector<std::string> expected;
};

void PrintTo(const PictureCase& c, std::ostream* out) {
  *out << c.name;
}

const std::vector<GifRgb> kKrgb = {kBlack, kRed, kGreen, kBlue};

// A w x h image at (left, top) whose pixels are the given values, written as literals.
CraftedImage Literals(int left, int top, int w, int h, std::vector<uint8_t> pixels,
                      int minCodeSize = 2) {
  CraftedImage image;
  image.left = left;
  image.top = top;
  image.width = w;
  image.height = h;
  image.minCodeSize = minCodeSize;
  image.codes = LiteralCodes(pixels, minCodeSize);
  return image;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> file, size_t size) {
  file.resize(size);
  return file;
}

CraftedImage WithTable(CraftedImage image, std::vector<GifRgb> table) {
  image.localTable = std::move(table);
  return image;
}

std::vector<PictureCase> CompositionCases() {
  return {
      {"tiles_with_their_own_tables",
       CraftedGif(4, 2, {kBlack, kWhite})
           .Image(WithTable(Literals(0, 0, 2, 2, {0, 1, 1, 0}), {kRed, kGreen}))
           .Image(WithTable(Literals(2, 0, 2, 2, {0, 0, 1, 1}), {kBlue, kYellow}))
           .Trailer()
           .File(),
       {"RGBB", "GRYY"}},
      {"transparent_pixels_keep_what_is_below",
       CraftedGif(3, 1, kKrgb)
           .Image(Literals(0, 0, 3, 1, {1, 1, 1}))
           .Control(0, 0, 2)
           .Image(Literals(0, 0, 3, 1, {2, 3, 2}))
           .Trailer()
           .File(),
       {"RBR"}},
      {"values_outside_the_table_keep_what_is_below",
       CraftedGif(3, 1, kKrgb)
           .Image(Literals(0, 0, 3, 1, {1, 1, 1}))
           .Image(WithTable(Literals(0, 0, 3, 1, {3, 0, 1}), {kYellow, kGreen}))
           .Trailer()
           .File(),
       {"RYG"}},
      {"restore_to_background_clears_the_area",
       CraftedGif(3, 1, kKrgb, 3)
           .Image(Literals(0, 0, 3, 1, {1, 1, 1}))
           .Control(2, 0)
           .Image(Literals(1, 0, 2, 1, {2, 2}))
           .Image(Literals(0, 0, 1, 1, {2}))
           .Trailer()
           .File(),
       {"GBB"}},
      {"restore_to_previous_puts_back_the_screen",
       CraftedGif(3, 1, kKrgb)
           .Image(Literals(0, 0, 3, 1, {1, 1, 1}))
           .Control(3, 0)
           .Image(Literals(1, 0, 2, 1, {2, 2}))
           .Image(Literals(0, 0, 1, 1, {3}))
           .Trailer()
           .File(),
       {"BRR"}},
      {"keep_leaves_the_image",
       CraftedGif(3, 1, kKrgb)
           .Control(1, 0)
           .Image(Literals(0, 0, 3, 1, {1, 2, 1}))
           .Image(Literals(2, 0, 1, 1, {3}))
           .Trailer()
           .File(),
       {"RGB"}},
      // The picture ends with the first image that has a delay; its own disposal is not done
      // and the image after it is not drawn.
      {"the_first_image_with_a_delay_ends_the_picture",
       CraftedGif(2, 1, kKrgb)
           .Image(Literals(0, 0, 2, 1, {1, 1}))
           .Control(2, 10)
           .Image(Literals(1, 0, 1, 1, {2}))
           .Image(Literals(0, 0, 2, 1, {3, 3}))
           .Trailer()
           .File(),
       {"RG"}},
      {"images_clipped_at_the_screen_edge",
       CraftedGif(2, 2, kKrgb).Image(Literals(1, 1, 2, 2, {1, 2, 3, 3})).Trailer().File(),
       {"KK", "KR"}},
      {"interlaced_rows_in_their_places",
       CraftedGif(1, 5, kKrgb)
           .Image([] {
             CraftedImage image = Literals(0, 0, 1, 5, {1, 2, 3, 0, 1});  // rows 0, 4, 2, 1, 3
             image.interlaced = true;
             return image;
           }())
           .Trailer()
           .File(),
       {"R", "K", "B", "R", "G"}},
      {"no_image_shows_the_empty_screen",
       CraftedGif(3, 2, {kRed, kGreen}, 1).Trailer().File(),
       {"GGG", "GGG"}},
      {"images_of_no_pixels_show_the_empty_screen",
       CraftedGif(2, 1, {kRed, kGreen}, 0)
           .Image(Literals(0, 0, 0, 5, {}))
           .Image(Literals(0, 0, 3, 0, {}))
           .Trailer()
           .File(),
       {"RR"}},
      {"no_global_table_means_a_black_background",
       CraftedGif(3, 1, {})
           .Image(WithTable(Literals(1, 0, 1, 1, {0}), {kWhite, kRed}))
           .Trailer()
           .File(),
       {"KWK"}},
      {"a_screen_of_no_pixels_takes_the_first_image",
       CraftedGif(0, 0, kKrgb).Image(Literals(1, 0, 2, 1, {2, 3})).Trailer().File(),
       {"KGB"}},
  };
}

// Codes that use the table: 1, 2, then "12" (the first entry), then the entry being defined
// ("121"), then the literal 3: the pixels 1 2 1 2 1 2 1 3.
std::vector<uint32_t> TableCodes(int minCodeSize) {
  const uint32_t firstEntry = EndCode(minCodeSize) + 1;
  return {ClearCode(minCodeSize), 1, 2, firstEntry, firstEntry + 2, 3, EndCode(minCodeSize)};
}

CraftedImage TableCodesImage(int minCodeSize) {
  CraftedImage image;
  image.width = 4;
  image.height = 2;
  image.minCodeSize = minCodeSize;
  image.codes = TableCodes(minCodeSize);
  return image;
}

std::vector<PictureCase> CodeSizeCases() {
  std::vector<PictureCase> cases;
  static const char* const kNames[] = {"code_size_2", "code_size_8", "code_size_9", "code_size_10",
                                       "code_size_11"};
  const int sizes[] = {2, 8, 9, 10, 11};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    cases.push_back({kNames[i],
                     CraftedGif(4, 2, kKrgb).Image(TableCodesImage(sizes[i])).Trailer().File(),
                     {"RGRG", "RGRB"}});
  }
  // Literals above 255 keep their low byte: 256 + 2 draws value 2.
  CraftedImage wide = Literals(0, 0, 2, 1, {}, 9);
  wide.codes = {ClearCode(9), 258, 1, EndCode(9)};
  cases.push_back({"literal_above_255_keeps_its_low_byte",
                   CraftedGif(2, 1, kKrgb).Image(wide).Trailer().File(),
                   {"GR"}});
  return cases;
}

// Damage after at least one complete row: what was decoded shows, the rest is uncovered.
std::vector<PictureCase> DamagedCases() {
  const std::vector<uint8_t> pixels = {1, 2, 3, 3, 2, 1};
  CraftedImage noEndCode = Literals(0, 0, 3, 2, pixels);
  noEndCode.codes = LiteralCodes(pixels, 2, false);
  CraftedImage missingPixels = Literals(0, 0, 3, 2, {1, 2, 3, 3});
  CraftedImage extraPixels = Literals(0, 0, 3, 2, {1, 2, 3, 3, 2, 1, 1, 1, 1});
  CraftedImage pastTheTable = Literals(0, 0, 3, 2, {});
  pastTheTable.codes = {ClearCode(2), 1, 2, 3, 10, 3, EndCode(2)};  // the table ends at 8
  // Six literals take three bytes; the file ends after two, which hold four of them.
  CraftedImage cutInData = Literals(0, 0, 3, 2, pixels);
  cutInData.codes = LiteralCodes(pixels, 2, false);
  cutInData.dataTerminator = false;
  const std::vector<uint8_t> withCutData = CraftedGif(3, 2, kKrgb).Image(cutInData).File();
  // After a bad image, the images after it are still drawn.
  CraftedImage empty = Literals(0, 0, 3, 1, {});
  empty.codes = {ClearCode(2), EndCode(2)};
  const CraftedGif screen(3, 2, kKrgb);
  // With a full table every value is drawn as it is, and rows as wide as the screen are
  // decoded in place: pixels past the damage must still keep what was there.
  std::vector<GifRgb> fullTable(256, kWhite);
  std::copy(kKrgb.begin(), kKrgb.end(), fullTable.begin());
  const CraftedGif fullScreen(3, 2, fullTable);
  // 1, 2, 3, then the entry "12": five pixels, the last two copied from earlier output.
  CraftedImage copiedThenCut = Literals(0, 0, 3, 2, {});
  copiedThenCut.codes = {ClearCode(2), 1, 2, 3, EndCode(2) + 1, EndCode(2)};
  return {
      {"missing_pixels_with_a_full_table",
       CraftedGif(fullScreen).Image(copiedThenCut).Trailer().File(),
       {"RGB", "RGK"}},
      {"missing_pixels_over_an_earlier_image",
       CraftedGif(fullScreen)
           .Image(Literals(0, 0, 3, 2, {2, 2, 2, 2, 2, 2}))
           .Image(copiedThenCut)
           .Trailer()
           .File(),
       {"RGB", "RGG"}},
      {"missing_end_code", CraftedGif(screen).Image(noEndCode).Trailer().File(), {"RGB", "BGR"}},
      {"missing_pixels", CraftedGif(screen).Image(missingPixels).Trailer().File(), {"RGB", "BKK"}},
      {"extra_pixels", CraftedGif(screen).Image(extraPixels).Trailer().File(), {"RGB", "BGR"}},
      {"missing_trailer",
       CraftedGif(screen).Image(Literals(0, 0, 3, 2, pixels)).File(),
       {"RGB", "BGR"}},
      {"code_past_the_table",
       CraftedGif(screen).Image(pastTheTable).Trailer().File(),
       {"RGB", "KKK"}},
      {"file_cut_inside_the_pixel_data", Cut(withCutData, withCutData.size() - 1), {"RGB", "BKK"}},
      {"empty_image_after_a_good_one",
       CraftedGif(screen).Image(Literals(0, 0, 3, 1, {2, 2, 2})).Image(empty).Trailer().File(),
       {"GGG", "KKK"}},
      {"unknown_block_taken_as_the_end",
       CraftedGif(screen).Image(Literals(0, 0, 3, 2, pixels)).Bytes({0x99, 0x2C, 1}).File(),
       {"RGB", "BGR"}},
  };
}

class GifPicture : public testing::TestWithParam<PictureCase> {};

TEST_P(GifPicture, MatchesThePictureDrawnByHand) {
  const PictureCase& c = GetParam();
  ExpectPicture(DecodeGifPicture(c.file.data(), c.file.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Composition, GifPicture, testing::ValuesIn(CompositionCases()),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(LzwCodeSizes, GifPicture, testing::ValuesIn(CodeSizeCases()),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(DamagedFiles, GifPicture, testing::ValuesIn(DamagedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  std::vector<uint8_t> file;
  GifDecodeStatus status;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<RefusalCase> RefusalCases() {
  CraftedImage badFirstCode = Literals(0, 0, 3, 1, {});
  badFirstCode.codes = {ClearCode(2), 1, 7, EndCode(2)};
  CraftedImage codeSize12 = TableCodesImage(11);
  codeSize12.minCodeSize = 12;
  CraftedImage codeSize0 = TableCodesImage(2);
  codeSize0.minCodeSize = 0;
  const std::vector<uint8_t> cutDescriptor =
      CraftedGif(3, 1, kKrgb).Bytes({0x2C, 0, 0, 0, 0, 3}).File();
  // Written by giflib's encoder, then cut inside the global colour table.
  const std::vector<uint8_t> encoded =
      EncodeGif({64, 64, DistinctColours(256, 1), 0, {PatternFrame(0, 0, 64, 64, 256, 0)}});
  const std::string text = "this is plain text, not a picture";
  // A screen descriptor of 65535 x 65535 pixels without a global table, then an image.
  const std::vector<uint8_t> hugeScreen = {'G',  'I',  'F',  '8',  '9',  'a',  0xFF, 0xFF, 0xFF,
                                           0xFF, 0x00, 0x00, 0x00, 0x2C, 0,    0,    0,    0,
                                           1,    0,    1,    0,    0x80, 0,    0,    0,    0,
                                           0,    0,    0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
  return {
      {"encoded_then_cut", Cut(encoded, 100), GifDecodeStatus::kTruncated},
      {"plain_text", {text.begin(), text.end()}, GifDecodeStatus::kNotGif},
      {"huge_screen_then_an_image", hugeScreen, GifDecodeStatus::kScreenTooLarge},
      {"row_not_complete", CraftedGif(3, 1, kKrgb).Image(Literals(0, 0, 3, 1, {1, 2})).File(),
       GifDecodeStatus::kNoPixelRow},
      {"bad_code_in_the_first_row", CraftedGif(3, 1, kKrgb).Image(badFirstCode).File(),
       GifDecodeStatus::kBadLzwCode},
      {"code_size_12", CraftedGif(4, 2, kKrgb).Image(codeSize12).File(),
       GifDecodeStatus::kBadLzwCodeSize},
      {"code_size_0", CraftedGif(4, 2, kKrgb).Image(codeSize0).File(),
       GifDecodeStatus::kBadLzwCodeSize},
      {"no_colour_table", CraftedGif(3, 1, {}).Image(Literals(0, 0, 3, 1, {0, 0, 0})).File(),
       GifDecodeStatus::kNoColourTable},
      {"cut_inside_an_image_descriptor", cutDescriptor, GifDecodeStatus::kTruncated},
      {"cut_inside_the_global_table", Cut(CraftedGif(3, 1, kKrgb).File(), 20),
       GifDecodeStatus::kTruncated},
      {"cut_before_the_first_image", CraftedGif(3, 1, kKrgb).Control(0, 0).File(),
       GifDecodeStatus::kTruncated},
      {"nothing_to_show", CraftedGif(0, 0, kKrgb).Trailer().File(),
       GifDecodeStatus::kNothingToShow},
      {"empty_file", {}, GifDecodeStatus::kNotGif},
      {"not_a_gif", {'G', 'I', 'F', '9', '0', 'a', 1, 0, 1, 0}, GifDecodeStatus::kNotGif},
      // A 1 x 1 screen with one 65535 x 65535 image: refused before any pixel is decoded.
      {"image_over_the_pixel_bound",
       CraftedGif(1, 1, kKrgb).Image(Literals(0, 0, 65535, 65535, {1})).File(),
       GifDecodeStatus::kImageTooLarge},
      {"screen_over_the_pixel_bound", CraftedGif(65535, 65535, kKrgb).Trailer().File(),
       GifDecodeStatus::kScreenTooLarge},
  };
}

class GifRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(GifRefusal, RaisesItsStatus) {
  const RefusalCase& c = GetParam();
  try {
    DecodeGifPicture(c.file.data(), c.file.size());
    FAIL() << "decoded";
  } catch (const GifDecodeError& error) {
    EXPECT_EQ(error.Status(), c.status);
  }
}

INSTANTIATE_TEST_SUITE_P(BadFiles, GifRefusal, testing::ValuesIn(RefusalCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Sides up to 65535 show when the area stays within the pixel bound.
TEST(GifLargeSides, ARowAndAColumnOf65535Pixels) {
  std::vector<uint8_t> pattern(65535);
  for (size_t i = 0; i < pattern.size(); ++i) {
    pattern[i] = static_cast<uint8_t>(1 + i % 3);
  }
  for (const bool row : {true, false}) {
    const int w = row ? 65535 : 1;
    const int h = row ? 1 : 65535;
    const std::vector<uint8_t> file =
        CraftedGif(w, h, kKrgb).Image(Literals(0, 0, w, h, pattern)).Trailer().File();
    const ComposedGif picture = DecodeGifPicture(file.data(), file.size());
    ASSERT_EQ(picture.width, w);
    ASSERT_EQ(picture.height, h);
    for (int i = 0; i < 65535; i += 1) {
      const GifRgb expected = kKrgb[static_cast<size_t>(1 + i % 3)];
      ASSERT_EQ(row ? picture.PixelAt(i, 0) : picture.PixelAt(0, i), expected) << i;
    }
  }
}

// Only the rows that show are decoded: a 4000 x 3000 image on a 2 x 1 screen decodes its
// first row, though its data holds two.
TEST(GifWorkBound, DecodingStopsWhenEveryVisiblePixelIsFinal) {
  std::vector<uint8_t> twoRows(8000);
  for (size_t i = 0; i < twoRows.size(); ++i) {
    twoRows[i] = static_cast<uint8_t>(i < 4000 ? 1 + i % 2 : 3);
  }
  const std::vector<uint8_t> file =
      CraftedGif(2, 1, kKrgb).Image(Literals(0, 0, 4000, 3000, twoRows)).Trailer().File();
  const ComposedGif picture = DecodeGifPicture(file.data(), file.size());
  ExpectPicture(picture, {"RG"});
  EXPECT_EQ(picture.decodedPixels, 4000u);

  // Interlaced, rows 0 and 1 show; row 1 is the 9th row stored (the passes store rows
  // 0, 8, 4, 12, 2, 6, 10, 14, 1, ...).
  std::vector<uint8_t> sixteenRows(8 * 16, 3);
  for (size_t i = 0; i < 8; ++i) {
    sixteenRows[i] = 1;
    sixteenRows[8 * 8 + i] = 2;
  }
  CraftedImage interlaced = Literals(0, 0, 8, 16, sixteenRows);
  interlaced.interlaced = true;
  const std::vector<uint8_t> interlacedFile =
      CraftedGif(1, 2, kKrgb).Image(interlaced).Trailer().File();
  const ComposedGif interlacedPicture =
      DecodeGifPicture(interlacedFile.data(), interlacedFile.size());
  ExpectPicture(interlacedPicture, {"R", "G"});
  EXPECT_EQ(interlacedPicture.decodedPixels, 72u);
}

// A stream of clear codes decodes like any other: the row after a million of them shows.
TEST(GifWorkBound, AFloodOfClearCodesIsPassedOver) {
  std::vector<uint32_t> codes(1'000'000, ClearCode(2));
  codes.insert(codes.end(), {1, 2, 3, EndCode(2)});
  CraftedImage flood = Literals(0, 0, 3, 1, {});
  flood.codes = codes;
  const std::vector<uint8_t> file = CraftedGif(3, 1, kKrgb).Image(flood).Trailer().File();
  ExpectPicture(DecodeGifPicture(file.data(), file.size()), {"RGB"});
}

}  // namespace

namespace {

// The one place where the words are checked: whole sentences, in the file's terms.
TEST(GifRefusalSentence, SaysWhatIsWrongInWholeSentences) {
  const struct {
    GifDecodeError error;
    const char* sentence;
  } cases[] = {
      {{GifDecodeStatus::kNotGif, 0, 40, 0}, "The file is not a GIF file."},
      {{GifDecodeStatus::kNotGif, 0, 0, 0}, "The file is empty, so it is not a GIF file."},
      {{GifDecodeStatus::kTruncated, 2, static_cast<int64_t>(GifPlace::kLocalTable), 0},
       "The file is cut short: it ends inside the colour table of image 2."},
      {{GifDecodeStatus::kTruncated, 1, static_cast<int64_t>(GifPlace::kBeforeFirstImage), 0},
       "The file is cut short: it ends before its first image."},
      {{GifDecodeStatus::kBadLzwCodeSize, 1, 12, 0},
       "The file is damaged: image 1 declares an LZW minimum code size of 12, but only sizes "
       "from 1 to 11 are valid."},
      {{GifDecodeStatus::kNoPixelRow, 1, 0, 0},
       "The file is damaged: the pixel data of image 1 ends before its first row is complete."},
      {{GifDecodeStatus::kImageTooLarge, 1, 65535, 65535},
       "The picture is too large: image 1 has 65535 x 65535 pixels, more than the 67108864 "
       "pixels this converter shows."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GifRefusalSentence(c.error), c.sentence);
  }
}

}  // namespace

namespace {

// The stored rows an image needs for its top rows, worked out without a table, against the
// table of the stored order.
TEST(GifStoredRows, TheRowsNeededForTheTopRowsMatchTheStoredOrder) {
  for (const bool interlaced : {false, true}) {
    for (int height = 1; height <= 40; ++height) {
      const std::vector<int> order = GifStoredRowOrder(height, interlaced);
      for (int visible = 1; visible <= height; ++visible) {
        int needed = 0;
        for (int stored = 0; stored < height; ++stored) {
          if (order[static_cast<size_t>(stored)] < visible) {
            needed = stored + 1;
          }
        }
        EXPECT_EQ(GifStoredRowsCovering(height, interlaced, visible), needed)
            << height << " rows, " << visible << " visible, interlaced " << interlaced;
      }
    }
  }
}

// Past the bound on pixel work the images left are not drawn: each 4 x 1 image here costs 16
// (4 decoded, 4 x 3 for drawing and disposal), so a bound of 40 takes two of them.
TEST(GifWorkBound, ImagesPastThePixelWorkAreNotDrawn) {
  CraftedGif file(4, 1, kKrgb);
  for (uint8_t value : {1, 2, 3}) {
    file.Image(Literals(0, 0, 4, 1, {value, value, value, value}));
  }
  const std::vector<uint8_t> bytes = file.Trailer().File();
  GifDecodeLimits limits;
  limits.maxPixelWork = 40;
  ExpectPicture(DecodeGifPicture(bytes.data(), bytes.size(), limits), {"GGGG"});
  limits.maxPixelWork = 48;
  ExpectPicture(DecodeGifPicture(bytes.data(), bytes.size(), limits), {"BBBB"});
}

}  // namespace
