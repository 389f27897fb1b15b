#include "gif_rows.h"

namespace {

constexpr int kPassStart[] = {0, 4, 2, 1};
constexpr int kPassStep[] = {8, 8, 4, 2};

int RowsInPass(int pass, int height) {
  const int start = kPassStart[pass];
  return start < height ? (height - 1 - start) / kPassStep[pass] + 1 : 0;
}

}  // namespace

int GifStoredRows::Next() {
  if (!interlaced_) {
    return row_++;
  }
  // A pass with no rows left moves on to the next; with at most height calls, a row is found
  // within the four passes.
  while (row_ >= height_ && pass_ < 3) {
    ++pass_;
    row_ = kPassStart[pass_];
  }
  const int row = row_;
  row_ += kPassStep[pass_];
  return row;
}

int GifStoredRowsCovering(int height, bool interlaced, int visibleRows) {
  if (!interlaced || visibleRows <= 0) {
    return visibleRows;
  }
  // Every row of a later pass is stored after all rows of the earlier ones, so the last
  // visible row of the latest pass that has one is the last one needed.
  for (int pass = 3; pass >= 0; --pass) {
    const int start = kPassStart[pass];
    if (start >= visibleRows) {
      continue;
    }
    const int lastRow = start + (visibleRows - 1 - start) / kPassStep[pass] * kPassStep[pass];
    int stored = (lastRow - start) / kPassStep[pass];
    for (int earlier = 0; earlier < pass; ++earlier) {
      stored += RowsInPass(earlier, height);
    }
    return stored + 1;
  }
  return 0;
}

std::vector<int> GifStoredRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  GifStoredRows rows(height, interlaced);
  for (int i = 0; i < height; ++i) {
    order.push_back(rows.Next());
  }
  return order;
}
