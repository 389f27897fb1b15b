#pragma once
// The image plugins' side of the codec: whether bytes start a QAV file, and a whole file held
// in memory turned into the bitmap the viewer shows, or into the viewer's sentence saying why
// it cannot be shown. Both plugins decode through here, so they refuse exactly what the viewer
// refuses, with the same words.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "bitmap.h"

// "QAV", the reserved byte and the version: what a content test looks at.
inline constexpr size_t kQavSignatureBytes = 5;

// True when the bytes begin with "QAV" and a version the codec reads.
bool StartsQavFile(std::span<const uint8_t> head);

// The most bytes a plugin takes in for one file. No file the codec accepts is longer than this
// (its pixels are bounded, and bytes after the last stream are never read), so a longer stream
// is refused before it is buffered.
uint64_t MaxQavFileBytes();

// The viewer's sentence for a file longer than MaxQavFileBytes(): `length` is its length, or
// for a stream still coming, 0.
std::string TooLongSentence(uint64_t length);

// The viewer's sentence for a reader given no source at all.
std::string NothingToReadSentence();

// The size and depth from a file's headers, before any pixel is decoded.
struct QavPictureShape {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // 1, 8 or 24
};
// False when the headers are not all there yet or are refused.
bool ProbeQavShape(std::span<const uint8_t> bytes, QavPictureShape* shape);

// A decoded file: the bitmap with the viewer's pixels, or the reason it cannot be shown.
struct QavPicture {
  std::unique_ptr<TBitmap> bitmap;  // null when refused
  std::string refusal;              // the viewer's sentence; empty when shown
};
QavPicture DecodeQavPicture(std::span<const uint8_t> bytes);
