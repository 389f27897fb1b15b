#pragma once
// Whole-file reads and writes with the surface's errors.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "regular_file.h"

// Reads a regular file in one go (see ReadRegularFile). EFOpenError when it cannot be opened or
// read or is not a regular file, EInvalidGraphic when it is larger than any picture we load.
FileBytes ReadBitmapFileBytes(const std::string& fileName);
// A file created or truncated for writing, filled piece by piece through a small buffer, so a
// writer can hand over what it holds without first building the whole file. EFCreateError
// "Cannot create file %s" with the system's reason when creating, writing or closing fails.
class TFileWriter {
 public:
  explicit TFileWriter(const std::string& fileName);
  ~TFileWriter();
  TFileWriter(const TFileWriter&) = delete;
  TFileWriter& operator=(const TFileWriter&) = delete;

  void Put(const uint8_t* data, size_t size);
  // Writes what is buffered and closes the file; the file is complete only after this.
  void Finish();

 private:
  void Flush();
  [[noreturn]] void Fail();

  std::string fileName_;
  int fd_ = -1;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t buffered_ = 0;
};

// The last component of a path, which names a file in error details.
std::string FileNamePart(const std::string& path);
