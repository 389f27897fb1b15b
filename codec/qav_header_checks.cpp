#include "qav_header_checks.h"

#include <string>

#include "fractal_decoder.h"

namespace {

std::string Number(uint64_t value) {
  return std::to_string(value);
}

QavVerdict RefuseInconsistent(const std::string& what) {
  return QavVerdict::Refuse("its header is inconsistent: " + what);
}

QavVerdict CheckPixelFormat(int method, int stored, int expected, const char* expectedName) {
  if (stored == expected)
    return QavVerdict::Fine();
  return RefuseInconsistent("storage method " + Number(method) + " needs pixel format " +
                            Number(expected) + " (" + expectedName + ") but it says " +
                            Number(stored));
}

bool IsKnownStreamMethod(uint8_t method) {
  return method <= 2;
}

// One parameter stream's claims: its array needs `needed` bytes for the image's blocks and
// holds `capacity` (blockCount entries).
QavVerdict CheckParameterStream(const char* streamName, uint8_t method, uint32_t storedSize,
                                uint32_t tableSize, uint32_t decodedSize, uint64_t needed,
                                uint64_t capacity) {
  switch (method) {
    case 0:
      if (storedSize != capacity) {
        return RefuseInconsistent(std::string("the raw ") + streamName + " stream is " +
                                  Number(storedSize) + " bytes, not the " + Number(capacity) +
                                  " its blocks take");
      }
      return QavVerdict::Fine();
    case 2:
      if (tableSize > storedSize) {
        return RefuseInconsistent(std::string("the count table of the ") + streamName +
                                  " stream (" + Number(tableSize) + " bytes) is longer than " +
                                  "the stream (" + Number(storedSize) + " bytes)");
      }
      return CheckStreamOutput(streamName, decodedSize, needed, capacity);
    default:  // run-length streams are measured when expanded; unknown ones take no bytes
      return QavVerdict::Fine();
  }
}

}  // namespace

QavVerdict CheckStreamOutput(const char* streamName, uint64_t produced, uint64_t needed,
                             uint64_t capacity) {
  if (produced < needed) {
    return QavVerdict::Refuse(std::string("it is truncated: the ") + streamName + " data gives " +
                              Number(produced) + " bytes but the image needs " + Number(needed));
  }
  if (produced > capacity) {
    return RefuseInconsistent(std::string("the ") + streamName + " data gives " + Number(produced) +
                              " bytes, more than the " + Number(capacity) + " its array holds");
  }
  return QavVerdict::Fine();
}

QavVerdict RefuseTruncated(const char* what, uint64_t needed, uint64_t present) {
  return QavVerdict::Refuse(std::string("it is truncated: the ") + what + " needs " +
                            Number(needed) + " bytes but " + Number(present) + " are present");
}

QavVerdict CheckQavImageSize(int width, int height) {
  if (width < 1 || height < 1) {
    return QavVerdict::Refuse("its size " + std::to_string(width) + " x " + std::to_string(height) +
                              " has no pixels");
  }
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels > kMaxQavPixels) {
    return QavVerdict::Refuse("its size " + std::to_string(width) + " x " + std::to_string(height) +
                              " is above this viewer's limit of " + Number(kMaxQavPixels) +
                              " pixels");
  }
  return QavVerdict::Fine();
}

size_t RleRowBytes(int width, bool fullPalette) {
  const size_t pixels = static_cast<size_t>(width);
  return fullPalette ? pixels : (pixels + 7) / 8;
}

QavVerdict CheckRleHeader(const TQAV& image, uint64_t bytesAfterHeader) {
  const RleHeader& header = image.rleHeader;
  const bool fullPalette = header.fullPalette != 0;
  QAV_RETURN_IF_REFUSED(CheckPixelFormat(0, header.pixelFormat, fullPalette ? pf8bit : pf1bit,
                                         fullPalette ? "8-bit" : "1-bit"));
  const uint64_t paletteBytes = (fullPalette ? 256 : 2) * kPaletteEntrySize;
  if (bytesAfterHeader < paletteBytes) {
    return RefuseTruncated("palette", paletteBytes, bytesAfterHeader);
  }
  if (header.storedSize > bytesAfterHeader - paletteBytes) {
    return RefuseTruncated("pixel data", header.storedSize, bytesAfterHeader - paletteBytes);
  }
  return QavVerdict::Fine();
}

QavVerdict CheckHuffmanHeader(const TQAV& image, uint64_t bytesAfterHeader) {
  const HuffmanHeader& header = image.huffmanHeader;
  QAV_RETURN_IF_REFUSED(CheckPixelFormat(1, header.pixelFormat, pf8bit, "8-bit"));
  const uint64_t pixels = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
  if (header.decodedSize != pixels) {
    return RefuseInconsistent("decodedSize " + Number(header.decodedSize) +
                              " is not width x height (" + Number(pixels) + ")");
  }
  const uint64_t paletteBytes = 256 * kPaletteEntrySize;
  if (bytesAfterHeader < paletteBytes) {
    return RefuseTruncated("palette", paletteBytes, bytesAfterHeader);
  }
  const uint64_t bitStream = header.packedSize != 0 ? header.packedSize : header.bitStreamSize;
  const uint64_t stored = uint64_t{header.tableSize} + bitStream;
  if (stored > bytesAfterHeader - paletteBytes) {
    return RefuseTruncated("pixel data", stored, bytesAfterHeader - paletteBytes);
  }
  return QavVerdict::Fine();
}

FractalStreamLayout LayoutFractalStreams(const FractalHeader& header) {
  FractalStreamLayout layout;
  layout.domain.length = IsKnownStreamMethod(header.domainMethod) ? header.domainStoredSize : 0;
  layout.offset.start = layout.domain.length;
  layout.offset.length = IsKnownStreamMethod(header.offsetMethod) ? header.offsetStoredSize : 0;
  layout.transform.start = layout.offset.start + layout.offset.length;
  layout.transform.length = header.transformStoredSize;
  layout.total = layout.transform.start + layout.transform.length;
  return layout;
}

int FractalBlockSizeCode(const FractalHeader& header) {
  // Stored as unsigned 32 bits: values beyond the int range must not turn negative.
  return header.blockSizeCode <= 3 ? static_cast<int>(header.blockSizeCode) : 0;
}

QavVerdict CheckFractalHeader(const TQAV& image, uint64_t bytesAfterHeader) {
  const FractalHeader& header = image.fractalHeader;
  QAV_RETURN_IF_REFUSED(CheckPixelFormat(2, header.pixelFormat, pf24bit, "24-bit"));
  FractalGeometry geometry;
  if (ComputeFractalGeometry(FractalBlockSizeCode(header), image.width, image.height, &geometry) !=
      FractalStatus::Ok) {
    return QavVerdict::Refuse("its size " + std::to_string(image.width) + " x " +
                              std::to_string(image.height) +
                              " cannot be padded to whole fractal blocks");
  }
  const uint64_t paddedPixels =
      static_cast<uint64_t>(geometry.paddedWidth) * static_cast<uint64_t>(geometry.paddedHeight);
  if (paddedPixels > kMaxQavPixels) {
    return QavVerdict::Refuse("its padded size " + std::to_string(geometry.paddedWidth) + " x " +
                              std::to_string(geometry.paddedHeight) +
                              " is above this viewer's limit of " + Number(kMaxQavPixels) +
                              " pixels");
  }
  const uint64_t imageBlocks = geometry.rangeBlocks;
  if (header.blockCount < imageBlocks) {
    return RefuseInconsistent("blockCount " + Number(header.blockCount) + " is below the image's " +
                              Number(imageBlocks) + " range blocks");
  }
  if (header.blockCount > kMaxFractalBlockCount) {
    return RefuseInconsistent("blockCount " + Number(header.blockCount) +
                              " is above this viewer's limit of " + Number(kMaxFractalBlockCount) +
                              " blocks");
  }
  if (header.iterations > kMaxFractalIterations) {
    return QavVerdict::Refuse("its iteration count " + Number(header.iterations) +
                              " is above this viewer's limit of " + Number(kMaxFractalIterations));
  }
  const uint64_t passes = header.iterations == 0 ? 8 : header.iterations;
  if (passes * paddedPixels > kMaxFractalPixelPasses) {
    return QavVerdict::Refuse("its decode of " + Number(passes) + " passes over " +
                              Number(paddedPixels) + " pixels is above this viewer's limit of " +
                              Number(kMaxFractalPixelPasses) + " pixel passes");
  }
  const uint64_t blocks = header.blockCount;
  QAV_RETURN_IF_REFUSED(CheckParameterStream(
      "domain-index", header.domainMethod, header.domainStoredSize, header.domainTableSize,
      header.domainDecodedSize, 2 * imageBlocks, 2 * blocks));
  QAV_RETURN_IF_REFUSED(CheckParameterStream("offset", header.offsetMethod, header.offsetStoredSize,
                                             header.offsetTableSize, header.offsetDecodedSize,
                                             3 * imageBlocks, 3 * blocks));
  QAV_RETURN_IF_REFUSED(CheckParameterStream("transform", 2, header.transformStoredSize,
                                             header.transformTableSize, header.transformDecodedSize,
                                             imageBlocks, blocks));
  const uint64_t stored = LayoutFractalStreams(header).total;
  if (stored > bytesAfterHeader) {
    return RefuseTruncated("parameter data", stored, bytesAfterHeader);
  }
  return QavVerdict::Fine();
}
