#pragma once
// Decoding of the picture a GIF file shows, composed on its logical screen.
//
// The choices this decoder makes where the format leaves room:
// - The picture is the screen after every image up to and including the first one whose
//   graphic control extension has a non-zero delay (the first still of an animation); when no
//   image has a delay, after all of them. Later images are not read. Between images each
//   image's disposal method is applied: restore to background clears its area to the
//   background, restore to previous puts back the screen as it was before the image.
// - Images are drawn at their offset and clipped to the screen. Screen pixels that no image
//   covers take the background colour: the global colour table's entry at the screen's
//   background index, or black when there is no global table or the index lies outside it.
//   A transparent pixel, or a pixel value outside its image's colour table, leaves the screen
//   as it was, as browsers do.
// - A logical screen of width or height 0 takes the extent of the first image with pixels.
// - A file with a trailer and no image shows the empty screen; one that ends before its first
//   image without a trailer is cut short and refused.
// - A file whose images together would take more than GifDecodeLimits::maxPixelWork shows
//   the picture as it stands after the last image within that work.
// - A damaged file (a missing end code, missing pixels, codes past the table, the file cut
//   short) shows what was decoded, the rest as uncovered pixels, once at least one row of an
//   image has been decoded; before that it is refused.
// - The result is a palette image while its colours fit one table of at most 256 entries,
//   else a true-colour image.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "bitmap_limits.h"

struct GifRgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const GifRgb&) const = default;
};

// The composed picture. Rows run top-down; row 0 is the top of the picture.
struct ComposedGif {
  int width = 0;
  int height = 0;
  // Palette form: palette holds at most 256 colours and indices one byte a pixel.
  std::vector<GifRgb> palette;
  std::vector<uint8_t> indices;
  // True-colour form (palette empty): three bytes a pixel, red, green, blue.
  std::vector<uint8_t> rgb;
  // How many image pixels the LZW decoding produced, clipped ones included: the work done.
  uint64_t decodedPixels = 0;

  bool IsPaletted() const { return !palette.empty(); }
  GifRgb PixelAt(int x, int y) const;
};

// Why a file was refused. The codes are stable; the words for people are made by the program.
enum class GifDecodeStatus {
  kNotGif,          // no GIF signature; first: the file's size
  kTruncated,       // the file ends inside a block; first: the GifPlace
  kNothingToShow,   // a screen of no pixels and no image with pixels
  kScreenTooLarge,  // first x second pixels exceed the bound
  kImageTooLarge,   // an image of first x second pixels exceeds the bound
  kNoColourTable,   // an image has neither a local nor a global colour table
  kBadLzwCodeSize,  // first: the image's minimum code size
  kBadLzwCode,      // the image data holds a code that is not in the table
  kNoPixelRow,      // the image data ends before one row of pixels is complete
};

// Where in the file a truncation was found.
enum class GifPlace {
  kScreenDescriptor,
  kGlobalTable,
  kExtension,
  kImageDescriptor,
  kLocalTable,
  kPixelData,
  kBeforeFirstImage,  // after the last whole block, with no image and no trailer
};

class GifDecodeError : public std::exception {
 public:
  GifDecodeError(GifDecodeStatus status, int imageNumber, int64_t first, int64_t second)
      : status_(status), imageNumber_(imageNumber), first_(first), second_(second) {}
  GifDecodeStatus Status() const { return status_; }
  // The image the fault lies in, counted from 1; 0 for the file's header.
  int ImageNumber() const { return imageNumber_; }
  int64_t First() const { return first_; }
  int64_t Second() const { return second_; }
  const char* what() const noexcept override { return "the GIF file cannot be decoded"; }

 private:
  GifDecodeStatus status_;
  int imageNumber_;
  int64_t first_;
  int64_t second_;
};

struct GifDecodeLimits {
  // Bounds the logical screen and each image: the limit every reader keeps; GIF sizes go up
  // to 65535 x 65535.
  uint64_t maxPixels = kMaxImagePixels;
  // Bounds the pixels decoded, drawn, saved and restored for all images together, about a
  // second of work. Past it the images that are left are not drawn: a small file can hold
  // many thousands of images as large as the screen, each with next to no data.
  uint64_t maxPixelWork = uint64_t{1} << 30;
};

// Decodes the picture of the GIF file held in data[0, size). Throws GifDecodeError.
ComposedGif DecodeGifPicture(const uint8_t* data, size_t size, GifDecodeLimits limits = {});
