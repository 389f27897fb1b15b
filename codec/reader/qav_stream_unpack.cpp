#include "qav_stream_unpack.h"

#include <string>

#include "qav_header_checks.h"
#include "rle.h"

namespace {

// The stream's name leads the detail: "pixel", "offset", ...
QavStatus Named(const char* streamName, QavStatus status) {
  if (status.IsOk())
    return status;
  std::string detail = std::string("the ") + streamName + " data";
  if (!status.Detail().empty())
    detail += ": " + status.Detail();
  return QavStatus(status.Code(), std::move(detail));
}

}  // namespace

QavStatus ExpandRleStream(const char* streamName, const uint8_t* source, size_t storedLength,
                          uint8_t* destination, size_t needed, size_t capacity, size_t* produced) {
  const RleOutcome outcome = RleExpandBounded(source, storedLength, destination, capacity);
  *produced = outcome.produced;
  if (!outcome.status.IsOk())
    return Named(streamName, outcome.status);
  return CheckStreamOutput(streamName, outcome.produced, needed, capacity);
}

QavStatus DecodeHuffmanStream(HuffmanDecoder& decoder, const char* streamName, const uint8_t* table,
                              size_t tableLength, const uint8_t* bitStream, size_t bitStreamLength,
                              uint8_t* destination, size_t symbolCount) {
  return Named(streamName, decoder.Decode(bitStream, bitStreamLength, destination, symbolCount,
                                          table, tableLength));
}
