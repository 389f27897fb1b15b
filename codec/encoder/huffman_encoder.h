#pragma once
// Huffman stream encoder for tests and tools: writes what HuffmanDecoder reads.

#include <cstddef>
#include <cstdint>
#include <vector>

struct HuffmanEncoded {
  std::vector<uint8_t> tableBlock;  // run-length coded 256 x 16-bit counts
  std::vector<uint8_t> bitStream;   // the codes, least significant bit first
};

// Counts the bytes of data, scaled down to 16 bits where needed (a nonzero count stays
// nonzero), builds the decoder's tree from the stored counts and writes every byte's code.
HuffmanEncoded HuffmanEncode(const uint8_t* data, size_t size);
