#include "image_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "bitmap_qimage.h"

TImage::TImage(TPicture* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setObjectName(QStringLiteral("Image1"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  resize(kInitialWidth, kInitialHeight);
}

void TImage::PictureChanged() {
  const TBitmap* bitmap = picture_->PeekBitmap();
  if (bitmap != nullptr && !bitmap->Empty()) {
    resize(bitmap->GetWidth(), bitmap->GetHeight());
  }
  update();
}

void TImage::paintEvent(QPaintEvent* event) {
  const TBitmap* bitmap = picture_->PeekBitmap();
  if (bitmap == nullptr || bitmap->Empty())
    return;
  QPainter painter(this);
  // Only the exposed rectangles are turned into images and drawn, so a huge picture scrolls
  // at the cost of the window's size, not the picture's.
  for (const QRect& exposed : event->region()) {
    QRect covered;
    const QImage area = BitmapAreaImage(*bitmap, exposed, &covered);
    if (!area.isNull())
      painter.drawImage(covered.topLeft(), area);
  }
}
