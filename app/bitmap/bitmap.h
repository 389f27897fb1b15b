#pragma once
// TBitmap: the bitmap surface that every loader fills and every view reads.
//
// Pixel rows are held top-down in one contiguous block: row 0 is the top row of the picture,
// each row BytesPerRow() bytes long (the packed pixels, padded to a multiple of 4 bytes), in the
// Windows bitmap layout of the pixel format (1 bit: leftmost pixel in the most significant bit;
// 24 bits: blue, green, red bytes; 16 and 32 bits: little-endian words). Views may wrap the rows
// directly (Bits(), BytesPerRow()) without copying them.
//
// A device-dependent bitmap (pfDevice) is kept as 32 bits per pixel without masks, the layout the
// display takes as it is; it is saved as a 32-bit file. A bitmap loaded from a file with a
// palette always has a full colour table (2, 16 or 256 entries): entries the file does not give
// are black, so every pixel value names a colour. Files of 2 bits per pixel are widened to the
// 4-bit layout on load. Run-length compressed files are decoded into the 8-bit or 4-bit layout;
// pixels the runs skip (delta moves, early end of line or of bitmap) get palette index 0.
// No bitmap is bigger than the one image limit (bitmap_limits.h); larger sizes are refused with
// EInvalidGraphic before anything is allocated.
//
// Storage sharing: ShareStorageOf() makes this bitmap use another's storage (size, format,
// palette and rows); rows written through RowData() of either are seen by both. Every operation
// that changes the size, pixel format, palette or monochrome flag, or loads a file, first gives
// the bitmap storage of its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "palette.h"

struct BitmapStorage;

// The pixel-format ordinals; a QAV file stores the ordinal.
enum TBitmapFormat : int {
  pfDevice = 0,  // the display's own layout; also what an empty bitmap reports
  pf1bit = 1,    // 1 bit per pixel, 2-entry palette
  pf4bit = 2,    // 4 bits per pixel, 16-entry palette
  pf8bit = 3,    // 8 bits per pixel, 256-entry palette
  pf15bit = 4,   // 16 bits per pixel, 5 bits each for red, green and blue
  pf16bit = 5,   // 16 bits per pixel, masks red 0xF800, green 0x07E0, blue 0x001F
  pf24bit = 6,   // 24 bits per pixel, blue, green, red bytes
  pf32bit = 7,   // 32 bits per pixel, no colour masks
  pfCustom = 8,  // any other layout (16 bits with other masks, 32 bits with masks)
};

// The colour masks of a 16-bit or 32-bit bitmap stored with bit fields.
struct TColorMasks {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  bool operator==(const TColorMasks&) const = default;
};

class TBitmap {
 public:
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int GetWidth() const;
  int GetHeight() const;  // always positive or 0, also for files stored top-down
  void SetWidth(int width);
  void SetHeight(int height);

  // The ordinal of the present layout; 0 for a device-dependent or empty bitmap.
  TBitmapFormat GetPixelFormat() const;
  // Gives the bitmap the layout of an ordinal; 8 (custom) is refused with EInvalidGraphic
  // "Invalid pixel format".
  void SetPixelFormat(int ordinal);
  int BitsPerPixel() const;  // of the present layout: 1, 4, 8, 16, 24 or 32
  bool HasColorMasks() const;
  TColorMasks GetColorMasks() const;

  // Takes the palette over; nullptr means no palette.
  void SetPalette(std::unique_ptr<TPalette> palette);
  const TPalette* GetPalette() const;  // nullptr when the bitmap has none

  void SetMonochrome(bool monochrome);
  bool GetMonochrome() const;
  void SetIgnorePalette(bool ignorePalette);
  bool GetIgnorePalette() const;

  // Address of the first byte of a row (0 = top); any other row number is refused with
  // EInvalidGraphicOperation "Scan line index out of range".
  uint8_t* RowData(int row);
  const uint8_t* RowData(int row) const;
  int BytesPerRow() const;      // packed pixel bytes of a row, padded to a multiple of 4
  const uint8_t* Bits() const;  // row 0; rows follow at BytesPerRow() steps; nullptr when empty
  bool Empty() const;           // width or height 0

  // Replaces size, format, palette and pixels with those of a Windows bitmap file. A file of
  // zero bytes gives an empty bitmap. EFOpenError when the file cannot be opened,
  // EInvalidGraphic when it is not a bitmap that can be shown.
  void LoadFromBitmapFile(const std::string& fileName);
  // The same from bytes in memory; sourceName only names the source in error details.
  void LoadFromBitmapBytes(const uint8_t* data, size_t size, const std::string& sourceName);

  // Creates or replaces the file and writes the bitmap in its own format, size and palette.
  // An empty bitmap writes zero bytes. EFCreateError when the file cannot be created.
  void SaveToBitmapFile(const std::string& fileName) const;
  std::vector<uint8_t> SaveToBitmapBytes() const;

  // True when the bitmap was loaded from a file with the 12-byte (OS/2) information header;
  // such a bitmap is saved with that header again.
  bool HasCoreHeader() const;

  // Storage sharing (used by TPicture::AssignBitmap).
  void ShareStorageOf(const TBitmap& source);
  bool SharesStorageWith(const TBitmap& other) const;

 private:
  std::shared_ptr<BitmapStorage> storage_;
  BitmapStorage& OwnStorage();  // gives this bitmap storage of its own before a change
  // Replaces the storage by one of the given size, keeping layout, palette and the rows and
  // columns that old and new size have in common.
  void Resize(int width, int height);
};
