#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "huffman.h"
#include "huffman_encoder.h"
#include "rle.h"
#include "rle_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Bytes with a chosen skew: spread 0 draws all 256 values evenly; larger spreads pile the
// draws onto a few values, which makes long codes and runs.
Bytes RandomBytes(std::mt19937& random, size_t size, double spread) {
  Bytes data(size);
  std::geometric_distribution<int> skewed(spread > 0 ? 1.0 / (1.0 + spread) : 0.5);
  std::uniform_int_distribution<int> flat(0, 255);
  for (uint8_t& byte : data)
    byte = uint8_t(spread > 0 ? skewed(random) & 0xFF : flat(random));
  return data;
}

TEST(RleRoundTrip, EncodedDataExpandsBack) {
  std::mt19937 random(1);
  for (double spread : {0.0, 2.0, 50.0}) {
    for (size_t size : {size_t(0), size_t(1), size_t(300), size_t(20000)}) {
      const Bytes data = RandomBytes(random, size, spread);
      const Bytes stored = RleEncode(data.data(), data.size());
      Bytes out(data.size());
      ASSERT_EQ(RleExpandedSize(stored.data(), int(stored.size())), int(size));
      ASSERT_EQ(RleExpand(stored.data(), out.data(), int(stored.size())), int(size));
      EXPECT_EQ(out, data) << "spread " << spread << " size " << size;
    }
  }
}

// Decodes an encoding with the fast path, the tree walk and the contract form.
void ExpectHuffmanRoundTrip(const Bytes& data) {
  const HuffmanEncoded encoded = HuffmanEncode(data.data(), data.size());
  HuffmanDecoder decoder;
  Bytes fast(data.size()), walked(data.size()), contract(data.size());
  ASSERT_EQ(decoder.Decode(encoded.bitStream.data(), encoded.bitStream.size(), fast.data(),
                           fast.size(), encoded.tableBlock.data(), encoded.tableBlock.size()),
            QavCode::Ok);
  ASSERT_EQ(
      decoder.DecodeByTreeWalk(encoded.bitStream.data(), encoded.bitStream.size(), walked.data(),
                               walked.size(), encoded.tableBlock.data(), encoded.tableBlock.size()),
      QavCode::Ok);
  HuffmanDecode(encoded.bitStream.data(), contract.data(), int(contract.size()),
                encoded.tableBlock.data());
  EXPECT_EQ(fast, data);
  EXPECT_EQ(walked, data);
  EXPECT_EQ(contract, data);
  if (data.empty())
    return;
  // One byte fewer must be reported, never read past.
  EXPECT_EQ(decoder.Decode(encoded.bitStream.data(),
                           encoded.bitStream.size() - !encoded.bitStream.empty(), fast.data(),
                           fast.size(), encoded.tableBlock.data(), encoded.tableBlock.size()),
            encoded.bitStream.empty() ? QavCode::Ok : QavCode::BitStreamShort);
}

TEST(HuffmanRoundTrip, SkewedAndFlatStatistics) {
  std::mt19937 random(2);
  for (double spread : {0.0, 0.7, 3.0, 40.0})
    for (size_t size : {size_t(1), size_t(7), size_t(1000), size_t(100000)})
      ExpectHuffmanRoundTrip(RandomBytes(random, size, spread));
}

TEST(HuffmanRoundTrip, CodesLongerThanTheLookupTable) {
  // Counts growing like Fibonacci numbers give one code per tree level, far past 11 bits.
  Bytes data;
  uint32_t previous = 1, count = 1;
  for (uint8_t value = 0; value < 22; ++value) {
    data.insert(data.end(), count, value);
    const uint32_t next = previous + count;
    previous = count;
    count = next;
  }
  std::shuffle(data.begin(), data.end(), std::mt19937(3));
  ExpectHuffmanRoundTrip(data);
}

TEST(HuffmanRoundTrip, CountsScaledToSixteenBitsKeepRareValues) {
  Bytes data(300000, 0x11);
  data[1234] = 0x22;  // 1 in 300000 scales below 1 and must stay nonzero
  ExpectHuffmanRoundTrip(data);
  ExpectHuffmanRoundTrip(Bytes(1000, 0x5A));  // one symbol: no bits at all
  ExpectHuffmanRoundTrip({});
}

}  // namespace
