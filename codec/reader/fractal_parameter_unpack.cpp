#include "fractal_parameter_unpack.h"

#include <bit>
#include <cstring>

#include "fractal_decoder.h"
#include "fractal_offsets.h"
#include "qav_header_checks.h"
#include "qav_stream_unpack.h"

namespace {

struct StreamPlace {
  const char* name;
  uint8_t method;
  const uint8_t* bytes;  // the stream's first stored byte
  size_t storedSize;
  size_t tableSize;
  size_t decodedSize;
};

// Fills `capacity` bytes of destination (zero-filled already) from one stream. Raw streams
// were sized exactly by the header check; unknown methods leave the zeros.
QavStatus UnpackStream(HuffmanDecoder& decoder, const StreamPlace& stream, uint8_t* destination,
                       size_t needed, size_t capacity) {
  switch (stream.method) {
    case 0:
      std::memcpy(destination, stream.bytes, capacity);
      return QavStatus::Ok();
    case 1: {
      size_t produced = 0;
      return ExpandRleStream(stream.name, stream.bytes, stream.storedSize, destination, needed,
                             capacity, &produced);
    }
    case 2:
      return DecodeHuffmanStream(
          decoder, stream.name, stream.bytes, stream.tableSize, stream.bytes + stream.tableSize,
          stream.storedSize - stream.tableSize, destination, stream.decodedSize);
    default:
      return QavStatus::Ok();
  }
}

QavStatus CheckTransformCodes(const uint8_t* transforms, size_t blocks) {
  for (size_t k = 0; k < blocks; ++k) {
    if (transforms[k] > 8) {
      return QavStatus(
          QavCode::BadTransform,
          "block " + std::to_string(k) + " has transform code " + std::to_string(transforms[k]));
    }
  }
  return QavStatus::Ok();
}

}  // namespace

QavStatus UnpackFractalParameters(TQAV& image) {
  const FractalHeader& header = image.fractalHeader;
  const FractalStreamLayout layout = LayoutFractalStreams(header);
  FractalGeometry geometry;
  ComputeFractalGeometry(FractalBlockSizeCode(header), image.width, image.height, &geometry);
  const size_t blocks = header.blockCount;
  const size_t imageBlocks = geometry.rangeBlocks;
  const uint8_t* stored = image.storedData.get();

  image.domainIndices = std::make_unique<uint16_t[]>(blocks);
  image.transforms = std::make_unique<uint8_t[]>(blocks);
  image.offsets = std::make_unique<int16_t[]>(3 * blocks);
  HuffmanDecoder decoder;

  // The indices are little-endian in the file; the bytes land in place on this
  // little-endian platform and are swapped where it is not.
  auto* domainBytes = reinterpret_cast<uint8_t*>(image.domainIndices.get());
  QAV_RETURN_IF_FAILED(
      UnpackStream(decoder,
                   {"domain-index", header.domainMethod, stored + layout.domain.start,
                    layout.domain.length, header.domainTableSize, header.domainDecodedSize},
                   domainBytes, 2 * imageBlocks, 2 * blocks));
  if constexpr (std::endian::native == std::endian::big) {
    for (size_t k = 0; k < blocks; ++k) {
      image.domainIndices[k] =
          static_cast<uint16_t>(domainBytes[2 * k] | (domainBytes[2 * k + 1] << 8));
    }
  }

  image.pixels = std::make_unique<uint8_t[]>(3 * blocks);
  QAV_RETURN_IF_FAILED(
      UnpackStream(decoder,
                   {"offset", header.offsetMethod, stored + layout.offset.start,
                    layout.offset.length, header.offsetTableSize, header.offsetDecodedSize},
                   image.pixels.get(), 3 * imageBlocks, 3 * blocks));
  SpreadOffsetTriples(image.pixels.get(), blocks, image.offsets.get());
  image.pixels.reset();

  QAV_RETURN_IF_FAILED(
      UnpackStream(decoder,
                   {"transform", 2, stored + layout.transform.start, layout.transform.length,
                    header.transformTableSize, header.transformDecodedSize},
                   image.transforms.get(), imageBlocks, blocks));
  return CheckTransformCodes(image.transforms.get(), imageBlocks);
}
