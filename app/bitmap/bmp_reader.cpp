#include "bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap_limits.h"
#include "bmp_rle.h"
#include "byte_reader.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kV2HeaderBytes = 52;  // adds the red, green and blue masks
constexpr uint32_t kV3HeaderBytes = 56;  // adds the alpha mask

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kJpeg = 4,  // and, in OS/2 files, 24-bit run-length coding
  kPng = 5,
  kAlphaBitFields = 6,
};

// Run-length data of two bytes gives at most 255 pixels, about 128 bytes of rows. A file whose
// rows would be much larger than that can only come from moves and early end marks skipping
// most of the picture; we refuse those beyond a small floor, so that a few bytes cannot make us
// allocate a huge block.
constexpr uint64_t kRleExpansionLimit = 128;
constexpr uint64_t kRleAlwaysAllowedRowBytes = uint64_t{16} << 20;

struct Header {
  uint32_t pixelOffset = 0;
  uint32_t headerBytes = 0;
  int64_t width = 0;
  int64_t height = 0;  // positive; topDown tells the order
  bool topDown = false;
  int planes = 0;
  int bitsPerPixel = 0;
  uint32_t compression = kRgb;
  uint32_t coloursUsed = 0;  // 0: the full table of an indexed depth
  bool hasMasks = false;
  TColorMasks masks;
  size_t tableStart = 0;  // where the colour table begins
  size_t tableEntryBytes = 4;
};

bool IsKnownHeaderSize(uint32_t bytes) {
  switch (bytes) {
    case kCoreHeaderBytes:
    case kInfoHeaderBytes:
    case kV2HeaderBytes:
    case kV3HeaderBytes:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

bool IsIndexed(int bitsPerPixel) {
  return bitsPerPixel <= 8;
}

void ReadCoreHeader(ByteReader& in, Header& h) {
  h.width = in.U16();
  h.height = in.U16();
  h.planes = in.U16();
  h.bitsPerPixel = in.U16();
  h.tableEntryBytes = 3;
}

void ReadMasks(ByteReader& in, Header& h) {
  h.hasMasks = true;
  h.masks.red = in.U32();
  h.masks.green = in.U32();
  h.masks.blue = in.U32();
}

void ReadInfoHeader(ByteReader& in, Header& h) {
  h.width = in.I32();
  const int32_t height = in.I32();
  h.topDown = height < 0;
  h.height = height < 0 ? -static_cast<int64_t>(height) : height;
  h.planes = in.U16();
  h.bitsPerPixel = in.U16();
  h.compression = in.U32();
  in.Skip(12);  // image size (often 0 or wrong: we work it out), resolution
  h.coloursUsed = in.U32();
  in.Skip(4);  // important colours
  const bool bitFields = h.compression == kBitFields || h.compression == kAlphaBitFields;
  if (bitFields && h.headerBytes >= kV2HeaderBytes)
    ReadMasks(in, h);
}

void CheckLayout(const Header& h, const std::string& source) {
  if (h.planes != 1)
    ThrowInvalidBitmap(source, "the plane count is " + std::to_string(h.planes) + ", not 1");
  if (h.width <= 0 || h.height == 0)
    ThrowInvalidBitmap(source, "the size " + std::to_string(h.width) + " x " +
                                   std::to_string(h.height) + " has no pixels");
  // Embedded pictures carry no depth of their own, so say what they are first.
  if (h.compression == kJpeg || h.compression == kPng)
    ThrowInvalidBitmap(source, std::string("an embedded ") +
                                   (h.compression == kJpeg ? "JPEG" : "PNG") +
                                   " image is not supported");
  switch (h.bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      ThrowInvalidBitmap(source, std::to_string(h.bitsPerPixel) +
                                     " bits per pixel is not a depth of Windows bitmaps");
  }
  switch (h.compression) {
    case kRgb:
      break;
    case kRle8:
    case kRle4:
      if (h.bitsPerPixel != (h.compression == kRle8 ? 8 : 4))
        ThrowInvalidBitmap(source, "run-length compression " + std::to_string(h.compression) +
                                       " does not fit " + std::to_string(h.bitsPerPixel) +
                                       " bits per pixel");
      // The runs are defined from the bottom row up; a negative height cannot apply to them.
      if (h.topDown)
        ThrowInvalidBitmap(source, "run-length compressed rows cannot be top-down");
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bitsPerPixel != 16 && h.bitsPerPixel != 32)
        ThrowInvalidBitmap(source, "colour masks need 16 or 32 bits per pixel, not " +
                                       std::to_string(h.bitsPerPixel));
      break;
    default:
      ThrowInvalidBitmap(source,
                         "compression method " + std::to_string(h.compression) + " is not known");
  }
  const std::string problem = BitmapSizeProblem(h.width, h.height);
  if (!problem.empty())
    ThrowInvalidBitmap(source, problem);
}

Header ReadHeaders(ByteReader& in) {
  const std::string& source = in.SourceName();
  in.Require(kFileHeaderBytes + 4, "the file is too short for the bitmap headers");
  if (in.U8() != 'B' || in.U8() != 'M')
    ThrowInvalidBitmap(source, "the file does not begin with the mark \"BM\"");
  // The file size and the reserved words are unreliable in practice and not needed.
  in.Skip(8);
  Header h;
  h.pixelOffset = in.U32();
  h.headerBytes = in.U32();
  if (!IsKnownHeaderSize(h.headerBytes))
    ThrowInvalidBitmap(source, "an information header of " + std::to_string(h.headerBytes) +
                                   " bytes is not a known kind");
  in.Require(h.headerBytes - 4, "the file ends inside the information header");
  const size_t headerEnd = kFileHeaderBytes + h.headerBytes;
  if (h.headerBytes == kCoreHeaderBytes)
    ReadCoreHeader(in, h);
  else
    ReadInfoHeader(in, h);
  in.Seek(headerEnd);
  CheckLayout(h, source);
  // A 40-byte header keeps its masks right behind it (four with alpha, which we do not use).
  if (!h.hasMasks && (h.compression == kBitFields || h.compression == kAlphaBitFields)) {
    const size_t maskBytes = h.compression == kAlphaBitFields ? 16 : 12;
    in.Require(maskBytes, "the file ends inside the colour masks");
    ReadMasks(in, h);
    in.Seek(headerEnd + maskBytes);
  }
  h.tableStart = in.Position();
  if (h.pixelOffset < h.tableStart || h.pixelOffset > in.Size())
    ThrowInvalidBitmap(source, "the pixel data offset " + std::to_string(h.pixelOffset) +
                                   " lies outside " + std::to_string(h.tableStart) + " to " +
                                   std::to_string(in.Size()));
  return h;
}

// The colour table of an indexed picture, widened to the full 2^depth entries (black where the
// file gives none). A table without a count takes what fits before the pixel data, at most the
// full size; one with a count must fit there, and entries beyond the depth's are not used.
std::shared_ptr<const TPalette> ReadColourTable(ByteReader& in, const Header& h,
                                                int storedBitsPerPixel) {
  const std::string& source = in.SourceName();
  const size_t fullCount = size_t{1} << h.bitsPerPixel;
  const size_t room = (h.pixelOffset - h.tableStart) / h.tableEntryBytes;
  size_t count = std::min(fullCount, room);
  if (h.coloursUsed != 0) {
    if (h.coloursUsed > room)
      ThrowInvalidBitmap(source, "the colour table of " + std::to_string(h.coloursUsed) +
                                     " entries runs past the start of the pixel data");
    count = std::min<size_t>(h.coloursUsed, fullCount);
  }
  if (count == 0)
    ThrowInvalidBitmap(source, "the picture has no colour table");
  std::vector<PALETTEENTRY> entries(size_t{1} << storedBitsPerPixel, PALETTEENTRY{0, 0, 0, 0});
  in.Seek(h.tableStart);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* bgr = in.Take(h.tableEntryBytes);
    entries[i] = {bgr[2], bgr[1], bgr[0], 0};
  }
  return std::make_shared<const TPalette>(std::move(entries));
}

// Widens a row of 2-bit pixels to the 4-bit layout: each index becomes a nibble.
void WidenTwoBitRow(const uint8_t* source, int width, uint8_t* target) {
  for (int x = 0; x < width; ++x) {
    const int index = source[x >> 2] >> (6 - 2 * (x & 3)) & 3;
    uint8_t& byte = target[x >> 1];
    byte = static_cast<uint8_t>((x & 1) ? byte | index : index << 4);
  }
}

void ReadUncompressedRows(ByteReader& in, const Header& h, BitmapStorage& s) {
  const uint64_t fileRowBytes = PaddedRowBytes(static_cast<uint64_t>(h.width), h.bitsPerPixel);
  const uint64_t packedRowBytes = (static_cast<uint64_t>(h.width) * h.bitsPerPixel + 7) / 8;
  // The last row may lack its padding; everything else must be there.
  const uint64_t needed = fileRowBytes * static_cast<uint64_t>(h.height - 1) + packedRowBytes;
  const uint64_t present = in.Size() - h.pixelOffset;
  if (needed > present)
    ThrowInvalidBitmap(in.SourceName(), "the pixel data ends after " +
                                            std::to_string(present / fileRowBytes) + " of " +
                                            std::to_string(h.height) + " rows");
  const uint8_t* pixels = in.Take(needed);  // the reader stands at the pixel offset
  s.AllocateRows(h.bitsPerPixel == 2);
  for (int64_t row = 0; row < h.height; ++row) {
    const int64_t fileRow = h.topDown ? row : h.height - 1 - row;
    const uint8_t* source = pixels + static_cast<uint64_t>(fileRow) * fileRowBytes;
    uint8_t* target = s.rows.get() + static_cast<size_t>(row) * s.bytesPerRow;
    if (h.bitsPerPixel == 2) {
      WidenTwoBitRow(source, static_cast<int>(h.width), target);
      continue;
    }
    const uint64_t available = std::min(fileRowBytes, present - fileRow * fileRowBytes);
    std::memcpy(target, source, available);
    std::memset(target + available, 0, fileRowBytes - available);
  }
}

void ReadRunLengthRows(ByteReader& in, const Header& h, BitmapStorage& s) {
  const uint64_t rowBlock = PaddedRowBytes(static_cast<uint64_t>(h.width), h.bitsPerPixel) *
                            static_cast<uint64_t>(h.height);
  // Bytes after the end mark are not run-length data: they cannot fill rows.
  const uint64_t runBytes = BmpRleBytesToEndMark(in.Here(), in.Remaining(), h.bitsPerPixel);
  if (rowBlock > kRleAlwaysAllowedRowBytes && rowBlock > runBytes * kRleExpansionLimit)
    ThrowInvalidBitmap(in.SourceName(), "the " + std::to_string(runBytes) +
                                            " bytes of run-length data cannot fill " +
                                            std::to_string(rowBlock) + " bytes of rows");
  s.AllocateRows(true);
  DecodeBmpRle(in, h.bitsPerPixel, s.width, s.height, s.rows.get(), s.bytesPerRow);
}

}  // namespace

std::shared_ptr<BitmapStorage> ReadBmp(const uint8_t* data, size_t size,
                                       const std::string& sourceName) {
  ByteReader in(data, size, sourceName);
  const Header h = ReadHeaders(in);
  auto s = std::make_shared<BitmapStorage>();
  s->width = static_cast<int>(h.width);
  s->height = static_cast<int>(h.height);
  s->bitsPerPixel = h.bitsPerPixel == 2 ? 4 : h.bitsPerPixel;
  s->device = false;
  s->hasMasks = h.hasMasks;
  s->masks = h.masks;
  s->coreHeader = h.headerBytes == kCoreHeaderBytes;
  // True-colour files may carry a colour table for displays with few colours; we do not use it.
  if (IsIndexed(h.bitsPerPixel))
    s->palette = ReadColourTable(in, h, s->bitsPerPixel);
  in.Seek(h.pixelOffset);
  if (h.compression == kRle8 || h.compression == kRle4)
    ReadRunLengthRows(in, h, *s);
  else
    ReadUncompressedRows(in, h, *s);
  return s;
}
