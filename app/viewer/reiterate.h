#pragma once
// Effects > Reiterate: the current fractal image decoded again with a chosen number of passes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphic_errors.h"
#include "qav_record.h"
#include "qav_status.h"

inline constexpr int kMinIterations = 1;
inline constexpr int kMaxIterations = 32;
inline constexpr int kOfferedIterations = 8;

// The count the iteration spin box yields for its text: a whole number is brought to the
// nearest of 1..32, anything else reads as 1.
int IterationCountFromText(const std::string& text);

// Decodes the record's fractal parameters again from the grey start with count passes and
// writes the rows into the record's bitmap (decoded row 0 at the bottom). Ok when the rows were
// written; otherwise the bitmap is as it was: NoFractalParameters for a record without them or
// whose bitmap is not the 24-bit image of its size, else the decoder's status (OutOfMemory,
// BadDomainIndex, ...).
QavStatus Reiterate(TQAV* image, int count);

// A re-decode that failed: "Cannot decode the picture again", with the status's sentence.
class EReiterateError : public EInvalidGraphic {
 public:
  explicit EReiterateError(const QavStatus& status);
};

// The inputs of a fractal re-decode, copied out of a record so that a decode can run on
// another thread while the record is released or changed.
struct TFractalInputs {
  FractalHeader header;  // as the record holds it: the block size code and the block count
  int16_t width = 0;
  int16_t height = 0;
  std::vector<uint16_t> domainIndices;
  std::vector<int16_t> offsets;
  std::vector<uint8_t> transforms;
};

// The record's inputs; none for a record that Reiterate would leave as it is.
std::optional<TFractalInputs> CopyFractalInputs(const TQAV& image);
// The colour words of the picture after `count` passes from the grey start; empty when the
// decode cannot get its memory or refuses the inputs, and then *status (when given) says why.
std::vector<uint32_t> DecodePasses(const TFractalInputs& inputs, int count,
                                   QavStatus* status = nullptr);
// Writes a decode of the record's picture into its bitmap (decoded row 0 at the bottom).
// Returns false, writing nothing, for words of another size or a bitmap that does not fit.
bool WriteDecodedPicture(TQAV* image, const std::vector<uint32_t>& colourWords);
