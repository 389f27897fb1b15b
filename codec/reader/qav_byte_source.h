#pragma once
// The bytes of a QAV file, read front to back with their real length known up front, so that
// every size a header claims can be held against the bytes that are there before anything is
// allocated. Every read is bounded: it never reads past the end and says how much it got.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

class QavByteSource {
 public:
  explicit QavByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint64_t Length() const { return bytes_.size(); }
  uint64_t Remaining() const { return bytes_.size() - position_; }
  uint64_t Position() const { return position_; }

  // Reads up to count bytes; returns the number read (less only at the end).
  size_t Read(void* destination, size_t count) {
    if (count > Remaining())
      count = static_cast<size_t>(Remaining());
    if (count > 0)
      std::memcpy(destination, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  // Reads exactly count bytes, or returns false having consumed what was there.
  bool ReadExactly(void* destination, size_t count) { return Read(destination, count) == count; }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

// Little-endian field access into a header block read in one piece.
inline uint16_t LoadLe16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
inline uint32_t LoadLe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}
