#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "huffman.h"
#include "huffman_tree.h"
#include "rle_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A count table block coding the given counts, 0 for every other byte value.
Bytes TableBlock(const std::vector<std::pair<uint8_t, uint16_t>>& counts) {
  Bytes table(kHuffmanCountTableBytes, 0);
  for (auto [value, count] : counts) {
    table[2 * value] = uint8_t(count);
    table[2 * value + 1] = uint8_t(count >> 8);
  }
  return RleEncode(table.data(), table.size());
}

Bytes FlatTableBlock() {
  std::vector<std::pair<uint8_t, uint16_t>> counts;
  for (int v = 0; v < 256; ++v)
    counts.push_back({uint8_t(v), 1});
  return TableBlock(counts);
}

// Decodes with both paths; they must agree on status and output.
QavCode DecodeBoth(const Bytes& bits, size_t symbolCount, const Bytes& table, Bytes& out) {
  HuffmanDecoder decoder;
  out.assign(symbolCount, 0);
  Bytes walked(symbolCount, 0);
  const QavCode fast =
      decoder.Decode(bits.data(), bits.size(), out.data(), symbolCount, table.data(), table.size())
          .Code();
  const QavCode walk = decoder
                           .DecodeByTreeWalk(bits.data(), bits.size(), walked.data(), symbolCount,
                                             table.data(), table.size())
                           .Code();
  EXPECT_EQ(fast, walk);
  if (fast == QavCode::Ok) {
    EXPECT_EQ(out, walked);
  }
  return fast;
}

struct DecodeCase {
  const char* name;
  Bytes table;
  Bytes bits;
  size_t symbolCount;
  Bytes expected;
};

class HuffmanKnownStreams : public testing::TestWithParam<DecodeCase> {};

TEST_P(HuffmanKnownStreams, DecodeGivesTheExpectedBytes) {
  const DecodeCase& c = GetParam();
  Bytes out;
  ASSERT_EQ(DecodeBoth(c.bits, c.symbolCount, c.table, out), QavCode::Ok);
  EXPECT_EQ(out, c.expected);
  Bytes contract(c.symbolCount, 0);
  HuffmanDecode(c.bits.data(), contract.data(), int(c.symbolCount), c.table.data());
  EXPECT_EQ(contract, c.expected);
}

const Bytes kWorkedTable = {0xFF, 0x00, 0x83, 0x00, 0x06, 0x01, 0x00, 0x01, 0x00,
                            0x02, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFA, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Streams, HuffmanKnownStreams,
    testing::Values(
        DecodeCase{"WorkedExample", kWorkedTable, {0x25}, 4, {0x43, 0x41, 0x42, 0x43}},
        DecodeCase{"FlatTableAllOnes", FlatTableBlock(), {0xFF, 0xFF, 0xFF}, 3, {0, 0, 0}},
        DecodeCase{"FlatTableSpansBytes", FlatTableBlock(), {0xFE, 0xFF}, 2, {0x80, 0x00}},
        DecodeCase{"OneSymbolReadsNoBits", TableBlock({{0x37, 5}}), {}, 3, {0x37, 0x37, 0x37}},
        // 1 gives the smaller count; of equal counts the lower byte value.
        DecodeCase{
            "TwoSymbolsUnequal", TableBlock({{0x10, 9}, {0x20, 2}}), {0x05}, 3, {0x20, 0x10, 0x20}},
        DecodeCase{
            "TwoSymbolsEqual", TableBlock({{0x10, 2}, {0x20, 2}}), {0x05}, 3, {0x10, 0x20, 0x10}},
        DecodeCase{"LargestCountsAddInThirtyTwoBits",
                   TableBlock({{0x00, 65535}, {0x01, 65535}, {0xFF, 65535}}),
                   {0x0D},
                   3,
                   {0xFF, 0x00, 0xFF}},
        DecodeCase{"CountTableWithEmptyRuns",
                   {0x00, 0xFF, 0x00, 0x00, 0x83, 0x00, 0x06, 0x01, 0x00, 0x01, 0x00,
                    0x02, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFA, 0x00, 0x99, 0x99},
                   {0x25},
                   4,
                   {0x43, 0x41, 0x42, 0x43}}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(HuffmanTree, FollowsTheTieBreaksOfTheWorkedExample) {
  std::array<uint16_t, kHuffmanSymbolCount> counts{};
  counts[0x41] = 1;
  counts[0x42] = 1;
  counts[0x43] = 2;
  std::array<HuffmanNode, kHuffmanNodePoolSize> pool;
  const HuffmanNode* root = BuildHuffmanTree(counts, pool);
  ASSERT_EQ(root, &pool[4]);  // three leaves, then I1, then the root
  EXPECT_EQ(root->weight, 4u);
  EXPECT_EQ(root->child1, &pool[2]);  // 0x43, the leaf before I1 of equal weight
  EXPECT_EQ(root->child0, &pool[3]);
  EXPECT_EQ(pool[3].child1, &pool[0]);  // 0x41, the first of two equal leaves
  EXPECT_EQ(pool[3].child0, &pool[1]);
  EXPECT_EQ(pool[0].symbol, 0x41);
}

TEST(HuffmanDecoder, ReportsMalformedStreamsWithoutOverrun) {
  Bytes out;
  // The count table ends at 511 bytes, or overshoots 512.
  const Bytes shortTable = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x83, 0x00};
  EXPECT_EQ(DecodeBoth({0x00}, 1, shortTable, out), QavCode::BadCountTable);
  const Bytes longTable = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x85, 0x01};
  EXPECT_EQ(DecodeBoth({0x00}, 1, longTable, out), QavCode::BadCountTable);
  const Bytes emptyTable = TableBlock({});
  EXPECT_EQ(DecodeBoth({0x00}, 1, emptyTable, out), QavCode::EmptyCountTable);
  EXPECT_EQ(DecodeBoth({}, 0, emptyTable, out), QavCode::Ok);
  // Eight-bit codes: two bytes hold two symbols, not three.
  EXPECT_EQ(DecodeBoth({0xFF, 0xFF}, 3, FlatTableBlock(), out), QavCode::BitStreamShort);
  EXPECT_EQ(DecodeBoth({}, 1, kWorkedTable, out), QavCode::BitStreamShort);
}

TEST(HuffmanDecoder, DecodersOnTwoThreadsDoNotMeet) {
  const Bytes table = FlatTableBlock();
  const Bytes bits(4096, 0xFF);  // all 0x00
  const Bytes expected(bits.size(), 0x00);
  auto decodeMany = [&](bool* ok) {
    HuffmanDecoder decoder;
    Bytes out(bits.size());
    for (int i = 0; i < 200; ++i)
      *ok &=
          decoder
              .Decode(bits.data(), bits.size(), out.data(), out.size(), table.data(), table.size())
              .IsOk() &&
          out == expected;
  };
  bool firstOk = true, secondOk = true;
  std::thread first(decodeMany, &firstOk), second(decodeMany, &secondOk);
  first.join();
  second.join();
  EXPECT_TRUE(firstOk && secondOk);
}

}  // namespace
