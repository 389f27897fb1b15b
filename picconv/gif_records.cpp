#include "gif_records.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr int kTableFlag = 0x80;
constexpr int kInterlaceFlag = 0x40;

[[noreturn]] void Fail(GifDecodeStatus status, int imageNumber, int64_t first = 0,
                       int64_t second = 0) {
  throw GifDecodeError(status, imageNumber, first, second);
}

GifDisposal DisposalOf(int flags) {
  switch ((flags >> 2) & 7) {
    case 2:
      return GifDisposal::kRestoreBackground;
    case 3:
      return GifDisposal::kRestorePrevious;
    case 1:
      return GifDisposal::kKeep;
    default:
      return GifDisposal::kNone;  // 0, and the values 4 to 7 that GIF89a leaves undefined
  }
}

}  // namespace

void GifRecordReader::Require(size_t count, GifPlace place, int imageNumber) const {
  if (!Has(count)) {
    Fail(GifDecodeStatus::kTruncated, imageNumber, static_cast<int64_t>(place));
  }
}

int GifRecordReader::Word() {
  const int low = Byte();
  return low | (Byte() << 8);
}

std::vector<GifRgb> GifRecordReader::ReadTable(int flags, GifPlace place, int imageNumber) {
  const size_t entries = size_t{2} << (flags & 7);
  Require(entries * 3, place, imageNumber);
  std::vector<GifRgb> table(entries);
  for (GifRgb& colour : table) {
    colour.red = Byte();
    colour.green = Byte();
    colour.blue = Byte();
  }
  return table;
}

GifScreen GifRecordReader::ReadScreen() {
  if (!Has(6) || (std::memcmp(bytes_.data(), "GIF87a", 6) != 0 &&
                  std::memcmp(bytes_.data(), "GIF89a", 6) != 0)) {
    Fail(GifDecodeStatus::kNotGif, 0, static_cast<int64_t>(bytes_.size()));
  }
  position_ = 6;
  Require(7, GifPlace::kScreenDescriptor, 0);
  GifScreen screen;
  screen.width = Word();
  screen.height = Word();
  const int flags = Byte();
  screen.backgroundIndex = Byte();
  Byte();  // pixel aspect ratio, which the picture does not use
  if (flags & kTableFlag) {
    screen.hasGlobalTable = true;
    screen.globalTable = ReadTable(flags, GifPlace::kGlobalTable, 0);
  }
  return screen;
}

void GifRecordReader::SkipSubBlocks(int imageNumber) {
  // Each pass moves past at least the length byte, so this ends with the bytes.
  for (;;) {
    Require(1, GifPlace::kExtension, imageNumber);
    const size_t length = Byte();
    if (length == 0) {
      return;
    }
    Require(length, GifPlace::kExtension, imageNumber);
    position_ += length;
  }
}

void GifRecordReader::ReadExtension(GifControl& control, int imageNumber) {
  Require(1, GifPlace::kExtension, imageNumber);
  const uint8_t label = Byte();
  if (label == kGraphicControlLabel && Has(1) && bytes_[position_] >= 4) {
    Require(6, GifPlace::kExtension, imageNumber);
    const size_t length = Byte();
    const int flags = Byte();
    control.disposal = DisposalOf(flags);
    control.delay = Word();
    const int transparent = Byte();
    control.transparentIndex = (flags & 1) ? transparent : -1;
    Require(length - 4, GifPlace::kExtension, imageNumber);
    position_ += length - 4;
  }
  SkipSubBlocks(imageNumber);
}

void GifRecordReader::JoinDataSubBlocks(std::vector<uint8_t>& data) {
  data.clear();
  // The rest of the file bounds the data: one allocation, and only the pages the data fills
  // are ever touched.
  data.reserve(bytes_.size() - position_);
  // A file that ends inside the data keeps what is there: the decoder shows what it decodes.
  while (Has(1)) {
    const size_t length = Byte();
    if (length == 0) {
      return;
    }
    const size_t available = std::min(length, bytes_.size() - position_);
    data.insert(data.end(), bytes_.begin() + static_cast<ptrdiff_t>(position_),
                bytes_.begin() + static_cast<ptrdiff_t>(position_ + available));
    position_ += available;
  }
}

void GifRecordReader::ReadImage(GifImageRecord& image, int imageNumber) {
  Require(9, GifPlace::kImageDescriptor, imageNumber);
  image.left = Word();
  image.top = Word();
  image.width = Word();
  image.height = Word();
  const int flags = Byte();
  image.interlaced = (flags & kInterlaceFlag) != 0;
  image.hasLocalTable = (flags & kTableFlag) != 0;
  image.localTable.clear();
  if (image.hasLocalTable) {
    image.localTable = ReadTable(flags, GifPlace::kLocalTable, imageNumber);
  }
  Require(1, GifPlace::kPixelData, imageNumber);
  image.minCodeSize = Byte();
  JoinDataSubBlocks(image.data);
}

bool GifRecordReader::NextImage(GifImageRecord& image, int imageNumber) {
  GifControl control;
  // Each pass consumes at least one byte, so this ends with the bytes.
  while (Has(1)) {
    const uint8_t introducer = Byte();
    if (introducer == kExtensionIntroducer) {
      ReadExtension(control, imageNumber);
    } else if (introducer == kImageSeparator) {
      ReadImage(image, imageNumber);
      image.control = control;
      return true;
    } else {
      return false;  // the trailer (0x3B), or bytes that start no block
    }
  }
  ranOut_ = true;
  return false;
}
