#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bitmap_limits.h"
#include "graphic_errors.h"

namespace {

std::string SystemReason(const std::string& fileName) {
  return fileName + ": " + std::strerror(errno);
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0)
      close(fd);
  }
};

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

void WriteFileBytes(const std::string& fileName, const uint8_t* data, size_t size) {
  Descriptor file{open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (file.fd < 0)
    throw EFCreateError(fileName, SystemReason(fileName));
  size_t done = 0;
  while (done < size) {
    const ssize_t put = write(file.fd, data + done, size - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      throw EFCreateError(fileName, SystemReason(fileName));
    done += static_cast<size_t>(put);
  }
  if (close(file.fd) != 0) {
    file.fd = -1;
    throw EFCreateError(fileName, SystemReason(fileName));
  }
  file.fd = -1;
}
