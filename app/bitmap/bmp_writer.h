#pragma once
// Writes bitmap storage as a Windows bitmap file.

#include <cstdint>
#include <vector>

#include "bitmap_storage.h"

// The file's bytes; none for an empty bitmap.
std::vector<uint8_t> WriteBmp(const BitmapStorage& storage);
