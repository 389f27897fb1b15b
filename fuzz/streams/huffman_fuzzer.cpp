// The bounded Huffman decoder on arbitrary streams: the fast path and the tree walk must
// return the same status and, where both succeed, the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Layout: symbol count (2 bytes), table block length (2 bytes), table block, bit stream.
  if (size < 4)
    return 0;
  const size_t symbolCount = data[0] | (data[1] << 8);
  const size_t tableLength = data[2] | (data[3] << 8);
  if (tableLength > size - 4)
    return 0;
  // Each piece in a buffer of its exact size, so that ASan sees any read past it.
  const std::vector<uint8_t> table(data + 4, data + 4 + tableLength);
  const std::vector<uint8_t> bits(data + 4 + tableLength, data + size);
  std::vector<uint8_t> fast(symbolCount), walked(symbolCount);

  HuffmanDecoder decoder;
  const QavCode fastStatus =
      decoder.Decode(bits.data(), bits.size(), fast.data(), symbolCount, table.data(), table.size())
          .Code();
  const QavCode walkStatus = decoder
                                 .DecodeByTreeWalk(bits.data(), bits.size(), walked.data(),
                                                   symbolCount, table.data(), table.size())
                                 .Code();
  if (fastStatus != walkStatus)
    abort();
  if (fastStatus == QavCode::Ok && fast != walked)
    abort();
  return 0;
}
