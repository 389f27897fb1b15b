#pragma once
// Runs a program to its end and collects what it wrote.

#include <string>
#include <vector>

struct ProcessResult {
  int exitStatus = -1;  // -1 when it did not exit normally
  std::string standardOutput;
  std::string standardError;
};

// Runs argv[0] with the arguments, no shell, in workingDirectory (empty: the current one).
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::string& workingDirectory = {});
