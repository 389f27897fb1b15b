#pragma once
// What an interrupted run must not leave behind: the temporary output files and the GIF
// hand-over folders in use when Ctrl+C, a hang-up or a polite kill (SIGTERM) arrives. The
// final names need no care, since they only ever receive complete files.
//
// The signals are blocked in every thread and taken by one thread of ours, which removes what
// is registered and then ends the process by the same signal, so the caller sees the usual
// exit. A kill that cannot be caught (SIGKILL) leaves the temporary files, never a partial
// file under a final name.

#include <functional>
#include <string>

// Call once in main, before any other thread is started.
void RemoveTemporariesOnInterrupt();

// A file, or a folder with the converter's hand-over files, to remove on an interrupt for the
// life of the object.
class TRemovedOnInterrupt {
 public:
  enum class Kind { File, HandOverFolder };
  // Runs make, which creates the file or folder and returns its path (empty when it could not),
  // and registers the path in the same step, so no interrupt falls between the two.
  TRemovedOnInterrupt(Kind kind, const std::function<std::string()>& make);
  ~TRemovedOnInterrupt();
  TRemovedOnInterrupt(const TRemovedOnInterrupt&) = delete;
  TRemovedOnInterrupt& operator=(const TRemovedOnInterrupt&) = delete;

  // The path make returned.
  const std::string& Path() const { return path_; }

 private:
  Kind kind_;
  std::string path_;
};
