#pragma once
// The fractal encoder: for every range block it finds the domain block, transform and colour
// offsets that reproduce the block best under the decoder's fixed map (domain pixel =
// three quarters of the 2 x 2 average, plus one offset per colour byte).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A true-colour picture in the decoder's row order: row 0 first (the bottom row of the
// picture as shown), each word blue in bits 0-7, green 8-15, red 16-23.
struct ColourWordImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> words;  // width x height
};

// The stored parameters of a fractal image, one entry per range block.
struct FractalParameters {
  int blockSizeCode = 0;
  std::vector<uint16_t> domainIndices;
  std::vector<int8_t> offsetTriples;  // per block red, green, blue, as the file stores them
  std::vector<uint8_t> transforms;
};

struct FractalEncodeOptions {
  int blockSizeCode = 0;
  // Domain candidates tried per range block, nearest in contrast first; the search stops
  // earlier when no further candidate can fit better.
  int candidatesPerBlock = 1024;
  int threads = 0;  // 0: one per hardware thread
};

// Fills *parameters; false with *error set when the image cannot be coded at this block size
// (empty, padded side above 32767, or more domain blocks than a 16-bit index can name).
bool EncodeFractal(const ColourWordImage& image, const FractalEncodeOptions& options,
                   FractalParameters* parameters, std::string* error);

// Decodes parameters as the reader does (iterations passes) into *decoded; false when the
// decoder refuses them.
bool DecodeFractalParameters(const FractalParameters& parameters, int width, int height,
                             int iterations, ColourWordImage* decoded);

// The peak signal-to-noise ratio of two pictures of one size over their colour bytes, in dB
// (99 for identical pictures).
double ColourPsnr(const ColourWordImage& a, const ColourWordImage& b);
