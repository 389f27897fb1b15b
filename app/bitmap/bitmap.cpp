#include "bitmap.h"

#include <algorithm>
#include <cstring>

#include "bitmap_limits.h"
#include "bitmap_storage.h"
#include "bmp_reader.h"
#include "bmp_writer.h"
#include "file_bytes.h"
#include "graphic_errors.h"

namespace {

// The stored layout that a pixel-format ordinal stands for.
struct Layout {
  int bitsPerPixel;
  bool device;
  bool hasMasks;
  TColorMasks masks;
};

Layout LayoutOf(int ordinal) {
  switch (ordinal) {
    case pfDevice:
      return {32, true, false, {}};
    case pf1bit:
      return {1, false, false, {}};
    case pf4bit:
      return {4, false, false, {}};
    case pf8bit:
      return {8, false, false, {}};
    case pf15bit:
      return {16, false, false, {}};
    case pf16bit:
      return {16, false, true, {0xF800, 0x07E0, 0x001F}};
    case pf24bit:
      return {24, false, false, {}};
    case pf32bit:
      return {32, false, false, {}};
    default:
      throw EInvalidGraphic(kInvalidPixelFormatMessage,
                            "pixel format " + std::to_string(ordinal) +
                                " has no fixed layout; only 0 to 7 can be set");
  }
}

// The palette a change to an indexed format brings along: a grey ramp over all pixel values
// (black and white for 1 bit), so that a new bitmap shows something sensible.
std::shared_ptr<const TPalette> GreyPalette(int bitsPerPixel) {
  if (bitsPerPixel > 8)
    return nullptr;
  return std::make_shared<const TPalette>(GreyRampEntries(bitsPerPixel));
}

void RefuseSize(int64_t width, int64_t height) {
  const std::string problem = BitmapSizeProblem(width, height);
  if (!problem.empty())
    ThrowInvalidBitmap({}, problem);
}

}  // namespace

TBitmap::TBitmap() : storage_(std::make_shared<BitmapStorage>()) {}
TBitmap::~TBitmap() = default;

BitmapStorage& TBitmap::OwnStorage() {
  if (storage_.use_count() > 1)
    storage_ = storage_->Copy();
  return *storage_;
}

void TBitmap::Resize(int width, int height) {
  RefuseSize(width, height);
  const BitmapStorage& old = *storage_;
  auto resized = old.CopyLayout();
  resized->width = width;
  resized->height = height;
  resized->AllocateRows(true);
  // Without width a bitmap has no rows at all, only a height.
  const int commonRows = old.width == 0 || width == 0 ? 0 : std::min(old.height, height);
  const int commonBytes = std::min(old.bytesPerRow, resized->bytesPerRow);
  for (int row = 0; row < commonRows; ++row)
    std::memcpy(resized->rows.get() + static_cast<size_t>(row) * resized->bytesPerRow,
                old.rows.get() + static_cast<size_t>(row) * old.bytesPerRow,
                static_cast<size_t>(commonBytes));
  storage_ = std::move(resized);
}

int TBitmap::GetWidth() const {
  return storage_->width;
}
int TBitmap::GetHeight() const {
  return storage_->height;
}

void TBitmap::SetWidth(int width) {
  if (width != storage_->width)
    Resize(width, storage_->height);
}

void TBitmap::SetHeight(int height) {
  if (height != storage_->height)
    Resize(storage_->width, height);
}

TBitmapFormat TBitmap::GetPixelFormat() const {
  const BitmapStorage& s = *storage_;
  if (Empty() || s.device)
    return pfDevice;
  switch (s.bitsPerPixel) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      if (!s.hasMasks)
        return pf15bit;
      return s.masks.green == 0x07E0 ? pf16bit : pfCustom;
    case 24:
      return pf24bit;
    default:
      return s.hasMasks ? pfCustom : pf32bit;
  }
}

void TBitmap::SetPixelFormat(int ordinal) {
  const Layout layout = LayoutOf(ordinal);
  const BitmapStorage& s = *storage_;
  if (layout.bitsPerPixel == s.bitsPerPixel && layout.device == s.device &&
      layout.hasMasks == s.hasMasks && layout.masks == s.masks)
    return;
  RefuseSize(s.width, s.height);
  // The rows of the old layout mean nothing in the new one; callers rewrite them.
  auto changed = s.CopyLayout();
  changed->bitsPerPixel = layout.bitsPerPixel;
  changed->device = layout.device;
  changed->hasMasks = layout.hasMasks;
  changed->masks = layout.masks;
  changed->palette = GreyPalette(layout.bitsPerPixel);
  changed->AllocateRows(true);
  storage_ = std::move(changed);
}

int TBitmap::BitsPerPixel() const {
  return storage_->bitsPerPixel;
}
bool TBitmap::HasColorMasks() const {
  return storage_->hasMasks;
}
TColorMasks TBitmap::GetColorMasks() const {
  return storage_->masks;
}

void TBitmap::SetPalette(std::unique_ptr<TPalette> palette) {
  OwnStorage().palette = std::move(palette);
}

const TPalette* TBitmap::GetPalette() const {
  return storage_->palette.get();
}

// Monochrome is what 1 bit per pixel means; asking for the other state changes the format
// (to 1 bit, or back to the device layout).
void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == GetMonochrome())
    return;
  SetPixelFormat(monochrome ? pf1bit : pfDevice);
}

bool TBitmap::GetMonochrome() const {
  return storage_->bitsPerPixel == 1;
}

void TBitmap::SetIgnorePalette(bool ignorePalette) {
  if (ignorePalette != storage_->ignorePalette)
    OwnStorage().ignorePalette = ignorePalette;
}

bool TBitmap::GetIgnorePalette() const {
  return storage_->ignorePalette;
}

uint8_t* TBitmap::RowData(int row) {
  return const_cast<uint8_t*>(static_cast<const TBitmap*>(this)->RowData(row));
}

const uint8_t* TBitmap::RowData(int row) const {
  const BitmapStorage& s = *storage_;
  if (row < 0 || row >= s.height || s.width == 0)
    throw EInvalidGraphicOperation(
        kScanLineOutOfRangeMessage,
        "row " + std::to_string(row) + " of a bitmap of " + std::to_string(s.height) + " rows");
  return s.rows.get() + static_cast<size_t>(row) * static_cast<size_t>(s.bytesPerRow);
}

int TBitmap::BytesPerRow() const {
  return storage_->bytesPerRow;
}
const uint8_t* TBitmap::Bits() const {
  return Empty() ? nullptr : storage_->rows.get();
}
bool TBitmap::Empty() const {
  return storage_->width == 0 || storage_->height == 0;
}

void TBitmap::LoadFromBitmapFile(const std::string& fileName) {
  const FileBytes file = ReadBitmapFileBytes(fileName);
  LoadFromBitmapBytes(file.data.get(), file.size, fileName);
}

void TBitmap::LoadFromBitmapBytes(const uint8_t* data, size_t size, const std::string& sourceName) {
  // The old storage stays until the new picture is complete, so a refused file changes nothing.
  storage_ = size == 0 ? std::make_shared<BitmapStorage>() : ReadBmp(data, size, sourceName);
}

void TBitmap::SaveToBitmapFile(const std::string& fileName) const {
  TFileWriter file(fileName);
  WriteBmp(*storage_, [&file](const uint8_t* data, size_t size) { file.Put(data, size); });
  file.Finish();
}

std::vector<uint8_t> TBitmap::SaveToBitmapBytes() const {
  return WriteBmp(*storage_);
}

bool TBitmap::HasCoreHeader() const {
  return storage_->coreHeader;
}

void TBitmap::ShareStorageOf(const TBitmap& source) {
  storage_ = source.storage_;
}

bool TBitmap::SharesStorageWith(const TBitmap& other) const {
  return storage_ == other.storage_;
}
