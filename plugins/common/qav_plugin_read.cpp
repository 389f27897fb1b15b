#include "qav_plugin_read.h"

#include <cstring>

#include "bitmap_limits.h"
#include "qav_reader.h"
#include "qav_record.h"
#include "qav_sentences.h"

bool StartsQavFile(std::span<const uint8_t> head) {
  if (head.size() < kQavSignatureBytes)
    return false;
  constexpr size_t kVersionOffset = 4;
  return std::memcmp(head.data(), "QAV", 3) == 0 && head[kVersionOffset] <= kNewestQavVersion;
}

uint64_t MaxQavFileBytes() {
  return kMaxImageFileBytes;
}

std::string TooLongSentence(uint64_t length) {
  const std::string detail =
      length != 0 ? std::to_string(length) : "more than " + std::to_string(MaxQavFileBytes());
  return QavSentence(QavStatus(QavCode::FileTooLarge, detail));
}

std::string NothingToReadSentence() {
  return QavSentence(QavStatus(QavCode::ReadFailed, "there is no file or stream to read"));
}

bool ProbeQavShape(std::span<const uint8_t> bytes, QavPictureShape* shape) {
  QavImageInfo info;
  if (!ReadQAVHeaderBytes(bytes, &info).IsOk())
    return false;
  *shape = {info.width, info.height, info.bitsPerPixel};
  return true;
}

QavPicture DecodeQavPicture(std::span<const uint8_t> bytes) {
  TQAV image;
  const QavStatus status = ReadQAVBytes(&image, bytes);
  QavPicture picture;
  if (!status.IsOk()) {
    picture.refusal = QavSentence(status);
    return picture;
  }
  picture.bitmap = std::move(image.bitmap);
  return picture;
}
