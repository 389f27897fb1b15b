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
// Creates or truncates the file and writes the bytes. EFCreateError when that fails.
void WriteFileBytes(const std::string& fileName, const uint8_t* data, size_t size);
// The last component of a path, which names a file in error details.
std::string FileNamePart(const std::string& path);
