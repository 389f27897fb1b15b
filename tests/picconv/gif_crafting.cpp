#include "gif_crafting.h"

#include <algorithm>
#include <string>

uint32_t ClearCode(int minCodeSize) {
  return 1u << minCodeSize;
}

uint32_t EndCode(int minCodeSize) {
  return ClearCode(minCodeSize) + 1;
}

std::vector<uint32_t> LiteralCodes(const std::vector<uint8_t>& pixels, int minCodeSize,
                                   bool withEndCode) {
  std::vector<uint32_t> codes = {ClearCode(minCodeSize)};
  codes.insert(codes.end(), pixels.begin(), pixels.end());
  if (withEndCode) {
    codes.push_back(EndCode(minCodeSize));
  }
  return codes;
}

std::vector<uint32_t> FlatRunCodes(uint64_t count, uint8_t value, int minCodeSize) {
  std::vector<uint32_t> codes = {ClearCode(minCodeSize), value};
  // Each code after the literal is the one being defined: the string before it plus its
  // first pixel, one pixel longer.
  uint32_t code = EndCode(minCodeSize) + 1;
  uint64_t given = 1;
  uint64_t length = 2;
  while (given < count) {
    codes.push_back(code);
    given += length;
    if (code < 4095) {
      ++code;
      ++length;
    }
  }
  codes.push_back(EndCode(minCodeSize));
  return codes;
}

std::vector<uint8_t> PackLzwCodes(const std::vector<uint32_t>& codes, int minCodeSize) {
  std::vector<uint8_t> packed;
  uint64_t bits = 0;
  int bitCount = 0;
  int width = minCodeSize + 1;
  uint32_t nextCode = EndCode(minCodeSize) + 1;
  bool havePrevious = false;
  for (uint32_t code : codes) {
    bits |= uint64_t{code} << bitCount;
    bitCount += width;
    for (; bitCount >= 8; bitCount -= 8, bits >>= 8) {
      packed.push_back(static_cast<uint8_t>(bits));
    }
    if (code == ClearCode(minCodeSize)) {
      width = minCodeSize + 1;
      nextCode = EndCode(minCodeSize) + 1;
      havePrevious = false;
      continue;
    }
    if (code == EndCode(minCodeSize)) {
      continue;
    }
    if (havePrevious && nextCode < 4096) {
      ++nextCode;
    }
    havePrevious = true;
    if (nextCode >= (1u << width) && width < 12) {
      ++width;
    }
  }
  if (bitCount > 0) {
    packed.push_back(static_cast<uint8_t>(bits));
  }
  return packed;
}

CraftedGif::CraftedGif(int width, int height, const std::vector<GifRgb>& globalTable,
                       int backgroundIndex) {
  const std::string signature = "GIF89a";
  bytes_.assign(signature.begin(), signature.end());
  Word(width);
  Word(height);
  int sizeBits = 0;
  while ((size_t{2} << sizeBits) < globalTable.size()) {
    ++sizeBits;
  }
  bytes_.push_back(static_cast<uint8_t>((globalTable.empty() ? 0 : 0x80) | 0x70 | sizeBits));
  bytes_.push_back(static_cast<uint8_t>(backgroundIndex));
  bytes_.push_back(0);
  Table(globalTable);
}

void CraftedGif::Word(int value) {
  bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes_.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void CraftedGif::Table(const std::vector<GifRgb>& table) {
  if (table.empty()) {
    return;
  }
  size_t entries = 2;
  while (entries < table.size()) {
    entries *= 2;
  }
  for (size_t i = 0; i < entries; ++i) {
    const GifRgb colour = i < table.size() ? table[i] : kBlack;
    bytes_.insert(bytes_.end(), {colour.red, colour.green, colour.blue});
  }
}

CraftedGif& CraftedGif::Control(int disposal, int delay, int transparentIndex) {
  const int flags = (disposal << 2) | (transparentIndex >= 0 ? 1 : 0);
  bytes_.insert(bytes_.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(flags)});
  Word(delay);
  bytes_.insert(bytes_.end(), {static_cast<uint8_t>(std::max(transparentIndex, 0)), 0});
  return *this;
}

CraftedGif& CraftedGif::Image(const CraftedImage& image) {
  bytes_.push_back(0x2C);
  Word(image.left);
  Word(image.top);
  Word(image.width);
  Word(image.height);
  int sizeBits = 0;
  while ((size_t{2} << sizeBits) < image.localTable.size()) {
    ++sizeBits;
  }
  const int flags =
      (image.localTable.empty() ? 0 : 0x80 | sizeBits) | (image.interlaced ? 0x40 : 0);
  bytes_.push_back(static_cast<uint8_t>(flags));
  Table(image.localTable);
  bytes_.push_back(static_cast<uint8_t>(image.minCodeSize));
  const std::vector<uint8_t> data = PackLzwCodes(image.codes, image.minCodeSize);
  for (size_t start = 0; start < data.size(); start += 255) {
    const size_t length = std::min<size_t>(255, data.size() - start);
    bytes_.push_back(static_cast<uint8_t>(length));
    bytes_.insert(bytes_.end(), data.begin() + static_cast<ptrdiff_t>(start),
                  data.begin() + static_cast<ptrdiff_t>(start + length));
  }
  if (image.dataTerminator) {
    bytes_.push_back(0);
  }
  return *this;
}

CraftedGif& CraftedGif::Trailer() {
  bytes_.push_back(0x3B);
  return *this;
}

CraftedGif& CraftedGif::Bytes(const std::vector<uint8_t>& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}
