// The Windows bitmap reader and writer on crafted files: each refusal with its reason, each
// layout the reader takes, run-length decoding and round trips. (The fuzzers' past findings are
// replayed by scripts/fuzz.sh from fuzz/bitmap/regressions.)
#include <gtest/gtest.h>

#include "bitmap.h"
#include "crafted_bmp.h"
#include "graphic_errors.h"

namespace {

// A 4 x 2, 8-bit picture with a two-entry table: the base that each case bends.
CraftedBmp SmallPicture() {
  CraftedBmp bmp;
  bmp.colourTable = {0x000000, 0xFFFFFF};
  bmp.coloursUsed = 2;
  bmp.pixels = {0, 1, 1, 0,   // bottom row
                1, 0, 0, 1};  // top row
  return bmp;
}

std::vector<uint8_t> RowBytes(const TBitmap& bitmap, int row, size_t count) {
  const uint8_t* data = bitmap.RowData(row);
  return {data, data + count};
}

struct RefusalCase {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* reason;  // a part of the detail
};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

std::vector<RefusalCase> RefusalCases() {
  auto with = [](auto change) {
    CraftedBmp bmp = SmallPicture();
    change(bmp);
    return bmp.Bytes();
  };
  std::vector<uint8_t> notBm = SmallPicture().Bytes();
  notBm[1] = 'A';
  const std::vector<uint8_t> full = SmallPicture().Bytes();
  std::vector<uint8_t> offsetPastEnd = full;
  offsetPastEnd[10] = 0xFF;
  // A small run-length file that claims a picture at the image limit (64 MiB of rows).
  const auto hugeRle = with([](CraftedBmp& b) {
    b.width = 8192;
    b.height = 8192;
    b.compression = 1;
    b.pixels = {0, 1};
  });
  return {
      {"too short", {'B', 'M', 0, 0}, "too short for the bitmap headers"},
      {"not BM", notBm, "does not begin with the mark \"BM\""},
      {"header of 64 bytes", with([](CraftedBmp& b) { b.headerBytes = 64; }), "64 bytes"},
      {"header cut", Cut(full, 30), "ends inside the information header"},
      {"two planes", with([](CraftedBmp& b) { b.planes = 2; }), "plane count is 2, not 1"},
      {"3 bits", with([](CraftedBmp& b) { b.bitsPerPixel = 3; }), "3 bits per pixel"},
      {"no width", with([](CraftedBmp& b) { b.width = 0; }), "has no pixels"},
      {"negative width", with([](CraftedBmp& b) { b.width = -4; }), "has no pixels"},
      {"too wide", with([](CraftedBmp& b) { b.width = 65536; }), "above this viewer's limit"},
      {"too many pixels", with([](CraftedBmp& b) {
         b.width = 8192;
         b.height = 8193;
       }),
       "above this viewer's limit"},
      {"unknown compression", with([](CraftedBmp& b) { b.compression = 9; }),
       "compression method 9"},
      {"embedded PNG", with([](CraftedBmp& b) { b.compression = 5; }), "embedded PNG"},
      {"RLE8 at 4 bits", with([](CraftedBmp& b) {
         b.compression = 1;
         b.bitsPerPixel = 4;
       }),
       "does not fit 4 bits"},
      {"top-down RLE", with([](CraftedBmp& b) {
         b.compression = 1;
         b.height = -2;
       }),
       "cannot be top-down"},
      {"masks at 8 bits", with([](CraftedBmp& b) { b.compression = 3; }), "need 16 or 32 bits"},
      {"masks cut",
       Cut(with([](CraftedBmp& b) {
             b.bitsPerPixel = 16;
             b.compression = 3;
             b.colourTable.clear();
             b.coloursUsed = 0;
             b.masks = {0xF800, 0x07E0, 0x001F};
           }),
           58),
       "ends inside the colour masks"},
      {"offset inside headers", with([](CraftedBmp& b) { b.pixelOffset = 20; }),
       "pixel data offset 20"},
      {"offset past the end", offsetPastEnd, "lies outside"},
      {"table beyond the pixels", with([](CraftedBmp& b) { b.coloursUsed = 3; }),
       "colour table of 3 entries"},
      {"no table", with([](CraftedBmp& b) {
         b.colourTable.clear();
         b.coloursUsed = 0;
       }),
       "no colour table"},
      {"rows missing", Cut(full, full.size() - 5), "ends after 0 of 2 rows"},
      {"RLE run past the row", with([](CraftedBmp& b) {
         b.compression = 1;
         b.pixels = {5, 1, 0, 1};
       }),
       "runs past the end of the row"},
      {"RLE move out of the picture", with([](CraftedBmp& b) {
         b.compression = 1;
         b.pixels = {0, 2, 1, 2, 0, 1};
       }),
       "leaves the picture"},
      {"RLE run above the top row", with([](CraftedBmp& b) {
         b.compression = 1;
         b.pixels = {0, 0, 0, 0, 1, 1, 0, 1};
       }),
       "above the top row"},
      {"RLE literal cut", with([](CraftedBmp& b) {
         b.compression = 1;
         b.pixels = {0, 4, 1, 1};
       }),
       "ends inside a run of 4 literal pixels"},
      {"RLE without end", with([](CraftedBmp& b) {
         b.compression = 1;
         b.pixels = {4, 1};
       }),
       "ends before the end-of-bitmap mark"},
      {"RLE far too small", hugeRle, "cannot fill"},
      // An end mark followed by a MiB of zeros: only the two bytes before it are run data.
      {"RLE padded after its end mark", with([](CraftedBmp& b) {
         b.width = 8192;
         b.height = 8192;
         b.compression = 1;
         b.pixels = {0, 1};
         b.pixels.resize(size_t{1} << 20, 0);
       }),
       "2 bytes of run-length data cannot fill"},
  };
}

TEST(BmpReader, RefusesEachFaultWithItsReason) {
  for (const RefusalCase& c : RefusalCases()) {
    SCOPED_TRACE(c.name);
    TBitmap bitmap;
    try {
      bitmap.LoadFromBitmapBytes(c.bytes.data(), c.bytes.size(), "crafted.bmp");
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& error) {
      EXPECT_STREQ(error.what(), "Bitmap image is not valid");
      EXPECT_EQ(error.Detail().rfind("crafted.bmp: ", 0), 0u) << error.Detail();
      EXPECT_NE(error.Detail().find(c.reason), std::string::npos) << error.Detail();
    }
  }
}

TEST(BmpReader, RefusedFileLeavesTheBitmapAsItWas) {
  TBitmap bitmap;
  const std::vector<uint8_t> good = SmallPicture().Bytes();
  bitmap.LoadFromBitmapBytes(good.data(), good.size(), "good.bmp");
  const std::vector<uint8_t> before = bitmap.SaveToBitmapBytes();
  const std::vector<uint8_t> bad = Cut(good, good.size() - 1 - 4);
  EXPECT_NE(RefusalOf(bad, bitmap), "");
  EXPECT_EQ(bitmap.SaveToBitmapBytes(), before);
}

TEST(BmpReader, TakesEveryKnownHeaderSize) {
  for (uint32_t headerBytes : {12u, 40u, 52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(headerBytes);
    CraftedBmp bmp = SmallPicture();
    bmp.headerBytes = headerBytes;
    TBitmap bitmap;
    ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
    EXPECT_EQ(bitmap.GetWidth(), 4);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    EXPECT_EQ(bitmap.GetPixelFormat(), pf8bit);
    EXPECT_EQ(bitmap.HasCoreHeader(), headerBytes == 12);
    EXPECT_EQ(RowBytes(bitmap, 0, 4), (std::vector<uint8_t>{1, 0, 0, 1}));  // the top row
    EXPECT_EQ(RowBytes(bitmap, 1, 4), (std::vector<uint8_t>{0, 1, 1, 0}));
    ASSERT_EQ(bitmap.GetPalette()->Size(), 256u);
    EXPECT_EQ(bitmap.GetPalette()->Entries()[1].peRed, 255);
  }
}

TEST(BmpReader, TopDownRowsKeepRowZeroAtTheTop) {
  CraftedBmp bmp = SmallPicture();
  bmp.height = -2;
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  EXPECT_EQ(bitmap.GetHeight(), 2);
  EXPECT_EQ(RowBytes(bitmap, 0, 4), (std::vector<uint8_t>{0, 1, 1, 0}));
}

TEST(BmpReader, ShortColourTablesAreFilledWithBlack) {
  CraftedBmp bmp = SmallPicture();
  bmp.colourTable = {0x102030, 0x405060, 0x708090};
  bmp.coloursUsed = 0;  // the count comes from the room before the pixels
  bmp.bitsPerPixel = 4;
  bmp.pixels = {0x12, 0, 0, 0, 0x21, 0, 0, 0};
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  const auto& entries = bitmap.GetPalette()->Entries();
  ASSERT_EQ(entries.size(), 16u);
  EXPECT_EQ(entries[2].peRed, 0x70);
  EXPECT_EQ(entries[3].peRed, 0);
  EXPECT_EQ(bitmap.RowData(0)[0], 0x21);
}

TEST(BmpReader, TwoBitPixelsAreWidenedToFour) {
  CraftedBmp bmp = SmallPicture();
  bmp.bitsPerPixel = 2;
  bmp.width = 5;
  bmp.colourTable = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
  bmp.coloursUsed = 4;
  bmp.pixels = {0b00011011, 0b11000000, 0, 0, 0b11100100, 0b01000000, 0, 0};
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  EXPECT_EQ(bitmap.GetPixelFormat(), pf4bit);
  EXPECT_EQ(RowBytes(bitmap, 0, 3), (std::vector<uint8_t>{0x32, 0x10, 0x10}));
  EXPECT_EQ(RowBytes(bitmap, 1, 3), (std::vector<uint8_t>{0x01, 0x23, 0x30}));
}

TEST(BmpReader, LastRowMayLackItsPadding) {
  CraftedBmp bmp = SmallPicture();
  bmp.width = 3;
  bmp.pixels = {1, 2, 3, 0, 4, 5, 6};
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  EXPECT_EQ(RowBytes(bitmap, 0, 3), (std::vector<uint8_t>{4, 5, 6}));
}

struct MaskCase {
  uint32_t headerBytes;
  uint16_t bitsPerPixel;
  uint32_t compression;
  std::vector<uint32_t> masks;
  TBitmapFormat format;
};

TEST(BmpReader, ColourMasksGiveTheirFormat) {
  const MaskCase cases[] = {
      {40, 16, 3, {0xF800, 0x07E0, 0x001F}, pf16bit},
      {56, 16, 3, {0xF800, 0x07E0, 0x001F}, pf16bit},  // masks inside the header
      {40, 16, 3, {0x7C00, 0x03E0, 0x001F}, pfCustom},
      {40, 16, 0, {}, pf15bit},
      {40, 32, 0, {}, pf32bit},
      {124, 32, 3, {0xFF, 0xFF00, 0xFF0000}, pfCustom},
      {40, 32, 6, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, pfCustom},  // with alpha
      {108, 32, 0, {0xFF, 0xFF00, 0xFF0000}, pf32bit},  // masks of a plain file are unused
  };
  for (const MaskCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.headerBytes << " " << c.bitsPerPixel << " " << c.compression);
    CraftedBmp bmp;
    bmp.headerBytes = c.headerBytes;
    bmp.bitsPerPixel = c.bitsPerPixel;
    bmp.compression = c.compression;
    bmp.masks = c.masks;
    bmp.width = 2;
    bmp.height = 1;
    bmp.pixels = std::vector<uint8_t>(c.bitsPerPixel == 16 ? 4 : 8, 0x5A);
    TBitmap bitmap;
    ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
    EXPECT_EQ(bitmap.GetPixelFormat(), c.format);
    EXPECT_EQ(bitmap.HasColorMasks(), c.compression != 0);
    if (c.compression != 0) {
      EXPECT_EQ(bitmap.GetColorMasks(), (TColorMasks{c.masks[0], c.masks[1], c.masks[2]}));
    }
    EXPECT_EQ(bitmap.GetPalette(), nullptr);
  }
}

TEST(BmpReader, DecodesRunLength8) {
  CraftedBmp bmp = SmallPicture();
  bmp.compression = 1;
  bmp.width = 6;
  bmp.height = 3;
  bmp.pixels = {
      3, 7,              // bottom row: three 7s
      0, 3, 1, 2, 3, 0,  // then three literal pixels, padded to an even count
      0, 0,              // end of line
      0, 2, 2, 1,        // move 2 right and 1 up: row 1 is skipped, row 2 starts at 2
      2, 9,              // two 9s
      0, 1,              // end of bitmap
  };
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  EXPECT_EQ(RowBytes(bitmap, 2, 6), (std::vector<uint8_t>{7, 7, 7, 1, 2, 3}));
  EXPECT_EQ(RowBytes(bitmap, 1, 6), (std::vector<uint8_t>(6, 0)));
  EXPECT_EQ(RowBytes(bitmap, 0, 6), (std::vector<uint8_t>{0, 0, 9, 9, 0, 0}));
}

TEST(BmpReader, DecodesRunLength4) {
  CraftedBmp bmp = SmallPicture();
  bmp.compression = 2;
  bmp.bitsPerPixel = 4;
  bmp.width = 7;
  bmp.height = 2;
  bmp.pixels = {
      5, 0x12,              // 1 2 1 2 1
      0, 0,                 // end of line
      0, 3,    0x34, 0x50,  // literal 3 4 5, two bytes (even already)
      3, 0xAB,              // A B A
      0, 0,                 // end of the last line, but no end mark: accepted
  };
  TBitmap bitmap;
  ASSERT_EQ(RefusalOf(bmp.Bytes(), bitmap), "");
  EXPECT_EQ(bitmap.GetPixelFormat(), pf4bit);
  EXPECT_EQ(RowBytes(bitmap, 1, 4), (std::vector<uint8_t>{0x12, 0x12, 0x10, 0x00}));
  EXPECT_EQ(RowBytes(bitmap, 0, 4), (std::vector<uint8_t>{0x34, 0x5A, 0xBA, 0x00}));
}

// Saved files load back with the same layout and pixels.
TEST(BmpWriter, RoundTripsEveryFormat) {
  for (int format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(format);
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetHeight(3);
    bitmap.SetWidth(5);
    for (int row = 0; row < 3; ++row)
      for (int i = 0; i < bitmap.BytesPerRow(); ++i)
        bitmap.RowData(row)[i] = static_cast<uint8_t>(row * 31 + i * 7 + 1);
    const std::vector<uint8_t> saved = bitmap.SaveToBitmapBytes();
    TBitmap loaded;
    ASSERT_EQ(RefusalOf(saved, loaded), "");
    EXPECT_EQ(loaded.GetPixelFormat(), format);
    EXPECT_EQ(loaded.GetColorMasks(), bitmap.GetColorMasks());
    for (int row = 0; row < 3; ++row)
      EXPECT_EQ(RowBytes(loaded, row, loaded.BytesPerRow()),
                RowBytes(bitmap, row, bitmap.BytesPerRow()));
    EXPECT_EQ(loaded.SaveToBitmapBytes(), saved);
  }
}

TEST(BmpWriter, WritesTheHeaderOfItsLayout) {
  auto field32 = [](const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  };
  TBitmap masked;
  masked.SetPixelFormat(pf16bit);
  masked.SetHeight(1);
  masked.SetWidth(1);
  const std::vector<uint8_t> bytes = masked.SaveToBitmapBytes();
  ASSERT_EQ(bytes.size(), 14u + 40 + 12 + 4);
  EXPECT_EQ(field32(bytes, 2), bytes.size());
  EXPECT_EQ(field32(bytes, 10), 66u);  // pixel offset
  EXPECT_EQ(field32(bytes, 14), 40u);
  EXPECT_EQ(field32(bytes, 30), 3u);  // BI_BITFIELDS
  EXPECT_EQ(field32(bytes, 58), 0x07E0u);

  // A 12-byte header file is saved with the 12-byte header and a 3-byte table.
  CraftedBmp core = SmallPicture();
  core.headerBytes = 12;
  TBitmap loaded;
  ASSERT_EQ(RefusalOf(core.Bytes(), loaded), "");
  const std::vector<uint8_t> saved = loaded.SaveToBitmapBytes();
  EXPECT_EQ(field32(saved, 14), 12u);
  EXPECT_EQ(field32(saved, 10), 14u + 12 + 256 * 3);
  TBitmap again;
  ASSERT_EQ(RefusalOf(saved, again), "");
  EXPECT_TRUE(again.HasCoreHeader());

  // The device layout is written as a plain 32-bit file.
  TBitmap device;
  device.SetHeight(1);
  device.SetWidth(1);
  TBitmap reloaded;
  ASSERT_EQ(RefusalOf(device.SaveToBitmapBytes(), reloaded), "");
  EXPECT_EQ(reloaded.GetPixelFormat(), pf32bit);
}

}  // namespace
