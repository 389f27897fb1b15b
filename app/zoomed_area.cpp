#include "zoomed_area.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "bitmap_qimage.h"

namespace {

// The picture's pixels of `source` as 0xFFRRGGBB words, or a null image when none is there.
QImage SourcePixels(const TBitmap& bitmap, const QRect& source) {
  QRect covered;
  const QImage area = BitmapAreaImage(bitmap, source, &covered);
  if (area.isNull())
    return QImage();
  const QRect wanted = source & covered;
  // copy() detaches from the bitmap's rows, convertToFormat() gives words of one layout.
  return area.copy(wanted.translated(-covered.topLeft())).convertToFormat(QImage::Format_RGB32);
}

QRect PictureRect(const TBitmap& bitmap) {
  return QRect(0, 0, bitmap.GetWidth(), bitmap.GetHeight());
}

void PaintActualSize(QPainter& painter, const TBitmap& bitmap, const QRect& screenArea) {
  QRect covered;
  const QImage area = BitmapAreaImage(bitmap, screenArea, &covered);
  if (!area.isNull())
    painter.drawImage(covered.topLeft(), area);
}

void PaintEnlarged(QPainter& painter, const TBitmap& bitmap, int factor,
                   const QRect& screenArea) {
  const QRect source =
      QRect(QPoint(screenArea.left() / factor, screenArea.top() / factor),
            QPoint(screenArea.right() / factor, screenArea.bottom() / factor)) &
      PictureRect(bitmap);
  const QImage pixels = SourcePixels(bitmap, source);
  if (!pixels.isNull())
    painter.drawImage(source.topLeft() * factor, EnlargeNearest(pixels, factor));
}

void PaintReduced(QPainter& painter, const TBitmap& bitmap, int factor, const QRect& screenArea) {
  const QRect source =
      QRect(screenArea.topLeft() * factor, screenArea.size() * factor) & PictureRect(bitmap);
  const QImage pixels = SourcePixels(bitmap, source);
  if (pixels.isNull())
    return;
  // The area starts on a whole block, so each screen pixel averages its own block of
  // factor x factor picture pixels and neighbouring areas meet without a seam.
  const QSize reduced((source.width() + factor - 1) / factor,
                      (source.height() + factor - 1) / factor);
  painter.drawImage(source.topLeft() / factor,
                    pixels.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

QImage EnlargeNearest(const QImage& image, int factor) {
  QImage enlarged(image.width() * factor, image.height() * factor, QImage::Format_RGB32);
  const size_t rowBytes = static_cast<size_t>(enlarged.bytesPerLine());
  for (int y = 0; y < image.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    auto* first = reinterpret_cast<QRgb*>(enlarged.scanLine(y * factor));
    for (int x = 0; x < image.width(); ++x)
      std::fill_n(first + static_cast<ptrdiff_t>(x) * factor, factor, in[x]);
    for (int copy = 1; copy < factor; ++copy)
      std::memcpy(enlarged.scanLine(y * factor + copy), first, rowBytes);
  }
  return enlarged;
}

void PaintZoomedArea(QPainter& painter, const TBitmap& bitmap, const TZoom& zoom,
                     const QRect& screenArea) {
  if (zoom.Enlarges()) {
    PaintEnlarged(painter, bitmap, zoom.Factor(), screenArea);
  } else if (zoom.Reduces()) {
    PaintReduced(painter, bitmap, zoom.Factor(), screenArea);
  } else {
    PaintActualSize(painter, bitmap, screenArea);
  }
}
