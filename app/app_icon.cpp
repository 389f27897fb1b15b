#include "app_icon.h"

#include <QImage>
#include <QPixmap>

namespace {

// A framed picture of three coloured bands under a grey sky, in the 16 colours of the
// classic palette, so the icon looks the same at both sizes.
QImage DrawIcon(int side) {
  QImage icon(side, side, QImage::Format_Indexed8);
  icon.setColorTable({qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192), qRgb(255, 255, 255),
                      qRgb(0, 0, 128), qRgb(0, 128, 0), qRgb(128, 0, 0), qRgb(255, 255, 0)});
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const bool frame = x == 0 || y == 0 || x == side - 1 || y == side - 1;
      int colour = 2;
      if (frame) {
        colour = 0;
      } else if (y < side / 3) {
        colour = (x - side * 3 / 4) * (x - side * 3 / 4) + (y - side / 6) * (y - side / 6) <
                         side * side / 64
                     ? 7
                     : 3;
      } else if (y < side / 2) {
        colour = 6;
      } else if (y < side * 3 / 4) {
        colour = 5;
      } else {
        colour = 4;
      }
      icon.setPixel(x, y, static_cast<uint>(colour));
    }
  }
  return icon;
}

}  // namespace

QIcon MakeApplicationIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(DrawIcon(32)));
  icon.addPixmap(QPixmap::fromImage(DrawIcon(16)));
  return icon;
}
