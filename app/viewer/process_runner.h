#pragma once
// Runs a program as a child process and waits for its end, without a time limit.

#include <string>

struct ProcessOutcome {
  bool started = false;    // false: the program could not be started (see startError)
  std::string startError;  // why it could not be started
  bool exitedNormally = false;
  int exitStatus = 0;         // when exitedNormally
  int terminatingSignal = 0;  // when ended by a signal
  std::string standardError;  // everything the program wrote to its stderr

  bool Succeeded() const { return started && exitedNormally && exitStatus == 0; }
};

// Starts programPath (no search along PATH, no shell) with its file name as the only
// argument, in workingDirectory (empty: the caller's) and the caller's environment; stdin and
// stdout are inherited, stderr is captured. Returns once the program has ended.
ProcessOutcome RunProgramAndWait(const std::string& programPath,
                                 const std::string& workingDirectory = {});
