#include "gif_lzw.h"

#include <cstring>

namespace {

// Reads codes of a changing width from a byte span, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}

  // False when fewer than width bits are left.
  bool Read(int width, uint32_t& code) {
    if (bitCount_ < width) {
      Refill();
      if (bitCount_ < width) {
        return false;
      }
    }
    code = static_cast<uint32_t>(bits_) & ((1u << width) - 1);
    bits_ >>= width;
    bitCount_ -= width;
    return true;
  }

 private:
  // Tops the bit buffer up to at least 56 bits, or to what is left of the data.
  void Refill() {
    if (data_.size() - position_ >= 8) {
      uint64_t word = 0;
      std::memcpy(&word, data_.data() + position_, 8);
      bits_ |= word << bitCount_;  // the reader runs on little-endian machines only
      position_ += static_cast<size_t>(63 - bitCount_) >> 3;
      bitCount_ |= 56;
      return;
    }
    while (bitCount_ <= 56 && position_ < data_.size()) {
      bits_ |= uint64_t{data_[position_++]} << bitCount_;
      bitCount_ += 8;
    }
  }

  std::span<const uint8_t> data_;
  size_t position_ = 0;
  uint64_t bits_ = 0;
  int bitCount_ = 0;
};

// Copies length bytes from an earlier place of the output, at most room of them. The source
// ends at or before the destination, so every byte of the first length is read before it
// could be overwritten. Whole 8-byte words are used while the up to 7 bytes they write past
// length stay inside room; those are overwritten by the strings after this one.
inline void CopyEarlierOutput(uint8_t* destination, const uint8_t* source, uint32_t length,
                              uint32_t room) {
  if (length + 7 < room) {
    uint32_t done = 0;
    do {
      uint64_t word;
      std::memcpy(&word, source + done, 8);
      std::memcpy(destination + done, &word, 8);
      done += 8;
    } while (done < length);
    return;
  }
  const uint32_t count = length < room ? length : room;
  for (uint32_t i = 0; i < count; ++i) {
    destination[i] = source[i];
  }
}

}  // namespace

LzwOutcome DecodeLzw(std::span<const uint8_t> data, int minCodeSize, uint8_t* output,
                     uint32_t wanted) {
  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  // Where each code's string starts in the output and its length; codes below clearCode are
  // literals and are not looked up here.
  uint32_t stringStart[kLzwMaxCodes];
  uint32_t stringLength[kLzwMaxCodes];

  CodeReader reader(data);
  int width = minCodeSize + 1;
  uint32_t nextCode = endCode + 1;
  bool havePrevious = false;  // false right after a clear code: the next code adds no entry
  uint32_t previousStart = 0;
  uint32_t previousLength = 0;
  uint32_t written = 0;

  // Each pass reads one code, so the loop ends with the data at the latest.
  for (;;) {
    if (written >= wanted) {
      return {wanted, LzwEnd::kOutputFull};
    }
    uint32_t code = 0;
    if (!reader.Read(width, code)) {
      return {written, LzwEnd::kDataEnded};
    }
    if (code == clearCode) {
      width = minCodeSize + 1;
      nextCode = endCode + 1;
      havePrevious = false;
      continue;
    }
    if (code == endCode) {
      return {written, LzwEnd::kEndCode};
    }
    uint8_t* destination = output + written;
    const uint32_t room = wanted - written;
    uint32_t length = 1;
    if (code < clearCode) {
      *destination = static_cast<uint8_t>(code);
    } else if (code < nextCode) {
      length = stringLength[code];
      CopyEarlierOutput(destination, output + stringStart[code], length, room);
    } else if (code == nextCode && havePrevious) {
      // The code being defined by this very step: the previous string and its first byte.
      length = previousLength + 1;
      CopyEarlierOutput(destination, output + previousStart, previousLength, room);
      if (previousLength < room) {
        destination[previousLength] = output[previousStart];
      }
    } else {
      return {written, LzwEnd::kBadCode};
    }
    // The new entry is the previous string followed by this one's first byte, which is where
    // the two stand side by side in the output. A full table takes no more entries until the
    // next clear code.
    if (havePrevious && nextCode < kLzwMaxCodes) {
      stringStart[nextCode] = previousStart;
      stringLength[nextCode] = previousLength + 1;
      ++nextCode;
    }
    // Codes widen once the next one to be defined needs another bit. With a minimum code size
    // of 1 that is already true after the first code, as in giflib's reading of such files.
    if (nextCode >= (1u << width) && width < kLzwMaxCodeBits) {
      ++width;
    }
    havePrevious = true;
    previousStart = written;
    previousLength = length;
    written += length;
  }
}
