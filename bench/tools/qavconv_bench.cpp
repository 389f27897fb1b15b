// qavconv over an archive of 48 QAV files (the QAV samples, copied under new names): one
// process for the whole folder with one job and with two, against one process a file as a
// shell loop runs it. Wall time, since the work happens in child processes: files_per_second
// and time_per_file are the figures to compare. cpu_per_file is the processor time the child
// processes used for a file (user and system), which other load on the machine hardly moves.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kArchiveFiles = 48;

// Runs a program to its end; false when it could not start or did not exit with 0.
bool RunToEnd(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
    return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A folder of 48 QAV files under the temporary folder, removed at the end of the program.
class Archive {
 public:
  Archive() {
    std::string pattern = (fs::temp_directory_path() / "qavconv-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    folder_ = pattern;
    std::vector<fs::path> samples;
    for (const auto& entry : fs::directory_iterator(SAMPLES_DIR)) {
      if (entry.path().extension() == ".qav")
        samples.push_back(entry.path());
    }
    std::sort(samples.begin(), samples.end());
    for (int i = 0; i < kArchiveFiles; ++i) {
      const fs::path& sample = samples[static_cast<size_t>(i) % samples.size()];
      const fs::path copy = folder_ / (sample.stem().string() + "-" + std::to_string(i) + ".qav");
      fs::copy_file(sample, copy);
      files_.push_back(copy.string());
    }
  }
  ~Archive() { fs::remove_all(folder_); }
  const std::vector<std::string>& Files() const { return files_; }
  std::string Output() const { return (folder_ / "out").string(); }

 private:
  fs::path folder_;
  std::vector<std::string> files_;
};

const Archive& TheArchive() {
  static const Archive archive;
  return archive;
}

// Processor seconds, user and system, of the children that have ended so far.
double ChildProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void SetFileRates(benchmark::State& state, double childSeconds) {
  state.counters["files_per_second"] =
      benchmark::Counter(kArchiveFiles, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["time_per_file"] = benchmark::Counter(
      kArchiveFiles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["cpu_per_file"] =
      childSeconds / (static_cast<double>(state.iterations()) * kArchiveFiles);
}

// qavconv -q -j N -o OUT FILE...: the whole archive in one process.
void BM_FolderForm(benchmark::State& state) {
  const Archive& archive = TheArchive();
  std::vector<std::string> command = {
      QAVCONV_PATH, "-q", "-j", std::to_string(state.range(0)), "-o", archive.Output()};
  command.insert(command.end(), archive.Files().begin(), archive.Files().end());
  const double childSecondsBefore = ChildProcessorSeconds();
  for (auto _ : state) {
    if (!RunToEnd(command)) {
      state.SkipWithError("qavconv failed");
      break;
    }
  }
  SetFileRates(state, ChildProcessorSeconds() - childSecondsBefore);
}

// for f in FILE...; do qavconv $f OUT/$f.png; done: one process a file.
void BM_ProcessPerFile(benchmark::State& state) {
  const Archive& archive = TheArchive();
  fs::create_directories(archive.Output());
  std::vector<std::vector<std::string>> commands;
  for (const std::string& file : archive.Files()) {
    commands.push_back(
        {QAVCONV_PATH, file, archive.Output() + "/" + fs::path(file).stem().string() + ".png"});
  }
  const double childSecondsBefore = ChildProcessorSeconds();
  for (auto _ : state) {
    for (const std::vector<std::string>& command : commands) {
      if (!RunToEnd(command)) {
        state.SkipWithError("qavconv failed");
        return;
      }
    }
  }
  SetFileRates(state, ChildProcessorSeconds() - childSecondsBefore);
}

}  // namespace

BENCHMARK(BM_FolderForm)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessPerFile)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
