// The reader's bounded run-length expansion of image-like rows (long runs between stretches of
// detail) against a plain memcpy of the expanded size, the floor any expansion must pay.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_images.h"
#include "rle.h"
#include "rle_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The smooth picture with its levels coarsened to 16 grey steps, which gives runs as a
// palette image with flat areas has.
const Bytes& PosterisedImage() {
  static const Bytes image = [] {
    Bytes data = SmoothImage();
    for (uint8_t& byte : data)
      byte &= 0xF0;
    return data;
  }();
  return image;
}

void BM_RleExpand(benchmark::State& state) {
  const Bytes& data = PosterisedImage();
  const Bytes stored = RleEncode(data.data(), data.size());
  Bytes out(data.size());
  // The bounded form is the one the QAV reader runs.
  for (auto _ : state) {
    const RleOutcome outcome =
        RleExpandBounded(stored.data(), stored.size(), out.data(), out.size());
    if (!outcome.status.IsOk() || outcome.produced != data.size()) {
      state.SkipWithError("the expansion failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  if (out != data)
    state.SkipWithError("expansion differs from the data");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
  state.counters["ratio"] = double(stored.size()) / double(data.size());
}

void BM_RleMemcpyBaseline(benchmark::State& state) {
  const Bytes& data = PosterisedImage();
  Bytes out(data.size());
  for (auto _ : state) {
    std::memcpy(out.data(), data.data(), data.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

BENCHMARK(BM_RleExpand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RleMemcpyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
