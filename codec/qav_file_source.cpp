#include "qav_file_source.h"

#include "graphic_errors.h"

QavFileSource::QavFileSource(const std::string& fileName) {
  file_ = std::fopen(fileName.c_str(), "rb");
  if (file_ == nullptr)
    throw EFOpenError(fileName);
  // The length bounds every later read. A stream that cannot report it (a pipe) keeps the
  // length 0 and is therefore refused as too short to be a QAV file.
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    const long end = std::ftell(file_);
    if (end >= 0)
      length_ = static_cast<uint64_t>(end);
  }
  if (std::fseek(file_, 0, SEEK_SET) != 0)
    length_ = 0;
}

QavFileSource::~QavFileSource() {
  std::fclose(file_);
}

size_t QavFileSource::Read(void* destination, size_t count) {
  if (count > Remaining())
    count = static_cast<size_t>(Remaining());
  if (count == 0)
    return 0;
  const size_t got = std::fread(destination, 1, count, file_);
  position_ += got;
  return got;
}
