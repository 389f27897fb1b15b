#include "gif_bridge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "bitmap_limits.h"
#include "process_runner.h"
#include "qav_sentences.h"
#include "regular_file.h"

EGifConversionError::EGifConversionError(const std::string& gifFileName, std::string reason)
    : Exception("Cannot convert GIF file " + gifFileName, std::move(reason)) {}

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now and tells whether the close succeeded (a late write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

std::string ErrnoText() {
  return std::strerror(errno);
}

// A hand-over name in its folder; a bare name (the working directory) when there is none.
std::string HandOverPath(const std::string& folder, const char* name) {
  return folder.empty() ? std::string(name) : folder + "/" + name;
}

// Opening the hand-over file itself would cut it to zero bytes before it is read, so that
// case is refused as a file that cannot be created.
void RefuseCopyOntoItself(const std::string& gifFileName, const std::string& handOverGif) {
  struct stat sourceInfo {};
  struct stat handOverInfo {};
  if (stat(gifFileName.c_str(), &sourceInfo) == 0 &&
      stat(handOverGif.c_str(), &handOverInfo) == 0 && sourceInfo.st_dev == handOverInfo.st_dev &&
      sourceInfo.st_ino == handOverInfo.st_ino) {
    throw EFCreateError(kGifHandOverName, "the chosen file is the hand-over file itself");
  }
}

void WriteAll(const FileDescriptor& destination, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(destination.Get(), data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw EFCreateError(kGifHandOverName, ErrnoText());
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

// The user's file is read whole first, as a regular file of at most the largest size any
// reader takes: a name that leads to a device or a pipe can neither stall the copy nor make it
// write without end.
void CopyToHandOverFile(const std::string& gifFileName, const std::string& handOverGif) {
  FileBytes gif;
  const QavStatus read = ReadRegularFile(gifFileName, kMaxImageFileBytes, &gif);
  if (!read.IsOk())
    throw EFOpenError(gifFileName, QavSentence(read));
  RefuseCopyOntoItself(gifFileName, handOverGif);
  FileDescriptor destination(
      open(handOverGif.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!destination.Valid()) {
    throw EFCreateError(kGifHandOverName, ErrnoText());
  }
  WriteAll(destination, reinterpret_cast<const char*>(gif.data.get()), gif.size);
  if (!destination.Close()) {
    throw EFCreateError(kGifHandOverName, ErrnoText());
  }
}

// The converter's last non-empty line of stderr: its one-line reason, without the prefixes
// that name the converter and the hand-over file, which the user never chose (the error names
// the user's own file instead).
std::string LastLineOf(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.remove_suffix(1);
  }
  const size_t newline = text.find_last_of('\n');
  std::string_view line = newline == std::string_view::npos ? text : text.substr(newline + 1);
  for (const std::string_view prefix :
       {std::string_view("picconv: "), std::string_view(kGifHandOverName)}) {
    if (line.starts_with(prefix))
      line.remove_prefix(prefix.size());
    if (line.starts_with(": "))
      line.remove_prefix(2);
  }
  return std::string(line);
}

std::string FailureReason(const std::string& converterPath, const ProcessOutcome& outcome) {
  if (!outcome.started) {
    return "cannot start " + converterPath + ": " + outcome.startError;
  }
  std::string reason = LastLineOf(outcome.standardError);
  if (!reason.empty()) {
    return reason;
  }
  if (outcome.exitedNormally) {
    return "the converter ended with status " + std::to_string(outcome.exitStatus);
  }
  if (outcome.terminatingSignal != 0) {
    return "the converter was ended by signal " + std::to_string(outcome.terminatingSignal) + " (" +
           strsignal(outcome.terminatingSignal) + ")";
  }
  return "the end of the converter could not be awaited";
}

}  // namespace

std::string ConverterForExecutable(const std::string& executablePath) {
  const size_t slash = executablePath.find_last_of('/');
  if (slash == std::string::npos) {
    return {};
  }
  const std::string folder = executablePath.substr(0, slash + 1);
  // The installed layout is asked first: an installed program must never run a "picconv"
  // that something else put into its bin folder.
  const std::string installed = folder + QAV_CONVERTER_FROM_BINDIR "/picconv";
  if (access(installed.c_str(), X_OK) == 0) {
    return installed;
  }
  return folder + "picconv";
}

std::string ConverterForThisProgram() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) {
    return {};
  }
  return ConverterForExecutable(std::string(path, static_cast<size_t>(length)));
}

void ConvertGifThroughPicconv(const std::string& gifFileName, const std::string& converterPath,
                              TBitmap& target, const std::string& handOverFolder) {
  CopyToHandOverFile(gifFileName, HandOverPath(handOverFolder, kGifHandOverName));
  if (converterPath.empty()) {
    throw EGifConversionError(gifFileName, "the folder of the running program is not known");
  }
  const ProcessOutcome outcome = RunProgramAndWait(converterPath, handOverFolder);
  if (!outcome.Succeeded()) {
    throw EGifConversionError(gifFileName, FailureReason(converterPath, outcome));
  }
  target.LoadFromBitmapFile(HandOverPath(handOverFolder, kBitmapHandOverName));
}
