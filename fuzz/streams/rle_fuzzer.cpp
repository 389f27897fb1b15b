// The bounded run-length forms on arbitrary streams: the first byte picks the capacity, and
// the three forms must agree with each other wherever their results overlap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "rle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  const size_t capacity = size_t(data[0]) * 64 + data[1];
  const std::vector<uint8_t> stored(data + 2, data + size);  // exactly sized for ASan
  std::vector<uint8_t> out(capacity), fixed(capacity);

  const RleOutcome counted = RleExpandedSizeBounded(stored.data(), stored.size());
  const RleOutcome expanded = RleExpandBounded(stored.data(), stored.size(), out.data(), capacity);
  const RleOutcome toSize =
      RleExpandToSizeBounded(stored.data(), stored.size(), fixed.data(), capacity);
  if (expanded.produced > capacity || expanded.consumed > stored.size())
    abort();
  // Where the expansion fits, counting and expanding see the same runs.
  if (counted.produced <= capacity &&
      (counted.status.Code() != expanded.status.Code() || counted.produced != expanded.produced))
    abort();
  if (expanded.status == QavCode::Ok && expanded.produced == capacity &&
      (toSize.status != QavCode::Ok || out != fixed))
    abort();
  if (toSize.status == QavCode::Ok && toSize.produced != capacity)
    abort();
  return 0;
}
