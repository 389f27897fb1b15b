// Opening each QAV sample as File > Open does: ReadQAVFileChecked into a fresh record (read,
// unpack and decode; the fractal samples on the decode thread).

#include <benchmark/benchmark.h>

#include <string>

#include "qav_reader.h"

namespace {

void OpenSample(benchmark::State& state, const std::string& name) {
  const std::string path = std::string(QAV_SAMPLES_DIR) + "/" + name;
  for (auto _ : state) {
    TQAV image;
    const QavStatus status = ReadQAVFileChecked(&image, path);
    if (!status.IsOk()) {
      state.SkipWithError(QavCodeName(status.Code()));
      break;
    }
    benchmark::DoNotOptimize(image.bitmap->Bits());
  }
}

}  // namespace

BENCHMARK_CAPTURE(OpenSample, rle_8bit_384x256, std::string("coffee-rle-8bit.qav"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSample, rle_1bit_300x200, std::string("chelsea-rle-1bit.qav"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSample, huffman_384x256, std::string("coffee-huffman.qav"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSample, huffman_packed_384x256, std::string("coffee-huffman-packed.qav"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSample, fractal_4px_16passes_256x256,
                  std::string("astronaut-fractal-4px.qav"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSample, fractal_8px_8passes_256x256, std::string("astronaut-fractal-8px.qav"))
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
