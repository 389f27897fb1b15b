#include "huffman.h"

#include "huffman_tree.h"

namespace {

// The working list of the tree build: a doubly linked list through the nodes' prev and next.
struct WorkingList {
  HuffmanNode* first = nullptr;
  HuffmanNode* last = nullptr;

  void Append(HuffmanNode* node) {
    node->prev = last;
    node->next = nullptr;
    if (last != nullptr)
      last->next = node;
    else
      first = node;
    last = node;
  }

  void Unlink(HuffmanNode* node) {
    if (node->prev != nullptr)
      node->prev->next = node->next;
    else
      first = node->next;
    if (node->next != nullptr)
      node->next->prev = node->prev;
    else
      last = node->prev;
  }

  // The lightest node, the earliest in the list among equal weights: a later node replaces the
  // kept one only when it is strictly lighter. The ties between leaves, inner nodes and both
  // follow from this walk and the order in which nodes enter the list.
  HuffmanNode* Lightest() const {
    HuffmanNode* lightest = first;
    for (HuffmanNode* node = first->next; node != nullptr; node = node->next)
      if (node->weight < lightest->weight)
        lightest = node;
    return lightest;
  }
};

HuffmanNode MakeNode(int16_t symbol, uint32_t weight, HuffmanNode* child0, HuffmanNode* child1) {
  return HuffmanNode{nullptr, nullptr, child0, child1, symbol, weight};
}

}  // namespace

HuffmanNode* BuildHuffmanTree(HuffmanCounts counts, HuffmanNodePool pool) {
  size_t handedOut = 0;
  WorkingList list;
  for (size_t value = 0; value < kHuffmanSymbolCount; ++value) {
    if (counts[value] == 0)
      continue;
    HuffmanNode* leaf = &pool[handedOut++];
    *leaf = MakeNode(int16_t(value), counts[value], nullptr, nullptr);
    list.Append(leaf);
  }
  if (list.first == nullptr)
    return nullptr;
  if (list.first == list.last)
    return list.first;

  // Every merge takes two nodes off the list and puts at most one back, so after n - 1 merges
  // of n leaves the loop has returned, with 2n - 1 <= pool.size() records handed out.
  for (;;) {
    HuffmanNode* firstChoice = list.Lightest();
    list.Unlink(firstChoice);
    HuffmanNode* secondChoice = list.Lightest();
    HuffmanNode* inner = &pool[handedOut++];
    // Weights are at most 256 * 65535, far inside 32 bits.
    *inner = MakeNode(-1, firstChoice->weight + secondChoice->weight, secondChoice, firstChoice);
    if (list.first == list.last)
      return inner;  // secondChoice was the last node: the root
    list.Unlink(secondChoice);
    list.Append(inner);
  }
}

void UnpackHuffmanCounts(std::span<const uint8_t, kHuffmanCountTableBytes> tableBytes,
                         std::span<uint16_t, kHuffmanSymbolCount> counts) {
  for (size_t value = 0; value < kHuffmanSymbolCount; ++value)
    counts[value] = uint16_t(tableBytes[2 * value] | (tableBytes[2 * value + 1] << 8));
}

void VisitHuffmanCodes(const HuffmanNode& root, unsigned maxDepth,
                       const HuffmanCodeVisitor& visit) {
  struct Pending {
    const HuffmanNode* node;
    uint64_t code;
    unsigned depth;
  };
  // Depth-first with an explicit stack: each pop pushes at most two, and a full tree of at
  // most 511 nodes never holds more than its node count pending.
  Pending stack[kHuffmanNodePoolSize];
  size_t pending = 0;
  stack[pending++] = {&root, 0, 0};
  while (pending != 0) {
    const Pending item = stack[--pending];
    if (IsHuffmanLeaf(*item.node) || item.depth == maxDepth) {
      visit(*item.node, item.code, item.depth);
      continue;
    }
    stack[pending++] = {item.node->child0, item.code, item.depth + 1};
    stack[pending++] = {item.node->child1, item.code | (uint64_t{1} << item.depth), item.depth + 1};
  }
}

void HuffmanDecode(const uint8_t* bitStream, uint8_t* output, int symbolCount,
                   const uint8_t* tableBlock) {
  if (symbolCount < 0)
    return;
  HuffmanDecoder decoder;
  decoder.DecodeWellFormed(bitStream, output, size_t(symbolCount), tableBlock);
}
