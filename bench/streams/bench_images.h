#pragma once
// 8-bit image data made in code for the stream benchmarks.

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr size_t kBenchImageSide = 4096;  // 4096 x 4096 bytes: 16 MiB

// A smooth photo-like picture (overlapping soft gradients and blobs) quantised to 256 levels.
const std::vector<uint8_t>& SmoothImage();
// The smooth picture with strong per-pixel noise: nearly flat byte statistics.
const std::vector<uint8_t>& NoisyImage();
