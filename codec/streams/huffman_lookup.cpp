#include "huffman_lookup.h"

#include <algorithm>
#include <cstring>

#include "huffman_tree.h"

namespace {

constexpr uint32_t kLongCodeFlag = 1u << 8;
constexpr uint32_t kLengthMask = 0xFF;
constexpr uint64_t kLookupMask = (uint64_t{1} << HuffmanLookupTable::kLookupBits) - 1;
// Short codes decoded after one refill: a refill leaves at least 56 bits in the buffer.
constexpr int kSymbolsPerRefill = 56 / HuffmanLookupTable::kLookupBits;

uint64_t LoadLittleEndian64(const uint8_t* bytes) {
  uint64_t word = 0;
  for (int i = 7; i >= 0; --i)
    word = (word << 8) | bytes[i];  // compiles to one load
  return word;
}

// Bits of the stream, least significant first, in a 64-bit buffer. Bits above bitCount are
// zero or the stream's own next bits, so a lookup over them stays a lookup of real data.
struct BitCursor {
  const uint8_t* bits;
  size_t readableBytes;
  size_t nextByte;
  uint64_t buffer = 0;
  unsigned bitCount = 0;

  BitCursor(const uint8_t* stream, size_t readable, size_t bitPosition)
      : bits(stream), readableBytes(readable), nextByte(bitPosition / 8) {
    RefillBytewise();
    Consume(unsigned(bitPosition % 8));  // a start past the stream is caught by its caller
  }

  size_t BitPosition() const { return nextByte * 8 - bitCount; }
  bool CanRefillWholeWord() const { return readableBytes - nextByte >= 8; }

  // Needs CanRefillWholeWord(). Loads eight bytes, keeps whole ones: bitCount becomes 56..63.
  void RefillWord() {
    buffer |= LoadLittleEndian64(bits + nextByte) << bitCount;
    nextByte += (63 - bitCount) >> 3;
    bitCount |= 56;
  }

  // Leaves bitCount at 56..63 while bytes remain; RefillWord relies on it staying below 64.
  void RefillBytewise() {
    while (bitCount < 56 && nextByte < readableBytes) {
      buffer |= uint64_t{bits[nextByte++]} << bitCount;
      bitCount += 8;
    }
  }

  void Consume(unsigned count) {
    buffer >>= count;
    bitCount -= count;
  }
};

}  // namespace

void HuffmanLookupTable::Build(const HuffmanNode& root, const HuffmanNode* pool) {
  pool_ = pool;
  shortestCode_ = ~0u;
  VisitHuffmanCodes(root, kLookupBits, [&](const HuffmanNode& node, uint64_t code, unsigned depth) {
    uint32_t entry = depth;
    if (IsHuffmanLeaf(node)) {
      entry |= uint32_t(node.symbol) << 16;
      shortestCode_ = std::min(shortestCode_, depth);
    } else {
      entry |= kLongCodeFlag | (uint32_t(&node - pool) << 16);
    }
    // Every index whose low depth bits are the code belongs to it.
    for (size_t index = code; index < entries_.size(); index += size_t{1} << depth)
      entries_[index] = entry;
  });
  // Codes longer than the table cannot be shorter than what the table saw.
  shortestCode_ = std::min(shortestCode_, kLookupBits + 1);
}

namespace {

// Finishes a code longer than the table from the inner node its entry names, one bit a level.
// Leaves the cursor as it was and answers false when the stream ends inside the code.
bool DecodeLongCode(BitCursor& cursor, const HuffmanNode* node, uint8_t& symbol) {
  const BitCursor atCodeStart = cursor;
  cursor.Consume(HuffmanLookupTable::kLookupBits);
  while (!IsHuffmanLeaf(*node)) {
    if (cursor.bitCount == 0) {
      cursor.RefillBytewise();
      if (cursor.bitCount == 0) {
        cursor = atCodeStart;
        return false;
      }
    }
    node = (cursor.buffer & 1) ? node->child1 : node->child0;
    cursor.Consume(1);
  }
  symbol = uint8_t(node->symbol);
  return true;
}

}  // namespace

void HuffmanLookupTable::DecodeFrom(const HuffmanStreamView& stream,
                                    HuffmanProgress& progress) const {
  if (progress.bitPosition / 8 >= stream.readableBytes)
    return;
  BitCursor cursor(stream.bits, stream.readableBytes, progress.bitPosition);
  size_t produced = progress.produced;
  uint8_t* const output = stream.output;
  const auto finish = [&] {
    progress.bitPosition = cursor.BitPosition();
    progress.produced = produced;
  };

  // The main loop: whole-word refills while eight bytes remain, several codes per refill.
  while (stream.symbolCount - produced >= size_t(kSymbolsPerRefill) &&
         cursor.CanRefillWholeWord()) {
    cursor.RefillWord();
    for (int i = 0; i < kSymbolsPerRefill; ++i) {
      const uint32_t entry = entries_[cursor.buffer & kLookupMask];
      if (entry & kLongCodeFlag) {
        if (!DecodeLongCode(cursor, pool_ + (entry >> 16), output[produced]))
          return finish();
        ++produced;
        break;  // the long code used up this refill's budget
      }
      output[produced++] = uint8_t(entry >> 16);
      cursor.Consume(entry & kLengthMask);
    }
  }

  // The last symbols and bytes: refill byte by byte, and stop at a code the stream cuts off.
  while (produced != stream.symbolCount) {
    cursor.RefillBytewise();
    const uint32_t entry = entries_[cursor.buffer & kLookupMask];
    // A code no longer than the bits at hand is decided by them alone, whatever lies above.
    if ((entry & kLengthMask) > cursor.bitCount)
      break;
    if (entry & kLongCodeFlag) {
      if (!DecodeLongCode(cursor, pool_ + (entry >> 16), output[produced]))
        break;
      ++produced;
      continue;
    }
    output[produced++] = uint8_t(entry >> 16);
    cursor.Consume(entry & kLengthMask);
  }
  finish();
}
