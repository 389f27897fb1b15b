#pragma once
// The fractal block decoders. Both take the eight inputs of the format (block-size code,
// domain indices, offsets, transform codes, width, height, output, iteration count) and give
// the same colour words bit for bit: blue in bits 0-7, green 8-15, red 16-23.
//
// The checked forms take the number of blocks the parameter arrays hold and verify every input
// before any buffer is touched; the table-driven decoder is the one QAVloader::DecodeFractal
// runs at load, the direct decoder the one Effects > Reiterate runs.

#include <cstddef>
#include <cstdint>

#include "qav_status.h"

// Decodes report BadFractalSize (width or height below 1, a padded side above 32767, or a
// working image of 2^31 bytes or more), ShortArrays (the arrays hold fewer blocks than the
// image has), BadDomainIndex (a domain index names no domain block), BadIterations (a negative
// pass count) or OutOfMemory (the working set cannot be obtained; the output is untouched).

// The geometry of an image: n the block side, W and H the padded sides, N the range blocks.
struct FractalGeometry {
  int blockSide = 4;
  int paddedWidth = 0;
  int paddedHeight = 0;
  size_t rangeBlocks = 0;
  size_t domainBlocks = 0;
};
int BlockSideFromCode(int blockSizeCode);  // 1 -> 8, 2 -> 16, 3 -> 32, others -> 4
// BadImageSize for sizes the format cannot hold; otherwise fills geometry.
QavStatus ComputeFractalGeometry(int blockSizeCode, int width, int height,
                                 FractalGeometry* geometry);

// Verifies the inputs of a decode against each other.
QavStatus CheckFractalInputs(int blockSizeCode, const uint16_t* domainIndices, size_t blockCount,
                             int width, int height, int iterations);

QavStatus DecodeFractalTableDriven(int blockSizeCode, const uint16_t* domainIndices,
                                   const int16_t* offsets, const uint8_t* transforms,
                                   size_t blockCount, int16_t width, int16_t height,
                                   uint32_t* output, int iterations);
QavStatus DecodeFractalDirect(int blockSizeCode, const uint16_t* domainIndices,
                              const int16_t* offsets, const uint8_t* transforms, size_t blockCount,
                              int16_t width, int16_t height, uint32_t* output, int iterations);

// The format's direct decoder: the arrays must hold the image's number of blocks. 0 after
// writing the output, -1 when an input is outside the limits or memory cannot be had (the
// output is then untouched).
int ReiterateFractal(int blockSizeCode, const uint16_t* domainIndices, const int16_t* offsets,
                     const uint8_t* transforms, int16_t width, int16_t height, uint32_t* output,
                     int iterations);

int ClampByte(int value);
