#include "bitmap_qimage.h"

#include <bit>
#include <cstring>
#include <numeric>

namespace {

QList<QRgb> MonochromeTable(const TBitmap& bitmap) {
  if (bitmap.GetPalette() != nullptr) return PaletteColourTable(bitmap, 2);
  return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
}

// Moves the left edge of an area down to a whole number of 32-bit words of a row, so that the
// wrapped rows start on an aligned address.
int AlignedLeft(int left, int bitsPerPixel) {
  const int pixelsPerWord = bitsPerPixel >= 32 ? 1 : 32 / std::gcd(32, bitsPerPixel);
  return left - left % pixelsPerWord;
}

QImage WrapRows(const TBitmap& bitmap, const QRect& area, QImage::Format format) {
  const int bitsPerPixel = bitmap.BitsPerPixel();
  const uchar* first = bitmap.Bits() + static_cast<size_t>(area.top()) * bitmap.BytesPerRow() +
                       static_cast<size_t>(area.left()) * bitsPerPixel / 8;
  return QImage(first, area.width(), area.height(), bitmap.BytesPerRow(), format);
}

// One colour channel of a masked pixel value, scaled to 0..255.
int MaskedChannel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t maximum = mask >> shift;
  return static_cast<int>(((value & mask) >> shift) * 255u / maximum);
}

QRgb PixelColour(const TBitmap& bitmap, const uint8_t* row, int x, const QList<QRgb>& table) {
  switch (bitmap.BitsPerPixel()) {
    case 1:
      return table.value((row[x / 8] >> (7 - x % 8)) & 1, qRgb(0, 0, 0));
    case 4:
      return table.value((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF, qRgb(0, 0, 0));
    case 8:
      return table.value(row[x], qRgb(0, 0, 0));
    default:
      break;
  }
  const int bytesPerPixel = bitmap.BitsPerPixel() / 8;
  uint32_t value = 0;
  std::memcpy(&value, row + static_cast<size_t>(x) * bytesPerPixel, bytesPerPixel);
  TColorMasks masks = bitmap.GetColorMasks();
  if (!bitmap.HasColorMasks()) {
    masks = bytesPerPixel == 2 ? TColorMasks{0x7C00, 0x03E0, 0x001F}
                               : TColorMasks{0xFF0000, 0x00FF00, 0x0000FF};
  }
  return qRgb(MaskedChannel(value, masks.red), MaskedChannel(value, masks.green),
              MaskedChannel(value, masks.blue));
}

QImage ConvertArea(const TBitmap& bitmap, const QRect& area) {
  const QList<QRgb> table = PaletteColourTable(bitmap, 256);
  QImage converted(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y) {
    const uint8_t* row = bitmap.RowData(area.top() + y);
    auto* out = reinterpret_cast<QRgb*>(converted.scanLine(y));
    for (int x = 0; x < area.width(); ++x) out[x] = PixelColour(bitmap, row, area.left() + x, table);
  }
  return converted;
}

}  // namespace

QList<QRgb> PaletteColourTable(const TBitmap& bitmap, int size) {
  QList<QRgb> table(size, qRgb(0, 0, 0));
  if (const TPalette* palette = bitmap.GetPalette()) {
    const auto& entries = palette->Entries();
    for (int i = 0; i < size && i < static_cast<int>(entries.size()); ++i) {
      table[i] = qRgb(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
    }
  }
  return table;
}

QImage BitmapAreaImage(const TBitmap& bitmap, const QRect& area, QRect* covered) {
  QRect clipped = area & QRect(0, 0, bitmap.GetWidth(), bitmap.GetHeight());
  if (clipped.isEmpty() || bitmap.Bits() == nullptr) {
    *covered = QRect();
    return QImage();
  }
  const int bitsPerPixel = bitmap.BitsPerPixel();
  clipped.setLeft(AlignedLeft(clipped.left(), bitsPerPixel));
  *covered = clipped;
  const bool masked = bitmap.HasColorMasks();
  if (bitsPerPixel == 1) {
    QImage image = WrapRows(bitmap, clipped, QImage::Format_Mono);
    image.setColorTable(MonochromeTable(bitmap));
    return image;
  }
  if (bitsPerPixel == 8) {
    QImage image = WrapRows(bitmap, clipped, QImage::Format_Indexed8);
    image.setColorTable(PaletteColourTable(bitmap, 256));
    return image;
  }
  if (bitsPerPixel == 24) return WrapRows(bitmap, clipped, QImage::Format_BGR888);
  if (bitsPerPixel == 16 && !masked) return WrapRows(bitmap, clipped, QImage::Format_RGB555);
  if (bitsPerPixel == 16 && bitmap.GetColorMasks() == TColorMasks{0xF800, 0x07E0, 0x001F}) {
    return WrapRows(bitmap, clipped, QImage::Format_RGB16);
  }
  return ConvertArea(bitmap, clipped);
}
