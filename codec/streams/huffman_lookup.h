#pragma once
// The fast path of Huffman decoding: a table indexed by the next kLookupBits bits of the stream
// gives the symbol and code length of every code that short; for a longer code it gives the
// inner node reached after kLookupBits bits, from where the tree is walked bit by bit. Code
// lengths thus stay unlimited while nearly every symbol costs one lookup.

#include <array>
#include <cstddef>
#include <cstdint>

#include "huffman.h"

// Where a decode stands: the bit position of the next code and the symbols written so far.
struct HuffmanProgress {
  size_t bitPosition = 0;
  size_t produced = 0;
};

// The caller-owned pieces of one decode.
struct HuffmanStreamView {
  const uint8_t* bits;
  size_t readableBytes;  // no byte at or past this index is read
  uint8_t* output;
  size_t symbolCount;
};

class HuffmanLookupTable {
 public:
  static constexpr unsigned kLookupBits = 11;

  // Fills the table for the tree whose root is an inner node; pool is the array that holds
  // the tree's records (long-code entries name their node by its index there).
  void Build(const HuffmanNode& root, const HuffmanNode* pool);

  // The length of the tree's shortest code.
  unsigned ShortestCode() const { return shortestCode_; }

  // Decodes from progress on until stream.symbolCount symbols are written or the next code
  // does not lie wholly within stream.readableBytes; progress then names that code.
  void DecodeFrom(const HuffmanStreamView& stream, HuffmanProgress& progress) const;

 private:
  // An entry: bits 0-7 the bits it consumes, bit 8 set for a long code, bits 16-31 the
  // symbol, or for a long code the pool index of the inner node reached.
  std::array<uint32_t, size_t{1} << kLookupBits> entries_{};
  const HuffmanNode* pool_ = nullptr;
  unsigned shortestCode_ = 0;
};
