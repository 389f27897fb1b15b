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
  return FileNamePart(fileName) + ": " + std::strerror(errno);
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
  Descriptor file{open(fileName.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0)
    throw EFOpenError(fileName, SystemReason(fileName));
  struct stat info {};
  if (fstat(file.fd, &info) != 0)
    throw EFOpenError(fileName, SystemReason(fileName));
  if (!S_ISREG(info.st_mode))
    throw EFOpenError(fileName, FileNamePart(fileName) + ": not a regular file");
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > kMaxBitmapFileBytes)
    ThrowInvalidBitmap(FileNamePart(fileName),
                       "the file of " + std::to_string(size) +
                           " bytes is larger than any bitmap of at most 1 GiB of rows");
  FileBytes bytes;
  bytes.size = static_cast<size_t>(size);
  bytes.data.reset(new uint8_t[bytes.size > 0 ? bytes.size : 1]);
  size_t done = 0;
  while (done < bytes.size) {
    const ssize_t got = read(file.fd, bytes.data.get() + done, bytes.size - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      throw EFOpenError(fileName, SystemReason(fileName));
    if (got == 0)
      break;  // the file shrank while we read it: take what is there
    done += static_cast<size_t>(got);
  }
  bytes.size = done;
  return bytes;
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
