#include "bmp_rle.h"

#include <string>

namespace {

// Escape codes that follow a zero count byte.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

// Writes pixels into the rows at the decoder's position; x grows along a row and y counts rows
// from the bottom, as the runs are stored.
class RlePixelWriter {
 public:
  RlePixelWriter(const ByteReader& runs, int bitsPerPixel, int width, int height, uint8_t* rows,
                 int bytesPerRow)
      : runs_(runs),
        bitsPerPixel_(bitsPerPixel),
        width_(width),
        height_(height),
        rows_(rows),
        bytesPerRow_(bytesPerRow) {}

  bool PastLastRow() const { return y_ >= height_; }

  // Refuses the file unless count more pixels fit into the present row.
  void RequireRoom(int count) const {
    if (y_ >= height_)
      Refuse("a run of " + std::to_string(count) + " pixels lies above the top row");
    if (count > width_ - x_)
      Refuse("a run of " + std::to_string(count) + " pixels at column " + std::to_string(x_) +
             " of row " + std::to_string(y_) + " runs past the end of the row (width " +
             std::to_string(width_) + ")");
  }

  void Put(uint8_t index) {
    uint8_t* row =
        rows_ + static_cast<size_t>(height_ - 1 - y_) * static_cast<size_t>(bytesPerRow_);
    if (bitsPerPixel_ == 8) {
      row[x_] = index;
    } else {
      const int shift = (x_ & 1) ? 0 : 4;  // the left pixel of a byte is its high nibble
      uint8_t& byte = row[x_ >> 1];
      byte = static_cast<uint8_t>((byte & ~(0x0F << shift)) | (index & 0x0F) << shift);
    }
    ++x_;
  }

  void EndLine() {
    x_ = 0;
    ++y_;
  }

  void Move(int dx, int dy) {
    // Moves only go right and up, so the position never returns to a pixel already written
    // and a run of moves ends when the data does.
    if (dx > width_ - x_ || dy > height_ - y_ || (dy == height_ - y_ && dx > 0))
      Refuse("a move by " + std::to_string(dx) + ", " + std::to_string(dy) + " from column " +
             std::to_string(x_) + " of row " + std::to_string(y_) + " leaves the picture");
    x_ += dx;
    y_ += dy;
  }

  [[noreturn]] void Refuse(const std::string& reason) const {
    ThrowInvalidBitmap(runs_.SourceName(), reason);
  }

 private:
  const ByteReader& runs_;
  int bitsPerPixel_;
  int width_;
  int height_;
  uint8_t* rows_;
  int bytesPerRow_;
  int x_ = 0;
  int y_ = 0;
};

// A run of count pixels of one byte: 8-bit files repeat it, 4-bit files alternate its two
// nibbles, high first.
void WriteEncodedRun(RlePixelWriter& pixels, int bitsPerPixel, int count, uint8_t value) {
  pixels.RequireRoom(count);
  for (int i = 0; i < count; ++i) {
    const bool highNibble = (i & 1) == 0;
    pixels.Put(bitsPerPixel == 8 ? value
                                 : static_cast<uint8_t>(highNibble ? value >> 4 : value & 0x0F));
  }
}

// The data bytes of an absolute run of count pixels, padded to an even number.
size_t AbsoluteRunBytes(int bitsPerPixel, int count) {
  const size_t dataBytes =
      bitsPerPixel == 8 ? static_cast<size_t>(count) : static_cast<size_t>(count + 1) / 2;
  return dataBytes + (dataBytes & 1);
}

// count literal pixels, padded in the data to an even number of bytes.
void WriteAbsoluteRun(ByteReader& runs, RlePixelWriter& pixels, int bitsPerPixel, int count) {
  const size_t paddedBytes = AbsoluteRunBytes(bitsPerPixel, count);
  runs.Require(paddedBytes, "the run-length data ends inside a run of " + std::to_string(count) +
                                " literal pixels");
  pixels.RequireRoom(count);
  const uint8_t* literal = runs.Take(paddedBytes);
  for (int i = 0; i < count; ++i) {
    const uint8_t byte = literal[bitsPerPixel == 8 ? i : i / 2];
    pixels.Put(bitsPerPixel == 8 ? byte : static_cast<uint8_t>((i & 1) ? byte & 0x0F : byte >> 4));
  }
}

}  // namespace

size_t BmpRleBytesToEndMark(const uint8_t* data, size_t size, int bitsPerPixel) {
  size_t at = 0;
  while (size - at >= 2) {
    const uint8_t count = data[at];
    const uint8_t code = data[at + 1];
    at += 2;
    if (count > 0 || code == kEndOfLine)
      continue;
    if (code == kEndOfBitmap)
      return at;
    const size_t operands = code == kDelta ? 2 : AbsoluteRunBytes(bitsPerPixel, code);
    if (operands > size - at)
      return size;
    at += operands;
  }
  return size;
}

void DecodeBmpRle(ByteReader& runs, int bitsPerPixel, int width, int height, uint8_t* rows,
                  int bytesPerRow) {
  RlePixelWriter pixels(runs, bitsPerPixel, width, height, rows, bytesPerRow);
  // Every step consumes at least two bytes, so the loop ends with the data.
  for (;;) {
    if (!runs.Has(2)) {
      // Data that stops after the last row lacks only the end mark; take the picture.
      if (pixels.PastLastRow())
        return;
      pixels.Refuse("the run-length data ends before the end-of-bitmap mark");
    }
    const uint8_t count = runs.U8();
    const uint8_t code = runs.U8();
    if (count > 0) {
      WriteEncodedRun(pixels, bitsPerPixel, count, code);
    } else if (code == kEndOfLine) {
      pixels.EndLine();
    } else if (code == kEndOfBitmap) {
      return;
    } else if (code == kDelta) {
      runs.Require(2, "the run-length data ends inside a move");
      const int dx = runs.U8();
      const int dy = runs.U8();
      pixels.Move(dx, dy);
    } else {
      WriteAbsoluteRun(runs, pixels, bitsPerPixel, code);
    }
  }
}
