// Whole-process time of picconv on a 2048 x 2048 GIF against ImageMagick's
// `convert x.gif x.bmp` on the same file, in the same run. Target: picconv at most 0.35 times
// ImageMagick's time.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kConvert = "/usr/bin/convert";

// A scratch folder holding a 2048 x 2048 GIF of 256 colours with fine detail, so that the
// LZW data is not trivially short.
const fs::path& Scratch() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "picconv-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    const fs::path path = pattern;
    const std::string make = std::string(kConvert) + " -seed 7 -size 2048x2048 plasma:fractal " +
                             "-colors 256 '" + (path / "large.gif").string() + "'";
    if (std::system(make.c_str()) != 0) {
      std::fprintf(stderr, "cannot make the benchmark GIF\n");
      std::exit(1);
    }
    fs::copy_file(path / "large.gif", path / "picconv.gif");
    return path;
  }();
  return folder;
}

void RunOrFail(benchmark::State& state, const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    state.SkipWithError(("failed: " + command).c_str());
  }
}

void BM_PicconvProcess(benchmark::State& state) {
  const std::string command = "cd '" + Scratch().string() + "' && '" PICCONV_PATH "'";
  for (auto _ : state) {
    RunOrFail(state, command);
  }
}

void BM_ImageMagickConvert(benchmark::State& state) {
  const std::string command =
      "cd '" + Scratch().string() + "' && " + kConvert + " large.gif large.bmp";
  for (auto _ : state) {
    RunOrFail(state, command);
  }
}

BENCHMARK(BM_PicconvProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_ImageMagickConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

// Keeps each benchmark's time per iteration so that the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") {
        continue;
      }
      secondsPerIteration[run.run_name.function_name] =
          run.real_accumulated_time / static_cast<double>(run.iterations);
    }
  }
  std::map<std::string, double> secondsPerIteration;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto picconv = reporter.secondsPerIteration.find("BM_PicconvProcess");
  const auto magick = reporter.secondsPerIteration.find("BM_ImageMagickConvert");
  if (picconv != reporter.secondsPerIteration.end() &&
      magick != reporter.secondsPerIteration.end() && magick->second > 0) {
    std::printf("picconv / ImageMagick: %.3f (target at most 0.35)\n",
                picconv->second / magick->second);
  }
  std::error_code ignored;
  fs::remove_all(Scratch(), ignored);
  benchmark::Shutdown();
  return 0;
}
