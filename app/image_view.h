#pragma once
// TImage: the image control of the main window. It shows its picture's bitmap from its
// top-left corner at the view's zoom (one screen pixel per image pixel at the start) and takes
// the zoomed picture's size whenever the picture or the zoom changes and the picture is at
// least 1 x 1; an empty picture leaves its size as it was.

#include <QWidget>

#include "picture.h"
#include "zoom.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kInitialWidth = 209;
  static constexpr int kInitialHeight = 169;

  TImage(TPicture* picture, QWidget* parent);

  // Called after every change of the picture.
  void PictureChanged();
  TPicture* Picture() const { return picture_; }

  void SetZoom(const TZoom& zoom);
  const TZoom& Zoom() const { return zoom_; }
  // The picture pixel under a point of this control (which may lie outside the picture).
  QPoint PicturePixelAt(const QPoint& point) const;

 signals:
  // The pointer moved over the control, to this picture pixel; or it left the control.
  void PointerMoved(QPoint picturePixel);
  void PointerLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The reduced picture the view paints from while the zoom reduces; made at the first paint
  // after a change of the picture or the zoom, so that scrolling a reduced view costs no more
  // than scrolling at Actual Size.
  const QImage& ReducedView(const TBitmap& bitmap);

  TPicture* picture_;
  TZoom zoom_;
  QImage reduced_;
};
