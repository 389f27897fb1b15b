#pragma once
// What a TBitmap holds and what bitmaps that share storage have in common: the layout, the
// palette and one block of top-down pixel rows.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bitmap.h"

struct BitmapStorage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
  // pfDevice: the display's own layout. We keep it as 32 bits per pixel without masks
  // (blue, green, red, unused), which is what the display takes without conversion.
  bool device = true;
  bool hasMasks = false;
  TColorMasks masks;
  // Palettes never change once made, so storages copied for copy-on-write may share them.
  std::shared_ptr<const TPalette> palette;
  bool ignorePalette = false;
  bool coreHeader = false;  // loaded with the 12-byte header; saved with it again
  int bytesPerRow = 0;
  std::unique_ptr<uint8_t[]> rows;  // height * bytesPerRow bytes, row 0 the top

  size_t RowBlockBytes() const {
    return static_cast<size_t>(bytesPerRow) * static_cast<size_t>(height);
  }
  // Everything but the rows, which the copy has not got yet.
  std::shared_ptr<BitmapStorage> CopyLayout() const;
  // A full copy, rows included.
  std::shared_ptr<BitmapStorage> Copy() const;
  // Makes rows for the present width, height and depth, all bytes 0 when zeroed is set (the
  // loader, which fills every byte, saves the clearing). The size must be within the bound.
  void AllocateRows(bool zeroed);
};
