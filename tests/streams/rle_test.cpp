#include <gtest/gtest.h>

#include <vector>

#include "rle.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Repeated(size_t count, uint8_t value) {
  return Bytes(count, value);
}

struct WellFormedCase {
  const char* name;
  Bytes stored;
  Bytes expanded;
};

class RleWellFormed : public testing::TestWithParam<WellFormedCase> {};

// Every well-formed stream: the contract forms and the bounded forms agree on it.
TEST_P(RleWellFormed, AllFormsGiveTheExpansion) {
  const WellFormedCase& c = GetParam();
  const int storedLength = int(c.stored.size());
  EXPECT_EQ(RleExpandedSize(c.stored.data(), storedLength), int(c.expanded.size()));

  Bytes out(c.expanded.size() + 1, 0xEE);  // one guard byte
  EXPECT_EQ(RleExpand(c.stored.data(), out.data(), storedLength), int(c.expanded.size()));
  EXPECT_EQ(Bytes(out.begin(), out.end() - 1), c.expanded);
  EXPECT_EQ(out.back(), 0xEE);

  const RleOutcome bounded =
      RleExpandBounded(c.stored.data(), c.stored.size(), out.data(), c.expanded.size());
  EXPECT_EQ(bounded.status.Code(), QavCode::Ok);
  EXPECT_EQ(bounded.produced, c.expanded.size());
  EXPECT_EQ(bounded.consumed, c.stored.size());

  Bytes fixed(c.expanded.size() + 1, 0xEE);
  const RleOutcome toSize =
      RleExpandToSizeBounded(c.stored.data(), c.stored.size(), fixed.data(), c.expanded.size());
  EXPECT_EQ(toSize.status.Code(), QavCode::Ok);
  EXPECT_EQ(fixed, out);
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, RleWellFormed,
    testing::Values(
        WellFormedCase{"WorkedExample",
                       {0x03, 0x41, 0x42, 0x43, 0x84, 0x5A, 0x00, 0x02, 0x01, 0x02},
                       {0x41, 0x42, 0x43, 0x5A, 0x5A, 0x5A, 0x5A, 0x01, 0x02}},
        WellFormedCase{"Empty", {}, {}}, WellFormedCase{"OnlyEmptyRuns", {0x00, 0x00, 0x00}, {}},
        WellFormedCase{"Literal128", Concat({0x80}, Repeated(128, 0x80)), Repeated(128, 0x80)},
        WellFormedCase{"Repeat1", {0x81, 0x07}, {0x07}},
        WellFormedCase{"Repeat127", {0xFF, 0x07}, Repeated(127, 0x07)},
        WellFormedCase{"RepeatValueLooksLikeControl", {0x83, 0x9C}, {0x9C, 0x9C, 0x9C}},
        WellFormedCase{"LiteralBytesLookLikeControls", {0x02, 0xFF, 0x00}, {0xFF, 0x00}},
        WellFormedCase{"TwoRepeatsOfOneValue", {0xFF, 0x00, 0x83, 0x00}, Repeated(130, 0x00)}),
    [](const testing::TestParamInfo<WellFormedCase>& info) { return info.param.name; });

struct MalformedCase {
  const char* name;
  Bytes stored;
  size_t capacity;
  QavCode status;
  size_t produced;  // the whole runs before the fault
  size_t consumed;
};

class RleMalformed : public testing::TestWithParam<MalformedCase> {};

// The source sits at the end of its own vector and the destination has exactly capacity
// bytes, so the sanitizer build catches any read or write past either.
TEST_P(RleMalformed, StopsBeforeTheFaultyRun) {
  const MalformedCase& c = GetParam();
  Bytes out(c.capacity);
  const RleOutcome outcome =
      RleExpandBounded(c.stored.data(), c.stored.size(), out.data(), c.capacity);
  EXPECT_EQ(outcome.status.Code(), c.status);
  EXPECT_EQ(outcome.produced, c.produced);
  EXPECT_EQ(outcome.consumed, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, RleMalformed,
    testing::Values(
        MalformedCase{"LiteralPastEnd", {0x01, 0x09, 0x03, 0x41}, 16, QavCode::RunPastEnd, 1, 2},
        MalformedCase{"RepeatControlLast", {0x01, 0x09, 0x85}, 16, QavCode::RunPastEnd, 1, 2},
        MalformedCase{
            "ExpansionPastCapacity", {0x81, 0x01, 0x85, 0x02}, 4, QavCode::ExpansionTooLong, 1, 2},
        MalformedCase{
            "LiteralPastCapacity", {0x03, 0x01, 0x02, 0x03}, 2, QavCode::ExpansionTooLong, 0, 0}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(RleExpandToSize, StopsAtTheRunThatCompletesTheSize) {
  // 127 + 127 + 2 bytes complete 256; the 0x41 after the last run must not be read as a run.
  const Bytes stored = {0xFF, 0x01, 0xFF, 0x02, 0x82, 0x03, 0x41};
  Bytes out(256);
  RleExpandToSize(stored.data(), out.data(), 256);
  EXPECT_EQ(out[0], 0x01);
  EXPECT_EQ(out[254], 0x03);
  EXPECT_EQ(out[255], 0x03);
  const RleOutcome bounded = RleExpandToSizeBounded(stored.data(), stored.size(), out.data(), 256);
  EXPECT_EQ(bounded.status.Code(), QavCode::Ok);
  EXPECT_EQ(bounded.consumed, 6u);
}

TEST(RleExpandToSize, ReportsOvershootAndShortStreams) {
  Bytes out(4, 0xEE);
  const Bytes overshoot = {0x83, 0x01, 0x82, 0x02};  // 3 + 2 bytes for a size of 4
  RleOutcome outcome = RleExpandToSizeBounded(overshoot.data(), overshoot.size(), out.data(), 4);
  EXPECT_EQ(outcome.status.Code(), QavCode::ExpansionTooLong);
  EXPECT_EQ(outcome.produced, 3u);
  EXPECT_EQ(out[3], 0xEE);  // nothing of the overshooting run is written

  const Bytes shortStream = {0x83, 0x01};
  outcome = RleExpandToSizeBounded(shortStream.data(), shortStream.size(), out.data(), 4);
  EXPECT_EQ(outcome.status.Code(), QavCode::ExpansionShort);
  EXPECT_EQ(outcome.produced, 3u);
}

TEST(RleContractForms, AgreeOnTheWellFormedPrefixOfAMalformedStream) {
  const Bytes stored = {0x82, 0x07, 0x05, 0x01};  // the literal run claims 5 of 1 bytes
  Bytes out(2);
  EXPECT_EQ(RleExpandedSize(stored.data(), int(stored.size())), 2);
  EXPECT_EQ(RleExpand(stored.data(), out.data(), int(stored.size())), 2);
  EXPECT_EQ(out, (Bytes{0x07, 0x07}));
  EXPECT_EQ(RleExpandedSize(stored.data(), -1), 0);
}

}  // namespace
