#pragma once
// The LZW decoder of GIF image data.
//
// Each code's string is already in the output: it is the string of the code before it followed
// by the first byte of its own, and those two lie next to each other in the output. So the
// table keeps, for each code, where its string starts in the output and how long it is, and a
// code is decoded by copying its string from earlier output, eight bytes at a time while that
// stays inside the output, byte by byte near its end, so nothing past it is touched. A clear
// code costs a reset of two counters, so a stream of nothing but clear codes decodes as fast as
// its bits are read.

#include <cstddef>
#include <cstdint>
#include <span>

// The largest code width GIF allows, and so the most codes the table can hold.
inline constexpr int kLzwMaxCodeBits = 12;
inline constexpr int kLzwMaxCodes = 1 << kLzwMaxCodeBits;

// The smallest and largest minimum code sizes an image may declare: the first code is one bit
// wider, and codes never grow past 12 bits.
inline constexpr int kLzwSmallestCodeSize = 1;
inline constexpr int kLzwLargestCodeSize = kLzwMaxCodeBits - 1;

enum class LzwEnd {
  kEndCode,     // the stream's end code
  kOutputFull,  // every pixel asked for was decoded
  kDataEnded,   // the data ran out without an end code
  kBadCode,     // a code that is not yet in the table
};

struct LzwOutcome {
  uint32_t pixels = 0;  // pixels written, at most the number asked for
  LzwEnd end = LzwEnd::kEndCode;
};

// Decodes the codes packed in data (least significant bit first) into output[0, wanted).
// minCodeSize lies in [kLzwSmallestCodeSize, kLzwLargestCodeSize]; output holds wanted
// bytes, and bytes past the pixels decoded keep what they held. Literal values above 255 (possible
// with code sizes over 8) are kept modulo 256, as the byte-wide tables of other decoders keep them.
LzwOutcome DecodeLzw(std::span<const uint8_t> data, int minCodeSize, uint8_t* output,
                     uint32_t wanted);
