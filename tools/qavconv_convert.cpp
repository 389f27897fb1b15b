#include "qavconv_convert.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "atomic_output.h"
#include "file_bytes.h"
#include "file_kind.h"
#include "open_command.h"
#include "png_writer.h"
#include "save_command.h"
#include "viewer_state.h"

namespace {

bool EndsWithPngInAnyCase(const std::string& name) {
  constexpr std::string_view kPng = ".png";
  if (name.size() < kPng.size())
    return false;
  return std::equal(kPng.begin(), kPng.end(), name.end() - static_cast<long>(kPng.size()),
                    [](char expected, char actual) {
                      return expected == std::tolower(static_cast<unsigned char>(actual));
                    });
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// File > Save's own writer, aimed at the temporary file; its errors are told of the name the
// user gave, not of the temporary one.
void SaveAsBitmap(const TViewerState& state, const TAtomicOutput& output) {
  try {
    SaveImageFile(state, output.WritePath());
  } catch (const Exception& error) {
    std::string message = error.what();
    std::string detail = error.Detail();
    const std::string temporaryName = FileNamePart(output.WritePath());
    ReplaceAll(message, output.WritePath(), output.FinalPath());
    ReplaceAll(detail, output.WritePath(), output.FinalPath());
    ReplaceAll(detail, temporaryName, FileNamePart(output.FinalPath()));
    throw Exception(message, detail);
  }
}

void WriteOutput(const TViewerState& state, const std::string& outputPath, OutputFormat format) {
  if (state.CurrentBitmap == nullptr)
    throw ENoPictureToSave();
  TAtomicOutput output(outputPath);
  if (format == OutputFormat::Png)
    WritePngToDescriptor(*state.CurrentBitmap, output.Descriptor(), outputPath);
  else
    SaveAsBitmap(state, output);
  output.Commit();
}

}  // namespace

OutputFormat OutputFormatForName(const std::string& outputPath) {
  return EndsWithPngInAnyCase(outputPath) ? OutputFormat::Png : OutputFormat::Bmp;
}

THandOverFolder::~THandOverFolder() {
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}

const std::string& THandOverFolder::Path() {
  if (path_.empty()) {
    std::error_code error;
    std::string pattern = std::filesystem::temp_directory_path(error).string();
    pattern = (error ? std::string("/tmp") : pattern) + "/qavconv-XXXXXX";
    int failure = 0;
    removedOnInterrupt_ =
        std::make_unique<TRemovedOnInterrupt>(TRemovedOnInterrupt::Kind::HandOverFolder, [&] {
          if (mkdtemp(pattern.data()) != nullptr)
            return pattern;
          failure = errno;
          return std::string();
        });
    if (removedOnInterrupt_->Path().empty())
      throw EFCreateError(pattern, "The folder for the GIF converter's files cannot be made: " +
                                       std::string(std::strerror(failure)) + ".");
    path_ = pattern;
  }
  return path_;
}

EUnknownFileKind::EUnknownFileKind(const std::string& fileName)
    : Exception("Cannot open file " + fileName,
                "Its name says no kind of picture: it holds none of \".qav\", \".QAV\", "
                "\".gif\", \".GIF\", \".bmp\" and \".BMP\".") {}

void ConvertFile(const std::string& input, const std::string& output, OutputFormat format,
                 const ConversionOptions& options, THandOverFolder& handOver) {
  TViewerState state;
  state.ConverterPath = options.converterPath;
  if (FileKindFromName(input) == fkGIF)
    state.HandOverFolder = handOver.Path();
  if (!OpenImageFile(state, input))
    throw EUnknownFileKind(input);
  if (options.reiterate && state.CurrentQAV && state.CurrentQAV->method == 2) {
    const QavStatus redecode = Reiterate(state.CurrentQAV.get(), options.iterations);
    if (!redecode.IsOk())
      throw EReiterateError(redecode);
  }
  WriteOutput(state, output, format);
}

std::string OneLineMessage(const std::string& input, const std::string& message,
                           const std::string& detail) {
  std::string line = message;
  if (!detail.empty())
    line += (line.empty() || line.back() == '.' ? " " : ". ") + detail;
  std::replace(line.begin(), line.end(), '\n', ' ');
  if (line.find(input) == std::string::npos)
    line = input + ": " + line;
  return line;
}
