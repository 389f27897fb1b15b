#include "rle_encoder.h"

namespace {

constexpr size_t kLongestLiteral = 128;
constexpr size_t kLongestRepeat = 127;
constexpr uint8_t kRepeatBias = 128;
// A repeat run costs two stored bytes; shorter repeats are cheaper inside a literal run.
constexpr size_t kShortestRepeat = 3;

size_t RepeatLength(const uint8_t* data, size_t size, size_t at) {
  size_t length = 1;
  while (at + length < size && length < kLongestRepeat && data[at + length] == data[at])
    ++length;
  return length;
}

}  // namespace

std::vector<uint8_t> RleEncode(const uint8_t* data, size_t size) {
  std::vector<uint8_t> stored;
  size_t at = 0;
  while (at < size) {
    const size_t repeat = RepeatLength(data, size, at);
    if (repeat >= kShortestRepeat) {
      stored.push_back(uint8_t(kRepeatBias + repeat));
      stored.push_back(data[at]);
      at += repeat;
      continue;
    }
    // A literal run up to the next repeat worth its own run, or its longest length.
    size_t end = at + repeat;
    while (end < size && end - at < kLongestLiteral &&
           RepeatLength(data, size, end) < kShortestRepeat)
      ++end;
    stored.push_back(uint8_t(end - at));
    stored.insert(stored.end(), data + at, data + end);
    at = end;
  }
  return stored;
}
