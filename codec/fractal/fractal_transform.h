#pragma once
// The nine block transforms, in one place for both decoders.

#include <array>

constexpr int kTransformCodeCount = 9;  // codes 0..8; any other code maps nothing
constexpr int kDescriptorSlots = 32;    // row references a block descriptor has room for

struct BlockPixel {
  int row = 0;
  int column = 0;
};

// The domain-block pixel that pixel (row, column) of a range block of side n takes its value
// from under transform code 0..8.
constexpr BlockPixel TransformSource(int code, int n, int row, int column) {
  const int half = n / 2;
  switch (code) {
    case 1:
      return {n - 1 - row, n - 1 - column};  // half turn
    case 2:
      return {column, row};  // mirror about the main diagonal
    case 3:
      return {n - 1 - row, column};  // rows reversed
    case 4:
      return {row, n - 1 - column};  // columns reversed
    case 5:
      return {n - 1 - column, row};  // quarter turn
    case 6:
      return {column, n - 1 - row};  // quarter turn the other way
    case 7:
      return {(row + half) % n, column};  // row halves exchanged
    case 8:
      return {row, (column + half) % n};  // column halves exchanged
    default:
      return {row, column};  // identity
  }
}

// The source of one whole range row under a transform: the n pixels lie on one row or one
// column of the domain block, starting at position `start` along it and moving by `step`
// (+1 or -1) with wrap-around at the block's edge. Derived from TransformSource, so the direct
// decoder can copy runs instead of resolving every pixel.
struct RowSource {
  bool alongColumn = false;  // the pixels share a column of the domain block
  int line = 0;              // that row, or that column
  int start = 0;
  int step = 1;
};

constexpr RowSource RowSourceOf(int code, int n, int row) {
  const BlockPixel first = TransformSource(code, n, row, 0);
  const BlockPixel second = TransformSource(code, n, row, 1);
  RowSource source;
  source.alongColumn = first.row != second.row;
  source.line = source.alongColumn ? first.column : first.row;
  source.start = source.alongColumn ? first.row : first.column;
  const int delta = source.alongColumn ? second.row - first.row : second.column - first.column;
  source.step = delta == 1 || delta == 1 - n ? 1 : -1;
  return source;
}

// The source of every range row under every code, resolved once a decode.
using RowSourceTable = std::array<std::array<RowSource, kDescriptorSlots>, kTransformCodeCount>;

inline RowSourceTable MakeRowSources(int side) {
  RowSourceTable sources{};
  for (int code = 0; code < kTransformCodeCount; ++code) {
    for (int row = 0; row < side; ++row)
      sources[code][row] = RowSourceOf(code, side, row);
  }
  return sources;
}
