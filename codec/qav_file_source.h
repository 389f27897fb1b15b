#pragma once
// A QAV file opened for reading, with its real length known up front, so that every size
// a header claims can be checked against the bytes that are there before anything is
// allocated. Every read is bounded: it never reads past the end and says how much it got.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class QavFileSource {
 public:
  // Opens the file; EFOpenError "Cannot open file %s" when it cannot be opened.
  explicit QavFileSource(const std::string& fileName);
  ~QavFileSource();
  QavFileSource(const QavFileSource&) = delete;
  QavFileSource& operator=(const QavFileSource&) = delete;

  uint64_t Remaining() const { return length_ - position_; }
  uint64_t Position() const { return position_; }

  // Reads up to count bytes; returns the number read (less only at the end of the file).
  size_t Read(void* destination, size_t count);
  // Reads exactly count bytes, or returns false having consumed what was there.
  bool ReadExactly(void* destination, size_t count) { return Read(destination, count) == count; }

 private:
  std::FILE* file_ = nullptr;
  uint64_t length_ = 0;
  uint64_t position_ = 0;
};

// Little-endian field access into a header block read in one piece.
inline uint16_t LoadLe16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
inline uint32_t LoadLe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}
