#pragma once
// Writes bitmap storage as a Windows bitmap file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "bitmap_storage.h"

// Takes the file's bytes in order, one piece at a time.
using BmpPieceSink = std::function<void(const uint8_t* data, size_t size)>;

// Hands the file to `sink` as its headers and colour table, then one piece a row, bottom row
// first, straight from the storage: the file is never built whole in memory, so saving a large
// picture needs no second copy of it. Nothing for an empty bitmap.
void WriteBmp(const BitmapStorage& storage, const BmpPieceSink& sink);

// The file's bytes in one buffer; none for an empty bitmap.
std::vector<uint8_t> WriteBmp(const BitmapStorage& storage);
