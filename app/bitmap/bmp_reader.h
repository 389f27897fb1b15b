#pragma once
// Reads a Windows bitmap file held in memory into bitmap storage.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "bitmap_storage.h"

// The storage of the picture in the bytes, or EInvalidGraphic naming sourceName and the reason.
// The bytes must not be empty (an empty file is an empty bitmap, which the caller makes).
std::shared_ptr<BitmapStorage> ReadBmp(const uint8_t* data, size_t size,
                                       const std::string& sourceName);
