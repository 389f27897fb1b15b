#include <array>
#include <cstring>

#include "huffman.h"
#include "huffman_lookup.h"
#include "huffman_tree.h"
#include "rle.h"

// Each decoder owns its count table, node pool and lookup table. The format's decoder kept
// these in one process-wide set; owning them per object lets decodes run side by side.
struct HuffmanDecoder::Storage {
  std::array<uint8_t, kHuffmanCountTableBytes> tableBytes;
  std::array<uint16_t, kHuffmanSymbolCount> counts;
  std::array<HuffmanNode, kHuffmanNodePoolSize> pool;
  HuffmanLookupTable lookup;
};

namespace {

// Bit p of a stream is bit p mod 8 of byte p div 8, least significant first.
constexpr uint8_t kBitMasks[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};

// The reference decode: one bit a tree level from the root for every symbol, reading no bit
// at or past bitLimit. Stops with progress at the start of a code the limit cuts off, after
// maxSymbols symbols, or at stream.symbolCount.
void WalkCodes(const HuffmanNode& root, const HuffmanStreamView& stream, size_t bitLimit,
               size_t maxSymbols, HuffmanProgress& progress) {
  for (size_t walked = 0; walked != maxSymbols && progress.produced != stream.symbolCount;
       ++walked) {
    const HuffmanNode* node = &root;
    size_t position = progress.bitPosition;
    while (!IsHuffmanLeaf(*node)) {
      if (position == bitLimit)
        return;
      const bool bit = stream.bits[position / 8] & kBitMasks[position % 8];
      node = bit ? node->child1 : node->child0;
      ++position;
    }
    stream.output[progress.produced++] = uint8_t(node->symbol);
    progress.bitPosition = position;
  }
}

// The bit limit of a stream of known length, kept from overflowing for absurd lengths.
size_t BitLimitOf(size_t bitStreamLength) {
  return bitStreamLength > SIZE_MAX / 8 ? SIZE_MAX : bitStreamLength * 8;
}

}  // namespace

namespace {

// The tree of one decode: expands the count table and builds the tree into storage.
struct PreparedTree {
  QavStatus status;
  const HuffmanNode* root;
};

PreparedTree PrepareTree(std::array<uint8_t, kHuffmanCountTableBytes>& tableBytes,
                         std::array<uint16_t, kHuffmanSymbolCount>& counts,
                         std::array<HuffmanNode, kHuffmanNodePoolSize>& pool,
                         const uint8_t* tableBlock, size_t tableBlockLength, size_t symbolCount) {
  const RleOutcome expanded =
      RleExpandToSizeBounded(tableBlock, tableBlockLength, tableBytes.data(), tableBytes.size());
  if (!expanded.status.IsOk())
    return {QavStatus(QavCode::BadCountTable), nullptr};
  UnpackHuffmanCounts(tableBytes, counts);
  const HuffmanNode* root = BuildHuffmanTree(counts, pool);
  // Without symbols wanted an empty table is harmless: there is nothing to walk.
  if (root == nullptr && symbolCount != 0)
    return {QavStatus(QavCode::EmptyCountTable), nullptr};
  return {QavStatus::Ok(), root};
}

}  // namespace

HuffmanDecoder::HuffmanDecoder() : storage_(new Storage) {}
HuffmanDecoder::~HuffmanDecoder() {
  delete storage_;
}

QavStatus HuffmanDecoder::Decode(const uint8_t* bitStream, size_t bitStreamLength, uint8_t* output,
                                 size_t symbolCount, const uint8_t* tableBlock,
                                 size_t tableBlockLength) {
  Storage& s = *storage_;
  const PreparedTree tree =
      PrepareTree(s.tableBytes, s.counts, s.pool, tableBlock, tableBlockLength, symbolCount);
  if (!tree.status.IsOk() || symbolCount == 0)
    return tree.status;
  if (IsHuffmanLeaf(*tree.root)) {  // one symbol: every code is empty, no bit is read
    std::memset(output, tree.root->symbol, symbolCount);
    return QavStatus::Ok();
  }
  s.lookup.Build(*tree.root, s.pool.data());
  HuffmanProgress progress;
  s.lookup.DecodeFrom({bitStream, bitStreamLength, output, symbolCount}, progress);
  return progress.produced == symbolCount ? QavStatus::Ok() : QavStatus(QavCode::BitStreamShort);
}

QavStatus HuffmanDecoder::DecodeByTreeWalk(const uint8_t* bitStream, size_t bitStreamLength,
                                           uint8_t* output, size_t symbolCount,
                                           const uint8_t* tableBlock, size_t tableBlockLength) {
  Storage& s = *storage_;
  const PreparedTree tree =
      PrepareTree(s.tableBytes, s.counts, s.pool, tableBlock, tableBlockLength, symbolCount);
  if (!tree.status.IsOk() || symbolCount == 0)
    return tree.status;
  HuffmanProgress progress;
  WalkCodes(*tree.root, {bitStream, bitStreamLength, output, symbolCount},
            BitLimitOf(bitStreamLength), SIZE_MAX, progress);
  return progress.produced == symbolCount ? QavStatus::Ok() : QavStatus(QavCode::BitStreamShort);
}

QavStatus HuffmanDecoder::DecodeWellFormed(const uint8_t* bitStream, uint8_t* output,
                                           size_t symbolCount, const uint8_t* tableBlock) {
  Storage& s = *storage_;
  const PreparedTree tree =
      PrepareTree(s.tableBytes, s.counts, s.pool, tableBlock, SIZE_MAX, symbolCount);
  if (!tree.status.IsOk() || symbolCount == 0)
    return tree.status;
  if (IsHuffmanLeaf(*tree.root)) {
    std::memset(output, tree.root->symbol, symbolCount);
    return QavStatus::Ok();
  }
  s.lookup.Build(*tree.root, s.pool.data());
  // The stream's length is unknown, but every remaining code is at least the shortest code
  // long, so the bytes up to that many bits past the next code surely exist. The fast path
  // runs within that extent, which grows as it goes; where it cannot move, one code is walked
  // bit by bit, reading only the bytes that code occupies.
  const size_t shortest = s.lookup.ShortestCode();
  HuffmanProgress progress;
  while (progress.produced != symbolCount) {
    const size_t remaining = symbolCount - progress.produced;
    const size_t sureBits = remaining > (SIZE_MAX - progress.bitPosition) / shortest
                                ? SIZE_MAX
                                : progress.bitPosition + remaining * shortest;
    const size_t sureBytes = sureBits / 8 + (sureBits % 8 != 0);
    const size_t producedBefore = progress.produced;
    s.lookup.DecodeFrom({bitStream, sureBytes, output, symbolCount}, progress);
    if (progress.produced == producedBefore)
      WalkCodes(*tree.root, {bitStream, SIZE_MAX, output, symbolCount}, SIZE_MAX, 1, progress);
  }
  return QavStatus::Ok();
}
