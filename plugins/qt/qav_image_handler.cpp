#include "qav_image_handler.h"

#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QLoggingCategory>
#include <QSize>
#include <QVariant>

#include <algorithm>
#include <span>

#include "bitmap_qimage.h"
#include "qav_plugin_read.h"

namespace {

Q_LOGGING_CATEGORY(lcQavImage, "qavshow.imageformats.qav")

std::span<const uint8_t> ByteSpan(const QByteArray& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

QString Sentence(const std::string& words) {
  return QString::fromStdString(words);
}

// The rest of a device that does not know its size, read in pieces up to `limit` bytes and
// one more, so that a longer stream shows as too long without being held whole.
QByteArray ReadUpTo(QIODevice& device, qint64 limit) {
  constexpr qint64 kPiece = 1 << 16;
  QByteArray bytes;
  while (bytes.size() <= limit) {
    const QByteArray piece = device.read(std::min(kPiece, limit + 1 - bytes.size()));
    if (piece.isEmpty())
      break;
    bytes.append(piece);
  }
  return bytes;
}

QImage::Format FormatOfDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
      return QImage::Format_Mono;
    case 8:
      return QImage::Format_Indexed8;
    default:
      return QImage::Format_RGB32;
  }
}

}  // namespace

bool QavImageHandler::CanRead(QIODevice* device) {
  if (device == nullptr)
    return false;
  return StartsQavFile(ByteSpan(device->peek(kQavSignatureBytes)));
}

bool QavImageHandler::canRead() const {
  const bool ours =
      namedQav_ ? device() != nullptr && device()->peek(3) == "QAV" : CanRead(device());
  if (!ours)
    return false;
  setFormat("qav");
  return true;
}

void QavImageHandler::Refuse(const QString& sentence) const {
  refusal_ = sentence;
  const auto* file = qobject_cast<const QFile*>(device());
  const QString name = file != nullptr ? file->fileName() : QStringLiteral("(a stream)");
  qCWarning(lcQavImage, "Cannot show QAV file %s\n%s", qUtf8Printable(name),
            qUtf8Printable(sentence));
}

bool QavImageHandler::TakeBytes() const {
  if (bytesTaken_)
    return refusal_.isEmpty();
  bytesTaken_ = true;
  QIODevice* source = device();
  if (source == nullptr) {
    Refuse(Sentence(NothingToReadSentence()));
    return false;
  }
  const auto limit = static_cast<qint64>(MaxQavFileBytes());
  const qint64 length = source->isSequential() ? 0 : source->size() - source->pos();
  if (length > limit) {
    Refuse(Sentence(TooLongSentence(static_cast<uint64_t>(length))));
    return false;
  }
  bytes_ = source->isSequential() ? ReadUpTo(*source, limit) : source->readAll();
  if (bytes_.size() > limit) {
    bytes_.clear();
    Refuse(Sentence(TooLongSentence(0)));
    return false;
  }
  return true;
}

bool QavImageHandler::read(QImage* image) {
  if (!TakeBytes())
    return false;
  QavPicture picture = DecodeQavPicture(ByteSpan(bytes_));
  bytes_.clear();
  if (picture.bitmap == nullptr) {
    Refuse(Sentence(picture.refusal));
    return false;
  }
  *image = OwningBitmapImage(std::move(picture.bitmap));
  if (image->isNull()) {
    Refuse(QStringLiteral("There is not enough memory to show the picture."));
    return false;
  }
  return true;
}

bool QavImageHandler::supportsOption(ImageOption option) const {
  return option == Size || option == ImageFormat || option == Description;
}

QVariant QavImageHandler::option(ImageOption option) const {
  if (option == Description) {
    if (refusal_.isEmpty())
      return {};
    return QString::fromLatin1(kRefusalKey) + QStringLiteral(": ") + refusal_;
  }
  QavPictureShape shape;
  if (!TakeBytes() || !ProbeQavShape(ByteSpan(bytes_), &shape))
    return {};
  if (option == Size)
    return QSize(shape.width, shape.height);
  if (option == ImageFormat)
    return FormatOfDepth(shape.bitsPerPixel);
  return {};
}
