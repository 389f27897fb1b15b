#include "qav_loader.h"

#include <new>

#include "colour_rows.h"
#include "fractal_parameter_unpack.h"
#include "qav_header_checks.h"

QAVloader::QAVloader(bool createSuspended) : TThread(createSuspended) {
  SetPriority(TThreadPriority::tpTimeCritical);
}

QavStatus QAVloader::DecodeFractal(int blockSizeCode, const uint16_t* domainIndices,
                                   const int16_t* offsets, const uint8_t* transforms, int16_t width,
                                   int16_t height, uint32_t* output, int iterations) {
  FractalGeometry geometry;
  const QavStatus status = ComputeFractalGeometry(blockSizeCode, width, height, &geometry);
  if (!status.IsOk())
    return status;
  return DecodeFractalTableDriven(blockSizeCode, domainIndices, offsets, transforms,
                                  geometry.rangeBlocks, width, height, output, iterations);
}

void QAVloader::Execute() {
  // Nothing may escape a thread body; a failed allocation becomes the outcome.
  try {
    outcome_ = UnpackAndDecode();
  } catch (const std::bad_alloc&) {
    outcome_ = QavStatus(QavCode::OutOfMemory);
  }
  image->storedData.reset();
  image->pixels.reset();
}

QavStatus QAVloader::UnpackAndDecode() {
  TQAV& record = *image;
  QAV_RETURN_IF_FAILED(UnpackFractalParameters(record));
  record.storedData.reset();

  const FractalHeader& header = record.fractalHeader;
  const int blockSizeCode = FractalBlockSizeCode(header);
  QAV_RETURN_IF_FAILED(CheckFractalInputs(blockSizeCode, record.domainIndices.get(),
                                          header.blockCount, record.width, record.height,
                                          static_cast<int>(header.iterations)));

  const size_t width = static_cast<size_t>(record.width);
  const size_t height = static_cast<size_t>(record.height);
  // storedData is a byte array, so the colour words may live in it.
  record.storedData = std::make_unique<uint8_t[]>(width * height * 4);
  record.pixels = std::make_unique<uint8_t[]>(width * height * 3);
  auto* words = reinterpret_cast<uint32_t*>(record.storedData.get());
  const int iterations = header.iterations == 0 ? 8 : static_cast<int>(header.iterations);
  QAV_RETURN_IF_FAILED(DecodeFractalTableDriven(
      blockSizeCode, record.domainIndices.get(), record.offsets.get(), record.transforms.get(),
      header.blockCount, record.width, record.height, words, iterations));

  WriteColourWordsToBitmap(words, static_cast<int>(width), static_cast<int>(height),
                           record.pixels.get(), *record.bitmap);
  return QavStatus::Ok();
}
