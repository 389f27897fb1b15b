// TBitmap, TPicture and palettes: formats, sizes, row access, storage sharing and file errors.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "bitmap.h"
#include "bitmap_storage.h"
#include "bmp_writer.h"
#include "graphic_errors.h"
#include "picture.h"
#include "scratch_files.h"

namespace {

void MakeBitmap(TBitmap& bitmap, int format, int width, int height) {
  bitmap.SetPixelFormat(format);
  bitmap.SetHeight(height);
  bitmap.SetWidth(width);
}

std::unique_ptr<TPalette> PaletteOf(std::vector<PALETTEENTRY> entries) {
  return std::make_unique<TPalette>(std::move(entries));
}

TEST(Bitmap, NewBitmapIsEmptyAndSavesNothing) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.GetWidth(), 0);
  EXPECT_EQ(bitmap.GetHeight(), 0);
  EXPECT_EQ(bitmap.GetPixelFormat(), pfDevice);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.GetPalette(), nullptr);
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_TRUE(bitmap.SaveToBitmapBytes().empty());
  // A format alone does not make a picture: an empty bitmap still reports 0.
  bitmap.SetPixelFormat(pf24bit);
  EXPECT_EQ(bitmap.GetPixelFormat(), pfDevice);
}

struct FormatCase {
  int ordinal;
  int bitsPerPixel;
  bool masks;
};

TEST(Bitmap, EachOrdinalGivesItsLayout) {
  const FormatCase cases[] = {{pfDevice, 32, false}, {pf1bit, 1, false},   {pf4bit, 4, false},
                              {pf8bit, 8, false},    {pf15bit, 16, false}, {pf16bit, 16, true},
                              {pf24bit, 24, false},  {pf32bit, 32, false}};
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.ordinal);
    TBitmap bitmap;
    MakeBitmap(bitmap, c.ordinal, 3, 2);
    EXPECT_EQ(bitmap.GetPixelFormat(), c.ordinal);
    EXPECT_EQ(bitmap.BitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(bitmap.HasColorMasks(), c.masks);
    EXPECT_EQ(bitmap.GetMonochrome(), c.ordinal == pf1bit);
    EXPECT_EQ(bitmap.GetPalette() != nullptr, c.bitsPerPixel <= 8);
  }
  TBitmap fiveSixFive;
  MakeBitmap(fiveSixFive, pf16bit, 1, 1);
  EXPECT_EQ(fiveSixFive.GetColorMasks(), (TColorMasks{0xF800, 0x07E0, 0x001F}));
}

TEST(Bitmap, CustomAndUnknownOrdinalsAreRefused) {
  for (int ordinal : {int{pfCustom}, -1, 9}) {
    TBitmap bitmap;
    MakeBitmap(bitmap, pf8bit, 2, 2);
    try {
      bitmap.SetPixelFormat(ordinal);
      ADD_FAILURE() << ordinal << " was accepted";
    } catch (const EInvalidGraphic& error) {
      EXPECT_STREQ(error.what(), "Invalid pixel format");
    }
    EXPECT_EQ(bitmap.GetPixelFormat(), pf8bit);
  }
}

TEST(Bitmap, SettingThePresentFormatKeepsPixelsAndPalette) {
  TBitmap bitmap;
  MakeBitmap(bitmap, pf8bit, 2, 1);
  bitmap.SetPalette(PaletteOf({{1, 2, 3, 0}}));
  bitmap.RowData(0)[0] = 7;
  bitmap.SetPixelFormat(pf8bit);
  EXPECT_EQ(bitmap.RowData(0)[0], 7);
  ASSERT_NE(bitmap.GetPalette(), nullptr);
  EXPECT_EQ(bitmap.GetPalette()->Size(), 1u);
  // Monochrome already fits each format, so these change nothing either.
  bitmap.SetMonochrome(false);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf8bit);
  EXPECT_EQ(bitmap.RowData(0)[0], 7);
}

TEST(Bitmap, MonochromeFlagChangesTheDepth) {
  TBitmap bitmap;
  MakeBitmap(bitmap, pf24bit, 2, 2);
  bitmap.SetMonochrome(true);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf1bit);
  ASSERT_NE(bitmap.GetPalette(), nullptr);
  EXPECT_EQ(bitmap.GetPalette()->Size(), 2u);
  bitmap.SetMonochrome(false);
  EXPECT_EQ(bitmap.GetPixelFormat(), pfDevice);
}

TEST(Bitmap, RowsArePaddedAndContiguous) {
  struct Case {
    int format, width, bytesPerRow;
  };
  for (const Case& c :
       {Case{pf1bit, 1, 4}, Case{pf1bit, 33, 8}, Case{pf4bit, 9, 8}, Case{pf8bit, 127, 128},
        Case{pf15bit, 3, 8}, Case{pf24bit, 3, 12}, Case{pf32bit, 5, 20}}) {
    TBitmap bitmap;
    MakeBitmap(bitmap, c.format, c.width, 3);
    EXPECT_EQ(bitmap.BytesPerRow(), c.bytesPerRow) << c.format << " " << c.width;
    EXPECT_EQ(bitmap.RowData(0), bitmap.Bits());
    EXPECT_EQ(bitmap.RowData(2), bitmap.Bits() + 2 * c.bytesPerRow);
  }
}

TEST(Bitmap, RowsOutsideThePictureAreRefused) {
  TBitmap bitmap;
  MakeBitmap(bitmap, pf8bit, 4, 3);
  const TBitmap& readOnly = bitmap;
  for (int row : {-1, 3, 1000}) {
    EXPECT_THROW(bitmap.RowData(row), EInvalidGraphicOperation) << row;
    try {
      readOnly.RowData(row);
    } catch (const EInvalidGraphicOperation& error) {
      EXPECT_STREQ(error.what(), "Scan line index out of range");
    }
  }
  TBitmap empty;
  EXPECT_THROW(empty.RowData(0), EInvalidGraphicOperation);
}

TEST(Bitmap, ResizeKeepsTheCommonPixelsAndClearsTheRest) {
  TBitmap bitmap;
  MakeBitmap(bitmap, pf8bit, 2, 2);
  bitmap.RowData(0)[0] = 1;
  bitmap.RowData(0)[1] = 2;
  bitmap.RowData(1)[0] = 3;
  bitmap.SetWidth(5);
  bitmap.SetHeight(3);
  EXPECT_EQ(bitmap.RowData(0)[0], 1);
  EXPECT_EQ(bitmap.RowData(0)[1], 2);
  EXPECT_EQ(bitmap.RowData(1)[0], 3);
  EXPECT_EQ(bitmap.RowData(0)[4], 0);
  EXPECT_EQ(bitmap.RowData(2)[0], 0);
  EXPECT_EQ(bitmap.GetPixelFormat(), pf8bit);
}

TEST(Bitmap, SizesAtTheImageLimitAreMadeAndAboveItRefusedBeforeAllocating) {
  struct Case {
    int width, height;
    bool allowed;
  };
  const Case cases[] = {
      {8192, 8192, true},   // exactly the pixel limit
      {8192, 8193, false},  // one row above it
      {65535, 1, true},     // the longest side a GIF can have, as a row
      {1, 65535, true},     // and as a column
      {65536, 1, false},    // above the side limit
      {-1, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf1bit);                  // the limit counts pixels, whatever their depth
    bitmap.SetHeight(c.height > 0 ? c.height : 0);  // no rows yet: the width is 0
    if (c.allowed) {
      bitmap.SetWidth(c.width);
      EXPECT_EQ(bitmap.GetWidth(), c.width);
      continue;
    }
    try {
      bitmap.SetWidth(c.width);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& error) {
      EXPECT_STREQ(error.what(), "Bitmap image is not valid");
    }
    EXPECT_EQ(bitmap.GetWidth(), 0);
  }
}

TEST(Palette, CreatePaletteChecksVersionAndCount) {
  LOGPALETTE logPalette{};
  logPalette.palVersion = 0x300;
  logPalette.palNumEntries = 2;
  logPalette.palPalEntry[1] = {10, 20, 30, 0};
  auto palette = CreatePalette(logPalette);
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->Size(), 2u);
  EXPECT_EQ(palette->Entries()[1].peGreen, 20);
  for (auto [version, count] : {std::pair{0x300, 0}, std::pair{0x300, 257}, std::pair{0x200, 2}}) {
    logPalette.palVersion = static_cast<uint16_t>(version);
    logPalette.palNumEntries = static_cast<uint16_t>(count);
    EXPECT_EQ(CreatePalette(logPalette), nullptr) << version << " " << count;
  }
}

// Storage sharing as the picture uses it.
class SharedStorage : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeBitmap(source, pf8bit, 4, 2);
    source.SetPalette(PaletteOf({{1, 1, 1, 0}, {2, 2, 2, 0}}));
    source.RowData(1)[3] = 9;
    picture.AssignBitmap(source);
  }
  TBitmap& Shown() { return picture.GetBitmap(); }

  TBitmap source;
  TPicture picture;
};

TEST_F(SharedStorage, RowsWrittenThroughEitherAreSeenByBoth) {
  ASSERT_TRUE(Shown().SharesStorageWith(source));
  EXPECT_EQ(Shown().RowData(1)[3], 9);
  source.RowData(0)[0] = 5;
  EXPECT_EQ(Shown().RowData(0)[0], 5);
  Shown().RowData(0)[1] = 6;
  EXPECT_EQ(source.RowData(0)[1], 6);
  EXPECT_TRUE(Shown().SharesStorageWith(source));  // row access never unshares
  EXPECT_EQ(Shown().SaveToBitmapBytes(), source.SaveToBitmapBytes());
}

TEST_F(SharedStorage, EveryChangeUnsharesAndLeavesTheOtherAlone) {
  using Change = void (*)(TBitmap&);
  const Change changes[] = {
      [](TBitmap& b) { b.SetWidth(7); },
      [](TBitmap& b) { b.SetHeight(1); },
      [](TBitmap& b) { b.SetPixelFormat(pf24bit); },
      [](TBitmap& b) { b.SetPalette(nullptr); },
      [](TBitmap& b) { b.SetMonochrome(true); },
      [](TBitmap& b) { b.LoadFromBitmapBytes(nullptr, 0, "empty.bmp"); },
  };
  const std::vector<uint8_t> before = source.SaveToBitmapBytes();
  for (size_t i = 0; i < std::size(changes); ++i) {
    picture.AssignBitmap(source);
    changes[i](Shown());
    EXPECT_FALSE(Shown().SharesStorageWith(source)) << "change " << i;
    EXPECT_EQ(source.SaveToBitmapBytes(), before) << "change " << i;
  }
}

TEST_F(SharedStorage, PaletteChangeKeepsPixelsOfTheCopy) {
  Shown().SetPalette(PaletteOf({{3, 3, 3, 0}}));
  EXPECT_EQ(Shown().RowData(1)[3], 9);
  Shown().RowData(1)[3] = 4;
  EXPECT_EQ(source.RowData(1)[3], 9);
  EXPECT_EQ(source.GetPalette()->Size(), 2u);
}

TEST(Picture, HoldsSharesAndReportsChanges) {
  TPicture picture;
  EXPECT_EQ(picture.PeekBitmap(), nullptr);
  int changes = 0;
  picture.SetOnChange([&] { ++changes; });
  TBitmap& made = picture.GetBitmap();
  EXPECT_EQ(picture.PeekBitmap(), &made);
  EXPECT_TRUE(made.Empty());
  EXPECT_EQ(changes, 0);

  TBitmap blank;
  picture.AssignBitmap(blank);
  EXPECT_EQ(changes, 1);
  // Loading into the picture's bitmap after the blank was assigned leaves the blank empty.
  TBitmap content;
  MakeBitmap(content, pf24bit, 2, 2);
  const std::vector<uint8_t> bytes = content.SaveToBitmapBytes();
  picture.GetBitmap().LoadFromBitmapBytes(bytes.data(), bytes.size(), "two.bmp");
  EXPECT_EQ(picture.GetBitmap().GetWidth(), 2);
  EXPECT_TRUE(blank.Empty());
}

TEST(BitmapFile, EmptyBitmapWritesZeroBytesAndLoadsBackEmpty) {
  TemporaryFolder folder;
  const std::string name = folder.File("empty.bmp");
  TBitmap empty;
  empty.SaveToBitmapFile(name);
  ASSERT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(std::filesystem::file_size(name), 0u);
  TBitmap loaded;
  MakeBitmap(loaded, pf8bit, 3, 3);
  loaded.LoadFromBitmapFile(name);
  EXPECT_TRUE(loaded.Empty());
  EXPECT_EQ(loaded.GetPixelFormat(), pfDevice);
}

TEST(BitmapFile, OpenAndCreateFailuresNameTheFile) {
  TemporaryFolder folder;
  const std::string missing = folder.File("missing.bmp");
  TBitmap bitmap;
  try {
    bitmap.LoadFromBitmapFile(missing);
    ADD_FAILURE() << "a missing file loaded";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.what(), "Cannot open file " + missing);
    EXPECT_NE(error.Detail().find("missing.bmp"), std::string::npos);
  }
  EXPECT_THROW(bitmap.LoadFromBitmapFile(folder.Path()), EFOpenError);  // a folder

  const std::string unwritable = folder.File("no/such/folder/out.bmp");
  try {
    bitmap.SaveToBitmapFile(unwritable);
    ADD_FAILURE() << "a file was created in a missing folder";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(error.what(), "Cannot create file " + unwritable);
  }
}

// Save hands the file over as its headers and then each row straight from the pixel storage,
// bottom row first: a large picture is never copied whole into a file image to be written.
TEST(BitmapFile, SaveHandsOverTheStoredRowsWithoutCopyingThem) {
  BitmapStorage storage;
  storage.device = false;
  storage.bitsPerPixel = 24;
  storage.width = 301;
  storage.height = 7;
  storage.bytesPerRow = 904;  // 903 bytes of pixels, padded to a multiple of 4
  storage.AllocateRows(true);
  std::vector<const uint8_t*> pieces;
  WriteBmp(storage, [&pieces](const uint8_t* data, size_t size) {
    if (!pieces.empty()) {
      EXPECT_EQ(size, 904u);
    }
    pieces.push_back(data);
  });
  ASSERT_EQ(pieces.size(), 8u);  // the headers, then the seven rows
  for (int row = 0; row < 7; ++row)
    EXPECT_EQ(pieces[7 - row], storage.rows.get() + row * 904) << "row " << row;
}

TEST(BitmapFile, SaveReplacesAnExistingFile) {
  TemporaryFolder folder;
  const std::string name = folder.File("out");
  WriteWholeFile(name, std::vector<uint8_t>(5000, 0xAB));
  TBitmap bitmap;
  MakeBitmap(bitmap, pf8bit, 2, 2);
  bitmap.SaveToBitmapFile(name);
  EXPECT_EQ(ReadWholeFile(name), bitmap.SaveToBitmapBytes());
}

}  // namespace
