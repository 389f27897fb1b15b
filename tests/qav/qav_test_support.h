#pragma once
// Helpers of the QAV tests: a byte builder for hand-made files, and reading bytes through
// ReadQAVFile by way of a temporary file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "qav_reader.h"

// Appends little-endian fields to a file image.
class QavBytes {
 public:
  QavBytes& U8(uint32_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    return *this;
  }
  QavBytes& U16(uint32_t value) { return U8(value).U8(value >> 8); }
  QavBytes& U32(uint32_t value) { return U16(value).U16(value >> 16); }
  QavBytes& Raw(std::initializer_list<uint8_t> values) {
    bytes_.insert(bytes_.end(), values);
    return *this;
  }
  QavBytes& Raw(const std::vector<uint8_t>& values) {
    bytes_.insert(bytes_.end(), values.begin(), values.end());
    return *this;
  }
  QavBytes& Fill(size_t count, uint8_t value) {
    bytes_.insert(bytes_.end(), count, value);
    return *this;
  }
  // "QAV", reserved, version, method, width, height.
  QavBytes& Common(uint8_t method, int width, int height, uint8_t version = 0x31,
                   uint8_t reserved = 0) {
    return Raw({'Q', 'A', 'V'})
        .U8(reserved)
        .U8(version)
        .U8(method)
        .U16(static_cast<uint16_t>(width))
        .U16(static_cast<uint16_t>(height));
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// A file that exists for the life of the object.
class TempQavFile {
 public:
  explicit TempQavFile(const std::vector<uint8_t>& bytes) {
    char name[] = "/tmp/qav-test-XXXXXX";
    const int descriptor = mkstemp(name);
    EXPECT_GE(descriptor, 0);
    path_ = name;
    if (!bytes.empty()) {
      EXPECT_EQ(write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    close(descriptor);
  }
  ~TempQavFile() { std::remove(path_.c_str()); }
  TempQavFile(const TempQavFile&) = delete;
  TempQavFile& operator=(const TempQavFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

struct ReadResult {
  int result = 0;  // the file form's 0 or -1
  QavStatus status = QavStatus::Ok();
};

// Reads the bytes into image from memory, and through the file form into a record of its own
// for its result.
inline ReadResult ReadBytes(TQAV& image, const std::vector<uint8_t>& bytes) {
  TempQavFile file(bytes);
  ReadResult read;
  TQAV fromFile;
  read.result = ReadQAVFile(&fromFile, file.Path().c_str());
  read.status = ReadQAVBytes(&image, bytes);
  return read;
}

// A refused or unshown file leaves the record as the viewer shows it: an empty picture and no
// parameter arrays.
inline void ExpectEmptyRecord(const TQAV& image) {
  EXPECT_TRUE(image.bitmap->Empty());
  EXPECT_EQ(image.domainIndices, nullptr);
  EXPECT_EQ(image.transforms, nullptr);
  EXPECT_EQ(image.offsets, nullptr);
}
