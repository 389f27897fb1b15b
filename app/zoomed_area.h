#pragma once
// Paints part of a picture at a zoom: enlarged pixels as square blocks of their colour,
// reduced views smoothed, and only the pixels of the asked-for area are ever read.

#include <QImage>
#include <QRect>

#include "bitmap.h"
#include "zoom.h"

class QPainter;

// Paints the area `screenArea` of the zoomed picture (in screen pixels from the picture's
// top-left corner).
void PaintZoomedArea(QPainter& painter, const TBitmap& bitmap, const TZoom& zoom,
                     const QRect& screenArea);

// Every pixel of a 0xFFRRGGBB image as a factor x factor block.
QImage EnlargeNearest(const QImage& image, int factor);
