#include "huffman_encoder.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "huffman_tree.h"
#include "rle_encoder.h"

namespace {

struct Code {
  uint64_t bits = 0;
  unsigned length = 0;
};

std::array<uint16_t, kHuffmanSymbolCount> StoredCounts(const uint8_t* data, size_t size) {
  std::array<uint64_t, kHuffmanSymbolCount> occurrences{};
  for (size_t i = 0; i < size; ++i)
    ++occurrences[data[i]];
  const uint64_t largest = *std::max_element(occurrences.begin(), occurrences.end());
  std::array<uint16_t, kHuffmanSymbolCount> counts{};
  for (size_t value = 0; value < kHuffmanSymbolCount; ++value) {
    uint64_t count = occurrences[value];
    // count * 65535 fits 64 bits for any input below 2^48 bytes.
    if (largest > UINT16_MAX && count != 0)
      count = std::max<uint64_t>(1, count * UINT16_MAX / largest);
    counts[value] = uint16_t(count);
  }
  return counts;
}

std::vector<uint8_t> CountTableBytes(const std::array<uint16_t, kHuffmanSymbolCount>& counts) {
  std::vector<uint8_t> bytes;
  for (uint16_t count : counts) {
    bytes.push_back(uint8_t(count));
    bytes.push_back(uint8_t(count >> 8));
  }
  return bytes;
}

// The code of every symbol. With 16-bit counts the tree is at most about 35 levels deep (a
// Huffman tree d levels deep needs a total weight of a Fibonacci number of order d), far
// inside the 64 bits a code is kept in.
std::array<Code, kHuffmanSymbolCount> CodesOf(const HuffmanNode& root) {
  std::array<Code, kHuffmanSymbolCount> codes{};
  VisitHuffmanCodes(root, 64, [&](const HuffmanNode& node, uint64_t bits, unsigned depth) {
    if (!IsHuffmanLeaf(node))
      throw std::logic_error("Huffman tree deeper than 64 levels");
    codes[size_t(node.symbol)] = {bits, depth};
  });
  return codes;
}

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Write(const Code& code) {
    for (unsigned i = 0; i < code.length; ++i) {
      if (bitCount_ % 8 == 0)
        out_.push_back(0);
      if ((code.bits >> i) & 1)
        out_.back() |= uint8_t(1u << (bitCount_ % 8));
      ++bitCount_;
    }
  }

 private:
  std::vector<uint8_t>& out_;
  size_t bitCount_ = 0;
};

}  // namespace

HuffmanEncoded HuffmanEncode(const uint8_t* data, size_t size) {
  const std::array<uint16_t, kHuffmanSymbolCount> counts = StoredCounts(data, size);
  HuffmanEncoded encoded;
  const std::vector<uint8_t> tableBytes = CountTableBytes(counts);
  encoded.tableBlock = RleEncode(tableBytes.data(), tableBytes.size());
  std::array<HuffmanNode, kHuffmanNodePoolSize> pool;
  const HuffmanNode* root = BuildHuffmanTree(counts, pool);
  if (root == nullptr || IsHuffmanLeaf(*root))
    return encoded;  // no bits to write
  const std::array<Code, kHuffmanSymbolCount> codes = CodesOf(*root);
  BitWriter writer(encoded.bitStream);
  for (size_t i = 0; i < size; ++i)
    writer.Write(codes[data[i]]);
  return encoded;
}
