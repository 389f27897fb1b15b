// picconv: converts "picconv.gif" in the working directory into the Windows bitmap file
// "picconv.bmp" beside it. Exit status 0 on success; otherwise 1 and one line on stderr, and
// no new "picconv.bmp": the bitmap is written under a temporary name and renamed into place
// only when complete, so an earlier "picconv.bmp" survives a failed conversion untouched.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "bitmap.h"
#include "bitmap_limits.h"
#include "gif_decoder.h"
#include "gif_sentences.h"
#include "gif_to_bitmap.h"
#include "graphic_errors.h"
#include "qav_sentences.h"
#include "regular_file.h"

namespace {

constexpr const char* kInputName = "picconv.gif";
constexpr const char* kOutputName = "picconv.bmp";
constexpr const char* kPartialOutputName = "picconv.bmp.part";

// Thrown for failures of the program's own file steps.
struct ConversionFailure {
  std::string reason;
};

// The hand-over file as it is now; only a regular file is read, and at most its size then.
FileBytes ReadInput() {
  FileBytes bytes;
  const QavStatus status = ReadRegularFile(kInputName, kMaxImageFileBytes, &bytes);
  if (!status.IsOk()) {
    throw ConversionFailure{QavSentence(status)};
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
    const FileBytes gifBytes = ReadInput();
    const ComposedGif picture = DecodeGifPicture(gifBytes.data.get(), gifBytes.size);
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
