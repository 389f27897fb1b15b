// Whole QAV files through the reader's memory form, and the header probe over the same bytes.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "qav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  TQAV image;
  const QavStatus status = ReadQAVBytes(&image, bytes);
  // What the viewer relies on: a shown picture is not empty, a refused one empty with its
  // arrays released.
  if (status.IsOk() && image.bitmap->Empty())
    std::abort();
  if (!status.IsOk() && (!image.bitmap->Empty() || image.offsets != nullptr))
    std::abort();
  // The probe checks what the reader checks before the pixel data: a file the reader shows
  // passes it with the same size.
  QavImageInfo info;
  const QavStatus probed = ReadQAVHeaderBytes(bytes, &info);
  if (status.IsOk() && (!probed.IsOk() || info.width != image.bitmap->GetWidth() ||
                        info.height != image.bitmap->GetHeight())) {
    std::abort();
  }
  return 0;
}
