#pragma once
// Paints part of a picture at Actual Size or enlarged (pixels as square blocks of their
// colour), reading only the pixels of the asked-for area; and makes the smoothed picture that
// reduced views are painted from.

#include <QImage>
#include <QRect>

#include "bitmap.h"
#include "zoom.h"

class QPainter;

// Paints the area `screenArea` of the picture at Actual Size or enlarged (in screen pixels
// from the picture's top-left corner).
void PaintZoomedArea(QPainter& painter, const TBitmap& bitmap, const TZoom& zoom,
                     const QRect& screenArea);

// The picture reduced by `factor`: each pixel is the mean colour of its factor x factor block
// (of the pixels there are, at the right and bottom edges). Null when there is no memory for it.
QImage ReducedPicture(const TBitmap& bitmap, int factor);

// Every pixel of a 0xFFRRGGBB image as a factor x factor block.
QImage EnlargeNearest(const QImage& image, int factor);
