// Load and save of a 4096 x 4096 24-bit bitmap file (48 MiB). Our bitmap keeps the file's row
// layout, so loading should cost little more than reading the file: the target is at most 3
// times the plain read. Qt's QImage loader is timed on the same file for comparison.
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "bitmap.h"
#include "large_bitmap.h"

namespace {

constexpr int kSide = 4096;

// The file all cases read, written once per run into the temporary folder.
const std::string& LargeBitmapFile() {
  static const std::string name = [] {
    const std::string path =
        (std::filesystem::temp_directory_path() / "qav_bench_4096x4096x24.bmp").string();
    TBitmap bitmap;
    MakePatternedBitmap(bitmap, kSide, kSide);
    bitmap.SaveToBitmapFile(path);
    return path;
  }();
  return name;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(LargeBitmapFile())));
}

// The floor: the whole file read into memory in one go.
void BM_PlainRead(benchmark::State& state) {
  const std::string& file = LargeBitmapFile();
  const size_t size = std::filesystem::file_size(file);
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    const size_t got = std::fread(bytes.get(), 1, size, stream);
    std::fclose(stream);
    if (got != size)
      state.SkipWithError("short read");
    benchmark::DoNotOptimize(bytes.get());
  }
  SetBytes(state);
}

void BM_TBitmapLoad(benchmark::State& state) {
  const std::string& file = LargeBitmapFile();
  for (auto _ : state) {
    TBitmap bitmap;
    bitmap.LoadFromBitmapFile(file);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  SetBytes(state);
}

void BM_TBitmapSave(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.LoadFromBitmapFile(LargeBitmapFile());
  const std::string out = (std::filesystem::temp_directory_path() / "qav_bench_saved.bmp").string();
  for (auto _ : state)
    bitmap.SaveToBitmapFile(out);
  std::filesystem::remove(out);
  SetBytes(state);
}

void BM_QImageLoad(benchmark::State& state) {
  const QString file = QString::fromStdString(LargeBitmapFile());
  for (auto _ : state) {
    QImage image(file);
    if (image.isNull())
      state.SkipWithError("QImage could not load the file");
    benchmark::DoNotOptimize(image.constBits());
  }
  SetBytes(state);
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TBitmapLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TBitmapSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QImageLoad)->Unit(benchmark::kMillisecond);

}  // namespace
