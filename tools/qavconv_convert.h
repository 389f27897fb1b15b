#pragma once
// One conversion of qavconv: open a file as File > Open does, optionally decode a fractal
// image again as Effects > Reiterate does, and write the picture to its output name, either as
// File > Save writes it (a Windows bitmap) or as a PNG, without ever leaving a partial file
// under that name.

#include <memory>
#include <string>

#include "graphic_errors.h"
#include "interrupt_cleanup.h"
#include "reiterate.h"

enum class OutputFormat { Bmp, Png };

// PNG for a name ending in ".png" in any case, a Windows bitmap for every other name.
OutputFormat OutputFormatForName(const std::string& outputPath);

struct ConversionOptions {
  bool reiterate = false;
  int iterations = kOfferedIterations;
  std::string converterPath;  // the GIF converter
};

// The folder where one worker hands GIF files to the converter: private, so that conversions
// running at once never share the converter's fixed file names. Made on first use under the
// system's temporary folder and removed, with what is in it, with the object.
class THandOverFolder {
 public:
  THandOverFolder() = default;
  ~THandOverFolder();
  THandOverFolder(const THandOverFolder&) = delete;
  THandOverFolder& operator=(const THandOverFolder&) = delete;
  // EFCreateError when the folder cannot be made.
  const std::string& Path();

 private:
  std::string path_;
  std::unique_ptr<TRemovedOnInterrupt> removedOnInterrupt_;
};

// A file whose name matches no kind of picture: "Cannot open file %s" with the reason.
class EUnknownFileKind : public Exception {
 public:
  explicit EUnknownFileKind(const std::string& fileName);
};

// Converts one file; raises the viewer's errors (Exception) when it cannot.
void ConvertFile(const std::string& input, const std::string& output, OutputFormat format,
                 const ConversionOptions& options, THandOverFolder& handOver);

// The whole error on one line, naming the input file even where the message does not.
std::string OneLineMessage(const std::string& input, const std::string& message,
                           const std::string& detail);
