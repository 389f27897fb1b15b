#pragma once
// An output file that appears under its final name only when it is complete and on disk.
//
// The bytes go to a fresh file beside the final one (same folder, so the rename cannot cross
// file systems), named ".<final name>.<process>-<n>.part". Commit() flushes it to the disk and
// renames it over the final name in one step: whoever looks at the final name sees either the
// file that was there before or the complete new one, even if we are killed or the disk fills
// up half-way. Without Commit() the temporary file is removed again.
//
// A final name that exists and is no regular file (a device such as /dev/null, a named pipe)
// is written to directly: replacing it by a file would destroy it.

#include <memory>
#include <string>

#include "interrupt_cleanup.h"

class TAtomicOutput {
 public:
  // Creates the temporary file (with the permissions a new file gets under the umask).
  // EFCreateError naming the final path when that fails.
  explicit TAtomicOutput(std::string finalPath);
  ~TAtomicOutput();
  TAtomicOutput(const TAtomicOutput&) = delete;
  TAtomicOutput& operator=(const TAtomicOutput&) = delete;

  int Descriptor() const { return descriptor_; }
  // Where the bytes go: the temporary file, or the final name when it is written directly.
  const std::string& WritePath() const { return writePath_; }
  const std::string& FinalPath() const { return finalPath_; }

  // Flushes the file, closes it and renames it to the final name, replacing any file there.
  // EFCreateError naming the final path when a step fails; the temporary file is then removed.
  void Commit();

 private:
  // Makes a fresh temporary file beside the final one; its path, or empty with the reason in
  // *error.
  std::string CreateTemporaryFile(int* error);
  void OpenForWritingThrough();
  [[noreturn]] void FailWithSystemReason(int error);
  void Discard();

  std::string finalPath_;
  std::string writePath_;
  bool writeThrough_ = false;
  int descriptor_ = -1;
  std::unique_ptr<TRemovedOnInterrupt> removedOnInterrupt_;
};
