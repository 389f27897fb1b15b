#include "bitmap_qimage.h"

#include <numeric>

#include "pixel_colours.h"

namespace {

QList<QRgb> MonochromeTable(const TBitmap& bitmap) {
  if (bitmap.GetPalette() != nullptr)
    return PaletteColourTable(bitmap, 2);
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

// Layouts Qt has no format for are turned into 0xFFRRGGBB words, whole rows at a time.
QImage ConvertRows(const TBitmap& bitmap, int top, int height) {
  QImage converted(bitmap.GetWidth(), height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    ConvertRowToXrgb32(bitmap, top + y, reinterpret_cast<uint32_t*>(converted.scanLine(y)));
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
  if (bitsPerPixel == 24)
    return WrapRows(bitmap, clipped, QImage::Format_BGR888);
  *covered = QRect(0, clipped.top(), bitmap.GetWidth(), clipped.height());
  return ConvertRows(bitmap, clipped.top(), clipped.height());
}

namespace {

void DeleteBitmap(void* bitmap) {
  delete static_cast<TBitmap*>(bitmap);
}

// Blue, green, red bytes as 0xFFRRGGBB words, row by row: the one copy a true-colour picture
// takes on its way out (a plain loop, faster here than Qt's general conversion).
QImage Bgr24AsRgb32(const TBitmap& bitmap) {
  QImage image(bitmap.GetWidth(), bitmap.GetHeight(), QImage::Format_RGB32);
  if (image.isNull())
    return image;
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    const uint8_t* bgr = bitmap.RowData(y);
    auto* words = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < bitmap.GetWidth(); ++x, bgr += 3)
      words[x] = 0xFF000000u | uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
  }
  return image;
}

}  // namespace

QImage OwningBitmapImage(std::unique_ptr<TBitmap> bitmap) {
  QRect covered;
  const QImage wrapped =
      BitmapAreaImage(*bitmap, QRect(0, 0, bitmap->GetWidth(), bitmap->GetHeight()), &covered);
  if (wrapped.isNull())
    return QImage();
  const QImage::Format format = wrapped.format();
  if (format == QImage::Format_BGR888)
    return Bgr24AsRgb32(*bitmap);
  if (format != QImage::Format_Mono && format != QImage::Format_Indexed8)
    return wrapped.convertToFormat(QImage::Format_RGB32);
  // The rows stay where the decoder wrote them; the bitmap lives as long as the image data.
  QImage owning(wrapped.constBits(), wrapped.width(), wrapped.height(), wrapped.bytesPerLine(),
                format, DeleteBitmap, bitmap.get());
  bitmap.release();
  owning.setColorTable(wrapped.colorTable());
  return owning;
}
