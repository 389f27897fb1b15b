#include "qav_header_checks.h"

#include <string>

#include "fractal_decoder.h"

namespace {

std::string Number(uint64_t value) {
  return std::to_string(value);
}

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

QavStatus Inconsistent(const std::string& what) {
  return QavStatus(QavCode::InconsistentHeader, what);
}

QavStatus CheckPixelFormat(int method, int stored, int expected, const char* expectedName) {
  if (stored == expected)
    return QavStatus::Ok();
  return Inconsistent("storage method " + Number(method) + " needs pixel format " +
                      Number(expected) + " (" + expectedName + ") but the header says " +
                      Number(stored));
}

bool IsKnownStreamMethod(uint8_t method) {
  return method <= 2;
}

// One parameter stream's claims: its array needs `needed` bytes for the image's blocks and
// holds `capacity` (blockCount entries).
QavStatus CheckParameterStream(const char* streamName, uint8_t method, uint32_t storedSize,
                               uint32_t tableSize, uint32_t decodedSize, uint64_t needed,
                               uint64_t capacity) {
  switch (method) {
    case 0:
      if (storedSize != capacity) {
        return Inconsistent(std::string("the raw ") + streamName + " stream is " +
                            Number(storedSize) + " bytes, not the " + Number(capacity) +
                            " its blocks take");
      }
      return QavStatus::Ok();
    case 2:
      if (tableSize > storedSize) {
        return Inconsistent(std::string("the count table of the ") + streamName + " stream (" +
                            Number(tableSize) + " bytes) is longer than the stream (" +
                            Number(storedSize) + " bytes)");
      }
      return CheckStreamOutput(streamName, decodedSize, needed, capacity);
    default:  // run-length streams are measured when expanded; unknown ones take no bytes
      return QavStatus::Ok();
  }
}

QavStatus CheckPixelCount(const char* which, int width, int height) {
  if (WithinImageLimits(width, height))
    return QavStatus::Ok();
  return QavStatus(QavCode::OverMemoryLimit, std::string(which) + SizeText(width, height) +
                                                 " pixels, more than the " +
                                                 Number(kMaxImagePixels) + " this viewer holds");
}

}  // namespace

QavStatus CheckStreamOutput(const char* streamName, uint64_t produced, uint64_t needed,
                            uint64_t capacity) {
  if (produced < needed) {
    return QavStatus(QavCode::ExpansionShort,
                     std::string("the ") + streamName + " data gives " + Number(produced) +
                         " bytes where the picture needs " + Number(needed));
  }
  if (produced > capacity) {
    return Inconsistent(std::string("the ") + streamName + " data gives " + Number(produced) +
                        " bytes, more than the " + Number(capacity) + " its array holds");
  }
  return QavStatus::Ok();
}

QavStatus TruncatedInside(QavPlace place, const char* what, uint64_t size) {
  std::string detail =
      Number(place.fileLength) + " bytes, inside the " + Number(size) + "-byte " + what;
  if (place.offset > 0)
    detail += " that starts at byte " + Number(place.offset);
  return QavStatus(QavCode::Truncated, std::move(detail));
}

QavStatus CheckQavImageSize(int width, int height) {
  if (width < 1 || height < 1)
    return QavStatus(QavCode::NoPixels, SizeText(width, height));
  return CheckPixelCount("", width, height);
}

size_t RleRowBytes(int width, bool fullPalette) {
  const size_t pixels = static_cast<size_t>(width);
  return fullPalette ? pixels : (pixels + 7) / 8;
}

QavStatus CheckRleHeader(const TQAV& image, QavPlace place) {
  const RleHeader& header = image.rleHeader;
  const bool fullPalette = header.fullPalette != 0;
  QAV_RETURN_IF_FAILED(CheckPixelFormat(0, header.pixelFormat, fullPalette ? pf8bit : pf1bit,
                                        fullPalette ? "8-bit" : "1-bit"));
  const uint64_t paletteBytes = (fullPalette ? 256 : 2) * kPaletteEntrySize;
  if (place.Remaining() < paletteBytes)
    return TruncatedInside(place, "palette", paletteBytes);
  const QavPlace data{place.fileLength, place.offset + paletteBytes};
  if (header.storedSize > data.Remaining())
    return TruncatedInside(data, "pixel data", header.storedSize);
  return QavStatus::Ok();
}

QavStatus CheckHuffmanHeader(const TQAV& image, QavPlace place) {
  const HuffmanHeader& header = image.huffmanHeader;
  QAV_RETURN_IF_FAILED(CheckPixelFormat(1, header.pixelFormat, pf8bit, "8-bit"));
  const uint64_t pixels = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
  if (header.decodedSize != pixels) {
    return Inconsistent("the decoded size " + Number(header.decodedSize) +
                        " is not width x height (" + Number(pixels) + ")");
  }
  const uint64_t paletteBytes = 256 * kPaletteEntrySize;
  if (place.Remaining() < paletteBytes)
    return TruncatedInside(place, "palette", paletteBytes);
  const QavPlace data{place.fileLength, place.offset + paletteBytes};
  const uint64_t bitStream = header.packedSize != 0 ? header.packedSize : header.bitStreamSize;
  const uint64_t stored = uint64_t{header.tableSize} + bitStream;
  if (stored > data.Remaining())
    return TruncatedInside(data, "pixel data", stored);
  return QavStatus::Ok();
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

namespace {

QavStatus CheckFractalWork(const FractalHeader& header, uint64_t paddedPixels) {
  if (header.iterations > kMaxFractalIterations) {
    return QavStatus(QavCode::TooMuchWork, Number(header.iterations) + " passes, more than the " +
                                               Number(kMaxFractalIterations) + " this viewer runs");
  }
  const uint64_t passes = header.iterations == 0 ? 8 : header.iterations;
  if (passes * paddedPixels > kMaxFractalPixelPasses) {
    return QavStatus(QavCode::TooMuchWork, Number(passes) + " passes over " + Number(paddedPixels) +
                                               " pixels, more than the " +
                                               Number(kMaxFractalPixelPasses) +
                                               " pixel passes this viewer runs");
  }
  return QavStatus::Ok();
}

QavStatus CheckBlockCount(const FractalHeader& header, uint64_t imageBlocks) {
  if (header.blockCount < imageBlocks) {
    return Inconsistent("the header stores " + Number(header.blockCount) +
                        " blocks but the picture has " + Number(imageBlocks));
  }
  if (header.blockCount > kMaxFractalBlockCount) {
    return QavStatus(QavCode::OverMemoryLimit,
                     Number(header.blockCount) + " parameter blocks, more than the " +
                         Number(kMaxFractalBlockCount) + " this viewer holds");
  }
  return QavStatus::Ok();
}

}  // namespace

QavStatus CheckFractalHeader(const TQAV& image, QavPlace place) {
  const FractalHeader& header = image.fractalHeader;
  QAV_RETURN_IF_FAILED(CheckPixelFormat(2, header.pixelFormat, pf24bit, "24-bit"));
  FractalGeometry geometry;
  if (!ComputeFractalGeometry(FractalBlockSizeCode(header), image.width, image.height, &geometry)
           .IsOk()) {
    return QavStatus(QavCode::BadFractalSize, SizeText(image.width, image.height));
  }
  QAV_RETURN_IF_FAILED(
      CheckPixelCount("a padded size of ", geometry.paddedWidth, geometry.paddedHeight));
  const uint64_t imageBlocks = geometry.rangeBlocks;
  QAV_RETURN_IF_FAILED(CheckBlockCount(header, imageBlocks));
  QAV_RETURN_IF_FAILED(CheckFractalWork(
      header, static_cast<uint64_t>(geometry.paddedWidth) * uint64_t(geometry.paddedHeight)));
  const uint64_t blocks = header.blockCount;
  QAV_RETURN_IF_FAILED(CheckParameterStream("domain-index", header.domainMethod,
                                            header.domainStoredSize, header.domainTableSize,
                                            header.domainDecodedSize, 2 * imageBlocks, 2 * blocks));
  QAV_RETURN_IF_FAILED(CheckParameterStream("offset", header.offsetMethod, header.offsetStoredSize,
                                            header.offsetTableSize, header.offsetDecodedSize,
                                            3 * imageBlocks, 3 * blocks));
  QAV_RETURN_IF_FAILED(CheckParameterStream("transform", 2, header.transformStoredSize,
                                            header.transformTableSize, header.transformDecodedSize,
                                            imageBlocks, blocks));
  const uint64_t stored = LayoutFractalStreams(header).total;
  if (stored > place.Remaining())
    return TruncatedInside(place, "parameter data", stored);
  return QavStatus::Ok();
}
