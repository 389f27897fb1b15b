#include "zoomed_area.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <vector>

#include "bitmap_qimage.h"
#include "pixel_colours.h"

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

void PaintEnlarged(QPainter& painter, const TBitmap& bitmap, int factor, const QRect& screenArea) {
  const QRect source = QRect(QPoint(screenArea.left() / factor, screenArea.top() / factor),
                             QPoint(screenArea.right() / factor, screenArea.bottom() / factor)) &
                       PictureRect(bitmap);
  const QImage pixels = SourcePixels(bitmap, source);
  if (!pixels.isNull())
    painter.drawImage(source.topLeft() * factor, EnlargeNearest(pixels, factor));
}

// Adds a row's colours to the sums of the blocks they fall in.
void AddRowToBlockSums(const uint32_t* colours, int width, int factor, uint32_t* sums) {
  for (int start = 0; start < width; start += factor, sums += 4) {
    const int end = std::min(width, start + factor);
    for (int x = start; x < end; ++x) {
      sums[0] += colours[x] >> 16 & 0xFF;
      sums[1] += colours[x] >> 8 & 0xFF;
      sums[2] += colours[x] & 0xFF;
    }
    sums[3] += static_cast<uint32_t>(end - start);
  }
}

}  // namespace

QImage EnlargeNearest(const QImage& image, int factor) {
  QImage enlarged(image.width() * factor, image.height() * factor, QImage::Format_RGB32);
  if (enlarged.isNull())
    return enlarged;
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
  } else {
    PaintActualSize(painter, bitmap, screenArea);
  }
}

QImage ReducedPicture(const TBitmap& bitmap, int factor) {
  const int width = bitmap.GetWidth();
  const int height = bitmap.GetHeight();
  QImage reduced((width + factor - 1) / factor, (height + factor - 1) / factor,
                 QImage::Format_RGB32);
  // Qt gives a null image when it cannot get the memory: the view then stays blank.
  if (reduced.isNull())
    return reduced;
  std::vector<uint32_t> colours(static_cast<size_t>(width));
  // Per screen pixel of the strip: the sums of red, green and blue, and the pixels summed.
  // At most 16 x 16 pixels of 255 each: far from the limit of the words.
  std::vector<uint32_t> sums(4 * static_cast<size_t>(reduced.width()));
  for (int strip = 0; strip < reduced.height(); ++strip) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int y = strip * factor; y < std::min(height, (strip + 1) * factor); ++y) {
      ConvertRowToXrgb32(bitmap, y, colours.data());
      AddRowToBlockSums(colours.data(), width, factor, sums.data());
    }
    auto* out = reinterpret_cast<QRgb*>(reduced.scanLine(strip));
    for (int x = 0; x < reduced.width(); ++x) {
      const uint32_t* sum = &sums[4 * static_cast<size_t>(x)];
      const auto mean = [count = sum[3]](uint32_t total) {
        return static_cast<int>((total + count / 2) / count);
      };
      out[x] = qRgb(mean(sum[0]), mean(sum[1]), mean(sum[2]));
    }
  }
  return reduced;
}
