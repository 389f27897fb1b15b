#pragma once
// The logical screen while images are drawn onto it. It starts as one palette index a pixel,
// with the palette taken from the first image's colour table; when a later image brings
// colours that do not fit 256 entries, it turns into three bytes a pixel and stays so.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "gif_decoder.h"

// A rectangle of the screen, already clipped to it.
struct GifArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The decoded pixels of one image, in the order the image stores its rows.
struct GifDecodedImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  const uint8_t* storedPixels = nullptr;
  uint64_t pixelCount = 0;  // may end inside a row, or before the last row
};

class GifCanvas {
 public:
  GifCanvas(int width, int height, GifRgb background);

  GifArea Clip(int left, int top, int width, int height) const;

  // Makes ready to draw an image with this colour table and transparent index (-1: none).
  void UseTable(std::span<const GifRgb> table, int transparentIndex);
  // Draws the decoded pixels through the table given last to UseTable.
  void Draw(const GifDecodedImage& image);
  // Where the image's stored rows can be decoded straight into the screen, or nullptr: so
  // they can when each value is its own slot and the rows lie side by side on the screen
  // (the image as wide as the screen at its left edge, not interlaced).
  uint8_t* RowsInPlace(const GifDecodedImage& image);

  std::vector<uint8_t> SaveArea(const GifArea& area) const;
  void RestoreArea(const GifArea& area, const std::vector<uint8_t>& saved);
  void ClearArea(const GifArea& area);

  ComposedGif Finish() &&;

 private:
  static constexpr int16_t kLeave = -1;  // a value that leaves the screen pixel as it was

  void Start(std::span<const GifRgb> firstTable);
  static uint32_t Key(GifRgb colour) {
    return uint32_t{colour.red} << 16 | uint32_t{colour.green} << 8 | colour.blue;
  }
  int FindOrAddColour(GifRgb colour, size_t likelySlot);
  void TurnIntoTrueColour();
  int BytesPerPixel() const { return trueColour_ ? 3 : 1; }
  size_t PixelOffset(int x, int y) const;
  void DrawRow(uint8_t* target, const uint8_t* source, int count) const;

  int width_;
  int height_;
  GifRgb background_;
  bool started_ = false;
  bool trueColour_ = false;
  std::vector<GifRgb> palette_;
  // Each colour's first slot, so that mapping a table costs the same for every palette: a
  // file of many images with tables of their own is read in time linear in its size.
  std::unordered_map<uint32_t, uint8_t> slotOfColour_;
  int backgroundSlot_ = 0;
  std::vector<uint8_t> pixels_;  // one index, or red, green, blue, a pixel; rows top-down
  // For the image being drawn: each pixel value's palette slot, or its colour when the
  // canvas is true colour; kLeave where the pixel is transparent or outside the table.
  std::array<int16_t, 256> slotOfValue_{};
  std::array<GifRgb, 256> colourOfValue_{};
  bool copyStraight_ = false;  // every value is its own slot: rows are copied as they are
};
