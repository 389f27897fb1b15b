#include "bitmap_storage.h"

#include <cstring>

#include "bitmap_limits.h"

std::shared_ptr<BitmapStorage> BitmapStorage::CopyLayout() const {
  auto copy = std::make_shared<BitmapStorage>();
  copy->width = width;
  copy->height = height;
  copy->bitsPerPixel = bitsPerPixel;
  copy->device = device;
  copy->hasMasks = hasMasks;
  copy->masks = masks;
  copy->palette = palette;
  copy->ignorePalette = ignorePalette;
  copy->coreHeader = coreHeader;
  copy->bytesPerRow = bytesPerRow;
  return copy;
}

std::shared_ptr<BitmapStorage> BitmapStorage::Copy() const {
  auto copy = CopyLayout();
  copy->AllocateRows(false);
  if (RowBlockBytes() > 0)
    std::memcpy(copy->rows.get(), rows.get(), RowBlockBytes());
  return copy;
}

void BitmapStorage::AllocateRows(bool zeroed) {
  bytesPerRow = static_cast<int>(PaddedRowBytes(static_cast<uint64_t>(width), bitsPerPixel));
  const size_t total = RowBlockBytes();
  if (total == 0) {
    rows.reset();
    return;
  }
  rows =
      zeroed ? std::make_unique<uint8_t[]>(total) : std::unique_ptr<uint8_t[]>(new uint8_t[total]);
}
