#include "qav_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "colour_rows.h"
#include "qav_file_source.h"
#include "qav_header_checks.h"
#include "qav_loader.h"
#include "qav_stream_unpack.h"
#include "rle.h"

namespace {

// A read that ends: result for the caller, and fine or the reason it was not shown.
struct ReadEnd {
  int result;
  QavVerdict verdict;
};

ReadEnd Accepted(QavVerdict verdict) {
  return {0, std::move(verdict)};
}
ReadEnd Refused(QavVerdict verdict) {
  return {-1, std::move(verdict)};
}

// Reads `count` bytes of the part named `what`, or refuses the file as truncated.
QavVerdict ReadPart(QavFileSource& source, void* destination, size_t count, const char* what) {
  const uint64_t present = source.Remaining();
  if (!source.ReadExactly(destination, count))
    return RefuseTruncated(what, count, present);
  return QavVerdict::Fine();
}

QavVerdict ReadCommonHeader(QavFileSource& source, TQAV& image) {
  uint8_t header[kQavCommonHeaderSize];
  const uint64_t present = source.Remaining();
  const size_t magicBytes = source.Read(header, 3);
  if (magicBytes < 3) {
    return QavVerdict::Refuse("it is too short to be a QAV file (" + std::to_string(present) +
                              " bytes)");
  }
  std::memcpy(image.magic, header, 3);
  if (std::memcmp(image.magic, "QAV", 3) != 0) {
    return QavVerdict::Refuse("it is not a QAV file (wrong magic)");
  }
  QAV_RETURN_IF_REFUSED(ReadPart(source, header + 3, 2, "common header"));
  image.reserved = header[3];
  image.version = header[4];
  if (image.version > kNewestQavVersion) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", image.version);
    return QavVerdict::Refuse(std::string("its format version ") + hex +
                              " is newer than this viewer reads");
  }
  QAV_RETURN_IF_REFUSED(ReadPart(source, header + 5, 5, "common header"));
  image.method = header[5];
  image.width = static_cast<int16_t>(LoadLe16(header + 6));
  image.height = static_cast<int16_t>(LoadLe16(header + 8));
  return QavVerdict::Fine();
}

// Reads `entries` palette entries and hands the palette to the bitmap.
QavVerdict ReadPalette(QavFileSource& source, TQAV& image, uint16_t entries) {
  uint8_t bytes[256 * kPaletteEntrySize];
  QAV_RETURN_IF_REFUSED(ReadPart(source, bytes, entries * kPaletteEntrySize, "palette"));
  for (size_t i = 0; i < entries; ++i) {
    image.palette.palPalEntry[i] = {bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2],
                                    bytes[4 * i + 3]};
  }
  image.palette.palVersion = 0x300;
  image.palette.palNumEntries = entries;
  return QavVerdict::Fine();
}

void ConfigureBitmap(TQAV& image, int pixelFormat) {
  image.bitmap->SetPixelFormat(pixelFormat);
  image.bitmap->SetHeight(image.height);
  image.bitmap->SetWidth(image.width);
}

void GivePalette(TQAV& image) {
  image.bitmap->SetPalette(CreatePalette(image.palette));
  image.bitmap->SetMonochrome(image.palette.palNumEntries == 2);
}

// Allocates storedData and reads `count` bytes of stored data into it (already checked
// against the bytes present).
QavVerdict ReadStoredData(QavFileSource& source, TQAV& image, size_t count, const char* what) {
  image.storedData = std::make_unique<uint8_t[]>(count == 0 ? 1 : count);
  return ReadPart(source, image.storedData.get(), count, what);
}

// The method headers' fields at their places; the padding between them is skipped.
void ParseRleHeader(const uint8_t* bytes, RleHeader& header) {
  header.pixelFormat = bytes[0];
  header.storedSize = LoadLe32(bytes + 4);
  header.fullPalette = bytes[8];
}

void ParseHuffmanHeader(const uint8_t* bytes, HuffmanHeader& header) {
  header.pixelFormat = bytes[0];
  header.decodedSize = LoadLe32(bytes + 4);
  header.bitStreamSize = LoadLe32(bytes + 8);
  header.packedSize = LoadLe32(bytes + 12);
  header.tableSize = LoadLe32(bytes + 16);
}

void ParseFractalHeader(const uint8_t* bytes, FractalHeader& header) {
  header.pixelFormat = bytes[0];
  header.blockCount = LoadLe32(bytes + 4);
  header.blockSizeCode = LoadLe32(bytes + 8);
  header.iterations = LoadLe32(bytes + 12);
  header.domainMethod = bytes[16];
  header.offsetMethod = bytes[17];
  header.domainDecodedSize = LoadLe32(bytes + 20);
  header.domainStoredSize = LoadLe32(bytes + 24);
  header.domainTableSize = LoadLe32(bytes + 28);
  header.offsetDecodedSize = LoadLe32(bytes + 32);
  header.offsetStoredSize = LoadLe32(bytes + 36);
  header.offsetTableSize = LoadLe32(bytes + 40);
  header.transformDecodedSize = LoadLe32(bytes + 44);
  header.transformStoredSize = LoadLe32(bytes + 48);
  header.transformTableSize = LoadLe32(bytes + 52);
}

// Shows decoded palette rows (in `pixels`, bottom row first) and frees them.
void ShowPaletteRows(TQAV& image, int pixelFormat, size_t rowBytes) {
  ConfigureBitmap(image, pixelFormat);
  GivePalette(image);
  // Stored rows carry no padding.
  CopyRowsBottomUp(image.pixels.get(), rowBytes, image.height, *image.bitmap);
  image.pixels.reset();
}

QavVerdict ReadRunLengthImage(QavFileSource& source, TQAV& image) {
  uint8_t header[kRleHeaderSize];
  QAV_RETURN_IF_REFUSED(ReadPart(source, header, sizeof header, "method header"));
  RleHeader& rle = image.rleHeader;
  ParseRleHeader(header, rle);
  QAV_RETURN_IF_REFUSED(CheckRleHeader(image, source.Remaining()));
  const bool fullPalette = rle.fullPalette != 0;
  QAV_RETURN_IF_REFUSED(ReadPalette(source, image, fullPalette ? 256 : 2));
  QAV_RETURN_IF_REFUSED(ReadStoredData(source, image, rle.storedSize, "pixel data"));

  const size_t rowBytes = RleRowBytes(image.width, fullPalette);
  const size_t needed = rowBytes * static_cast<size_t>(image.height);
  // An expansion longer than the rows need is accepted and its tail ignored: older writers may
  // have stored extra runs. Only the rows are kept: the expansion is cut after the run that
  // completes them (a run gives at most 128 bytes), so a small file of long repeat runs cannot
  // make us allocate its whole expansion.
  const RleOutcome counted = RleExpandedSizeBounded(image.storedData.get(), rle.storedSize);
  if (counted.status != RleStatus::Ok) {
    return QavVerdict::Refuse(std::string("its pixel data is corrupt: ") +
                              RleStatusText(counted.status));
  }
  constexpr size_t kLongestRunBytes = 128;
  const size_t capacity = std::max(needed, std::min(counted.produced, needed + kLongestRunBytes));
  image.pixels = std::make_unique<uint8_t[]>(capacity);
  const RleOutcome expanded =
      RleExpandBounded(image.storedData.get(), rle.storedSize, image.pixels.get(), capacity);
  QAV_RETURN_IF_REFUSED(CheckStreamOutput("pixel", expanded.produced, needed, capacity));
  image.storedData.reset();
  ShowPaletteRows(image, rle.pixelFormat, rowBytes);
  return QavVerdict::Fine();
}

QavVerdict ReadHuffmanImage(QavFileSource& source, TQAV& image) {
  uint8_t header[kHuffmanHeaderSize];
  QAV_RETURN_IF_REFUSED(ReadPart(source, header, sizeof header, "method header"));
  HuffmanHeader& huffman = image.huffmanHeader;
  ParseHuffmanHeader(header, huffman);
  QAV_RETURN_IF_REFUSED(CheckHuffmanHeader(image, source.Remaining()));
  QAV_RETURN_IF_REFUSED(ReadPalette(source, image, 256));

  const bool packed = huffman.packedSize != 0;
  const size_t bitStreamStored = packed ? huffman.packedSize : huffman.bitStreamSize;
  QAV_RETURN_IF_REFUSED(
      ReadStoredData(source, image, size_t{huffman.tableSize} + bitStreamStored, "pixel data"));
  const uint8_t* table = image.storedData.get();
  const uint8_t* bitStream = table + huffman.tableSize;
  size_t bitStreamLength = bitStreamStored;
  if (packed) {
    // The packed bit stream expands to at most decodedSize bytes.
    image.scratch = std::make_unique<uint8_t[]>(huffman.decodedSize);
    QAV_RETURN_IF_REFUSED(ExpandRleStream("packed bit stream", bitStream, huffman.packedSize,
                                          image.scratch.get(), 0, huffman.decodedSize,
                                          &bitStreamLength));
    bitStream = image.scratch.get();
  }
  image.pixels = std::make_unique<uint8_t[]>(huffman.decodedSize);
  HuffmanDecoder decoder;
  QAV_RETURN_IF_REFUSED(DecodeHuffmanStream(decoder, "pixel", table, huffman.tableSize, bitStream,
                                            bitStreamLength, image.pixels.get(),
                                            huffman.decodedSize));
  image.scratch.reset();
  image.storedData.reset();
  ShowPaletteRows(image, huffman.pixelFormat, static_cast<size_t>(image.width));
  return QavVerdict::Fine();
}

QavVerdict ReadFractalImage(QavFileSource& source, TQAV& image) {
  uint8_t header[kFractalHeaderSize];
  QAV_RETURN_IF_REFUSED(ReadPart(source, header, sizeof header, "method header"));
  ParseFractalHeader(header, image.fractalHeader);
  QAV_RETURN_IF_REFUSED(CheckFractalHeader(image, source.Remaining()));

  ConfigureBitmap(image, image.fractalHeader.pixelFormat);
  image.bitmap->SetPalette(nullptr);
  image.bitmap->SetIgnorePalette(true);
  image.bitmap->SetMonochrome(false);
  // Bytes after the last stream are not read.
  const size_t stored = static_cast<size_t>(LayoutFractalStreams(image.fractalHeader).total);
  QAV_RETURN_IF_REFUSED(ReadStoredData(source, image, stored, "parameter data"));

  QAVloader loader(true);
  loader.SetImage(&image);
  loader.Start();
  loader.WaitFor();
  return loader.Outcome();
}

QavVerdict ReadMethodBody(QavFileSource& source, TQAV& image) {
  QAV_RETURN_IF_REFUSED(CheckQavImageSize(image.width, image.height));
  switch (image.method) {
    case 0:
      return ReadRunLengthImage(source, image);
    case 1:
      return ReadHuffmanImage(source, image);
    default:
      return ReadFractalImage(source, image);
  }
}

ReadEnd ReadFromSource(QavFileSource& source, TQAV& image) {
  QavVerdict common = ReadCommonHeader(source, image);
  if (!common.IsFine())
    return Refused(std::move(common));
  if (image.method > 2) {
    return Accepted(QavVerdict::Refuse("it uses storage method " + std::to_string(image.method) +
                                       ", which this viewer does not know"));
  }
  try {
    QavVerdict body = ReadMethodBody(source, image);
    return body.IsFine() ? Accepted(std::move(body)) : Refused(std::move(body));
  } catch (const std::bad_alloc&) {
    return Refused(QavVerdict::Refuse("there is not enough memory to decode it"));
  }
}

}  // namespace

int ReadQAVFile(TQAV* image, const char* fileName, QAVReadReport* report) {
  QavFileSource source(fileName);  // closed on every path when it goes out of scope
  const ReadEnd end = ReadFromSource(source, *image);
  const bool shown = end.verdict.IsFine();
  if (!shown)
    image->ClearImage();
  if (report != nullptr) {
    report->shown = shown;
    report->reason = end.verdict.Reason();
  }
  return end.result;
}

int ReadQAVFile(TQAV* image, const char* fileName) {
  return ReadQAVFile(image, fileName, nullptr);
}
