#pragma once
// The code tree of Huffman streams, shared by the decoder and the test encoder so that both
// sides always agree on every code.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "huffman.h"

inline constexpr size_t kHuffmanSymbolCount = 256;
// A tree of n leaves takes 2n - 1 records: 256 leaves and 255 inner nodes at most.
inline constexpr size_t kHuffmanNodePoolSize = 2 * kHuffmanSymbolCount - 1;
// The count table block expands to 256 little-endian 16-bit counts.
inline constexpr size_t kHuffmanCountTableBytes = 2 * kHuffmanSymbolCount;

using HuffmanCounts = std::span<const uint16_t, kHuffmanSymbolCount>;
using HuffmanNodePool = std::span<HuffmanNode, kHuffmanNodePoolSize>;

// Builds the tree of the given counts in pool, leaves first in increasing byte value, and
// returns its root, or null when every count is 0.
HuffmanNode* BuildHuffmanTree(HuffmanCounts counts, HuffmanNodePool pool);

// Reads the 512 expanded bytes of a count table (low byte first) into 256 counts.
void UnpackHuffmanCounts(std::span<const uint8_t, kHuffmanCountTableBytes> tableBytes,
                         std::span<uint16_t, kHuffmanSymbolCount> counts);

// Calls visit(node, code, depth) for every leaf at most maxDepth deep and for every inner node
// exactly maxDepth deep (whose subtree it does not enter). code holds the branch bits from the
// root down, the first one in bit 0, which is the order a decoder reads them in. maxDepth is
// at most 64 so that code can hold them.
using HuffmanCodeVisitor =
    std::function<void(const HuffmanNode& node, uint64_t code, unsigned depth)>;
void VisitHuffmanCodes(const HuffmanNode& root, unsigned maxDepth, const HuffmanCodeVisitor& visit);

inline bool IsHuffmanLeaf(const HuffmanNode& node) {
  return node.symbol != -1;
}
