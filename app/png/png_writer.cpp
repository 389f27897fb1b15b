#include "png_writer.h"

#include <spng.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "pixel_colours.h"

EPngWriteError::EPngWriteError(const std::string& fileName, std::string reason)
    : Exception("Cannot write PNG file " + fileName, std::move(reason)) {}

namespace {

struct EncoderDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using EncoderContext = std::unique_ptr<spng_ctx, EncoderDeleter>;

// Where the encoder's bytes go, and why the last write failed (0: it did not).
struct DescriptorSink {
  int descriptor = -1;
  int writeError = 0;
};

int WriteToDescriptor(spng_ctx*, void* user, void* data, size_t length) {
  auto* sink = static_cast<DescriptorSink*>(user);
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (length > 0) {
    const ssize_t written = write(sink->descriptor, bytes, length);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      sink->writeError = errno;
      return SPNG_IO_ERROR;
    }
    bytes += written;
    length -= static_cast<size_t>(written);
  }
  return 0;
}

bool IsPalettePicture(const TBitmap& bitmap) {
  const int bits = bitmap.BitsPerPixel();
  return bitmap.GetPalette() != nullptr && (bits == 1 || bits == 4 || bits == 8);
}

size_t PackedRowBytes(int width, int bitsPerPixel) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 7) / 8;
}

spng_ihdr HeaderOf(const TBitmap& bitmap) {
  spng_ihdr header{};
  header.width = static_cast<uint32_t>(bitmap.GetWidth());
  header.height = static_cast<uint32_t>(bitmap.GetHeight());
  if (IsPalettePicture(bitmap)) {
    header.bit_depth = static_cast<uint8_t>(bitmap.BitsPerPixel());
    header.color_type = SPNG_COLOR_TYPE_INDEXED;
  } else {
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  }
  return header;
}

// The colour table padded with black to every value of the depth: the bitmap shows a pixel
// beyond its table as black, and a PNG decoder refuses an index beyond PLTE.
spng_plte PaletteOf(const TBitmap& bitmap) {
  spng_plte palette{};
  palette.n_entries = 1u << bitmap.BitsPerPixel();
  const std::vector<PALETTEENTRY>& entries = bitmap.GetPalette()->Entries();
  for (size_t i = 0; i < entries.size() && i < palette.n_entries; ++i) {
    palette.entries[i].red = entries[i].peRed;
    palette.entries[i].green = entries[i].peGreen;
    palette.entries[i].blue = entries[i].peBlue;
  }
  return palette;
}

// Turns bitmap rows into PNG rows: indexed rows keep their packing (both formats put the
// leftmost pixel in the most significant bits); every other layout goes through the bitmap's
// own colours into red, green, blue bytes.
class PngRowMaker {
 public:
  explicit PngRowMaker(const TBitmap& bitmap)
      : bitmap_(bitmap),
        palette_(IsPalettePicture(bitmap)),
        row_(palette_ ? PackedRowBytes(bitmap.GetWidth(), bitmap.BitsPerPixel())
                      : static_cast<size_t>(bitmap.GetWidth()) * 3),
        colours_(palette_ ? 0 : static_cast<size_t>(bitmap.GetWidth())) {}

  const std::vector<uint8_t>& Make(int row) {
    if (palette_)
      CopyIndexedRow(row);
    else
      PackColourRow(row);
    return row_;
  }

 private:
  void CopyIndexedRow(int row) {
    std::memcpy(row_.data(), bitmap_.RowData(row), row_.size());
    // Bits past the last pixel are whatever the bitmap holds; clear them so equal pictures
    // give equal files.
    const int usedBits =
        static_cast<int>((static_cast<size_t>(bitmap_.GetWidth()) * bitmap_.BitsPerPixel()) % 8);
    if (usedBits != 0)
      row_.back() &= static_cast<uint8_t>(0xFF << (8 - usedBits));
  }

  void PackColourRow(int row) {
    ConvertRowToXrgb32(bitmap_, row, colours_.data());
    uint8_t* out = row_.data();
    for (const uint32_t colour : colours_) {
      *out++ = static_cast<uint8_t>(colour >> 16);
      *out++ = static_cast<uint8_t>(colour >> 8);
      *out++ = static_cast<uint8_t>(colour);
    }
  }

  const TBitmap& bitmap_;
  const bool palette_;
  std::vector<uint8_t> row_;
  std::vector<uint32_t> colours_;
};

std::string LowerFirst(std::string text) {
  if (!text.empty())
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

// The reason for a failed encoder step: the system's when a write failed, else the encoder's.
std::string FailureReason(int code, const DescriptorSink& sink) {
  if (sink.writeError != 0)
    return "The file could not be written: " + LowerFirst(std::strerror(sink.writeError)) + ".";
  return std::string("The PNG encoder failed: ") + spng_strerror(code) + ".";
}

}  // namespace

void WritePngToDescriptor(const TBitmap& bitmap, int descriptor, const std::string& fileName) {
  if (bitmap.Empty())
    throw EPngWriteError(fileName,
                         "The picture is empty, and a PNG file cannot hold an empty "
                         "picture.");
  EncoderContext context(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!context)
    throw EPngWriteError(fileName, "There is not enough memory for the PNG encoder.");
  DescriptorSink sink{descriptor, 0};
  spng_ihdr header = HeaderOf(bitmap);
  int code = spng_set_png_stream(context.get(), WriteToDescriptor, &sink);
  if (code == 0)
    code = spng_set_ihdr(context.get(), &header);
  if (code == 0 && header.color_type == SPNG_COLOR_TYPE_INDEXED) {
    spng_plte palette = PaletteOf(bitmap);
    code = spng_set_plte(context.get(), &palette);
  }
  if (code == 0)
    code = spng_encode_image(context.get(), nullptr, 0, SPNG_FMT_PNG,
                             SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
  PngRowMaker rows(bitmap);
  for (int row = 0; code == 0 && row < bitmap.GetHeight(); ++row) {
    const std::vector<uint8_t>& pngRow = rows.Make(row);
    code = spng_encode_row(context.get(), pngRow.data(), pngRow.size());
  }
  if (code != 0 && code != SPNG_EOI)
    throw EPngWriteError(fileName, FailureReason(code, sink));
}
