#pragma once
// Huffman stream decoding. A stream is a run-length coded table of 256 16-bit byte counts
// (512 expanded bytes) and a bit stream of prefix codes read least significant bit first. The
// code tree is rebuilt from the counts by a fixed procedure whose tie-breaks every encoder
// must follow (see BuildHuffmanTree in huffman.cpp).

#include <cstddef>
#include <cstdint>

#include "qav_status.h"

// A decode's status: Ok, BadCountTable (the table block's runs do not end exactly at 512
// bytes), EmptyCountTable (every count is 0 while symbols are wanted) or BitStreamShort (the
// bit stream ends before the last code).

struct HuffmanNode {
  HuffmanNode* prev;
  HuffmanNode* next;
  HuffmanNode* child0;
  HuffmanNode* child1;
  int16_t symbol;  // 0..255 in a leaf, -1 in an inner node
  uint32_t weight;
};

// A decoder keeps all its working storage (count table, node pool, lookup tables) in itself,
// so decoders on different threads never meet. A decode is bounded: it reads nothing past the
// lengths it is given and writes nothing past symbolCount output bytes.
class HuffmanDecoder {
 public:
  HuffmanDecoder();
  ~HuffmanDecoder();
  HuffmanDecoder(const HuffmanDecoder&) = delete;
  HuffmanDecoder& operator=(const HuffmanDecoder&) = delete;

  // The fast path: table lookups several bits a step, the tree walk for long codes.
  QavStatus Decode(const uint8_t* bitStream, size_t bitStreamLength, uint8_t* output,
                   size_t symbolCount, const uint8_t* tableBlock, size_t tableBlockLength);
  // The reference: one bit per tree level. Gives exactly the bytes Decode gives.
  QavStatus DecodeByTreeWalk(const uint8_t* bitStream, size_t bitStreamLength, uint8_t* output,
                             size_t symbolCount, const uint8_t* tableBlock,
                             size_t tableBlockLength);
  // The contract form's decode, for a well-formed stream whose lengths are not known: it reads
  // table runs only up to the 512th count byte and bit-stream bytes only as far as the codes
  // of symbolCount symbols are sure to reach. Malformed input is outside its contract.
  QavStatus DecodeWellFormed(const uint8_t* bitStream, uint8_t* output, size_t symbolCount,
                             const uint8_t* tableBlock);

 private:
  struct Storage;
  Storage* storage_;
};

// The format's entry point for well-formed streams (no lengths are known): decodes
// symbolCount bytes with a decoder of its own.
void HuffmanDecode(const uint8_t* bitStream, uint8_t* output, int symbolCount,
                   const uint8_t* tableBlock);
