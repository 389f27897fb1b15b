#include "qav_record.h"

TQAV::TQAV() : bitmap(std::make_unique<TBitmap>()) {}

TQAV::~TQAV() = default;

void TQAV::ClearImage() {
  domainIndices.reset();
  transforms.reset();
  offsets.reset();
  storedData.reset();
  pixels.reset();
  scratch.reset();
  bitmap = std::make_unique<TBitmap>();
}
