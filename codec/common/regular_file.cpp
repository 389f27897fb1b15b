#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0)
      close(fd);
  }
};

QavStatus SystemFailure(QavCode code) {
  return QavStatus(code, std::strerror(errno));
}

const char* KindOfNonRegular(mode_t mode) {
  if (S_ISDIR(mode))
    return "folder";
  if (S_ISFIFO(mode))
    return "named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "device";
  if (S_ISSOCK(mode))
    return "socket";
  return "special file";
}

// Reads up to size bytes; fewer when the file shrank.
QavStatus ReadUpTo(int fd, uint8_t* destination, size_t size, size_t* done) {
  *done = 0;
  while (*done < size) {
    const ssize_t got = read(fd, destination + *done, size - *done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return SystemFailure(QavCode::ReadFailed);
    if (got == 0)
      break;
    *done += static_cast<size_t>(got);
  }
  return QavStatus::Ok();
}

}  // namespace

QavStatus ReadRegularFile(const std::string& path, uint64_t maxBytes, FileBytes* bytes) {
  Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0)
    return SystemFailure(QavCode::CannotOpen);
  struct stat info {};
  if (fstat(file.fd, &info) != 0)
    return SystemFailure(QavCode::CannotOpen);
  if (!S_ISREG(info.st_mode))
    return QavStatus(QavCode::NotRegularFile, KindOfNonRegular(info.st_mode));
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > maxBytes)
    return QavStatus(QavCode::FileTooLarge, std::to_string(size));
  bytes->data.reset(new uint8_t[size > 0 ? size : 1]);
  return ReadUpTo(file.fd, bytes->data.get(), static_cast<size_t>(size), &bytes->size);
}
