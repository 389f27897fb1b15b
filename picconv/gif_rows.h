#pragma once
// The order in which an image stores its rows: top to bottom, or for an interlaced image in
// four passes (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).

#include <vector>

// Walks the stored rows one by one, without a table of all rows, so that the work is that of
// the rows taken.
class GifStoredRows {
 public:
  GifStoredRows(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
  // The image row of the next stored row; to be called at most height times.
  int Next();

 private:
  int height_;
  bool interlaced_;
  int pass_ = 0;
  int row_ = 0;
};

// How many stored rows it takes to have every one of the image rows 0 .. visibleRows - 1.
int GifStoredRowsCovering(int height, bool interlaced, int visibleRows);

// Every stored row's image row, in the stored order.
std::vector<int> GifStoredRowOrder(int height, bool interlaced);
