#pragma once
// The block structure of a GIF file: the screen descriptor with its global colour table, then
// extensions and images up to the trailer. Only what the picture needs is kept: the graphic
// control extension that precedes an image; other extensions are skipped.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gif_decoder.h"

struct GifScreen {
  int width = 0;
  int height = 0;
  bool hasGlobalTable = false;
  std::vector<GifRgb> globalTable;
  int backgroundIndex = 0;
};

// What a graphic control extension says of the image after it.
enum class GifDisposal { kNone, kKeep, kRestoreBackground, kRestorePrevious };

struct GifControl {
  GifDisposal disposal = GifDisposal::kNone;
  int delay = 0;              // hundredths of a second
  int transparentIndex = -1;  // -1: no transparent colour
};

struct GifImageRecord {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  bool hasLocalTable = false;
  std::vector<GifRgb> localTable;
  GifControl control;
  int minCodeSize = 0;
  // The image's data sub-blocks joined; shorter than written when the file ends inside them.
  std::vector<uint8_t> data;
};

// Walks the blocks of a GIF file held in memory. Every read is checked against the end of the
// bytes first; a file that ends inside a block raises GifDecodeError kTruncated naming where.
class GifRecordReader {
 public:
  explicit GifRecordReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // Reads the signature, the screen descriptor and the global colour table.
  GifScreen ReadScreen();

  // Reads up to and including the next image. False at the trailer, at the end of the bytes
  // after a whole block, or at a byte that starts no block (taken, as browsers take it, for
  // the end of the picture data).
  bool NextImage(GifImageRecord& image, int imageNumber);
  // After NextImage gave false: whether the bytes ran out rather than a trailer (or another
  // byte) ending the blocks.
  bool RanOut() const { return ranOut_; }

 private:
  bool Has(size_t count) const { return bytes_.size() - position_ >= count; }
  void Require(size_t count, GifPlace place, int imageNumber) const;
  uint8_t Byte() { return bytes_[position_++]; }
  int Word();
  std::vector<GifRgb> ReadTable(int flags, GifPlace place, int imageNumber);
  void ReadExtension(GifControl& control, int imageNumber);
  void SkipSubBlocks(int imageNumber);
  void ReadImage(GifImageRecord& image, int imageNumber);
  void JoinDataSubBlocks(std::vector<uint8_t>& data);

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ranOut_ = false;
};
