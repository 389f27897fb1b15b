// One 2048 x 2048 fractal file (8-pixel blocks, 8 passes, Huffman coded parameters), decoded
// from memory three ways in one run: by the codec alone (ReadQAVBytes, what qavconv and the
// viewer run), through QImageReader with the built Qt plugin, and through a gdk-pixbuf loader
// with the built module. The plugins may add one copy of the pixels to the codec's work.

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <random>
#include <string>
#include <vector>

#include "fractal_decoder.h"
#include "qav_reader.h"
#include "qav_writer.h"

namespace {

constexpr int kSide = 2048;
constexpr int kBlockSizeCode = 1;  // 8-pixel blocks

// Parameters of a plausible picture: random maps, offsets of a smooth photograph's size.
std::vector<uint8_t> MakeFractalFile() {
  FractalGeometry geometry;
  ComputeFractalGeometry(kBlockSizeCode, kSide, kSide, &geometry);
  std::mt19937 random(1);
  FractalParameters parameters;
  parameters.blockSizeCode = kBlockSizeCode;
  parameters.domainIndices.resize(static_cast<size_t>(geometry.rangeBlocks));
  parameters.transforms.resize(static_cast<size_t>(geometry.rangeBlocks));
  parameters.offsetTriples.resize(3 * static_cast<size_t>(geometry.rangeBlocks));
  for (uint16_t& index : parameters.domainIndices)
    index = static_cast<uint16_t>(random() % geometry.domainBlocks);
  for (uint8_t& transform : parameters.transforms)
    transform = static_cast<uint8_t>(random() % 9);
  for (int8_t& offset : parameters.offsetTriples)
    offset = static_cast<int8_t>(static_cast<int>(random() % 64) - 32);
  return WriteFractalQav(kSide, kSide, parameters, FractalStorage{0, 2, 2});
}

const std::vector<uint8_t>& FractalFile() {
  static const std::vector<uint8_t> bytes = MakeFractalFile();
  return bytes;
}

void ReportPixels(benchmark::State& state) {
  state.counters["Mpixel_per_s"] = benchmark::Counter(
      double(kSide) * kSide * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CodecReadQAVBytes(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = FractalFile();
  for (auto _ : state) {
    TQAV image;
    const QavStatus status = ReadQAVBytes(&image, bytes);
    if (!status.IsOk()) {
      state.SkipWithError("the codec refused the file");
      break;
    }
    benchmark::DoNotOptimize(image.bitmap->Bits());
  }
  ReportPixels(state);
}

void BM_QImageReader(benchmark::State& state) {
  const std::vector<uint8_t>& file = FractalFile();
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                             static_cast<qsizetype>(file.size()));
  for (auto _ : state) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "qav");
    const QImage image = reader.read();
    if (image.isNull()) {
      state.SkipWithError("QImageReader refused the file");
      break;
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  ReportPixels(state);
}

void BM_GdkPixbufLoader(benchmark::State& state) {
  const std::vector<uint8_t>& file = FractalFile();
  for (auto _ : state) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("qav", nullptr);
    const bool loaded =
        loader != nullptr && gdk_pixbuf_loader_write(loader, file.data(), file.size(), nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr) && gdk_pixbuf_loader_get_pixbuf(loader) != nullptr;
    if (loader != nullptr)
      g_object_unref(loader);
    if (!loaded) {
      state.SkipWithError("gdk-pixbuf refused the file");
      break;
    }
  }
  ReportPixels(state);
}

// The loaders cache for the built module only, in a file that lives while the program runs;
// its name, or empty when it cannot be made.
std::string UseOnlyTheBuiltLoader() {
  gchar* output = nullptr;
  gint exitStatus = 0;
  const gchar* argv[] = {QAV_PIXBUF_QUERY_LOADERS, QAV_PIXBUF_MODULE, nullptr};
  if (!g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr,
                    &output, nullptr, &exitStatus, nullptr)) {
    return {};
  }
  gchar* cache = nullptr;
  const gint descriptor = g_file_open_tmp("qav-loaders-XXXXXX.cache", &cache, nullptr);
  const bool written = descriptor >= 0 && g_file_set_contents(cache, output, -1, nullptr);
  if (descriptor >= 0)
    close(descriptor);
  if (written)
    setenv("GDK_PIXBUF_MODULE_FILE", cache, 1);
  const std::string name = written ? cache : "";
  g_free(output);
  g_free(cache);
  return name;
}

}  // namespace

BENCHMARK(BM_CodecReadQAVBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QImageReader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GdkPixbufLoader)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  QCoreApplication::addLibraryPath(QAV_QT_PLUGIN_DIR);
  QCoreApplication application(argc, argv);
  const std::string cache = UseOnlyTheBuiltLoader();
  if (cache.empty()) {
    std::fprintf(stderr, "cannot make a loaders cache for the built gdk-pixbuf module\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(cache.c_str());
  return 0;
}
