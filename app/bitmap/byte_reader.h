#pragma once
// A bounded little-endian cursor over bytes of a file. Every read is checked against the end;
// a read past it refuses the file (EInvalidGraphic) instead of touching memory beyond it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphic_errors.h"

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size, const std::string& sourceName)
      : data_(data), size_(size), sourceName_(sourceName) {}

  size_t Size() const { return size_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return size_ - position_; }
  bool Has(size_t count) const { return count <= Remaining(); }
  const uint8_t* Here() const { return data_ + position_; }
  const std::string& SourceName() const { return sourceName_; }

  // Refuses the file with the reason when fewer than count bytes are left.
  void Require(size_t count, const std::string& reason) const {
    if (!Has(count))
      ThrowInvalidBitmap(sourceName_, reason);
  }
  void Seek(size_t position) {
    if (position > size_)
      Fail(position - position_);
    position_ = position;
  }
  void Skip(size_t count) {
    if (!Has(count))
      Fail(count);
    position_ += count;
  }
  // The next count bytes, which stay valid as long as the underlying data does.
  const uint8_t* Take(size_t count) {
    if (!Has(count))
      Fail(count);
    const uint8_t* bytes = data_ + position_;
    position_ += count;
    return bytes;
  }
  uint8_t U8() { return *Take(1); }
  uint16_t U16() {
    const uint8_t* b = Take(2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  uint32_t U32() {
    const uint8_t* b = Take(4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }

 private:
  [[noreturn]] void Fail(size_t wanted) const {
    ThrowInvalidBitmap(sourceName_, "the file ends after " + std::to_string(size_) +
                                        " bytes, where " + std::to_string(wanted) +
                                        " more bytes were expected at byte " +
                                        std::to_string(position_));
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  std::string sourceName_;
};
