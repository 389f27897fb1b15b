// Both fractal decoders on square images, 8 passes, with a memcpy of the working image as the
// memory-bandwidth yardstick. Each case runs on one thread (/t1) and on every core (/tall).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "fractal_decoder.h"
#include "parallel_for.h"

namespace {

constexpr int kPasses = 8;

struct BenchImage {
  int code = 0;
  int16_t side = 0;
  std::vector<uint16_t> domainIndices;
  std::vector<int16_t> offsets;
  std::vector<uint8_t> transforms;
  std::vector<uint32_t> output;
};

BenchImage MakeImage(int16_t side, int blockSizeCode) {
  BenchImage image;
  image.code = blockSizeCode;
  image.side = side;
  FractalGeometry geometry;
  ComputeFractalGeometry(blockSizeCode, side, side, &geometry);
  std::mt19937 random(1);
  image.domainIndices.resize(geometry.rangeBlocks);
  image.transforms.resize(geometry.rangeBlocks);
  image.offsets.resize(3 * geometry.rangeBlocks);
  for (uint16_t& index : image.domainIndices)
    index = uint16_t(random() % geometry.domainBlocks);
  for (uint8_t& transform : image.transforms)
    transform = uint8_t(random() % 9);
  for (int16_t& offset : image.offsets)
    offset = int16_t(int(random() % 256) - 128);
  image.output.resize(size_t(side) * side);
  return image;
}

void ReportPerPixelPass(benchmark::State& state, int16_t side) {
  const double pixelPasses = double(side) * side * kPasses;
  state.counters["ns_per_pixel_pass"] =
      benchmark::Counter(pixelPasses * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

void UseThreads(bool allCores) {
  SetParallelThreadCount(allCores ? 0 : 1);
}

void DecodeFractalCase(benchmark::State& state, int16_t side, int code, bool allCores) {
  BenchImage image = MakeImage(side, code);
  UseThreads(allCores);
  for (auto _ : state) {
    const QavStatus status = DecodeFractalTableDriven(
        image.code, image.domainIndices.data(), image.offsets.data(), image.transforms.data(),
        image.transforms.size(), side, side, image.output.data(), kPasses);
    if (!status.IsOk()) {
      state.SkipWithError(QavCodeName(status.Code()));
      break;
    }
    benchmark::DoNotOptimize(image.output.data());
  }
  ReportPerPixelPass(state, side);
}

void ReiterateFractalCase(benchmark::State& state, int16_t side, int code, bool allCores) {
  BenchImage image = MakeImage(side, code);
  UseThreads(allCores);
  // The direct decoder is the one Effects > Reiterate runs.
  for (auto _ : state) {
    const QavStatus status = DecodeFractalDirect(
        image.code, image.domainIndices.data(), image.offsets.data(), image.transforms.data(),
        image.transforms.size(), side, side, image.output.data(), kPasses);
    if (!status.IsOk()) {
      state.SkipWithError(QavCodeName(status.Code()));
      break;
    }
    benchmark::DoNotOptimize(image.output.data());
  }
  ReportPerPixelPass(state, side);
}

// One copy of a working image's words: the per-pixel memory traffic of a read and a write.
void MemcpyCase(benchmark::State& state, int16_t side) {
  std::vector<uint32_t> source(size_t(side) * side, 0x7F7F7F7Fu);
  std::vector<uint32_t> target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(target.data());
  }
  state.counters["ns_per_pixel_pass"] =
      benchmark::Counter(double(side) * side * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

const bool kRegistered = [] {
  for (int16_t side : {int16_t(512), int16_t(2048), int16_t(4096)}) {
    const std::string size = std::to_string(side);
    for (auto [code, blockSide] : {std::pair{0, 4}, {1, 8}, {2, 16}}) {
      for (bool allCores : {false, true}) {
        const std::string suffix =
            "/" + size + "/n" + std::to_string(blockSide) + (allCores ? "/tall" : "/t1");
        benchmark::RegisterBenchmark(("DecodeFractal" + suffix).c_str(), DecodeFractalCase, side,
                                     code, allCores)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("ReiterateFractal" + suffix).c_str(), ReiterateFractalCase,
                                     side, code, allCores)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
      }
    }
    benchmark::RegisterBenchmark(("Memcpy/" + size).c_str(), MemcpyCase, side)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

}  // namespace
