// Effects > Reiterate runs on the UI thread: how long the window stays unresponsive for a
// re-decode of the largest fractal sample and of a 2048 x 2048 picture, at 1, 8 and 32 passes.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "fractal_decoder.h"
#include "qav_reader.h"
#include "reiterate.h"

namespace {

// The largest fractal sample, read as File > Open reads it.
std::unique_ptr<TQAV> LargestFractalSample() {
  std::unique_ptr<TQAV> largest;
  for (const auto& entry : std::filesystem::directory_iterator(SAMPLES_DIR)) {
    if (entry.path().extension() != ".qav")
      continue;
    auto record = std::make_unique<TQAV>();
    if (!ReadQAVFileChecked(record.get(), entry.path().string()).IsOk() || record->method != 2)
      continue;
    if (!largest || record->width * record->height > largest->width * largest->height) {
      largest = std::move(record);
    }
  }
  return largest;
}

// A record of a given size with random valid parameters, as a fractal load leaves it.
std::unique_ptr<TQAV> RandomFractalRecord(int side, int blockSizeCode) {
  FractalGeometry geometry;
  ComputeFractalGeometry(blockSizeCode, side, side, &geometry);
  auto record = std::make_unique<TQAV>();
  record->method = 2;
  record->width = static_cast<int16_t>(side);
  record->height = static_cast<int16_t>(side);
  record->fractalHeader.blockSizeCode = static_cast<uint32_t>(blockSizeCode);
  record->fractalHeader.blockCount = static_cast<uint32_t>(geometry.rangeBlocks);
  const size_t blocks = geometry.rangeBlocks;
  record->domainIndices = std::make_unique<uint16_t[]>(blocks);
  record->transforms = std::make_unique<uint8_t[]>(blocks);
  record->offsets = std::make_unique<int16_t[]>(3 * blocks);
  std::mt19937 random(7);
  for (size_t k = 0; k < blocks; ++k) {
    record->domainIndices[k] = static_cast<uint16_t>(random() % geometry.domainBlocks);
    record->transforms[k] = static_cast<uint8_t>(random() % 9);
    for (int c = 0; c < 3; ++c)
      record->offsets[3 * k + c] = static_cast<int16_t>(random() % 120) - 30;
  }
  record->bitmap->SetPixelFormat(pf24bit);
  record->bitmap->SetHeight(side);
  record->bitmap->SetWidth(side);
  return record;
}

void RunReiterate(benchmark::State& state, TQAV* record) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (!Reiterate(record, count).IsOk())
      state.SkipWithError("the re-decode failed");
  }
  state.SetLabel(std::to_string(record->width) + "x" + std::to_string(record->height));
}

void BM_ReiterateLargestSample(benchmark::State& state) {
  static std::unique_ptr<TQAV> record = LargestFractalSample();
  if (!record) {
    state.SkipWithError("no fractal sample");
    return;
  }
  RunReiterate(state, record.get());
}

void BM_Reiterate2048(benchmark::State& state) {
  static std::unique_ptr<TQAV> record = RandomFractalRecord(2048, 0);
  RunReiterate(state, record.get());
}

}  // namespace

// Wall time: what the user waits for, all cores working.
BENCHMARK(BM_ReiterateLargestSample)
    ->Arg(1)
    ->Arg(8)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Reiterate2048)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
