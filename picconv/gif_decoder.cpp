#include "gif_decoder.h"

#include <algorithm>
#include <optional>
#include <span>

#include "gif_canvas.h"
#include "gif_lzw.h"
#include "gif_records.h"
#include "gif_rows.h"

GifRgb ComposedGif::PixelAt(int x, int y) const {
  const size_t pixel = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (IsPaletted()) {
    return palette.at(indices.at(pixel));
  }
  return {rgb.at(pixel * 3), rgb.at(pixel * 3 + 1), rgb.at(pixel * 3 + 2)};
}

namespace {

[[noreturn]] void Fail(GifDecodeStatus status, int imageNumber, int64_t first = 0,
                       int64_t second = 0) {
  throw GifDecodeError(status, imageNumber, first, second);
}

GifRgb BackgroundColour(const GifScreen& screen) {
  if (screen.backgroundIndex < static_cast<int>(screen.globalTable.size())) {
    return screen.globalTable[static_cast<size_t>(screen.backgroundIndex)];
  }
  return {};
}

void CheckArea(uint64_t width, uint64_t height, const GifDecodeLimits& limits,
               GifDecodeStatus status, int imageNumber) {
  if (width * height > limits.maxPixels) {
    Fail(status, imageNumber, static_cast<int64_t>(width), static_cast<int64_t>(height));
  }
}

// How many of the image's pixels, in stored order, must be decoded until every row that
// shows on the screen is complete; the rest of its data cannot change the picture.
uint64_t PixelsUntilLastVisibleRow(const GifImageRecord& image, const GifArea& visible) {
  if (visible.width == 0 || visible.height == 0) {
    return 0;
  }
  // Image rows 0 .. visible.height - 1 show.
  const int storedRows = GifStoredRowsCovering(image.height, image.interlaced, visible.height);
  return static_cast<uint64_t>(storedRows) * static_cast<uint64_t>(image.width);
}

// Decodes and draws the images of a file in turn, keeping the picture's state between them.
class PictureComposer {
 public:
  PictureComposer(const GifScreen& screen, GifDecodeLimits limits)
      : screen_(screen), limits_(limits), background_(BackgroundColour(screen)) {
    if (screen.width > 0 && screen.height > 0) {
      CheckArea(static_cast<uint64_t>(screen.width), static_cast<uint64_t>(screen.height), limits_,
                GifDecodeStatus::kScreenTooLarge, 0);
    }
  }

  // Draws one image and applies its disposal unless it ends the picture. Damage to the pixel
  // data is kept, not raised: the images after it may still show. False, with nothing done,
  // when the image would take the work past the bound.
  bool Compose(const GifImageRecord& image, int imageNumber, bool endsPicture);

  bool ShowsAnything() const { return rowDecoded_; }
  const std::optional<GifDecodeError>& FirstDamage() const { return firstDamage_; }
  ComposedGif Finish();

 private:
  GifCanvas& CanvasFor(const GifImageRecord& image);
  std::span<const GifRgb> TableOf(const GifImageRecord& image, int imageNumber) const;
  void NoteDamage(LzwOutcome outcome, const GifImageRecord& image, int imageNumber);

  const GifScreen& screen_;
  GifDecodeLimits limits_;
  GifRgb background_;
  std::optional<GifCanvas> canvas_;
  std::vector<uint8_t> storedPixels_;
  uint64_t decodedPixels_ = 0;
  uint64_t pixelWork_ = 0;
  bool rowDecoded_ = false;
  std::optional<GifDecodeError> firstDamage_;
};

// The canvas is made at the first image with pixels, when a screen of no pixels takes its size.
GifCanvas& PictureComposer::CanvasFor(const GifImageRecord& image) {
  if (!canvas_) {
    int width = screen_.width;
    int height = screen_.height;
    if (width == 0 || height == 0) {
      width = image.left + image.width;
      height = image.top + image.height;
      CheckArea(static_cast<uint64_t>(width), static_cast<uint64_t>(height), limits_,
                GifDecodeStatus::kScreenTooLarge, 0);
    }
    canvas_.emplace(width, height, background_);
  }
  return *canvas_;
}

std::span<const GifRgb> PictureComposer::TableOf(const GifImageRecord& image,
                                                 int imageNumber) const {
  if (image.hasLocalTable) {
    return image.localTable;
  }
  if (screen_.hasGlobalTable) {
    return screen_.globalTable;
  }
  Fail(GifDecodeStatus::kNoColourTable, imageNumber);
}

void PictureComposer::NoteDamage(LzwOutcome outcome, const GifImageRecord& image, int imageNumber) {
  const bool firstRowComplete = outcome.pixels >= static_cast<uint64_t>(image.width);
  rowDecoded_ = rowDecoded_ || firstRowComplete;
  if (firstRowComplete || firstDamage_) {
    return;
  }
  const GifDecodeStatus status =
      outcome.end == LzwEnd::kBadCode ? GifDecodeStatus::kBadLzwCode : GifDecodeStatus::kNoPixelRow;
  firstDamage_.emplace(status, imageNumber, 0, 0);
}

bool PictureComposer::Compose(const GifImageRecord& image, int imageNumber, bool endsPicture) {
  if (image.width == 0 || image.height == 0) {
    return true;
  }
  CheckArea(static_cast<uint64_t>(image.width), static_cast<uint64_t>(image.height), limits_,
            GifDecodeStatus::kImageTooLarge, imageNumber);
  const std::span<const GifRgb> table = TableOf(image, imageNumber);
  if (image.minCodeSize < kLzwSmallestCodeSize || image.minCodeSize > kLzwLargestCodeSize) {
    Fail(GifDecodeStatus::kBadLzwCodeSize, imageNumber, image.minCodeSize);
  }
  GifCanvas& canvas = CanvasFor(image);
  const GifArea area = canvas.Clip(image.left, image.top, image.width, image.height);
  const uint64_t wanted = PixelsUntilLastVisibleRow(image, area);
  if (wanted == 0) {
    return true;  // nothing of it shows, and so nothing of it needs disposing either
  }
  // Decoding, drawing, and at most saving and restoring or clearing the area.
  const uint64_t areaPixels =
      static_cast<uint64_t>(area.width) * static_cast<uint64_t>(area.height);
  const uint64_t work = wanted + areaPixels * 3;
  if (pixelWork_ + work > limits_.maxPixelWork) {
    return false;
  }
  pixelWork_ += work;
  canvas.UseTable(table, image.control.transparentIndex);
  std::vector<uint8_t> previous;
  if (!endsPicture && image.control.disposal == GifDisposal::kRestorePrevious) {
    previous = canvas.SaveArea(area);
  }
  const GifDecodedImage placed{image.left, image.top, image.width, image.height, image.interlaced,
                               nullptr,    0};
  uint8_t* target = canvas.RowsInPlace(placed);
  if (target == nullptr) {
    storedPixels_.resize(std::max<size_t>(storedPixels_.size(), wanted));
    target = storedPixels_.data();
  }
  // The area bound keeps wanted far below 2^32.
  const LzwOutcome outcome =
      DecodeLzw(image.data, image.minCodeSize, target, static_cast<uint32_t>(wanted));
  decodedPixels_ += outcome.pixels;
  NoteDamage(outcome, image, imageNumber);
  if (target == storedPixels_.data()) {
    canvas.Draw({image.left, image.top, image.width, image.height, image.interlaced, target,
                 outcome.pixels});
  }
  if (endsPicture) {
    return true;
  }
  if (image.control.disposal == GifDisposal::kRestoreBackground) {
    canvas.ClearArea(area);
  } else if (image.control.disposal == GifDisposal::kRestorePrevious) {
    canvas.RestoreArea(area, previous);
  }
  return true;
}

ComposedGif PictureComposer::Finish() {
  if (!canvas_) {
    if (screen_.width == 0 || screen_.height == 0) {
      Fail(GifDecodeStatus::kNothingToShow, 0);
    }
    canvas_.emplace(screen_.width, screen_.height, background_);
  }
  ComposedGif picture = std::move(*canvas_).Finish();
  picture.decodedPixels = decodedPixels_;
  return picture;
}

}  // namespace

ComposedGif DecodeGifPicture(const uint8_t* data, size_t size, GifDecodeLimits limits) {
  GifRecordReader reader(std::span<const uint8_t>(data, data == nullptr ? 0 : size));
  const GifScreen screen = reader.ReadScreen();
  PictureComposer composer(screen, limits);
  GifImageRecord image;
  int imageNumber = 1;
  try {
    // Each image read consumes bytes of the file, so this ends with the file.
    for (; reader.NextImage(image, imageNumber); ++imageNumber) {
      const bool endsPicture = image.control.delay != 0;
      if (!composer.Compose(image, imageNumber, endsPicture) || endsPicture) {
        break;
      }
    }
  } catch (const GifDecodeError&) {
    // A fault in the file's structure ends the walk; what was decoded before it still shows.
    if (!composer.ShowsAnything()) {
      throw;
    }
  }
  if (!composer.ShowsAnything() && composer.FirstDamage()) {
    throw *composer.FirstDamage();
  }
  if (imageNumber == 1 && reader.RanOut()) {
    Fail(GifDecodeStatus::kTruncated, 1, static_cast<int64_t>(GifPlace::kBeforeFirstImage));
  }
  return composer.Finish();
}
