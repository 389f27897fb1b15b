#pragma once
// The viewer's side of the GIF bridge: the chosen GIF file is copied to "picconv.gif" in the
// working directory, the converter program picconv turns it into "picconv.bmp" there, and
// that bitmap is loaded.

#include <string>

#include "bitmap.h"
#include "graphic_errors.h"

// The converter failed or could not be started: "Cannot convert GIF file %s", with the
// converter's own one-line reason as the detail.
class EGifConversionError : public Exception {
 public:
  EGifConversionError(const std::string& gifFileName, std::string reason);
};

// The hand-over names, relative to the working directory.
inline constexpr const char* kGifHandOverName = "picconv.gif";
inline constexpr const char* kBitmapHandOverName = "picconv.bmp";

// The converter of a program at executablePath: in the installed layout the helper folder
// QAV_CONVERTER_FROM_BINDIR (relative to the program's folder, "../libexec/qavshow"), when the
// converter is there; otherwise "picconv" beside the program, as in the build tree. Never the
// working directory or PATH.
std::string ConverterForExecutable(const std::string& executablePath);

// The converter of the running program (empty when its own path cannot be read).
std::string ConverterForThisProgram();

// Copies gifFileName to "picconv.gif", runs the converter (waiting without a time limit) and
// loads "picconv.bmp" into target. The hand-over files are in handOverFolder, where the
// converter runs; empty means the working directory, as in the viewer. Conversions that run at
// the same time need folders of their own, since the names are fixed. Raises EFOpenError /
// EFCreateError for the copy, EGifConversionError when the converter cannot be started or fails
// (target is then left as it was), and the bitmap loader's errors for "picconv.bmp".
void ConvertGifThroughPicconv(const std::string& gifFileName, const std::string& converterPath,
                              TBitmap& target, const std::string& handOverFolder = {});
