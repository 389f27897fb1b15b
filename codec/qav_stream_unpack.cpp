#include "qav_stream_unpack.h"

#include <string>

#include "qav_header_checks.h"
#include "rle.h"

QavVerdict ExpandRleStream(const char* streamName, const uint8_t* source, size_t storedLength,
                           uint8_t* destination, size_t needed, size_t capacity, size_t* produced) {
  const RleOutcome outcome = RleExpandBounded(source, storedLength, destination, capacity);
  *produced = outcome.produced;
  switch (outcome.status) {
    case RleStatus::Ok:
      return CheckStreamOutput(streamName, outcome.produced, needed, capacity);
    case RleStatus::OutputOverflow:
      return QavVerdict::Refuse(std::string("its header is inconsistent: the ") + streamName +
                                " data expands past the " + std::to_string(capacity) +
                                " bytes it may take");
    default:
      return QavVerdict::Refuse(std::string("its ") + streamName +
                                " data is corrupt: " + RleStatusText(outcome.status));
  }
}

QavVerdict DecodeHuffmanStream(HuffmanDecoder& decoder, const char* streamName,
                               const uint8_t* table, size_t tableLength, const uint8_t* bitStream,
                               size_t bitStreamLength, uint8_t* destination, size_t symbolCount) {
  const HuffmanStatus status =
      decoder.Decode(bitStream, bitStreamLength, destination, symbolCount, table, tableLength);
  switch (status) {
    case HuffmanStatus::Ok:
      return QavVerdict::Fine();
    case HuffmanStatus::BitStreamTooShort:
      return QavVerdict::Refuse(std::string("it is truncated: the ") + streamName +
                                " bit stream ends before its last code");
    default:
      return QavVerdict::Refuse(std::string("its ") + streamName +
                                " data is corrupt: " + HuffmanStatusText(status));
  }
}
