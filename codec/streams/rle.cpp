#include "rle.h"

#include <climits>
#include <cstring>

namespace {

constexpr unsigned kLargestLiteralControl = 128;  // 1..128: literal run of c stored bytes
constexpr unsigned kRepeatBias = 128;             // 129..255: c - 128 copies of one byte

// One run as its control byte describes it, before any of it is copied.
struct Run {
  size_t storedBytes;    // bytes after the control byte
  size_t producedBytes;  // bytes the run expands to
  bool isRepeat;
};

Run DescribeRun(uint8_t control) {
  if (control <= kLargestLiteralControl)
    return {control, control, false};
  return {1, size_t{control} - kRepeatBias, true};
}

// What one bounded pass writes into. A null destination only counts.
struct Sink {
  uint8_t* destination;
  size_t capacity;
};

// The shared run loop of every form. It stops before a run that would read past
// storedLength or produce past sink.capacity, so consumed and produced always describe whole
// runs of the well-formed prefix. With stopAtCapacity it also ends as soon as exactly
// sink.capacity bytes are produced, leaving whatever stored bytes follow unread.
RleOutcome ExpandRuns(const uint8_t* source, size_t storedLength, Sink sink, bool stopAtCapacity) {
  RleOutcome outcome;
  while (outcome.consumed != storedLength) {
    if (stopAtCapacity && outcome.produced == sink.capacity)
      return outcome;
    const Run run = DescribeRun(source[outcome.consumed]);
    // consumed < storedLength here, so the subtraction cannot wrap.
    if (run.storedBytes > storedLength - outcome.consumed - 1) {
      outcome.status = QavStatus(QavCode::RunPastEnd);
      return outcome;
    }
    if (run.producedBytes > sink.capacity - outcome.produced) {
      outcome.status = QavStatus(QavCode::ExpansionTooLong);
      return outcome;
    }
    const uint8_t* runData = source + outcome.consumed + 1;
    if (sink.destination != nullptr && run.producedBytes != 0) {
      uint8_t* target = sink.destination + outcome.produced;
      if (run.isRepeat)
        std::memset(target, *runData, run.producedBytes);
      else
        std::memcpy(target, runData, run.producedBytes);
    }
    outcome.consumed += 1 + run.storedBytes;
    outcome.produced += run.producedBytes;
  }
  if (stopAtCapacity && outcome.produced != sink.capacity)
    outcome.status = QavStatus(QavCode::ExpansionShort);
  return outcome;
}

// The contract forms answer in int; an expansion that an int cannot count is reported as -1,
// the codec's failure result, and nothing past INT_MAX bytes is written.
constexpr size_t kLargestIntResult = INT_MAX;

size_t StoredLengthOf(int storedLength) {
  return storedLength > 0 ? size_t(storedLength) : 0;
}

}  // namespace

RleOutcome RleExpandBounded(const uint8_t* source, size_t storedLength, uint8_t* destination,
                            size_t capacity) {
  return ExpandRuns(source, storedLength, {destination, capacity}, false);
}

RleOutcome RleExpandedSizeBounded(const uint8_t* source, size_t storedLength) {
  return ExpandRuns(source, storedLength, {nullptr, SIZE_MAX}, false);
}

RleOutcome RleExpandToSizeBounded(const uint8_t* source, size_t storedLength, uint8_t* destination,
                                  size_t outputSize) {
  return ExpandRuns(source, storedLength, {destination, outputSize}, true);
}

int RleExpand(const uint8_t* source, uint8_t* destination, int storedLength) {
  const RleOutcome outcome =
      RleExpandBounded(source, StoredLengthOf(storedLength), destination, kLargestIntResult);
  if (outcome.status.Code() == QavCode::ExpansionTooLong)
    return -1;
  return int(outcome.produced);
}

int RleExpandedSize(const uint8_t* source, int storedLength) {
  const RleOutcome outcome = RleExpandedSizeBounded(source, StoredLengthOf(storedLength));
  if (outcome.produced > kLargestIntResult)
    return -1;
  return int(outcome.produced);
}

void RleExpandToSize(const uint8_t* source, uint8_t* destination, int outputSize) {
  // No stored length is known: the runs up to the outputSize-th byte are all that is read.
  RleExpandToSizeBounded(source, SIZE_MAX, destination, StoredLengthOf(outputSize));
}
