// The public BMP suite: every file of g/, q/, b/ and x/ with what we do with it. Files we show
// are compared with checksums of the suite's reference renderings (pixel-checksums.txt, made by
// bmpsuite_checksums.py from the suite's own folder), then saved and loaded again.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>

#include "bitmap.h"
#include "bitmap_limits.h"
#include "graphic_errors.h"
#include "pixel_colours.h"
#include "suite_checksums.h"

namespace {

enum Outcome {
  kMatches,  // loads and equals the reference rendering
  kLoads,    // loads to a sane picture; no rendering to hold it to
  kRefused,  // EInvalidGraphic
};

struct SuiteFile {
  const char* path;
  Outcome outcome;
};

// Why each questionable and bad file goes the way it goes is said beside it.
const SuiteFile kSuite[] = {
    {"g/pal1.bmp", kMatches},
    {"g/pal1bg.bmp", kMatches},
    {"g/pal1wb.bmp", kMatches},
    {"g/pal4.bmp", kMatches},
    {"g/pal4gs.bmp", kMatches},
    {"g/pal4rle.bmp", kMatches},
    {"g/pal8-0.bmp", kMatches},
    {"g/pal8.bmp", kMatches},
    {"g/pal8gs.bmp", kMatches},
    {"g/pal8nonsquare.bmp", kMatches},  // shown unstretched
    {"g/pal8os2.bmp", kMatches},
    {"g/pal8rle.bmp", kMatches},
    {"g/pal8topdown.bmp", kMatches},
    {"g/pal8v4.bmp", kMatches},
    {"g/pal8v5.bmp", kMatches},
    {"g/pal8w124.bmp", kMatches},
    {"g/pal8w125.bmp", kMatches},
    {"g/pal8w126.bmp", kMatches},
    {"g/rgb16-565.bmp", kMatches},
    {"g/rgb16-565pal.bmp", kMatches},
    {"g/rgb16.bmp", kMatches},
    {"g/rgb16bfdef.bmp", kMatches},
    {"g/rgb24.bmp", kMatches},
    {"g/rgb24pal.bmp", kMatches},
    {"g/rgb32.bmp", kMatches},
    {"g/rgb32bf.bmp", kMatches},
    {"g/rgb32bfdef.bmp", kMatches},

    {"q/pal1huffmsb.bmp", kRefused},  // 64-byte OS/2 header and Huffman coding: not supported
    {"q/pal1p1.bmp", kMatches},       // one-entry table; index 1 shows black
    {"q/pal2.bmp", kMatches},         // 2 bits widened to the 4-bit layout
    {"q/pal2color.bmp", kMatches},
    // Pixels the runs skip get index 0, as the "-0" renderings show them.
    {"q/pal4rlecut.bmp", kMatches},
    {"q/pal4rletrns.bmp", kMatches},
    {"q/pal8offs.bmp", kMatches},    // gap before the pixels: the offset rules
    {"q/pal8os2-hs.bmp", kMatches},  // file-size and hotspot fields are unused
    {"q/pal8os2-sz.bmp", kMatches},
    {"q/pal8os2sp.bmp", kMatches},     // table length from the room before the pixels
    {"q/pal8os2v2-16.bmp", kRefused},  // 16- and 64-byte OS/2 2.x headers are not supported
    {"q/pal8os2v2-40sz.bmp", kMatches},
    {"q/pal8os2v2-sz.bmp", kRefused},
    {"q/pal8os2v2.bmp", kRefused},
    {"q/pal8oversizepal.bmp", kMatches},  // entries beyond 256 are not used
    {"q/pal8rlecut.bmp", kMatches},
    {"q/pal8rletrns.bmp", kMatches},
    {"q/rgb16-231.bmp", kMatches},
    {"q/rgb16-3103.bmp", kMatches},
    {"q/rgb16faketrns.bmp", kMatches},  // the unused bit is not alpha
    {"q/rgb24jpeg.bmp", kRefused},      // embedded JPEG
    {"q/rgb24largepal.bmp", kMatches},
    {"q/rgb24lprof.bmp", kMatches},  // linked profile ignored
    {"q/rgb24png.bmp", kRefused},    // embedded PNG
    {"q/rgb24rle24.bmp", kRefused},  // 64-byte OS/2 header, 24-bit run-length coding
    // 11- and 10-bit fields made from 8-bit colours scale back to within 1 of them.
    {"q/rgb32-111110.bmp", kLoads},
    {"q/rgb32-7187.bmp", kMatches},
    {"q/rgb32-xbgr.bmp", kMatches},
    {"q/rgb32fakealpha.bmp", kMatches},  // the unused byte is not alpha
    {"q/rgb32h52.bmp", kMatches},
    // Alpha masks are read but not used: colours match where the rendering is opaque.
    {"q/rgba16-1924.bmp", kMatches},
    {"q/rgba16-4444.bmp", kMatches},
    {"q/rgba16-5551.bmp", kMatches},
    {"q/rgba32-1.bmp", kMatches},
    {"q/rgba32-1010102.bmp", kMatches},
    {"q/rgba32-2.bmp", kMatches},
    {"q/rgba32-61754.bmp", kMatches},
    {"q/rgba32-81284.bmp", kMatches},
    {"q/rgba32abf.bmp", kMatches},
    {"q/rgba32h56.bmp", kMatches},
    {"q/rgba64.bmp", kRefused},  // 64 bits per pixel is no depth of the surface

    {"b/badbitcount.bmp", kRefused},
    // Size-of-image, resolution and file-size fields are not needed, so these load whole.
    {"b/badbitssize.bmp", kMatches},
    {"b/baddens1.bmp", kMatches},
    {"b/baddens2.bmp", kMatches},
    {"b/badfilesize.bmp", kMatches},
    {"b/badheadersize.bmp", kRefused},
    {"b/badpalettesize.bmp", kRefused},  // the table would run past the pixel data
    {"b/badplanes.bmp", kRefused},
    {"b/badrle.bmp", kRefused},  // runs and moves that leave the picture
    {"b/badrle4.bmp", kRefused},
    {"b/badrle4bis.bmp", kRefused},
    {"b/badrle4ter.bmp", kRefused},
    {"b/badrlebis.bmp", kRefused},
    {"b/badrleter.bmp", kRefused},
    {"b/badwidth.bmp", kRefused},
    // Indices beyond the 101-entry table show black, as the full table we keep says.
    {"b/pal8badindex.bmp", kLoads},
    {"b/reallybig.bmp", kRefused},  // above the size bound, refused before allocating
    {"b/rgb16-880.bmp", kMatches},  // odd masks, but a clear picture
    {"b/rletopdown.bmp", kRefused},
    {"b/shortfile.bmp", kRefused},

    {"x/ba-bm.bmp", kRefused},  // an OS/2 bitmap array, not a "BM" file
};

void PrintTo(const SuiteFile& file, std::ostream* out) {
  *out << file.path;
}

std::filesystem::path Images() {
  return BmpSuiteFolder();
}

std::vector<uint32_t> Colours(const TBitmap& bitmap, int row) {
  std::vector<uint32_t> colours(static_cast<size_t>(bitmap.GetWidth()));
  ConvertRowToXrgb32(bitmap, row, colours.data());
  return colours;
}

void ExpectSanePicture(const TBitmap& bitmap) {
  ASSERT_FALSE(bitmap.Empty());
  EXPECT_LE(bitmap.GetWidth(), kMaxImageSide);
  EXPECT_LE(bitmap.GetHeight(), kMaxImageSide);
  for (int row = 0; row < bitmap.GetHeight(); ++row)
    Colours(bitmap, row);
}

// Colours equal where the rendering is opaque; transparency is not something we show.
void ExpectEqualsReference(const TBitmap& bitmap, const std::string& path) {
  const auto found = SuiteRenderings().find(path);
  ASSERT_NE(found, SuiteRenderings().end()) << "no checksum listed for " << path;
  const SuiteRendering& expected = found->second;
  ASSERT_EQ(bitmap.GetWidth(), expected.width);
  ASSERT_EQ(bitmap.GetHeight(), expected.height);
  std::vector<std::vector<uint32_t>> rows;
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    rows.push_back(Colours(bitmap, y));
  const uint32_t crc = ShownColoursCrc(expected, [&rows](int x, int y) {
    return rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
  });
  EXPECT_EQ(crc, expected.crc) << std::hex << "pixels differ from the rendering's checksum";
}

void ExpectRoundTrip(const TBitmap& bitmap) {
  const std::vector<uint8_t> saved = bitmap.SaveToBitmapBytes();
  TBitmap again;
  again.LoadFromBitmapBytes(saved.data(), saved.size(), "saved.bmp");
  EXPECT_EQ(again.GetPixelFormat(), bitmap.GetPixelFormat());
  EXPECT_EQ(again.HasCoreHeader(), bitmap.HasCoreHeader());
  ASSERT_EQ(again.GetHeight(), bitmap.GetHeight());
  for (int row = 0; row < bitmap.GetHeight(); ++row)
    ASSERT_EQ(Colours(again, row), Colours(bitmap, row)) << "row " << row;
  EXPECT_EQ(again.SaveToBitmapBytes(), saved);
}

class BmpSuite : public testing::TestWithParam<SuiteFile> {};

TEST_P(BmpSuite, LoadsOrRefusesAsListed) {
  const SuiteFile& file = GetParam();
  TBitmap bitmap;
  try {
    bitmap.LoadFromBitmapFile((Images() / file.path).string());
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(file.outcome, kRefused) << "refused: " << error.Detail();
    EXPECT_STREQ(error.what(), "Bitmap image is not valid");
    EXPECT_NE(error.Detail().find(std::filesystem::path(file.path).filename().string()),
              std::string::npos);
    return;
  }
  ASSERT_NE(file.outcome, kRefused) << "loaded";
  ExpectSanePicture(bitmap);
  ExpectRoundTrip(bitmap);
  if (file.outcome == kMatches)
    ExpectEqualsReference(bitmap, file.path);
}

std::string TestName(const testing::TestParamInfo<SuiteFile>& info) {
  std::string name = info.param.path;
  name = name.substr(0, name.size() - 4);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Files, BmpSuite, testing::ValuesIn(kSuite), TestName);

// A file added to the folders without a decision here would go untested.
TEST(BmpSuiteTable, NamesEveryFileOfTheSuite) {
  std::set<std::string> listed;
  for (const SuiteFile& file : kSuite)
    listed.insert(file.path);
  std::set<std::string> present;
  for (const char* folder : {"g", "q", "b", "x"})
    for (const auto& entry : std::filesystem::directory_iterator(Images() / folder))
      if (entry.path().extension() == ".bmp")
        present.insert(std::string(folder) + "/" + entry.path().filename().string());
  EXPECT_EQ(listed, present);

  std::set<std::string> matching;
  for (const SuiteFile& file : kSuite)
    if (file.outcome == kMatches)
      matching.insert(file.path);
  std::set<std::string> checksummed;
  for (const auto& [path, expected] : SuiteRenderings())
    checksummed.insert(path);
  EXPECT_EQ(matching, checksummed);
}

}  // namespace
