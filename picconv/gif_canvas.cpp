#include "gif_canvas.h"

#include <algorithm>
#include <cstring>

#include "gif_rows.h"

// Colours are copied as their three bytes.
static_assert(sizeof(GifRgb) == 3);

GifCanvas::GifCanvas(int width, int height, GifRgb background)
    : width_(width), height_(height), background_(background) {}

GifArea GifCanvas::Clip(int left, int top, int width, int height) const {
  GifArea area;
  area.left = std::min(left, width_);
  area.top = std::min(top, height_);
  area.width = std::clamp(width_ - left, 0, width);
  area.height = std::clamp(height_ - top, 0, height);
  return area;
}

// The palette starts as the first table, so that the first image's values are their own
// slots, and gets the background colour at its first entry there or after the table.
void GifCanvas::Start(std::span<const GifRgb> firstTable) {
  started_ = true;
  palette_.assign(firstTable.begin(), firstTable.end());
  for (size_t slot = 0; slot < palette_.size(); ++slot) {
    slotOfColour_.emplace(Key(palette_[slot]), static_cast<uint8_t>(slot));  // the first stays
  }
  const size_t pixelCount = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  backgroundSlot_ = FindOrAddColour(background_, palette_.size());
  if (backgroundSlot_ >= 0) {
    pixels_.assign(pixelCount, static_cast<uint8_t>(backgroundSlot_));
    return;
  }
  trueColour_ = true;
  pixels_.resize(pixelCount * 3);
  for (size_t i = 0; i < pixelCount; ++i) {
    std::memcpy(&pixels_[i * 3], &background_, 3);
  }
}

int GifCanvas::FindOrAddColour(GifRgb colour, size_t likelySlot) {
  if (likelySlot < palette_.size() && palette_[likelySlot] == colour) {
    return static_cast<int>(likelySlot);
  }
  const auto match = slotOfColour_.find(Key(colour));
  if (match != slotOfColour_.end()) {
    return match->second;
  }
  if (palette_.size() >= 256) {
    return -1;
  }
  palette_.push_back(colour);
  const int slot = static_cast<int>(palette_.size()) - 1;
  slotOfColour_.emplace(Key(colour), static_cast<uint8_t>(slot));
  return slot;
}

void GifCanvas::TurnIntoTrueColour() {
  std::vector<uint8_t> rgb(pixels_.size() * 3);
  for (size_t i = 0; i < pixels_.size(); ++i) {
    std::memcpy(&rgb[i * 3], &palette_[pixels_[i]], 3);
  }
  pixels_ = std::move(rgb);
  trueColour_ = true;
}

void GifCanvas::UseTable(std::span<const GifRgb> table, int transparentIndex) {
  if (!started_) {
    Start(table);
  }
  slotOfValue_.fill(kLeave);
  bool fits = !trueColour_;
  for (size_t value = 0; value < table.size() && fits; ++value) {
    if (static_cast<int>(value) != transparentIndex) {
      const int slot = FindOrAddColour(table[value], value);
      fits = slot >= 0;
      slotOfValue_[value] = static_cast<int16_t>(slot);
    }
  }
  if (!fits) {
    if (!trueColour_) {
      TurnIntoTrueColour();
    }
    slotOfValue_.fill(kLeave);
    for (size_t value = 0; value < table.size(); ++value) {
      if (static_cast<int>(value) != transparentIndex) {
        slotOfValue_[value] = 0;  // drawn: the colour comes from colourOfValue_
        colourOfValue_[value] = table[value];
      }
    }
  }
  copyStraight_ = !trueColour_;
  for (int value = 0; value < 256 && copyStraight_; ++value) {
    copyStraight_ = slotOfValue_[static_cast<size_t>(value)] == value;
  }
}

size_t GifCanvas::PixelOffset(int x, int y) const {
  const size_t pixel =
      static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  return pixel * static_cast<size_t>(BytesPerPixel());
}

void GifCanvas::DrawRow(uint8_t* target, const uint8_t* source, int count) const {
  if (copyStraight_) {
    std::memcpy(target, source, static_cast<size_t>(count));
    return;
  }
  for (int x = 0; x < count; ++x) {
    const uint8_t value = source[x];
    if (slotOfValue_[value] == kLeave) {
      continue;
    }
    if (trueColour_) {
      std::memcpy(target + x * 3, &colourOfValue_[value], 3);
    } else {
      target[x] = static_cast<uint8_t>(slotOfValue_[value]);
    }
  }
}

void GifCanvas::Draw(const GifDecodedImage& image) {
  const GifArea area = Clip(image.left, image.top, image.width, image.height);
  if (area.width == 0 || area.height == 0) {
    return;
  }
  const uint64_t rowLength = static_cast<uint64_t>(image.width);
  GifStoredRows rowOrder(image.height, image.interlaced);
  const uint64_t storedRows = std::min<uint64_t>((image.pixelCount + rowLength - 1) / rowLength,
                                                 static_cast<uint64_t>(image.height));
  for (uint64_t stored = 0; stored < storedRows; ++stored) {
    const int screenRow = image.top + rowOrder.Next();
    if (screenRow >= height_) {
      continue;
    }
    const uint64_t decodedInRow = std::min(rowLength, image.pixelCount - stored * rowLength);
    const int count = static_cast<int>(std::min<uint64_t>(decodedInRow, area.width));
    DrawRow(pixels_.data() + PixelOffset(area.left, screenRow),
            image.storedPixels + stored * rowLength, count);
  }
}

uint8_t* GifCanvas::RowsInPlace(const GifDecodedImage& image) {
  if (!copyStraight_ || image.interlaced || image.left != 0 || image.width != width_ ||
      image.top >= height_) {
    return nullptr;
  }
  return pixels_.data() + PixelOffset(0, image.top);
}

std::vector<uint8_t> GifCanvas::SaveArea(const GifArea& area) const {
  const size_t rowBytes = static_cast<size_t>(area.width) * static_cast<size_t>(BytesPerPixel());
  std::vector<uint8_t> saved(rowBytes * static_cast<size_t>(area.height));
  for (int y = 0; y < area.height; ++y) {
    std::memcpy(saved.data() + static_cast<size_t>(y) * rowBytes,
                pixels_.data() + PixelOffset(area.left, area.top + y), rowBytes);
  }
  return saved;
}

void GifCanvas::RestoreArea(const GifArea& area, const std::vector<uint8_t>& saved) {
  const size_t rowBytes = static_cast<size_t>(area.width) * static_cast<size_t>(BytesPerPixel());
  if (saved.size() != rowBytes * static_cast<size_t>(area.height)) {
    return;  // saved in the other pixel form; cannot happen, as the form changes only in UseTable
  }
  for (int y = 0; y < area.height; ++y) {
    std::memcpy(pixels_.data() + PixelOffset(area.left, area.top + y),
                saved.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
  }
}

void GifCanvas::ClearArea(const GifArea& area) {
  for (int y = 0; y < area.height; ++y) {
    uint8_t* row = pixels_.data() + PixelOffset(area.left, area.top + y);
    if (!trueColour_) {
      std::memset(row, backgroundSlot_, static_cast<size_t>(area.width));
      continue;
    }
    for (int x = 0; x < area.width; ++x) {
      std::memcpy(row + x * 3, &background_, 3);
    }
  }
}

ComposedGif GifCanvas::Finish() && {
  if (!started_) {
    Start({});
  }
  ComposedGif picture;
  picture.width = width_;
  picture.height = height_;
  if (trueColour_) {
    picture.rgb = std::move(pixels_);
  } else {
    picture.palette = std::move(palette_);
    picture.indices = std::move(pixels_);
  }
  return picture;
}
