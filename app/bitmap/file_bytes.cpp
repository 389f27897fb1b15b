#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bitmap_limits.h"
#include "graphic_errors.h"

namespace {

std::string SystemReason(const std::string& fileName) {
  return fileName + ": " + std::strerror(errno);
}

}  // namespace

std::string FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileBytes ReadBitmapFileBytes(const std::string& fileName) {
  FileBytes bytes;
  const QavStatus status = ReadRegularFile(fileName, kMaxImageFileBytes, &bytes);
  switch (status.Code()) {
    case QavCode::Ok:
      return bytes;
    case QavCode::FileTooLarge:
      ThrowInvalidBitmap(fileName, "the file of " + status.Detail() +
                                       " bytes is larger than any picture this viewer loads");
    case QavCode::NotRegularFile:
      throw EFOpenError(fileName, fileName + " is not a regular file but a " + status.Detail());
    default:
      throw EFOpenError(fileName, fileName + ": " + status.Detail());
  }
}

namespace {
constexpr size_t kWriteBufferBytes = size_t{1} << 16;
}  // namespace

TFileWriter::TFileWriter(const std::string& fileName)
    : fileName_(fileName),
      fd_(open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
  if (fd_ < 0)
    throw EFCreateError(fileName_, SystemReason(fileName_));
  buffer_ = std::make_unique<uint8_t[]>(kWriteBufferBytes);
}

TFileWriter::~TFileWriter() {
  if (fd_ >= 0)
    close(fd_);
}

void TFileWriter::Put(const uint8_t* data, size_t size) {
  while (size > 0) {
    if (buffered_ == kWriteBufferBytes)
      Flush();
    const size_t taken = std::min(size, kWriteBufferBytes - buffered_);
    std::memcpy(buffer_.get() + buffered_, data, taken);
    buffered_ += taken;
    data += taken;
    size -= taken;
  }
}

void TFileWriter::Flush() {
  size_t done = 0;
  while (done < buffered_) {
    const ssize_t put = write(fd_, buffer_.get() + done, buffered_ - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      Fail();
    done += static_cast<size_t>(put);
  }
  buffered_ = 0;
}

void TFileWriter::Finish() {
  Flush();
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0)
    Fail();
}

void TFileWriter::Fail() {
  const std::string reason = SystemReason(fileName_);
  throw EFCreateError(fileName_, reason);
}
