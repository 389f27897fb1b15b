// qavenc: encodes a Windows bitmap as a QAV file.
//
//   qavenc [options] INPUT.bmp OUTPUT.qav
//
// Any bitmap format is taken; its colours are brought to what the storage method stores.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bitmap.h"
#include "fractal_decoder.h"
#include "fractal_encoder.h"
#include "graphic_errors.h"
#include "pixel_colours.h"
#include "qav_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: qavenc [options] INPUT.bmp OUTPUT.qav\n"
    "  --method 0|1|2          storage method (default 2)\n"
    "                          0 run-length palette rows, 1 Huffman palette pixels,\n"
    "                          2 fractal true colour\n"
    "  --bits 8|1              method 0: 8 bits a pixel (default) or 1 bit\n"
    "  --packed                method 1: run-length pack the Huffman bit stream\n"
    "  --block-size-code 0..3  method 2: range blocks of 4, 8, 16 or 32 pixels (default 1)\n"
    "  --iterations N          method 2: decoding passes stored in the file (default 16;\n"
    "                          0 makes the reader use 8)\n"
    "  --domain-method 0|1|2   method 2: domain indices raw, run-length or Huffman (default 2)\n"
    "  --offset-method 0|1|2   method 2: colour offsets raw, run-length or Huffman (default 2)\n"
    "  --help                  this text\n";

struct Options {
  int method = 2;
  int bits = 8;
  bool packed = false;
  int blockSizeCode = 1;
  long iterations = 16;
  int domainMethod = 2;
  int offsetMethod = 2;
  std::string input;
  std::string output;
};

bool ParseNumber(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high)
    return false;
  *value = parsed;
  return true;
}

// Returns 0 to go on, 1 after --help, 2 on a usage error.
int ParseOptions(int argc, char** argv, Options* options) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      std::fputs(kUsage, stdout);
      return 1;
    }
    if (argument == "--packed") {
      options->packed = true;
      continue;
    }
    struct Numeric {
      const char* name;
      long low;
      long high;
      long* value;
    };
    long method = options->method, bits = options->bits, code = options->blockSizeCode,
         domain = options->domainMethod, offset = options->offsetMethod;
    const Numeric numerics[] = {
        {"--method", 0, 2, &method},        {"--bits", 1, 8, &bits},
        {"--block-size-code", 0, 3, &code}, {"--iterations", 0, 0xFFFFFFFFL, &options->iterations},
        {"--domain-method", 0, 2, &domain}, {"--offset-method", 0, 2, &offset},
    };
    const Numeric* matched = nullptr;
    for (const Numeric& numeric : numerics) {
      if (argument == numeric.name)
        matched = &numeric;
    }
    if (matched != nullptr) {
      if (i + 1 >= argc || !ParseNumber(argv[i + 1], matched->low, matched->high, matched->value) ||
          (matched->value == &bits && bits != 1 && bits != 8)) {
        std::fprintf(stderr, "qavenc: %s needs a value in its range\n%s", matched->name, kUsage);
        return 2;
      }
      ++i;
      options->method = static_cast<int>(method);
      options->bits = static_cast<int>(bits);
      options->blockSizeCode = static_cast<int>(code);
      options->domainMethod = static_cast<int>(domain);
      options->offsetMethod = static_cast<int>(offset);
      continue;
    }
    if (argument.rfind("--", 0) == 0) {
      std::fprintf(stderr, "qavenc: unknown option %s\n%s", argument.c_str(), kUsage);
      return 2;
    }
    files.push_back(argument);
  }
  if (files.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  options->input = files[0];
  options->output = files[1];
  return 0;
}

// The picture's colours as 0x00RRGGBB words, top row first.
std::vector<uint32_t> ColoursTopDown(const TBitmap& bitmap) {
  const int width = bitmap.GetWidth();
  std::vector<uint32_t> colours(static_cast<size_t>(width) * bitmap.GetHeight());
  for (int row = 0; row < bitmap.GetHeight(); ++row) {
    ConvertRowToXrgb32(bitmap, row, colours.data() + static_cast<size_t>(row) * width);
  }
  for (uint32_t& colour : colours)
    colour &= 0xFFFFFF;
  return colours;
}

PALETTEENTRY EntryOf(uint32_t colour) {
  return {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
          static_cast<uint8_t>(colour), 0};
}

// Indexes the colours with at most `limit` palette entries: exactly when the picture has no
// more colours than that, else by a fixed palette (6 x 7 x 6 levels for 256 entries, black
// and white by luminance for 2).
void IndexColours(const std::vector<uint32_t>& colours, size_t limit,
                  std::vector<PALETTEENTRY>* palette, std::vector<uint8_t>* indices) {
  std::map<uint32_t, uint8_t> exact;
  for (uint32_t colour : colours) {
    if (exact.size() > limit)
      break;
    exact.emplace(colour, 0);
  }
  palette->assign(limit, PALETTEENTRY{0, 0, 0, 0});
  indices->resize(colours.size());
  if (exact.size() <= limit) {
    uint8_t next = 0;
    for (auto& [colour, index] : exact) {
      index = next;
      (*palette)[next++] = EntryOf(colour);
    }
    for (size_t i = 0; i < colours.size(); ++i)
      (*indices)[i] = exact[colours[i]];
    return;
  }
  if (limit == 2) {
    (*palette)[1] = {255, 255, 255, 0};
    for (size_t i = 0; i < colours.size(); ++i) {
      const uint32_t c = colours[i];
      const int luminance =
          (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF)) / 1000;
      (*indices)[i] = luminance >= 128 ? 1 : 0;
    }
    return;
  }
  static constexpr int kLevels[3] = {6, 7, 6};  // red, green, blue
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 7; ++g) {
      for (int b = 0; b < 6; ++b) {
        (*palette)[(r * 7 + g) * 6 + b] = {static_cast<uint8_t>(r * 255 / 5),
                                           static_cast<uint8_t>(g * 255 / 6),
                                           static_cast<uint8_t>(b * 255 / 5), 0};
      }
    }
  }
  auto level = [](uint32_t value, int levels) {
    return static_cast<int>((value * (levels - 1) + 127) / 255);
  };
  for (size_t i = 0; i < colours.size(); ++i) {
    const uint32_t c = colours[i];
    (*indices)[i] = static_cast<uint8_t>(
        (level((c >> 16) & 0xFF, kLevels[0]) * 7 + level((c >> 8) & 0xFF, kLevels[1])) * 6 +
        level(c & 0xFF, kLevels[2]));
  }
}

// The stored rows of a palette picture: bottom row first, 8 or 1 bits a pixel.
QavPaletteImage PaletteImageOf(const TBitmap& bitmap, int bits) {
  QavPaletteImage image;
  image.width = bitmap.GetWidth();
  image.height = bitmap.GetHeight();
  std::vector<uint8_t> indices;
  IndexColours(ColoursTopDown(bitmap), bits == 1 ? 2 : 256, &image.palette, &indices);
  const size_t width = static_cast<size_t>(image.width);
  const size_t rowBytes = bits == 1 ? (width + 7) / 8 : width;
  image.rows.assign(rowBytes * image.height, 0);
  for (int stored = 0; stored < image.height; ++stored) {
    const uint8_t* source = indices.data() + (image.height - 1 - stored) * width;
    uint8_t* row = image.rows.data() + stored * rowBytes;
    for (size_t x = 0; x < width; ++x) {
      if (bits == 1) {
        row[x / 8] |= static_cast<uint8_t>(source[x] << (7 - x % 8));
      } else {
        row[x] = source[x];
      }
    }
  }
  return image;
}

// The picture as colour words in the decoder's order: row 0 is the bottom row.
ColourWordImage ColourWordsOf(const TBitmap& bitmap) {
  ColourWordImage image{bitmap.GetWidth(), bitmap.GetHeight(), {}};
  const std::vector<uint32_t> topDown = ColoursTopDown(bitmap);
  const size_t width = static_cast<size_t>(image.width);
  image.words.resize(topDown.size());
  for (int row = 0; row < image.height; ++row) {
    std::copy_n(topDown.begin() + (image.height - 1 - row) * width, width,
                image.words.begin() + row * width);
  }
  return image;
}

// Decodes the parameters again and reports how close the result comes to the picture.
void ReportFractalFit(const ColourWordImage& picture, const FractalParameters& parameters,
                      uint32_t storedIterations, double seconds) {
  // Beyond a few dozen passes the decode no longer changes; the check needs no more.
  const int iterations =
      storedIterations == 0 ? 8 : static_cast<int>(std::min<uint32_t>(storedIterations, 64));
  ColourWordImage decoded;
  if (!DecodeFractalParameters(parameters, picture.width, picture.height, iterations, &decoded)) {
    std::fprintf(stderr, "qavenc: the encoded parameters do not decode\n");
    return;
  }
  std::printf(
      "qavenc: %dx%d, block side %d, %zu blocks, encoded in %.2f s, "
      "PSNR %.2f dB after %d passes\n",
      picture.width, picture.height, BlockSideFromCode(parameters.blockSizeCode),
      parameters.transforms.size(), seconds, ColourPsnr(picture, decoded), iterations);
}

std::vector<uint8_t> EncodeFractalFile(const TBitmap& bitmap, const Options& options,
                                       bool* failed) {
  const ColourWordImage picture = ColourWordsOf(bitmap);
  FractalEncodeOptions encodeOptions;
  encodeOptions.blockSizeCode = options.blockSizeCode;
  FractalParameters parameters;
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  if (!EncodeFractal(picture, encodeOptions, &parameters, &error)) {
    std::fprintf(stderr, "qavenc: %s: %s\n", options.input.c_str(), error.c_str());
    *failed = true;
    return {};
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto iterations = static_cast<uint32_t>(options.iterations);
  ReportFractalFit(picture, parameters, iterations, seconds);
  return WriteFractalQav(picture.width, picture.height, parameters,
                         {iterations, static_cast<uint8_t>(options.domainMethod),
                          static_cast<uint8_t>(options.offsetMethod)});
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, &options);
  if (parsed != 0)
    return parsed == 1 ? 0 : 2;
  TBitmap bitmap;
  try {
    bitmap.LoadFromBitmapFile(options.input);
  } catch (const Exception& error) {
    std::fprintf(stderr, "qavenc: %s%s%s\n", error.what(), error.Detail().empty() ? "" : ": ",
                 error.Detail().c_str());
    return 1;
  }
  if (bitmap.Empty() || bitmap.GetWidth() > 32767 || bitmap.GetHeight() > 32767) {
    std::fprintf(stderr, "qavenc: %s: a QAV file holds 1 to 32767 pixels a side\n",
                 options.input.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  bool failed = false;
  switch (options.method) {
    case 0:
      bytes = WriteRunLengthQav(PaletteImageOf(bitmap, options.bits));
      break;
    case 1:
      bytes = WriteHuffmanQav(PaletteImageOf(bitmap, 8), options.packed);
      break;
    default:
      bytes = EncodeFractalFile(bitmap, options, &failed);
      break;
  }
  if (failed)
    return 1;
  if (!WriteBytesToFile(options.output, bytes)) {
    std::fprintf(stderr, "qavenc: cannot write %s\n", options.output.c_str());
    return 1;
  }
  return 0;
}
