#include "process_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

class PipeEnds {
 public:
  PipeEnds() {
    if (pipe2(fds_, O_CLOEXEC) != 0) {
      fds_[0] = fds_[1] = -1;
    }
  }
  ~PipeEnds() {
    CloseReadEnd();
    CloseWriteEnd();
  }
  PipeEnds(const PipeEnds&) = delete;
  PipeEnds& operator=(const PipeEnds&) = delete;

  bool Valid() const { return fds_[0] >= 0; }
  int ReadEnd() const { return fds_[0]; }
  int WriteEnd() const { return fds_[1]; }
  void CloseReadEnd() { CloseEnd(0); }
  void CloseWriteEnd() { CloseEnd(1); }

 private:
  void CloseEnd(int which) {
    if (fds_[which] >= 0) {
      close(fds_[which]);
      fds_[which] = -1;
    }
  }
  int fds_[2];
};

// The child starts with no signal blocked, whatever the calling thread blocks (a front end
// may take its interrupts on a thread of its own), so Ctrl+C still ends it.
class SpawnAttributes {
 public:
  SpawnAttributes() {
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  const posix_spawnattr_t* Get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

class SpawnFileActions {
 public:
  SpawnFileActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnFileActions(const SpawnFileActions&) = delete;
  SpawnFileActions& operator=(const SpawnFileActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

// Reads until the child closes its end (it ends, or closes stderr).
std::string ReadUntilEnd(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count > 0) {
      text.append(chunk, static_cast<size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      return text;
    }
  }
}

void WaitForEnd(pid_t child, ProcessOutcome& outcome) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      outcome.exitedNormally = false;
      return;
    }
  }
  if (WIFEXITED(status)) {
    outcome.exitedNormally = true;
    outcome.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.terminatingSignal = WTERMSIG(status);
  }
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ProcessOutcome RunProgramAndWait(const std::string& programPath,
                                 const std::string& workingDirectory) {
  ProcessOutcome outcome;
  PipeEnds errorPipe;
  if (!errorPipe.Valid()) {
    outcome.startError = std::string("cannot make a pipe: ") + std::strerror(errno);
    return outcome;
  }
  SpawnFileActions actions;
  posix_spawn_file_actions_adddup2(actions.Get(), errorPipe.WriteEnd(), STDERR_FILENO);
  // The child changes folder, not us: other threads may be running converters elsewhere.
  if (!workingDirectory.empty())
    posix_spawn_file_actions_addchdir_np(actions.Get(), workingDirectory.c_str());

  std::string programName = BaseName(programPath);
  char* argv[] = {programName.data(), nullptr};
  SpawnAttributes attributes;
  pid_t child = 0;
  const int spawnError =
      posix_spawn(&child, programPath.c_str(), actions.Get(), attributes.Get(), argv, environ);
  if (spawnError != 0) {
    outcome.startError = std::strerror(spawnError);
    return outcome;
  }
  outcome.started = true;
  errorPipe.CloseWriteEnd();
  outcome.standardError = ReadUntilEnd(errorPipe.ReadEnd());
  WaitForEnd(child, outcome);
  return outcome;
}
