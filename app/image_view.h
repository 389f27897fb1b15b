#pragma once
// TImage: the image control of the main window. It shows its picture's bitmap at one screen
// pixel per image pixel from its top-left corner and takes the picture's size whenever the
// picture changes and is at least 1 x 1; an empty picture leaves its size as it was.

#include <QWidget>

#include "picture.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kInitialWidth = 209;
  static constexpr int kInitialHeight = 169;

  TImage(TPicture* picture, QWidget* parent);

  // Called after every change of the picture.
  void PictureChanged();
  TPicture* Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TPicture* picture_;
};
