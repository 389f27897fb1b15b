#pragma once
// Parameter sets for fractal decoder tests.

#include <cstdint>
#include <random>
#include <vector>

#include "fractal_decoder.h"

struct FractalParameters {
  int blockSizeCode = 0;
  int16_t width = 1;
  int16_t height = 1;
  std::vector<uint16_t> domainIndices;
  std::vector<int16_t> offsets;
  std::vector<uint8_t> transforms;
};

// Parameters for an image of the given size with every block alike.
inline FractalParameters UniformParameters(int code, int16_t width, int16_t height, int16_t offset,
                                           uint8_t transform = 0) {
  FractalGeometry geometry;
  ComputeFractalGeometry(code, width, height, &geometry);
  FractalParameters parameters{code, width, height, {}, {}, {}};
  parameters.domainIndices.assign(geometry.rangeBlocks, 0);
  parameters.offsets.assign(3 * geometry.rangeBlocks, offset);
  parameters.transforms.assign(geometry.rangeBlocks, transform);
  return parameters;
}

// Random valid parameters; transform codes above 8 appear when allowBadCodes is set.
inline FractalParameters RandomParameters(std::mt19937& random, int code, int16_t width,
                                          int16_t height, bool allowBadCodes) {
  FractalParameters parameters = UniformParameters(code, width, height, 0);
  const size_t domainBlocks = parameters.domainIndices.size() / 4;
  for (uint16_t& index : parameters.domainIndices)
    index = static_cast<uint16_t>(random() % domainBlocks);
  for (int16_t& offset : parameters.offsets)
    offset = static_cast<int16_t>(static_cast<int>(random() % 256) - 128);
  for (uint8_t& transform : parameters.transforms) {
    transform = static_cast<uint8_t>(allowBadCodes && random() % 16 == 0 ? 9 + random() % 247
                                                                         : random() % 9);
  }
  return parameters;
}
