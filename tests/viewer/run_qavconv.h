#pragma once
// Runs the built qavconv with arguments, as a user would from a shell.

#include <string>
#include <vector>

#include "run_process.h"

inline ProcessResult Qavconv(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {QAVCONV_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProcess(argv);
}
