#pragma once
// QAVloader: the thread that unpacks the three parameter streams of a fractal QAV file into
// the record's arrays, decodes the image and writes it into the record's bitmap. The reader
// hands it a record whose header has passed CheckFractalHeader, whose stored streams are in
// storedData and whose bitmap is configured as 24-bit; it starts the thread and waits for it.

#include <cstdint>

#include "fractal_decoder.h"
#include "qav_record.h"
#include "qav_status.h"
#include "tthread.h"

class QAVloader : public TThread {
 public:
  // Sets the time-critical priority (the platform grants what it allows).
  explicit QAVloader(bool createSuspended);

  void SetImage(TQAV* image) { this->image = image; }

  // After WaitFor: Ok when the bitmap holds the decoded image; otherwise why not, and the
  // record's arrays and bitmap are as the failed step left them (the reader clears them).
  const QavStatus& Outcome() const { return outcome_; }

  // The load decoder with the format's eight inputs; the arrays must hold the image's number
  // of range blocks.
  static QavStatus DecodeFractal(int blockSizeCode, const uint16_t* domainIndices,
                                 const int16_t* offsets, const uint8_t* transforms, int16_t width,
                                 int16_t height, uint32_t* output, int iterations);

 protected:
  void Execute() override;

 private:
  QavStatus UnpackAndDecode();

  TQAV* image = nullptr;  // not owned
  QavStatus outcome_ = QavStatus::Ok();
};
