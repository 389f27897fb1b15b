#include "atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_bytes.h"
#include "graphic_errors.h"

namespace {

// Names of one process never repeat; another process picking the same name is caught by
// O_EXCL and answered by the next number.
std::atomic<unsigned> nextTemporaryNumber{0};

// A temporary name must stay a valid file name, so a very long final name is shortened in it.
constexpr size_t kLongestNamePart = 200;

std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TemporaryNameFor(const std::string& finalPath) {
  const std::string name = FileNamePart(finalPath).substr(0, kLongestNamePart);
  return FolderPart(finalPath) + "." + name + "." + std::to_string(getpid()) + "-" +
         std::to_string(nextTemporaryNumber.fetch_add(1)) + ".part";
}

// Makes the rename itself durable; a folder that cannot be synced (some file systems) costs
// only that guarantee, not the file.
void SyncFolderOf(const std::string& path) {
  const std::string folder = FolderPart(path);
  const int descriptor =
      open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    fsync(descriptor);
    close(descriptor);
  }
}

constexpr int kNameAttempts = 100;

bool IsNonRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

}  // namespace

TAtomicOutput::TAtomicOutput(std::string finalPath) : finalPath_(std::move(finalPath)) {
  if (IsNonRegularFile(finalPath_)) {
    OpenForWritingThrough();
    return;
  }
  int error = 0;
  removedOnInterrupt_ = std::make_unique<TRemovedOnInterrupt>(
      TRemovedOnInterrupt::Kind::File, [&] { return CreateTemporaryFile(&error); });
  if (descriptor_ < 0)
    FailWithSystemReason(error);
}

std::string TAtomicOutput::CreateTemporaryFile(int* error) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    writePath_ = TemporaryNameFor(finalPath_);
    descriptor_ =
        open(writePath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor_ >= 0 || errno != EEXIST)
      break;
  }
  if (descriptor_ < 0) {
    *error = errno;
    writePath_.clear();
  }
  return writePath_;
}

void TAtomicOutput::OpenForWritingThrough() {
  writeThrough_ = true;
  writePath_ = finalPath_;
  descriptor_ = open(finalPath_.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor_ < 0)
    FailWithSystemReason(errno);
}

TAtomicOutput::~TAtomicOutput() {
  Discard();
}

void TAtomicOutput::Commit() {
  // Devices and pipes have nothing to flush to a disk.
  if (!writeThrough_ && fsync(descriptor_) != 0)
    FailWithSystemReason(errno);
  const int descriptor = descriptor_;
  descriptor_ = -1;
  // A failed close can report a write that the disk refused late.
  if (close(descriptor) != 0)
    FailWithSystemReason(errno);
  if (writeThrough_)
    return;
  if (std::rename(writePath_.c_str(), finalPath_.c_str()) != 0)
    FailWithSystemReason(errno);
  writePath_.clear();
  removedOnInterrupt_.reset();
  SyncFolderOf(finalPath_);
}

void TAtomicOutput::FailWithSystemReason(int error) {
  Discard();
  throw EFCreateError(finalPath_, FileNamePart(finalPath_) + ": " + std::strerror(error));
}

void TAtomicOutput::Discard() {
  if (descriptor_ >= 0) {
    close(descriptor_);
    descriptor_ = -1;
  }
  if (!writePath_.empty() && !writeThrough_) {
    unlink(writePath_.c_str());
    writePath_.clear();
  }
  removedOnInterrupt_.reset();
}
