#pragma once
// TQAV: the record of one opened QAV file. It holds the common header, the three method
// headers (separate members; the one that `method` names is meaningful), the fractal
// parameter arrays that Effects > Reiterate decodes again, the logical palette, the bitmap that
// receives the pixels, and three working buffers that own nothing between two decodes.

#include <cstdint>
#include <memory>

#include "bitmap.h"
#include "palette.h"

// Storage method 0: run-length coded palette rows (8 or 1 bit per pixel).
struct RleHeader {
  uint8_t pixelFormat = 0;
  uint32_t storedSize = 0;
  uint8_t fullPalette = 0;
};

// Storage method 1: Huffman coded 8-bit palette pixels.
struct HuffmanHeader {
  uint8_t pixelFormat = 0;
  uint32_t decodedSize = 0;
  uint32_t bitStreamSize = 0;
  uint32_t packedSize = 0;  // 0: the bit stream is stored unpacked
  uint32_t tableSize = 0;
};

// Storage method 2: the fractal parameter streams.
struct FractalHeader {
  uint8_t pixelFormat = 0;
  uint32_t blockCount = 0;
  uint32_t blockSizeCode = 0;
  uint32_t iterations = 0;   // 0 means 8
  uint8_t domainMethod = 0;  // 0 raw, 1 run-length, 2 Huffman
  uint8_t offsetMethod = 0;
  uint32_t domainDecodedSize = 0;
  uint32_t domainStoredSize = 0;
  uint32_t domainTableSize = 0;
  uint32_t offsetDecodedSize = 0;
  uint32_t offsetStoredSize = 0;
  uint32_t offsetTableSize = 0;
  uint32_t transformDecodedSize = 0;
  uint32_t transformStoredSize = 0;
  uint32_t transformTableSize = 0;
};

// Byte sizes of the header pieces as the file stores them (padding included).
inline constexpr size_t kQavCommonHeaderSize = 10;
inline constexpr size_t kRleHeaderSize = 12;
inline constexpr size_t kHuffmanHeaderSize = 20;
inline constexpr size_t kFractalHeaderSize = 56;
inline constexpr size_t kPaletteEntrySize = 4;
inline constexpr uint8_t kNewestQavVersion = 0x31;

class TQAV {
 public:
  // A fresh record: null parameter arrays and an empty bitmap.
  TQAV();
  ~TQAV();
  TQAV(const TQAV&) = delete;
  TQAV& operator=(const TQAV&) = delete;

  // Frees the parameter arrays and working buffers and gives the record a new empty bitmap:
  // the state a refused file leaves behind.
  void ClearImage();

  char magic[3] = {};
  uint8_t reserved = 0;
  uint8_t version = 0;
  uint8_t method = 0;
  int16_t width = 0;
  int16_t height = 0;
  RleHeader rleHeader;
  HuffmanHeader huffmanHeader;
  FractalHeader fractalHeader;
  std::unique_ptr<uint16_t[]> domainIndices;  // blockCount entries
  std::unique_ptr<uint8_t[]> transforms;      // blockCount entries
  std::unique_ptr<int16_t[]> offsets;         // 3 x blockCount entries: blue, green, red
  LOGPALETTE palette = {};
  std::unique_ptr<TBitmap> bitmap;
  // Working buffers, allocated and freed within one decode. storedData is an array of bytes,
  // so the decode thread may keep its 32-bit colour words in it.
  std::unique_ptr<uint8_t[]> storedData;
  std::unique_ptr<uint8_t[]> pixels;
  std::unique_ptr<uint8_t[]> scratch;
};
