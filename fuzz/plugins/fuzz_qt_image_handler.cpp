// The Qt handler as QImageReader drives it: content test, the header's size and format, then
// the read, on a buffer of the input. A shown picture must have the size the header gave.

#include <QBuffer>
#include <QImage>
#include <QLoggingCategory>
#include <QSize>

#include <cstdint>
#include <cstdlib>

#include "qav_image_handler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    QLoggingCategory::setFilterRules(QStringLiteral("qavshow.imageformats.qav.warning=false"));
    return true;
  }();
  (void)quiet;
  QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QavImageHandler handler;
  handler.setDevice(&buffer);
  handler.canRead();
  const QSize announced = handler.option(QImageIOHandler::Size).toSize();
  QImage image;
  const bool shown = handler.read(&image);
  if (shown && (image.isNull() || (announced.isValid() && image.size() != announced)))
    std::abort();
  if (!shown && handler.option(QImageIOHandler::Description).toString().isEmpty())
    std::abort();
  return 0;
}
