#include "command_line.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine line;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      line.files.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      line.action = TCommandLine::Action::PrintHelp;
      return line;
    } else if (argument == "--version") {
      line.action = TCommandLine::Action::PrintVersion;
      return line;
    } else if (line.complaint.empty()) {
      // Help and version still win over an unknown option given before them.
      line.complaint = "The option " + argument + " is not known.";
    }
  }
  if (!line.complaint.empty())
    line.action = TCommandLine::Action::Refuse;
  return line;
}

std::string CommandLineHelp() {
  return "usage: qavshow [FILE...]\n"
         "Shows QAV images, Windows bitmaps and GIF images.\n"
         "\n"
         "The first FILE is opened as File > Open opens it; Go > Next Image and\n"
         "Previous Image (Page Down, Page Up) walk the FILEs given. With a single\n"
         "FILE they walk the pictures of its folder. Without FILE the window starts\n"
         "empty.\n"
         "\n"
         "options:\n"
         "  -h, --help   show this text and exit\n"
         "  --version    show the version and exit\n"
         "\n"
         "keys:\n"
         "  Ctrl+O open, Ctrl+S save, Ctrl+Q exit, F5 reload, Ctrl+R reiterate,\n"
         "  Ctrl+Shift+R watch the decode (Space pauses, Esc stops),\n"
         "  Ctrl++ / Ctrl+- zoom in / out, Ctrl+0 actual size, Ctrl+F fit to window,\n"
         "  Ctrl+wheel zoom about the pointer,\n"
         "  Page Down / Page Up next / previous image, Home / End first / last image.\n";
}
