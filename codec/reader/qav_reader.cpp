#include "qav_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "colour_rows.h"
#include "bitmap_limits.h"
#include "qav_byte_source.h"
#include "qav_header_checks.h"
#include "qav_loader.h"
#include "qav_stream_unpack.h"
#include "regular_file.h"
#include "rle.h"

namespace {

QavPlace PlaceOf(const QavByteSource& source) {
  return {source.Length(), source.Position()};
}

// Reads the `count`-byte part named `what`, or reports the file cut short inside it.
QavStatus ReadPart(QavByteSource& source, void* destination, size_t count, const char* what) {
  const QavPlace place = PlaceOf(source);
  if (!source.ReadExactly(destination, count))
    return TruncatedInside(place, what, count);
  return QavStatus::Ok();
}

QavStatus ReadCommonHeader(QavByteSource& source, TQAV& image) {
  uint8_t header[kQavCommonHeaderSize];
  const size_t magicBytes = source.Read(header, 3);
  // A file that ends inside a correct start is cut short; any other start is not ours.
  if (magicBytes == 0 || std::memcmp(header, "QAV", magicBytes) != 0)
    return QavStatus(QavCode::NotQav);
  if (magicBytes < 3)
    return TruncatedInside({source.Length(), 0}, "header", kQavCommonHeaderSize);
  std::memcpy(image.magic, header, 3);
  const QavPlace headerStart{source.Length(), 0};
  if (!source.ReadExactly(header + 3, 2))
    return TruncatedInside(headerStart, "header", kQavCommonHeaderSize);
  image.reserved = header[3];
  image.version = header[4];
  if (image.version > kNewestQavVersion) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", image.version);
    return QavStatus(QavCode::NewerVersion, hex);
  }
  if (!source.ReadExactly(header + 5, 5))
    return TruncatedInside(headerStart, "header", kQavCommonHeaderSize);
  image.method = header[5];
  image.width = static_cast<int16_t>(LoadLe16(header + 6));
  image.height = static_cast<int16_t>(LoadLe16(header + 8));
  return QavStatus::Ok();
}

// Reads `entries` palette entries and hands the palette to the bitmap.
QavStatus ReadPalette(QavByteSource& source, TQAV& image, uint16_t entries) {
  uint8_t bytes[256 * kPaletteEntrySize];
  QAV_RETURN_IF_FAILED(ReadPart(source, bytes, entries * kPaletteEntrySize, "palette"));
  for (size_t i = 0; i < entries; ++i) {
    image.palette.palPalEntry[i] = {bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2],
                                    bytes[4 * i + 3]};
  }
  image.palette.palVersion = 0x300;
  image.palette.palNumEntries = entries;
  return QavStatus::Ok();
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
QavStatus ReadStoredData(QavByteSource& source, TQAV& image, size_t count, const char* what) {
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

QavStatus ReadRunLengthImage(QavByteSource& source, TQAV& image) {
  uint8_t header[kRleHeaderSize];
  QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
  RleHeader& rle = image.rleHeader;
  ParseRleHeader(header, rle);
  QAV_RETURN_IF_FAILED(CheckRleHeader(image, PlaceOf(source)));
  const bool fullPalette = rle.fullPalette != 0;
  QAV_RETURN_IF_FAILED(ReadPalette(source, image, fullPalette ? 256 : 2));
  QAV_RETURN_IF_FAILED(ReadStoredData(source, image, rle.storedSize, "pixel data"));

  const size_t rowBytes = RleRowBytes(image.width, fullPalette);
  const size_t needed = rowBytes * static_cast<size_t>(image.height);
  // An expansion longer than the rows need is accepted and its tail ignored: older writers may
  // have stored extra runs. Only the rows are kept: the expansion is cut after the run that
  // completes them (a run gives at most 128 bytes), so a small file of long repeat runs cannot
  // make us allocate its whole expansion.
  const RleOutcome counted = RleExpandedSizeBounded(image.storedData.get(), rle.storedSize);
  if (!counted.status.IsOk())
    return QavStatus(counted.status.Code(), "the pixel data");
  constexpr size_t kLongestRunBytes = 128;
  const size_t capacity = std::max(needed, std::min(counted.produced, needed + kLongestRunBytes));
  image.pixels = std::make_unique<uint8_t[]>(capacity);
  const RleOutcome expanded =
      RleExpandBounded(image.storedData.get(), rle.storedSize, image.pixels.get(), capacity);
  QAV_RETURN_IF_FAILED(CheckStreamOutput("pixel", expanded.produced, needed, capacity));
  image.storedData.reset();
  ShowPaletteRows(image, rle.pixelFormat, rowBytes);
  return QavStatus::Ok();
}

QavStatus ReadHuffmanImage(QavByteSource& source, TQAV& image) {
  uint8_t header[kHuffmanHeaderSize];
  QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
  HuffmanHeader& huffman = image.huffmanHeader;
  ParseHuffmanHeader(header, huffman);
  QAV_RETURN_IF_FAILED(CheckHuffmanHeader(image, PlaceOf(source)));
  QAV_RETURN_IF_FAILED(ReadPalette(source, image, 256));

  const bool packed = huffman.packedSize != 0;
  const size_t bitStreamStored = packed ? huffman.packedSize : huffman.bitStreamSize;
  QAV_RETURN_IF_FAILED(
      ReadStoredData(source, image, size_t{huffman.tableSize} + bitStreamStored, "pixel data"));
  const uint8_t* table = image.storedData.get();
  const uint8_t* bitStream = table + huffman.tableSize;
  size_t bitStreamLength = bitStreamStored;
  if (packed) {
    // The packed bit stream expands to at most decodedSize bytes.
    image.scratch = std::make_unique<uint8_t[]>(huffman.decodedSize);
    QAV_RETURN_IF_FAILED(ExpandRleStream("packed bit stream", bitStream, huffman.packedSize,
                                         image.scratch.get(), 0, huffman.decodedSize,
                                         &bitStreamLength));
    bitStream = image.scratch.get();
  }
  image.pixels = std::make_unique<uint8_t[]>(huffman.decodedSize);
  HuffmanDecoder decoder;
  QAV_RETURN_IF_FAILED(DecodeHuffmanStream(decoder, "pixel", table, huffman.tableSize, bitStream,
                                           bitStreamLength, image.pixels.get(),
                                           huffman.decodedSize));
  image.scratch.reset();
  image.storedData.reset();
  ShowPaletteRows(image, huffman.pixelFormat, static_cast<size_t>(image.width));
  return QavStatus::Ok();
}

QavStatus ReadFractalImage(QavByteSource& source, TQAV& image) {
  uint8_t header[kFractalHeaderSize];
  QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
  ParseFractalHeader(header, image.fractalHeader);
  QAV_RETURN_IF_FAILED(CheckFractalHeader(image, PlaceOf(source)));

  ConfigureBitmap(image, image.fractalHeader.pixelFormat);
  image.bitmap->SetPalette(nullptr);
  image.bitmap->SetIgnorePalette(true);
  image.bitmap->SetMonochrome(false);
  // Bytes after the last stream are not read.
  const size_t stored = static_cast<size_t>(LayoutFractalStreams(image.fractalHeader).total);
  QAV_RETURN_IF_FAILED(ReadStoredData(source, image, stored, "parameter data"));

  QAVloader loader(true);
  loader.SetImage(&image);
  loader.Start();
  loader.WaitFor();
  return loader.Outcome();
}

QavStatus ReadMethodBody(QavByteSource& source, TQAV& image) {
  switch (image.method) {
    case 0:
      return ReadRunLengthImage(source, image);
    case 1:
      return ReadHuffmanImage(source, image);
    default:
      return ReadFractalImage(source, image);
  }
}

// The common and method headers' fields into the record, checked as the reader checks them.
QavStatus ReadHeaders(QavByteSource& source, TQAV& image) {
  QAV_RETURN_IF_FAILED(ReadCommonHeader(source, image));
  if (image.method > 2)
    return QavStatus(QavCode::UnknownMethod, std::to_string(image.method));
  return CheckQavImageSize(image.width, image.height);
}

QavStatus ReadFromSource(QavByteSource& source, TQAV& image) {
  QAV_RETURN_IF_FAILED(ReadHeaders(source, image));
  try {
    return ReadMethodBody(source, image);
  } catch (const std::bad_alloc&) {
    return QavStatus(QavCode::OutOfMemory);
  }
}

// The method header's checks without the pixel data.
QavStatus ProbeMethodHeader(QavByteSource& source, TQAV& image, QavImageInfo& info) {
  switch (image.method) {
    case 0: {
      uint8_t header[kRleHeaderSize];
      QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
      ParseRleHeader(header, image.rleHeader);
      info.bitsPerPixel = image.rleHeader.fullPalette != 0 ? 8 : 1;
      return CheckRleHeader(image, PlaceOf(source));
    }
    case 1: {
      uint8_t header[kHuffmanHeaderSize];
      QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
      ParseHuffmanHeader(header, image.huffmanHeader);
      info.bitsPerPixel = 8;
      return CheckHuffmanHeader(image, PlaceOf(source));
    }
    default: {
      uint8_t header[kFractalHeaderSize];
      QAV_RETURN_IF_FAILED(ReadPart(source, header, sizeof header, "method header"));
      ParseFractalHeader(header, image.fractalHeader);
      info.bitsPerPixel = 24;
      return CheckFractalHeader(image, PlaceOf(source));
    }
  }
}

}  // namespace

QavStatus ReadQAVBytes(TQAV* image, std::span<const uint8_t> bytes) {
  QavByteSource source(bytes);
  QavStatus status = ReadFromSource(source, *image);
  if (!status.IsOk())
    image->ClearImage();
  return status;
}

QavStatus ReadQAVHeaderBytes(std::span<const uint8_t> bytes, QavImageInfo* info) {
  QavByteSource source(bytes);
  TQAV headers;
  *info = QavImageInfo{};
  const QavStatus common = ReadCommonHeader(source, headers);
  info->width = headers.width;
  info->height = headers.height;
  info->method = headers.method;
  QAV_RETURN_IF_FAILED(common);
  if (headers.method > 2)
    return QavStatus(QavCode::UnknownMethod, std::to_string(headers.method));
  QAV_RETURN_IF_FAILED(CheckQavImageSize(headers.width, headers.height));
  return ProbeMethodHeader(source, headers, *info);
}

QavStatus ReadQAVFileChecked(TQAV* image, const std::string& path) {
  FileBytes file;
  QAV_RETURN_IF_FAILED(ReadRegularFile(path, kMaxImageFileBytes, &file));
  return ReadQAVBytes(image, file.Span());
}

int ReadQAVFile(TQAV* image, const char* fileName) {
  const QavStatus status = ReadQAVFileChecked(image, fileName);
  return status.IsOk() || status.Code() == QavCode::UnknownMethod ? 0 : -1;
}
