// qavconv [--iterations N] INPUT OUTPUT
//
// Opens INPUT exactly as the viewer's File > Open does (the same name tests and loaders),
// optionally decodes a fractal image again as Effects > Reiterate does, and writes the picture
// exactly as File > Save does. Errors are the viewer's own messages, on stderr.

#include <cstdio>
#include <new>
#include <string>

#include "gif_bridge.h"
#include "open_command.h"
#include "reiterate.h"
#include "save_command.h"
#include "user_message.h"
#include "viewer_state.h"

namespace {

constexpr const char* kUsage =
    "usage: qavconv [--iterations N] INPUT OUTPUT\n"
    "\n"
    "Opens INPUT (a QAV file, a Windows bitmap or a GIF image, told apart by the name as the\n"
    "viewer does: \".qav\"/\".QAV\", \".gif\"/\".GIF\", \".bmp\"/\".BMP\" anywhere in the path,\n"
    "the last match winning) and writes the picture to OUTPUT as a Windows bitmap, under\n"
    "exactly that name.\n"
    "\n"
    "  --iterations N  decode a fractal QAV image again with N passes (brought to 1..32;\n"
    "                  text that is not a number reads as 1), as Effects > Reiterate does\n"
    "  --help          show this text\n"
    "\n"
    "Exit status: 0 on success, 1 when the picture cannot be opened or saved (the reason is on\n"
    "stderr), 2 for a wrong command line.\n";

struct CommandLine {
  std::string input;
  std::string output;
  bool reiterate = false;
  int iterations = kOfferedIterations;
};

enum class ParseResult { Run, Help, Wrong };

ParseResult ParseCommandLine(int argc, char** argv, CommandLine* line) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h")
      return ParseResult::Help;
    if (argument == "--iterations") {
      if (i + 1 >= argc)
        return ParseResult::Wrong;
      line->reiterate = true;
      line->iterations = IterationCountFromText(argv[++i]);
    } else if (positional == 0) {
      line->input = argument;
      ++positional;
    } else if (positional == 1) {
      line->output = argument;
      ++positional;
    } else {
      return ParseResult::Wrong;
    }
  }
  return positional == 2 ? ParseResult::Run : ParseResult::Wrong;
}

int Convert(const CommandLine& line) {
  TViewerState state;
  state.ConverterPath = ConverterForThisProgram();
  if (!OpenImageFile(state, line.input)) {
    std::fprintf(stderr, "%s is not a QAV, GIF or Windows bitmap file name\n", line.input.c_str());
    return 1;
  }
  if (line.reiterate && state.CurrentQAV)
    Reiterate(state.CurrentQAV.get(), line.iterations);
  SaveImageFile(state, line.output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  switch (ParseCommandLine(argc, argv, &line)) {
    case ParseResult::Help:
      std::fputs(kUsage, stdout);
      return 0;
    case ParseResult::Wrong:
      std::fputs(kUsage, stderr);
      return 2;
    case ParseResult::Run:
      break;
  }
  try {
    return Convert(line);
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", FullMessage(error).c_str());
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  return 1;
}
