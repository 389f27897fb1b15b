#pragma once
// The checks a QAV header must pass before anything it sizes is allocated or decoded. A header
// is a set of claims; each is held against the bytes the file really has and against the other
// fields. Data that would be missing refuses the file; data that is merely extra (bytes after
// the last stream, a blockCount above the image's block count) does not.

#include <cstddef>
#include <cstdint>

#include "qav_record.h"
#include "qav_status.h"

#include "bitmap_limits.h"

// No picture above the one image limit is decoded, padded size included for fractal images.
// A fractal file may store more parameter blocks than its image has, but no more than the
// largest accepted image can have at the smallest block side (4 x 4 pixels).
inline constexpr uint64_t kMaxFractalBlockCount = kMaxImagePixels / 16;
// Decoding time grows with the pass count; the decode converges long before this many passes.
inline constexpr uint32_t kMaxFractalIterations = 256;
// The decode's time grows with passes x padded pixels; a header that asks for more than this
// (16 Mi pixels at 64 passes, 1 Mi at 256 passes) is refused before anything is allocated.
inline constexpr uint64_t kMaxFractalPixelPasses = uint64_t{1} << 30;

// Where the reader stands in a file: its whole length and the offset of the next byte.
struct QavPlace {
  uint64_t fileLength = 0;
  uint64_t offset = 0;
  uint64_t Remaining() const { return fileLength - offset; }
};

// Width and height at least 1, their product within the memory bound.
QavStatus CheckQavImageSize(int width, int height);

// Bytes of one stored method-0 row: one a pixel, or eight pixels a byte.
size_t RleRowBytes(int width, bool fullPalette);

// Method 0: pixel format against the palette kind, the stored rows against the bytes present.
// `place` stands at the palette.
QavStatus CheckRleHeader(const TQAV& image, QavPlace place);
// Method 1: pixel format, decodedSize against the image, the stored data against the file.
// `place` stands at the palette.
QavStatus CheckHuffmanHeader(const TQAV& image, QavPlace place);

// Where each of the three parameter streams lies within the stored streams. A stream of an
// unknown method takes no bytes; a raw stream takes exactly its array's bytes.
struct FractalStreamSpan {
  uint64_t start = 0;
  uint64_t length = 0;
};
struct FractalStreamLayout {
  FractalStreamSpan domain;
  FractalStreamSpan offset;
  FractalStreamSpan transform;
  uint64_t total = 0;
};
FractalStreamLayout LayoutFractalStreams(const FractalHeader& header);

// The block-size code as the decoders take it: 1..3 as stored, every other value 0 (4 pixels).
int FractalBlockSizeCode(const FractalHeader& header);

// Method 2: pixel format, geometry, blockCount, iterations, every stream's sizes against its
// array and the stored streams against the bytes present (`place` stands at the first stream).
QavStatus CheckFractalHeader(const TQAV& image, QavPlace place);

// A stream's output of `produced` bytes must cover what the image needs and fit its buffer.
QavStatus CheckStreamOutput(const char* streamName, uint64_t produced, uint64_t needed,
                            uint64_t capacity);

// Truncated: the file ends inside the `size`-byte part `what` that starts at place.offset.
QavStatus TruncatedInside(QavPlace place, const char* what, uint64_t size);
