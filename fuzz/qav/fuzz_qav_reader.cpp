// Whole QAV files through ReadQAVFile: the reader takes a file name, so each input is written
// to a temporary file of this process first.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qav_reader.h"

namespace {

const std::string& InputPath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/fuzz-qav-" +
           std::to_string(getpid()) + ".qav";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr)
    return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written)
    return 0;
  TQAV image;
  QAVReadReport report;
  const int result = ReadQAVFile(&image, InputPath().c_str(), &report);
  // What the viewer relies on: a shown picture is accepted and not empty, a refused one empty
  // with its arrays released and a reason given.
  if (report.shown && (result != 0 || image.bitmap->Empty() || !report.reason.empty()))
    std::abort();
  if (!report.shown &&
      (!image.bitmap->Empty() || image.offsets != nullptr || report.reason.empty())) {
    std::abort();
  }
  return 0;
}
