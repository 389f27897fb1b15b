#pragma once
// The checks a QAV header must pass before anything it sizes is allocated or decoded. A header
// is a set of claims; each is held against the bytes the file really has and against the other
// fields. Data that would be missing refuses the file; data that is merely extra (bytes after
// the last stream, a blockCount above the image's block count) does not.

#include <cstddef>
#include <cstdint>

#include "qav_record.h"
#include "qav_verdict.h"

// The memory bound: no image above 16 Mi pixels (4096 x 4096) is decoded, padded size included
// for fractal images. It caps every allocation a header can ask for at a few hundred MB.
inline constexpr uint64_t kMaxQavPixels = uint64_t{1} << 24;
// A fractal file may store more parameter blocks than its image has, but no more than the
// largest accepted image can have at the smallest block side (4 x 4 pixels).
inline constexpr uint64_t kMaxFractalBlockCount = kMaxQavPixels / 16;
// Decoding time grows with the pass count; the decode converges long before this many passes.
inline constexpr uint32_t kMaxFractalIterations = 256;
// The decode's time grows with passes x padded pixels; a header that asks for more than this
// (16 Mi pixels at 64 passes, 1 Mi at 256 passes) is refused before anything is allocated.
inline constexpr uint64_t kMaxFractalPixelPasses = uint64_t{1} << 30;

// Width and height at least 1, their product within the memory bound.
QavVerdict CheckQavImageSize(int width, int height);

// Bytes of one stored method-0 row: one a pixel, or eight pixels a byte.
size_t RleRowBytes(int width, bool fullPalette);

// Method 0: pixel format against the palette kind, the stored rows against the bytes present.
// bytesAfterHeader counts from the palette on.
QavVerdict CheckRleHeader(const TQAV& image, uint64_t bytesAfterHeader);
// Method 1: pixel format, decodedSize against the image, the stored data against the file.
// bytesAfterHeader counts from the palette on.
QavVerdict CheckHuffmanHeader(const TQAV& image, uint64_t bytesAfterHeader);

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
// array and the stored streams against the bytes present (bytesAfterHeader).
QavVerdict CheckFractalHeader(const TQAV& image, uint64_t bytesAfterHeader);

// A stream's output of `produced` bytes must cover what the image needs and fit its buffer.
QavVerdict CheckStreamOutput(const char* streamName, uint64_t produced, uint64_t needed,
                             uint64_t capacity);

// "it is truncated: the <what> needs <needed> bytes but <present> are present"
QavVerdict RefuseTruncated(const char* what, uint64_t needed, uint64_t present);
