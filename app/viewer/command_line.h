#pragma once
// The arguments of qavshow: qavshow [--help | --version] [FILE...]

#include <string>
#include <vector>

struct TCommandLine {
  enum class Action { ShowWindow, PrintHelp, PrintVersion, Refuse };
  Action action = Action::ShowWindow;
  // The files to show: the first is opened at start, all of them are the list Go walks.
  std::vector<std::string> files;
  // Why the arguments were refused, as a sentence.
  std::string complaint;
};

// The arguments after the program name (the toolkit's own options already taken out). "--"
// ends the options, so that a file whose name starts with "-" can be given.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text --help prints.
std::string CommandLineHelp();
