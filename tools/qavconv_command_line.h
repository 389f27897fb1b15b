#pragma once
// qavconv's command line: one file to one output name, or many files into a folder.

#include <string>
#include <vector>

#include "qavconv_convert.h"

struct QavconvCommand {
  // The files to convert and, one for each, the name to write.
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
  // Only in the folder form: the folder, made when missing.
  std::string outputFolder;
  bool batch = false;  // the folder form
  ConversionOptions conversion;
  unsigned jobs = 0;  // 0: one for each core
  bool quiet = false;
};

enum class ParseOutcome { Run, Help, Wrong };

struct ParseResult {
  ParseOutcome outcome = ParseOutcome::Wrong;
  std::string problem;  // for Wrong: what is wrong, in a sentence
};

ParseResult ParseQavconvCommandLine(int argc, const char* const* argv, QavconvCommand* command);

extern const char* const kQavconvUsage;
