#pragma once
// Whole reads of image files. Only regular files are read: the name is opened without blocking
// (a named pipe must not stall the caller), checked with fstat, and at most the size seen then
// is read, so a device or a file that grows while we read cannot make us read without end.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "qav_status.h"

struct FileBytes {
  std::unique_ptr<uint8_t[]> data;  // not cleared before the read: every byte comes from the file
  size_t size = 0;

  std::span<const uint8_t> Span() const { return {data.get(), size}; }
};

// CannotOpen, NotRegularFile, FileTooLarge (more than maxBytes) or ReadFailed; on success
// *bytes holds the file as it was when read (shorter if it shrank meanwhile).
QavStatus ReadRegularFile(const std::string& path, uint64_t maxBytes, FileBytes* bytes);
