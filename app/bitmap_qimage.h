#pragma once
// Turns the rows of a TBitmap into a QImage for painting, for one area at a time.

#include <QImage>
#include <QRect>

#include "bitmap.h"

// A QImage of the bitmap's pixels covering at least `area` (clipped to the bitmap), and in
// `covered` the bitmap area it holds. Layouts Qt can draw directly (1, 8, 16 and 24 bits) are
// wrapped without a copy: the image points into the bitmap's rows and is valid only while the
// bitmap is unchanged. Other layouts (4 bits, 32 bits, custom colour masks) are converted,
// and only the covered area.
QImage BitmapAreaImage(const TBitmap& bitmap, const QRect& area, QRect* covered);

// The bitmap's palette as a colour table of `size` entries; missing entries are black.
QList<QRgb> PaletteColourTable(const TBitmap& bitmap, int size);
