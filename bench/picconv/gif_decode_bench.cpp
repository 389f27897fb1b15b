// The GIF decoder in the process, against giflib on the same bytes: a large picture (ImageMagick's
// 2048 x 2048 plasma of 256 colours), a stream of nothing but clear codes, and the hostile
// frames that a small file can declare. Pixels per second count the picture's pixels; bytes
// per second count the file's bytes.

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gif_crafting.h"
#include "gif_decoder.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> LargePlasmaGif() {
  static const std::vector<uint8_t> bytes = [] {
    std::string folder = (fs::temp_directory_path() / "gif-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    const fs::path file = fs::path(folder) / "large.gif";
    const std::string make =
        "/usr/bin/convert -seed 7 -size 2048x2048 plasma:fractal -colors 256 '" + file.string() +
        "'";
    if (std::system(make.c_str()) != 0) {
      std::fprintf(stderr, "cannot make the benchmark GIF\n");
      std::exit(1);
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> read{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove_all(folder);
    return read;
  }();
  return bytes;
}

const std::vector<GifRgb> kFourColours = {kBlack, kRed, kGreen, kBlue};

// About the given number of bytes of clear codes (3 bits each), then one row of 3 pixels.
std::vector<uint8_t> ClearCodeFlood(size_t bytes) {
  CraftedImage image;
  image.width = 3;
  image.height = 1;
  image.codes.assign(bytes * 8 / 3, ClearCode(2));
  image.codes.insert(image.codes.end(), {1, 2, 3, EndCode(2)});
  return CraftedGif(3, 1, kFourColours).Image(image).Trailer().File();
}

// A 1 x 1 screen with one flat side x side frame.
std::vector<uint8_t> FlatFrameOnOnePixel(int side) {
  CraftedImage image;
  image.width = side;
  image.height = side;
  image.codes = FlatRunCodes(static_cast<uint64_t>(side) * static_cast<uint64_t>(side), 1, 2);
  return CraftedGif(1, 1, kFourColours).Image(image).Trailer().File();
}

const std::vector<uint8_t>& Input(int which) {
  static const std::vector<uint8_t> inputs[] = {LargePlasmaGif(), ClearCodeFlood(4 << 20),
                                                ClearCodeFlood(20 << 20), FlatFrameOnOnePixel(8000),
                                                FlatFrameOnOnePixel(65535)};
  return inputs[which];
}

const char* const kInputNames[] = {"plasma_2048", "clear_codes_4MB", "clear_codes_20MB",
                                   "flat_8000_on_1x1", "flat_65535_on_1x1"};

void Count(benchmark::State& state, const std::vector<uint8_t>& gif, uint64_t pixels) {
  state.SetLabel(kInputNames[state.range(0)]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gif.size()));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pixels));
}

void BM_OurDecoder(benchmark::State& state) {
  const std::vector<uint8_t>& gif = Input(static_cast<int>(state.range(0)));
  uint64_t pixels = 0;
  for (auto _ : state) {
    try {
      const ComposedGif picture = DecodeGifPicture(gif.data(), gif.size());
      pixels = static_cast<uint64_t>(picture.width) * static_cast<uint64_t>(picture.height);
      benchmark::DoNotOptimize(picture.indices.data());
    } catch (const GifDecodeError& error) {
      // Only the frame over the pixel bound is refused; the time to refuse is the figure.
      if (error.Status() != GifDecodeStatus::kImageTooLarge) {
        state.SkipWithError("the decoder refused the file");
        return;
      }
    }
  }
  Count(state, gif, pixels);
}

struct ByteSource {
  const std::vector<uint8_t>* bytes;
  size_t position = 0;
};

int ReadFromSource(GifFileType* gif, GifByteType* data, int size) {
  auto* source = static_cast<ByteSource*>(gif->UserData);
  const size_t count =
      std::min(static_cast<size_t>(size), source->bytes->size() - source->position);
  std::memcpy(data, source->bytes->data() + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

// giflib's decoding of every image's pixels, which is what it did for picconv before.
void BM_Giflib(benchmark::State& state) {
  const std::vector<uint8_t>& gif = Input(static_cast<int>(state.range(0)));
  uint64_t pixels = 0;
  for (auto _ : state) {
    ByteSource source{&gif};
    int error = 0;
    GifFileType* file = DGifOpen(&source, ReadFromSource, &error);
    if (file == nullptr || DGifSlurp(file) != GIF_OK) {
      state.SkipWithError("giflib refused the file");
      DGifCloseFile(file, &error);
      return;
    }
    pixels = static_cast<uint64_t>(file->SWidth) * static_cast<uint64_t>(file->SHeight);
    benchmark::DoNotOptimize(file->SavedImages[0].RasterBits);
    DGifCloseFile(file, &error);
  }
  Count(state, gif, pixels);
}

BENCHMARK(BM_OurDecoder)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
// giflib takes seconds on the 20 MB flood and the 65535-pixel frame; the 4 MB flood and the
// 8000-pixel frame show its rate.
BENCHMARK(BM_Giflib)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
