#pragma once
// The one limit on the pictures every reader makes (Windows bitmap, QAV and GIF), held here in
// the manner of libspng's image limits: each reader checks the size its headers claim against
// it before it allocates anything, so a small hostile file cannot make us reserve memory, and
// SetWidth/SetHeight keep to it as well.

#include <cstdint>
#include <string>

// A picture has at most 65535 pixels a side (the largest GIF side) and 64 Mi pixels in all
// (8192 x 8192), so a 65535 x 1 picture is made but a 65535 x 65535 one is not.
inline constexpr int64_t kMaxImageSide = 65535;
inline constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;
// The largest file a reader takes in whole: a 32-bit picture at the pixel limit, with room for
// headers and a colour table. Larger files are refused before they are read.
inline constexpr uint64_t kMaxImageFileBytes = kMaxImagePixels * 4 + (uint64_t{1} << 20);

// True when a picture of this size is within the limit (both sides at least 0).
bool WithinImageLimits(int64_t width, int64_t height);

// Bytes of one row of the given width: the packed pixels padded to a multiple of 4.
uint64_t PaddedRowBytes(uint64_t width, int bitsPerPixel);

// Empty when a bitmap of this size is within the limit, else the reason in words.
std::string BitmapSizeProblem(int64_t width, int64_t height);
