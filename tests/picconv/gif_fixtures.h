#pragma once
// Test set-up for the GIF converter: GIF files written with giflib's encoder from a
// description, ImageMagick's rendering of a file as the reference, and a scratch working
// directory.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gif_decoder.h"
#include "gif_rows.h"

struct GifFrameLayout {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  std::vector<GifRgb> localTable;  // empty: the frame uses the global table
  int transparentIndex = -1;       // -1: no graphics control extension
  std::vector<uint8_t> pixels;     // width * height colour indices, top row first
};

struct GifFileLayout {
  int screenWidth = 0;
  int screenHeight = 0;
  std::vector<GifRgb> globalTable;  // empty: no global table
  int backgroundIndex = 0;
  std::vector<GifFrameLayout> frames;
};

// A table of n distinct colours.
std::vector<GifRgb> DistinctColours(int n, int seed);
// A frame covering w x h at (left, top) with pixel value (x * 7 + y * 3 + seed) % colours.
GifFrameLayout PatternFrame(int left, int top, int w, int h, int colours, int seed);

std::vector<uint8_t> EncodeGif(const GifFileLayout& layout);
// The global table's colour at the screen's background index (black without one).
GifRgb GifBackgroundColour(const std::vector<uint8_t>& gif);

// What ImageMagick shows as the given frame of the animation (counted from 0), with the
// frames before it composed under it, on a transparent screen: 4 bytes a pixel, red, green,
// blue, alpha. Empty when ImageMagick fails.
std::vector<uint8_t> ImageMagickFrameRgba(const std::filesystem::path& gifFile, int frame);

void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& file);

// A fresh directory that is the working directory for the fixture's life.
class ScratchWorkingDirectory {
 public:
  ScratchWorkingDirectory();
  ~ScratchWorkingDirectory();
  ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
  ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};
