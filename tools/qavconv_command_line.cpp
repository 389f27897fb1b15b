#include "qavconv_command_line.h"

#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

const char* const kQavconvUsage =
    "usage: qavconv [--iterations N] INPUT OUTPUT\n"
    "       qavconv [options] -o DIR FILE...\n"
    "\n"
    "Opens each file as the viewer's File > Open does (a QAV file, a Windows bitmap or a GIF\n"
    "image, told apart by the name: \".qav\"/\".QAV\", \".gif\"/\".GIF\", \".bmp\"/\".BMP\"\n"
    "anywhere in the path, the last match winning) and writes its picture as a PNG or a\n"
    "Windows bitmap.\n"
    "\n"
    "The first form writes OUTPUT: a PNG when its name ends in \".png\" (in any case), else a\n"
    "Windows bitmap exactly as File > Save writes it, under exactly that name. The second form\n"
    "writes every FILE into DIR (made when missing) as DIR/<name without its extension>.png\n"
    "(or .bmp); two files with the same name without extension are refused before anything\n"
    "is written.\n"
    "\n"
    "Every output is written under a temporary name in its folder and renamed when complete:\n"
    "an interrupted run never leaves a partial file under the output name, and an existing\n"
    "file is replaced only by a complete one.\n"
    "\n"
    "  -o DIR            write every FILE into DIR\n"
    "  --format png|bmp  the format of the files written into DIR (default: png)\n"
    "  -j N, --jobs N    convert N files at once, each on one core (default: the number of\n"
    "                    cores this process may use); the files written are the same\n"
    "                    whatever N\n"
    "  -q, --quiet       no progress line (it is shown only when stderr is a terminal)\n"
    "  --iterations N    decode every fractal QAV image again with N passes (brought to\n"
    "                    1..32; text that is not a number reads as 1), as Effects > Reiterate\n"
    "                    does\n"
    "  --                end of the options: every argument after it is a file\n"
    "  -h, --help        show this text\n"
    "\n"
    "PNG files hold palette pictures as palette PNGs of their depth (1, 4 or 8 bits) and\n"
    "every other picture as 8-bit RGB, with no chunks beyond IHDR, PLTE, IDAT and IEND.\n"
    "\n"
    "A file that cannot be converted gives one line on stderr naming it and the reason; the\n"
    "other files are still converted.\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any could not be, 2 for a wrong\n"
    "command line (nothing is converted).\n";

namespace {

constexpr unsigned kMostJobs = 1024;

struct RawArguments {
  std::vector<std::string> files;
  std::optional<std::string> outputFolder;
  std::optional<std::string> format;
  std::optional<std::string> jobs;
  std::optional<std::string> iterations;
  bool quiet = false;
  bool help = false;
};

ParseResult Wrong(std::string problem) {
  return {ParseOutcome::Wrong, std::move(problem)};
}

// Options that take a value, by every spelling: "-o DIR", "-oDIR", "--jobs N", "--jobs=N".
std::optional<std::string> RawArguments::*ValueSlot(std::string_view name) {
  static const std::map<std::string_view, std::optional<std::string> RawArguments::*> kSlots = {
      {"-o", &RawArguments::outputFolder},
      {"--format", &RawArguments::format},
      {"-j", &RawArguments::jobs},
      {"--jobs", &RawArguments::jobs},
      {"--iterations", &RawArguments::iterations}};
  const auto found = kSlots.find(name);
  return found == kSlots.end() ? nullptr : found->second;
}

// Splits "--name=value" and "-xVALUE" into the option's name and its attached value.
std::pair<std::string_view, std::optional<std::string>> SplitAttachedValue(
    std::string_view argument) {
  if (argument.starts_with("--")) {
    const size_t equals = argument.find('=');
    if (equals != std::string_view::npos)
      return {argument.substr(0, equals), std::string(argument.substr(equals + 1))};
    return {argument, std::nullopt};
  }
  if (argument.size() > 2)
    return {argument.substr(0, 2), std::string(argument.substr(2))};
  return {argument, std::nullopt};
}

ParseResult ReadOption(int argc, const char* const* argv, int& index, RawArguments& raw) {
  const std::string_view argument = argv[index];
  if (argument == "-h" || argument == "--help") {
    raw.help = true;
    return {ParseOutcome::Run, {}};
  }
  if (argument == "-q" || argument == "--quiet") {
    raw.quiet = true;
    return {ParseOutcome::Run, {}};
  }
  auto [name, value] = SplitAttachedValue(argument);
  const auto slot = ValueSlot(name);
  if (slot == nullptr)
    return Wrong("The option " + std::string(argument) + " is not known.");
  if (!value) {
    if (index + 1 >= argc)
      return Wrong("The option " + std::string(name) + " needs a value.");
    value = argv[++index];
  }
  raw.*slot = std::move(value);
  return {ParseOutcome::Run, {}};
}

ParseResult ReadArguments(int argc, const char* const* argv, RawArguments& raw) {
  bool optionsEnded = false;
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      raw.files.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else {
      ParseResult result = ReadOption(argc, argv, index, raw);
      if (result.outcome == ParseOutcome::Wrong)
        return result;
    }
  }
  return {ParseOutcome::Run, {}};
}

std::optional<unsigned> JobCount(const std::string& text) {
  unsigned count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc() || end != text.data() + text.size() || count == 0 || count > kMostJobs)
    return std::nullopt;
  return count;
}

// "<folder>/<name without its extension>.<format>".
std::string OutputInFolder(const std::string& folder, const std::string& input,
                           const std::string& format) {
  const std::string stem = std::filesystem::path(input).stem().string();
  const bool endsWithSlash = !folder.empty() && folder.back() == '/';
  return folder + (endsWithSlash ? "" : "/") + stem + "." + format;
}

// Two inputs that would be written to the same output: refused before anything is written.
ParseResult RefuseSharedOutputs(const QavconvCommand& command) {
  std::map<std::string, size_t> firstInputOfOutput;
  for (size_t i = 0; i < command.outputs.size(); ++i) {
    const auto [entry, added] = firstInputOfOutput.emplace(command.outputs[i], i);
    if (!added)
      return Wrong("The files " + command.inputs[entry->second] + " and " + command.inputs[i] +
                   " would both be written to " + command.outputs[i] + ".");
  }
  return {ParseOutcome::Run, {}};
}

ParseResult BuildBatch(const RawArguments& raw, QavconvCommand* command) {
  const std::string format = raw.format.value_or("png");
  if (format != "png" && format != "bmp")
    return Wrong("The format " + format + " is not known: it is png or bmp.");
  if (raw.files.empty())
    return Wrong("There is no file to convert.");
  command->batch = true;
  command->outputFolder = *raw.outputFolder;
  command->inputs = raw.files;
  for (const std::string& input : raw.files)
    command->outputs.push_back(OutputInFolder(command->outputFolder, input, format));
  return RefuseSharedOutputs(*command);
}

ParseResult BuildSingle(const RawArguments& raw, QavconvCommand* command) {
  if (raw.format)
    return Wrong("The option --format goes with -o DIR; otherwise the output's name decides.");
  if (raw.files.size() != 2)
    return Wrong("Give an input and an output name, or -o DIR and the files to convert.");
  command->inputs = {raw.files[0]};
  command->outputs = {raw.files[1]};
  return {ParseOutcome::Run, {}};
}

}  // namespace

ParseResult ParseQavconvCommandLine(int argc, const char* const* argv, QavconvCommand* command) {
  RawArguments raw;
  ParseResult result = ReadArguments(argc, argv, raw);
  if (result.outcome == ParseOutcome::Wrong)
    return result;
  if (raw.help)
    return {ParseOutcome::Help, {}};
  if (raw.jobs) {
    const std::optional<unsigned> jobs = JobCount(*raw.jobs);
    if (!jobs)
      return Wrong("The number of jobs " + *raw.jobs + " is not a whole number from 1 to " +
                   std::to_string(kMostJobs) + ".");
    command->jobs = *jobs;
  }
  command->quiet = raw.quiet;
  if (raw.iterations) {
    command->conversion.reiterate = true;
    command->conversion.iterations = IterationCountFromText(*raw.iterations);
  }
  return raw.outputFolder ? BuildBatch(raw, command) : BuildSingle(raw, command);
}
