#pragma once
// The largest bitmap the surface makes, whether from a file or through SetWidth/SetHeight.
// A bitmap may have at most 65535 pixels a side (the largest GIF side) and at most 1 GiB of
// pixel rows, so a 65535 x 1 picture is made but a 65535 x 65535 one is not; the bound is
// checked before anything is allocated, so a hostile header cannot make us reserve memory.

#include <cstdint>
#include <string>

inline constexpr int64_t kMaxBitmapSide = 65535;
inline constexpr uint64_t kMaxBitmapRowBytes = uint64_t{1} << 30;
// A bitmap file is at most its rows plus headers and colour table; bigger files are refused
// before they are read.
inline constexpr uint64_t kMaxBitmapFileBytes = kMaxBitmapRowBytes + (uint64_t{1} << 20);

// Bytes of one row of the given width: the packed pixels padded to a multiple of 4.
uint64_t PaddedRowBytes(uint64_t width, int bitsPerPixel);

// Empty when a bitmap of this size and depth is within the bound, else the reason in words.
std::string BitmapSizeProblem(int64_t width, int64_t height, int bitsPerPixel);
