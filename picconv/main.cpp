// picconv: converts "picconv.gif" in the working directory into the Windows bitmap file
// "picconv.bmp" beside it. Exit status 0 on success; otherwise 1 and one line on stderr, and
// no new "picconv.bmp": the bitmap is written under a temporary name and renamed into place
// only when complete, so an earlier "picconv.bmp" survives a failed conversion untouched.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "bitmap.h"
#include "gif_decoder.h"
#include "gif_sentences.h"
#include "gif_to_bitmap.h"
#include "graphic_errors.h"

namespace {

constexpr const char* kInputName = "picconv.gif";
constexpr const char* kOutputName = "picconv.bmp";
constexpr const char* kPartialOutputName = "picconv.bmp.part";

// Thrown for failures of the program's own file steps.
struct ConversionFailure {
  std::string reason;
};

std::vector<uint8_t> ReadWholeFile(const char* fileName) {
  std::ifstream file(fileName, std::ios::binary | std::ios::ate);
  if (!file) {
    throw ConversionFailure{std::string("The file cannot be opened: ") + std::strerror(errno) +
                            "."};
  }
  const std::streamoff size = file.tellg();
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  file.seekg(0);
  if (size < 0 || !file.read(reinterpret_cast<char*>(bytes.data()), size)) {
    throw ConversionFailure{"The file cannot be read."};
  }
  return bytes;
}

void SaveReplacing(const TBitmap& bitmap) {
  try {
    bitmap.SaveToBitmapFile(kPartialOutputName);
  } catch (...) {
    std::remove(kPartialOutputName);
    throw;
  }
  if (std::rename(kPartialOutputName, kOutputName) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(kPartialOutputName);
    throw ConversionFailure{"The converted picture cannot be saved: " + reason + "."};
  }
}

// One line, whatever the message holds.
void ReportFailure(const std::string& reason) {
  std::string line = reason;
  for (char& c : line) {
    if (c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  std::fprintf(stderr, "picconv: %s\n", line.c_str());
}

}  // namespace

int main() {
  try {
    const std::vector<uint8_t> gifBytes = ReadWholeFile(kInputName);
    const ComposedGif picture = DecodeGifPicture(gifBytes.data(), gifBytes.size());
    TBitmap bitmap;
    FillBitmapFromGif(picture, bitmap);
    SaveReplacing(bitmap);
    return 0;
  } catch (const ConversionFailure& failure) {
    ReportFailure(failure.reason);
  } catch (const GifDecodeError& error) {
    ReportFailure(GifRefusalSentence(error));
  } catch (const Exception& error) {
    ReportFailure("The picture cannot be written as a bitmap: " +
                  (error.Detail().empty() ? std::string(error.what()) : error.Detail()) + ".");
  } catch (const std::bad_alloc&) {
    ReportFailure("There is not enough memory to convert the file.");
  } catch (const std::exception& error) {
    ReportFailure(error.what());
  }
  return 1;
}
