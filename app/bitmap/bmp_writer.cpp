#include "bmp_writer.h"

#include <algorithm>

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

// Appends little-endian values to the buffer of the file's headers and colour table.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint32_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(value & 0xFFFF);
    U16(value >> 16);
  }

 private:
  std::vector<uint8_t>& bytes_;
};

// The colours the file's table lists: the bitmap's palette up to the depth's size, or a grey
// ramp when an indexed bitmap has none, so that the file is always complete.
std::vector<PALETTEENTRY> TableEntries(const BitmapStorage& s) {
  if (s.bitsPerPixel > 8)
    return {};
  const size_t fullCount = size_t{1} << s.bitsPerPixel;
  if (s.palette && s.palette->Size() > 0) {
    const auto& entries = s.palette->Entries();
    return {entries.begin(), entries.begin() + std::min(fullCount, entries.size())};
  }
  return GreyRampEntries(s.bitsPerPixel);
}

// The 12-byte header has no masks and knows only these depths.
bool UsesCoreHeader(const BitmapStorage& s) {
  const bool coreDepth =
      s.bitsPerPixel == 1 || s.bitsPerPixel == 4 || s.bitsPerPixel == 8 || s.bitsPerPixel == 24;
  return s.coreHeader && !s.hasMasks && coreDepth;
}

}  // namespace

void WriteBmp(const BitmapStorage& s, const BmpPieceSink& sink) {
  if (s.width == 0 || s.height == 0)
    return;
  const bool core = UsesCoreHeader(s);
  const std::vector<PALETTEENTRY> table = TableEntries(s);
  const uint32_t entryBytes = core ? 3 : 4;
  const uint32_t maskBytes = s.hasMasks ? kMaskBytes : 0;
  const uint32_t pixelOffset = kFileHeaderBytes + (core ? kCoreHeaderBytes : kInfoHeaderBytes) +
                               maskBytes + static_cast<uint32_t>(table.size()) * entryBytes;
  // Within the image limits the rows stay far below 4 GiB, so the total fits 32 bits.
  const auto rowBlock = static_cast<uint32_t>(s.RowBlockBytes());
  std::vector<uint8_t> head;
  head.reserve(pixelOffset);
  ByteWriter out(head);

  out.U8('B');
  out.U8('M');
  out.U32(pixelOffset + rowBlock);
  out.U32(0);  // reserved
  out.U32(pixelOffset);
  if (core) {
    out.U32(kCoreHeaderBytes);
    out.U16(static_cast<uint32_t>(s.width));
    out.U16(static_cast<uint32_t>(s.height));
    out.U16(1);  // planes
    out.U16(static_cast<uint32_t>(s.bitsPerPixel));
  } else {
    out.U32(kInfoHeaderBytes);
    out.U32(static_cast<uint32_t>(s.width));
    out.U32(static_cast<uint32_t>(s.height));  // positive: rows stored bottom-up
    out.U16(1);
    out.U16(static_cast<uint32_t>(s.bitsPerPixel));
    out.U32(s.hasMasks ? kBitFields : kRgb);
    out.U32(rowBlock);
    out.U32(0);  // horizontal resolution: unknown
    out.U32(0);  // vertical resolution
    out.U32(static_cast<uint32_t>(table.size()));
    out.U32(0);  // all colours important
    if (s.hasMasks) {
      out.U32(s.masks.red);
      out.U32(s.masks.green);
      out.U32(s.masks.blue);
    }
  }
  for (const PALETTEENTRY& entry : table) {
    out.U8(entry.peBlue);
    out.U8(entry.peGreen);
    out.U8(entry.peRed);
    if (!core)
      out.U8(0);
  }
  sink(head.data(), head.size());
  const auto rowBytes = static_cast<size_t>(s.bytesPerRow);
  for (int row = s.height - 1; row >= 0; --row)
    sink(s.rows.get() + static_cast<size_t>(row) * rowBytes, rowBytes);
}

std::vector<uint8_t> WriteBmp(const BitmapStorage& s) {
  std::vector<uint8_t> bytes;
  WriteBmp(s, [&bytes](const uint8_t* data, size_t size) {
    bytes.insert(bytes.end(), data, data + size);
  });
  return bytes;
}
