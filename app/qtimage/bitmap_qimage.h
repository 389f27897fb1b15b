#pragma once
// Turns the rows of a TBitmap into a QImage for painting, for one area at a time.

#include <QImage>
#include <QRect>

#include <memory>

#include "bitmap.h"

// A QImage of the bitmap's pixels covering at least `area` (clipped to the bitmap), and in
// `covered` the bitmap area it holds. Layouts Qt draws exactly as they are (1, 8 and 24 bits)
// are wrapped without a copy: the image points into the bitmap's rows and is valid only while
// the bitmap is unchanged. Other layouts (4, 16 and 32 bits, colour masks) are converted, only
// the rows of the area: Qt's own 16-bit formats widen 5-bit fields by repeating bits, which
// differs by one from the exact scaling to 0..255.
QImage BitmapAreaImage(const TBitmap& bitmap, const QRect& area, QRect* covered);

// The bitmap's palette as a colour table of `size` entries; missing entries are black.
QList<QRgb> PaletteColourTable(const TBitmap& bitmap, int size);

// The whole bitmap as a QImage that stays valid on its own: 1-bit and 8-bit palette rows are
// handed over without a copy (the image takes the bitmap and frees it with its last copy);
// every other layout is converted once into Format_RGB32.
QImage OwningBitmapImage(std::unique_ptr<TBitmap> bitmap);
