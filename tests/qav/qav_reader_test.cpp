// ReadQAVFile against hand-made files: each fixture is laid out byte by byte here, without the
// encoder, so that a fault shared by writer and reader cannot hide.

#include <gtest/gtest.h>

#include <cstring>

#include "graphic_errors.h"
#include "qav_header_checks.h"
#include "qav_test_support.h"

namespace {

QavBytes& RleHeaderBytes(QavBytes& b, uint8_t pixelFormat, uint32_t storedSize, uint8_t full) {
  return b.U8(pixelFormat).Fill(3, 0xEE).U32(storedSize).U8(full).Fill(3, 0xEE);
}

QavBytes& HuffmanHeaderBytes(QavBytes& b, uint32_t decoded, uint32_t bitStream, uint32_t packed,
                             uint32_t table, uint8_t pixelFormat = 3) {
  return b.U8(pixelFormat).Fill(3, 0xEE).U32(decoded).U32(bitStream).U32(packed).U32(table);
}

// Counts 1 for 0x41 and 0x42, 2 for 0x43: codes 0x43 = 1, 0x41 = 01, 0x42 = 00 (bits in the
// order read). The bit-stream byte 0x25 decodes to 43 41 42 43.
const std::vector<uint8_t> kThreeSymbolTable = {0xFF, 0x00, 0x83, 0x00, 0x06, 0x01,
                                                0x00, 0x01, 0x00, 0x02, 0x00, 0xFF,
                                                0x00, 0xFF, 0x00, 0xFA, 0x00};
// One count (byte value 0): every symbol decodes to 0 without reading a bit.
const std::vector<uint8_t> kOnlyZeroTable = {0x02, 0x04, 0x00, 0xFF, 0x00, 0xFF, 0x00,
                                             0xFF, 0x00, 0xFF, 0x00, 0x82, 0x00};

void AddGreyPalette(QavBytes& b, int entries) {
  for (int i = 0; i < entries; ++i)
    b.U8(i).U8(i).U8(255 - i).U8(i == 1 ? 0x04 : 0);
}

TEST(QavCommonHeader, MagicVersionAndMethodDecideTheResult) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int result;
    QavCode code;
  };
  const Case cases[] = {
      {"empty", {}, -1, QavCode::NotQav},
      {"two bytes", {'Q', 'A'}, -1, QavCode::Truncated},
      {"lower-case magic", QavBytes().Raw({'q', 'a', 'v'}).Fill(7, 0).Bytes(), -1, QavCode::NotQav},
      {"version 0x32", QavBytes().Common(0, 1, 1, 0x32).Bytes(), -1, QavCode::NewerVersion},
      {"method 3", QavBytes().Common(3, 4, 4, 0x31, 0xAB).Bytes(), 0, QavCode::UnknownMethod},
      {"header cut in the size", {'Q', 'A', 'V', 0, 0x31, 0, 1}, -1, QavCode::Truncated},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TQAV image;
    const ReadResult read = ReadBytes(image, c.bytes);
    EXPECT_EQ(read.result, c.result);
    EXPECT_EQ(read.status, c.code);
    ExpectEmptyRecord(image);
  }
}

TEST(QavCommonHeader, MissingFileIsRefusedWithTheSystemsReason) {
  TQAV image;
  const QavStatus status = ReadQAVFileChecked(&image, "/nonexistent-dir/none.qav");
  EXPECT_EQ(status, QavCode::CannotOpen);
  EXPECT_FALSE(status.Detail().empty());
  EXPECT_EQ(ReadQAVFile(&image, "/nonexistent-dir/none.qav"), -1);
  ExpectEmptyRecord(image);
}

TEST(QavRunLength, OneBitRowWidthsAndBottomRowFirst) {
  // Two stored rows each; the first stored row must land at the bottom of the picture.
  struct Case {
    int width;
    std::vector<uint8_t> rows;
  };
  const Case cases[] = {
      {9, {0xA5, 0x80, 0x0F, 0x00}},  // 2 bytes a row
      {8, {0xA5, 0x0F}},              // 1 byte a row
      {1, {0x80, 0x00}},              // 1 byte a row, 7 bits unused
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    const size_t rowBytes = c.rows.size() / 2;
    QavBytes b;
    b.Common(0, c.width, 2);
    RleHeaderBytes(b, 1, static_cast<uint32_t>(1 + c.rows.size()), 0);
    AddGreyPalette(b, 2);
    b.U8(static_cast<uint32_t>(c.rows.size())).Raw(c.rows);
    TQAV image;
    const ReadResult read = ReadBytes(image, b.Bytes());
    ASSERT_EQ(read.result, 0) << testing::PrintToString(read.status);
    ASSERT_TRUE(read.status.IsOk());
    EXPECT_EQ(image.bitmap->GetPixelFormat(), pf1bit);
    EXPECT_TRUE(image.bitmap->GetMonochrome());
    EXPECT_EQ(image.bitmap->GetWidth(), c.width);
    EXPECT_EQ(0, std::memcmp(image.bitmap->RowData(1), c.rows.data(), rowBytes));
    EXPECT_EQ(0, std::memcmp(image.bitmap->RowData(0), c.rows.data() + rowBytes, rowBytes));
    ASSERT_NE(image.bitmap->GetPalette(), nullptr);
    EXPECT_EQ(image.bitmap->GetPalette()->Size(), 2u);
    EXPECT_EQ(image.bitmap->GetPalette()->Entries()[1].peFlags, 0x04);  // flags carried over
  }
}

TEST(QavRunLength, EightBitRowsWithRunsAndTolerableExtras) {
  // 3 x 2 pixels: stored row 0 = 07 07 07 (a repeat run), row 1 = 01 02 03 (a literal run),
  // then an extra run the rows do not need and bytes after the data.
  QavBytes b;
  b.Common(0, 3, 2);
  RleHeaderBytes(b, 3, 2 + 4 + 2, 1);
  AddGreyPalette(b, 256);
  b.Raw({0x83, 0x07, 0x03, 0x01, 0x02, 0x03, 0x85, 0x09}).Raw({0xDE, 0xAD});
  TQAV image;
  const ReadResult read = ReadBytes(image, b.Bytes());
  ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
  EXPECT_EQ(image.bitmap->GetPixelFormat(), pf8bit);
  EXPECT_FALSE(image.bitmap->GetMonochrome());
  const uint8_t bottom[] = {7, 7, 7};
  const uint8_t top[] = {1, 2, 3};
  EXPECT_EQ(0, std::memcmp(image.bitmap->RowData(1), bottom, 3));
  EXPECT_EQ(0, std::memcmp(image.bitmap->RowData(0), top, 3));
  EXPECT_EQ(image.bitmap->GetPalette()->Entries()[200].peBlue, 55);
  EXPECT_EQ(image.storedData, nullptr);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(QavRunLength, RefusedHeadersAndData) {
  struct Case {
    const char* name;
    int width, height;
    uint8_t pixelFormat, full;
    uint32_t storedSize;
    std::vector<uint8_t> data;
    QavCode code;
  };
  const Case cases[] = {
      {"rows expand short", 2, 2, 3, 1, 3, {0x83, 0x07, 0x00}, QavCode::ExpansionShort},
      {"stored size beyond the file", 2, 2, 3, 1, 5000, {0x84, 0x07}, QavCode::Truncated},
      {"run past the stored bytes", 2, 2, 3, 1, 2, {0x05, 0x01}, QavCode::RunPastEnd},
      {"8-bit palette with the 1-bit format",
       2,
       2,
       1,
       1,
       2,
       {0x84, 0x07},
       QavCode::InconsistentHeader},
      {"height 0", 2, 0, 3, 1, 0, {}, QavCode::NoPixels},
      {"negative width", -2, 2, 3, 1, 0, {}, QavCode::NoPixels},
      {"above the memory limit", 8192, 8193, 3, 1, 0, {}, QavCode::OverMemoryLimit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QavBytes b;
    b.Common(0, c.width, c.height);
    RleHeaderBytes(b, c.pixelFormat, c.storedSize, c.full);
    AddGreyPalette(b, 256);
    b.Raw(c.data);
    TQAV image;
    const ReadResult read = ReadBytes(image, b.Bytes());
    EXPECT_EQ(read.result, -1);
    EXPECT_EQ(read.status, c.code);
    ExpectEmptyRecord(image);
  }
}

TEST(QavHuffman, UnpackedAndPackedBitStreams) {
  // 2 x 2 pixels 43 41 42 43: stored row 0 = 43 41 (bottom), row 1 = 42 43 (top).
  for (const bool packed : {false, true}) {
    SCOPED_TRACE(packed);
    QavBytes b;
    b.Common(1, 2, 2);
    // A packed file carries a bitStreamSize that must not be used: 99.
    HuffmanHeaderBytes(b, 4, packed ? 99 : 1, packed ? 2 : 0,
                       static_cast<uint32_t>(kThreeSymbolTable.size()));
    AddGreyPalette(b, 256);
    b.Raw(kThreeSymbolTable);
    if (packed)
      b.Raw({0x01, 0x25});
    else
      b.Raw({0x25});
    TQAV image;
    const ReadResult read = ReadBytes(image, b.Bytes());
    ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
    EXPECT_EQ(image.bitmap->GetPixelFormat(), pf8bit);
    EXPECT_EQ(image.bitmap->RowData(1)[0], 0x43);
    EXPECT_EQ(image.bitmap->RowData(1)[1], 0x41);
    EXPECT_EQ(image.bitmap->RowData(0)[0], 0x42);
    EXPECT_EQ(image.bitmap->RowData(0)[1], 0x43);
    EXPECT_EQ(image.scratch, nullptr);
  }
}

TEST(QavHuffman, RefusedHeadersAndData) {
  const uint32_t table = static_cast<uint32_t>(kThreeSymbolTable.size());
  struct Case {
    const char* name;
    uint32_t decoded, bitStream, packed;
    uint8_t pixelFormat;
    std::vector<uint8_t> data;
    QavCode code;
  };
  const Case cases[] = {
      {"decodedSize off", 5, 1, 0, 3, {0x25}, QavCode::InconsistentHeader},
      {"24-bit format", 4, 1, 0, 6, {0x25}, QavCode::InconsistentHeader},
      {"bit stream too short", 4, 0, 0, 3, {}, QavCode::BitStreamShort},
      {"bit stream beyond the file", 4, 40, 0, 3, {0x25}, QavCode::Truncated},
      {"packed stream expands past the pixels",
       4,
       1,
       2,
       3,
       {0x85, 0x25},
       QavCode::ExpansionTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QavBytes b;
    b.Common(1, 2, 2);
    HuffmanHeaderBytes(b, c.decoded, c.bitStream, c.packed, table, c.pixelFormat);
    AddGreyPalette(b, 256);
    b.Raw(kThreeSymbolTable).Raw(c.data);
    TQAV image;
    const ReadResult read = ReadBytes(image, b.Bytes());
    EXPECT_EQ(read.result, -1);
    EXPECT_EQ(read.status, c.code);
    ExpectEmptyRecord(image);
  }
}

// A 1 x 1 fractal picture at block code 0: padded to 8 x 8, four range blocks, one domain
// block. Raw domain indices and offsets, a transform stream of one count (all zeros).
struct FractalFixture {
  uint32_t blockCount = 4;
  uint32_t iterations = 1;
  uint8_t domainMethod = 0;
  uint8_t offsetMethod = 0;
  uint8_t pixelFormat = 6;
  std::vector<uint8_t> domain = std::vector<uint8_t>(8, 0);
  std::vector<uint8_t> offsets = {0x05, 0xFF, 0x80, 0x05, 0xFF, 0x80,
                                  0x05, 0xFF, 0x80, 0x05, 0xFF, 0x80};
  std::vector<uint8_t> transformTable = kOnlyZeroTable;
  std::vector<uint8_t> transformBits;
  uint32_t transformDecoded = 4;

  std::vector<uint8_t> Bytes() const {
    QavBytes b;
    b.Common(2, 1, 1);
    b.U8(pixelFormat).Fill(3, 0xEE).U32(blockCount).U32(0).U32(iterations);
    b.U8(domainMethod).U8(offsetMethod).Fill(2, 0xEE);
    b.U32(static_cast<uint32_t>(domain.size())).U32(static_cast<uint32_t>(domain.size())).U32(0);
    b.U32(static_cast<uint32_t>(offsets.size())).U32(static_cast<uint32_t>(offsets.size())).U32(0);
    b.U32(transformDecoded)
        .U32(static_cast<uint32_t>(transformTable.size() + transformBits.size()))
        .U32(static_cast<uint32_t>(transformTable.size()));
    if (domainMethod <= 2)
      b.Raw(domain);
    b.Raw(offsets).Raw(transformTable).Raw(transformBits);
    return b.Bytes();
  }
};

// The one shown pixel as blue, green, red.
std::vector<int> FractalPixel(const TQAV& image) {
  const uint8_t* row = image.bitmap->RowData(0);
  return {row[0], row[1], row[2]};
}

TEST(QavFractal, RawOffsetTripleAndIterationCounts) {
  // Offsets 05 FF 80 are red +5, green -1, blue -128. From grey 127 every pass gives
  // clamp(3v/4 + offset): one pass 100 / 94 / 0; eight passes (stored 0) 29 / 8 / 0.
  struct Case {
    uint32_t iterations;
    std::vector<int> pixel;
  };
  const Case cases[] = {{1, {0, 94, 100}}, {0, {0, 8, 29}}, {8, {0, 8, 29}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.iterations);
    FractalFixture fixture;
    fixture.iterations = c.iterations;
    TQAV image;
    const ReadResult read = ReadBytes(image, fixture.Bytes());
    ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
    EXPECT_EQ(image.bitmap->GetPixelFormat(), pf24bit);
    EXPECT_EQ(image.bitmap->GetPalette(), nullptr);
    EXPECT_TRUE(image.bitmap->GetIgnorePalette());
    EXPECT_EQ(FractalPixel(image), c.pixel);
    ASSERT_NE(image.offsets, nullptr);
    EXPECT_EQ(image.offsets[0], -128);
    EXPECT_EQ(image.offsets[1], -1);
    EXPECT_EQ(image.offsets[2], 5);
    ASSERT_NE(image.domainIndices, nullptr);
    ASSERT_NE(image.transforms, nullptr);
    EXPECT_EQ(image.storedData, nullptr);
    EXPECT_EQ(image.pixels, nullptr);
  }
}

TEST(QavFractal, UnknownDomainMethodTakesNoBytes) {
  // Domain method 3: indices stay 0 and the offsets start the stored streams.
  FractalFixture fixture;
  fixture.domainMethod = 3;
  fixture.domain = std::vector<uint8_t>(8, 0x7F);  // sizes the header field only
  TQAV image;
  const ReadResult read = ReadBytes(image, fixture.Bytes());
  ASSERT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(image.domainIndices[k], 0);
  EXPECT_EQ(FractalPixel(image), (std::vector<int>{0, 94, 100}));
}

TEST(QavFractal, TolerableExtras) {
  // More blocks than the image has (every stream sized for them), and bytes after the last
  // stream, are no reason to refuse.
  FractalFixture more;
  more.blockCount = 6;
  more.domain.resize(12, 0);
  more.offsets.resize(18, 0);
  more.transformDecoded = 6;
  FractalFixture trailing;
  trailing.transformBits = {0xAA, 0xBB, 0xCC};
  for (const FractalFixture* fixture : {&more, &trailing}) {
    TQAV image;
    const ReadResult read = ReadBytes(image, fixture->Bytes());
    EXPECT_TRUE(read.status.IsOk()) << testing::PrintToString(read.status);
    EXPECT_EQ(FractalPixel(image), (std::vector<int>{0, 94, 100}));
  }
}

TEST(QavFractal, RefusedParameters) {
  struct Case {
    const char* name;
    FractalFixture fixture;
    QavCode code;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, QavCode code, auto change) {
    Case c{name, FractalFixture(), code};
    change(c.fixture);
    cases.push_back(c);
  };
  add("blockCount below the image's", QavCode::InconsistentHeader, [](FractalFixture& f) {
    f.blockCount = 3;
    f.domain.resize(6);
    f.offsets.resize(9);
    f.transformDecoded = 3;
  });
  add("pixel format 3", QavCode::InconsistentHeader, [](FractalFixture& f) { f.pixelFormat = 3; });
  add("raw domain stream too short", QavCode::InconsistentHeader,
      [](FractalFixture& f) { f.domain.resize(6); });
  add("domain index past the domain blocks", QavCode::BadDomainIndex,
      [](FractalFixture& f) { f.domain[2] = 1; });
  add("transform decoded size short", QavCode::ExpansionShort,
      [](FractalFixture& f) { f.transformDecoded = 3; });
  add("transform code 9", QavCode::BadTransform, [](FractalFixture& f) {
    // Counts: 4 for byte 9 only.
    f.transformTable = {0x92, 0x00, 0x02, 0x04, 0x00, 0xFF, 0x00,
                        0xFF, 0x00, 0xFF, 0x00, 0xEF, 0x00};
  });
  add("iterations above the limit", QavCode::TooMuchWork,
      [](FractalFixture& f) { f.iterations = 257; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TQAV image;
    const ReadResult read = ReadBytes(image, c.fixture.Bytes());
    EXPECT_EQ(read.result, -1);
    EXPECT_EQ(read.status, c.code);
    ExpectEmptyRecord(image);
  }
}

TEST(QavFractal, HeaderBoundsRefuseBeforeAnyAllocation) {
  // Claims that a file of a few bytes could make: checked against the bounds alone.
  struct Case {
    int width, height;
    uint32_t iterations, blockCount;
    QavCode code;
  };
  constexpr uint32_t kBlocksAtTheLimit = 1u << 22;  // 8192 x 8192 in 4 x 4 blocks
  const Case cases[] = {
      // At every limit: only the missing parameter data refuses it.
      {8192, 8192, 16, kBlocksAtTheLimit, QavCode::Truncated},
      {8192, 8192, 17, kBlocksAtTheLimit, QavCode::TooMuchWork},
      {8192, 8192, 257, kBlocksAtTheLimit, QavCode::TooMuchWork},
      {8192, 8192, 8, kBlocksAtTheLimit + 1, QavCode::OverMemoryLimit},
      {8193, 8192, 8, kBlocksAtTheLimit, QavCode::OverMemoryLimit},  // pads to 8196 x 8192
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.iterations);
    TQAV image;
    image.width = static_cast<int16_t>(c.width);
    image.height = static_cast<int16_t>(c.height);
    FractalHeader& header = image.fractalHeader;
    header.pixelFormat = 6;
    header.iterations = c.iterations;
    header.blockCount = c.blockCount;
    header.domainStoredSize = 2 * c.blockCount;
    header.offsetStoredSize = 3 * c.blockCount;
    header.transformDecodedSize = c.blockCount;
    EXPECT_EQ(CheckFractalHeader(image, QavPlace{1000, 0}), c.code);
  }
}

TEST(QavFractal, EveryTruncationIsRefused) {
  const std::vector<uint8_t> whole = FractalFixture().Bytes();
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    TQAV image;
    const ReadResult read =
        ReadBytes(image, std::vector<uint8_t>(whole.begin(), whole.begin() + length));
    EXPECT_EQ(read.result, -1);
    EXPECT_EQ(read.status, length == 0 ? QavCode::NotQav : QavCode::Truncated);
    ExpectEmptyRecord(image);
  }
}

}  // namespace
