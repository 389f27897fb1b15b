#include "reiterate.h"

#include <new>
#include <vector>

#include "colour_rows.h"
#include "fractal_decoder.h"
#include "qav_sentences.h"
#include "whole_number.h"

namespace {

bool HoldsFractalParameters(const TQAV& image) {
  return image.domainIndices && image.offsets && image.transforms;
}

// The rows written are 3 x width bytes of 24-bit pixels: the bitmap must be the one a fractal
// load leaves behind. The reader refuses fractal files that name another pixel format, so
// this only guards against a record in an unexpected state.
bool BitmapFitsRecord(const TQAV& image) {
  return image.bitmap && image.bitmap->GetPixelFormat() == pf24bit &&
         image.bitmap->GetWidth() == image.width && image.bitmap->GetHeight() == image.height;
}

}  // namespace

int IterationCountFromText(const std::string& text) {
  return WholeNumberWithin(text, kMinIterations, kMaxIterations);
}

std::optional<TFractalInputs> CopyFractalInputs(const TQAV& image) {
  if (!HoldsFractalParameters(image) || !BitmapFitsRecord(image))
    return std::nullopt;
  const size_t blocks = image.fractalHeader.blockCount;
  TFractalInputs inputs;
  inputs.header = image.fractalHeader;
  inputs.width = image.width;
  inputs.height = image.height;
  try {
    inputs.domainIndices.assign(image.domainIndices.get(), image.domainIndices.get() + blocks);
    inputs.offsets.assign(image.offsets.get(), image.offsets.get() + 3 * blocks);
    inputs.transforms.assign(image.transforms.get(), image.transforms.get() + blocks);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return inputs;
}

std::vector<uint32_t> DecodePasses(const TFractalInputs& inputs, int count, QavStatus* status) {
  QavStatus ignored = QavStatus::Ok();
  QavStatus& outcome = status != nullptr ? *status : ignored;
  std::vector<uint32_t> colourWords;
  try {
    colourWords.resize(static_cast<size_t>(inputs.width) * static_cast<size_t>(inputs.height));
  } catch (const std::bad_alloc&) {
    outcome = QavStatus(QavCode::OutOfMemory);
    return {};
  }
  outcome = DecodeFractalDirect(static_cast<int>(inputs.header.blockSizeCode),
                                inputs.domainIndices.data(), inputs.offsets.data(),
                                inputs.transforms.data(), inputs.header.blockCount, inputs.width,
                                inputs.height, colourWords.data(), count);
  if (!outcome.IsOk())
    return {};
  return colourWords;
}

bool WriteDecodedPicture(TQAV* image, const std::vector<uint32_t>& colourWords) {
  const size_t pixelCount = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  if (!BitmapFitsRecord(*image) || colourWords.size() != pixelCount)
    return false;
  // The packed rows, obtained for this write only.
  std::vector<uint8_t> rows;
  try {
    rows.resize(3 * pixelCount);
  } catch (const std::bad_alloc&) {
    return false;
  }
  WriteColourWordsToBitmap(colourWords.data(), image->width, image->height, rows.data(),
                           *image->bitmap);
  return true;
}

EReiterateError::EReiterateError(const QavStatus& status)
    : EInvalidGraphic("Cannot decode the picture again", QavSentence(status)) {}

QavStatus Reiterate(TQAV* image, int count) {
  const std::optional<TFractalInputs> inputs =
      image != nullptr ? CopyFractalInputs(*image) : std::nullopt;
  if (!inputs)
    return QavStatus(QavCode::NoFractalParameters);
  QavStatus decoded = QavStatus::Ok();
  const std::vector<uint32_t> words = DecodePasses(*inputs, count, &decoded);
  QAV_RETURN_IF_FAILED(decoded);
  // The size and the bitmap were checked with the inputs: only the rows' memory can fail.
  if (!WriteDecodedPicture(image, words))
    return QavStatus(QavCode::OutOfMemory);
  return QavStatus::Ok();
}
