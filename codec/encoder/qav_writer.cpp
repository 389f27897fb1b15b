#include "qav_writer.h"

#include <cstdio>

#include "huffman_encoder.h"
#include "rle_encoder.h"

namespace {

constexpr uint8_t kWrittenVersion = 0x31;

void PutByte(std::vector<uint8_t>& out, uint8_t value) {
  out.push_back(value);
}
void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}
void PutPadding(std::vector<uint8_t>& out, size_t count) {
  out.insert(out.end(), count, 0);
}
void PutBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void PutCommonHeader(std::vector<uint8_t>& out, uint8_t method, int width, int height) {
  out.insert(out.end(), {'Q', 'A', 'V'});
  PutByte(out, 0);  // reserved
  PutByte(out, kWrittenVersion);
  PutByte(out, method);
  PutLe16(out, static_cast<uint16_t>(width));
  PutLe16(out, static_cast<uint16_t>(height));
}

void PutPalette(std::vector<uint8_t>& out, const std::vector<PALETTEENTRY>& palette,
                size_t entries) {
  for (size_t i = 0; i < entries; ++i) {
    const PALETTEENTRY entry = i < palette.size() ? palette[i] : PALETTEENTRY{0, 0, 0, 0};
    out.insert(out.end(), {entry.peRed, entry.peGreen, entry.peBlue, entry.peFlags});
  }
}

// A Huffman coded stream: the count table block, then the bit stream.
struct HuffmanPieces {
  std::vector<uint8_t> table;
  std::vector<uint8_t> bits;
  size_t StoredSize() const { return table.size() + bits.size(); }
};

HuffmanPieces HuffmanCode(const std::vector<uint8_t>& data) {
  HuffmanEncoded encoded = HuffmanEncode(data.data(), data.size());
  return {std::move(encoded.tableBlock), std::move(encoded.bitStream)};
}

std::vector<uint8_t> RunLengthCode(const std::vector<uint8_t>& data) {
  return RleEncode(data.data(), data.size());
}

}  // namespace

std::vector<uint8_t> WriteRunLengthQav(const QavPaletteImage& image) {
  const bool fullPalette = image.palette.size() != 2;
  const std::vector<uint8_t> coded = RunLengthCode(image.rows);
  std::vector<uint8_t> out;
  PutCommonHeader(out, 0, image.width, image.height);
  PutByte(out, fullPalette ? 3 : 1);  // pixel format: 8 or 1 bit
  PutPadding(out, 3);
  PutLe32(out, static_cast<uint32_t>(coded.size()));
  PutByte(out, fullPalette ? 1 : 0);
  PutPadding(out, 3);
  PutPalette(out, image.palette, fullPalette ? 256 : 2);
  PutBytes(out, coded);
  return out;
}

std::vector<uint8_t> WriteHuffmanQav(const QavPaletteImage& image, bool packBitStream) {
  const HuffmanPieces coded = HuffmanCode(image.rows);
  std::vector<uint8_t> packed;
  if (packBitStream && coded.bits.size() <= image.rows.size())
    packed = RunLengthCode(coded.bits);
  // A packed stream of zero bytes would read as "unpacked"; an empty bit stream needs no packing.
  const bool storePacked = !packed.empty();
  std::vector<uint8_t> out;
  PutCommonHeader(out, 1, image.width, image.height);
  PutByte(out, 3);  // pixel format: 8 bits
  PutPadding(out, 3);
  PutLe32(out, static_cast<uint32_t>(image.rows.size()));
  PutLe32(out, static_cast<uint32_t>(coded.bits.size()));
  PutLe32(out, static_cast<uint32_t>(storePacked ? packed.size() : 0));
  PutLe32(out, static_cast<uint32_t>(coded.table.size()));
  PutPalette(out, image.palette, 256);
  PutBytes(out, coded.table);
  PutBytes(out, storePacked ? packed : coded.bits);
  return out;
}

namespace {

// One parameter stream as stored: its bytes, and the table length when Huffman coded.
struct StoredStream {
  std::vector<uint8_t> bytes;
  uint32_t tableSize = 0;
};

StoredStream StoreStream(const std::vector<uint8_t>& content, uint8_t method) {
  if (method == 1)
    return {RunLengthCode(content), 0};
  if (method == 2) {
    HuffmanPieces coded = HuffmanCode(content);
    StoredStream stream{std::move(coded.table), 0};
    stream.tableSize = static_cast<uint32_t>(stream.bytes.size());
    PutBytes(stream.bytes, coded.bits);
    return stream;
  }
  return {content, 0};
}

void PutStreamSizes(std::vector<uint8_t>& out, size_t decodedSize, const StoredStream& stream) {
  PutLe32(out, static_cast<uint32_t>(decodedSize));
  PutLe32(out, static_cast<uint32_t>(stream.bytes.size()));
  PutLe32(out, stream.tableSize);
}

}  // namespace

std::vector<uint8_t> WriteFractalQav(int width, int height, const FractalParameters& parameters,
                                     const FractalStorage& storage) {
  const size_t blocks = parameters.transforms.size();
  std::vector<uint8_t> domainBytes;
  for (uint16_t index : parameters.domainIndices)
    PutLe16(domainBytes, index);
  const std::vector<uint8_t> offsetBytes(parameters.offsetTriples.begin(),
                                         parameters.offsetTriples.end());
  const StoredStream domain = StoreStream(domainBytes, storage.domainMethod);
  const StoredStream offset = StoreStream(offsetBytes, storage.offsetMethod);
  const StoredStream transform = StoreStream(parameters.transforms, 2);

  std::vector<uint8_t> out;
  PutCommonHeader(out, 2, width, height);
  PutByte(out, 6);  // pixel format: 24 bits
  PutPadding(out, 3);
  PutLe32(out, static_cast<uint32_t>(blocks));
  PutLe32(out, static_cast<uint32_t>(parameters.blockSizeCode));
  PutLe32(out, storage.iterations);
  PutByte(out, storage.domainMethod);
  PutByte(out, storage.offsetMethod);
  PutPadding(out, 2);
  PutStreamSizes(out, domainBytes.size(), domain);
  PutStreamSizes(out, offsetBytes.size(), offset);
  PutStreamSizes(out, blocks, transform);
  PutBytes(out, domain.bytes);
  PutBytes(out, offset.bytes);
  PutBytes(out, transform.bytes);
  return out;
}

bool WriteBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (file == nullptr)
    return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
