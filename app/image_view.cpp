#include "image_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "zoomed_area.h"

TImage::TImage(TPicture* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setObjectName(QStringLiteral("Image1"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setMouseTracking(true);
  resize(kInitialWidth, kInitialHeight);
}

void TImage::PictureChanged() {
  reduced_ = QImage();
  const TBitmap* bitmap = picture_->PeekBitmap();
  if (bitmap != nullptr && !bitmap->Empty()) {
    resize(zoom_.ToScreen(bitmap->GetWidth()), zoom_.ToScreen(bitmap->GetHeight()));
  }
  update();
}

void TImage::SetZoom(const TZoom& zoom) {
  zoom_ = zoom;
  PictureChanged();
}

QPoint TImage::PicturePixelAt(const QPoint& point) const {
  // Floor division, so that the pixels left of and above the picture stay outside it.
  const auto toPicture = [this](int coordinate) {
    return coordinate >= 0 ? zoom_.ToPicture(coordinate) : -1;
  };
  return QPoint(toPicture(point.x()), toPicture(point.y()));
}

void TImage::paintEvent(QPaintEvent* event) {
  const TBitmap* bitmap = picture_->PeekBitmap();
  if (bitmap == nullptr || bitmap->Empty())
    return;
  QPainter painter(this);
  // Only the exposed rectangles are drawn, so a huge picture scrolls and zooms at the cost of
  // the window's size, not the picture's.
  for (const QRect& exposed : event->region()) {
    if (zoom_.Reduces()) {
      painter.drawImage(exposed.topLeft(), ReducedView(*bitmap), exposed);
    } else {
      PaintZoomedArea(painter, *bitmap, zoom_, exposed);
    }
  }
}

const QImage& TImage::ReducedView(const TBitmap& bitmap) {
  if (reduced_.isNull())
    reduced_ = ReducedPicture(bitmap, zoom_.Factor());
  return reduced_;
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  emit PointerMoved(PicturePixelAt(event->position().toPoint()));
  QWidget::mouseMoveEvent(event);
}

void TImage::leaveEvent(QEvent* event) {
  emit PointerLeft();
  QWidget::leaveEvent(event);
}
