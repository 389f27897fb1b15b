#pragma once
// Colour-word arithmetic shared by both decoders, on whole 32-bit words: the three colour bytes
// are handled alike and never mix.

#include <cstdint>

// The offsets of one range block as two words of per-byte amounts: `raise` is added and `lower`
// subtracted, each saturating at the byte's range. An offset +o gives raise min(o, 255) and
// lower 0, an offset -o the reverse, so one saturating add followed by one saturating subtract
// equals ClampByte(byte + offset) for every byte and every 16-bit offset. Byte 3 of both is 0.
struct OffsetWords {
  uint32_t raise = 0;
  uint32_t lower = 0;
};

// blockOffsets points at the three offsets of one block: colour byte 0, 1, 2.
OffsetWords OffsetWordsFromTriple(const int16_t* blockOffsets);

// Per-byte saturating add and subtract of two words.
inline uint32_t AddSaturatingBytes(uint32_t a, uint32_t b) {
  constexpr uint32_t kHigh = 0x80808080u;
  const uint32_t sum = ((a & ~kHigh) + (b & ~kHigh)) ^ ((a ^ b) & kHigh);
  const uint32_t carry = ((a & b) | ((a | b) & ~sum)) & kHigh;  // carry out of each byte
  return sum | ((carry >> 7) * 0xFFu);
}

inline uint32_t SubtractSaturatingBytes(uint32_t a, uint32_t b) {
  constexpr uint32_t kHigh = 0x80808080u;
  // Setting bit 7 of every byte of a keeps borrows inside their byte.
  const uint32_t difference = ((a | kHigh) - (b & ~kHigh)) ^ ((a ^ ~b) & kHigh);
  const uint32_t borrow = ((~a & b) | (~(a ^ b) & difference)) & kHigh;
  return difference & ~((borrow >> 7) * 0xFFu);
}

inline uint32_t ApplyOffsetWords(uint32_t pixel, OffsetWords offset) {
  return SubtractSaturatingBytes(AddSaturatingBytes(pixel, offset.raise), offset.lower);
}

// The shrink of four working-image pixels to one domain pixel: per colour byte the sum s of the
// four bytes, a = s / 4, v = 3a / 4, byte 3 zero. Bytes 0 and 2 (and 1 and 3) are summed in the
// two 16-bit halves of one word; a sum of four bytes needs 10 bits, so the halves never meet.
inline uint32_t ShrinkQuad(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11) {
  constexpr uint32_t kEvenBytes = 0x00FF00FFu;
  const uint32_t evenSums =
      (p00 & kEvenBytes) + (p01 & kEvenBytes) + (p10 & kEvenBytes) + (p11 & kEvenBytes);
  const uint32_t oddSums = ((p00 >> 8) & kEvenBytes) + ((p01 >> 8) & kEvenBytes) +
                           ((p10 >> 8) & kEvenBytes) + ((p11 >> 8) & kEvenBytes);
  // The masks after each shift drop the bits that slid out of the upper half.
  auto threeQuartersOfQuarter = [](uint32_t sums) {
    const uint32_t quarter = (sums >> 2) & kEvenBytes;
    return ((quarter * 3) >> 2) & kEvenBytes;
  };
  return threeQuartersOfQuarter(evenSums) | ((threeQuartersOfQuarter(oddSums) & 0xFFu) << 8);
}
