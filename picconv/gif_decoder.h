#pragma once
// Decoding of the first frame of a GIF file, composed onto its logical screen.
//
// The choices this decoder makes where the format leaves room:
// - Only the first frame of an animated file is taken; later frames are not read.
// - The frame is drawn at its offset on the logical screen and clipped to it. Screen pixels
//   that the frame does not cover, and pixels of the frame's transparent colour, take the
//   background colour: the global colour table's entry at the screen's background index, or
//   black when there is no global table or the index lies outside it.
// - A logical screen of width or height 0 takes the extent of the first frame instead.
// - A pixel value outside the frame's colour table makes the file invalid.
// - A file that ends before the first frame is complete is invalid: no partial picture.
// - The result is a palette image when its colours fit one table of at most 256 entries (the
//   frame's table, with the background colour added when it is used and not in it), else a
//   true-colour image.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct GifRgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const GifRgb&) const = default;
};

// The composed first frame. Rows run top-down; row 0 is the top of the picture.
struct ComposedGif {
  int width = 0;
  int height = 0;
  // Palette form: palette holds at most 256 colours and indices one byte a pixel.
  std::vector<GifRgb> palette;
  std::vector<uint8_t> indices;
  // True-colour form (palette empty): three bytes a pixel, red, green, blue.
  std::vector<uint8_t> rgb;

  bool IsPaletted() const { return !palette.empty(); }
  GifRgb PixelAt(int x, int y) const;
};

// Why a file was refused; the code is stable, the message is for people.
enum class GifDecodeStatus {
  kNotGif,             // no GIF signature or screen descriptor
  kTruncated,          // the data ends before the first frame is complete
  kNoImage,            // the file ends without any frame
  kNoColourTable,      // the first frame has neither a local nor a global colour table
  kScreenTooLarge,     // the logical screen exceeds the decoder's limit
  kPixelOutsideTable,  // a pixel value has no entry in the colour table
  kCorrupt,            // any other fault giflib reports
};

class GifDecodeError : public std::runtime_error {
 public:
  GifDecodeError(GifDecodeStatus status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  GifDecodeStatus Status() const { return status_; }

 private:
  GifDecodeStatus status_;
};

struct GifDecodeLimits {
  // Bounds the picture allocated for the logical screen (64 Mi pixels by default, so a
  // 24-bit result stays below 200 MB); GIF sizes go up to 65535 x 65535.
  uint64_t maxScreenPixels = uint64_t{1} << 26;
};

// The picture rows in the order a frame stores them: top to bottom, or the four passes of an
// interlaced frame (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
std::vector<int> GifStoredRowOrder(int height, bool interlaced);

// Decodes the first frame of the GIF file held in data[0, size). Throws GifDecodeError.
ComposedGif DecodeGifFirstFrame(const uint8_t* data, size_t size, GifDecodeLimits limits = {});
