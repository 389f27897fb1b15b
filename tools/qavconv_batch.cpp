#include "qavconv_batch.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "parallel_for.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kProgressRedrawInterval = std::chrono::milliseconds(200);

// Everything the workers write to stderr goes through here, so failure lines and the progress
// line never cut into each other.
class TProgress {
 public:
  TProgress(size_t total, bool shown) : total_(total), shown_(shown), start_(Clock::now()) {}

  void FileDone(const std::string& failureLine) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    if (!failureLine.empty()) {
      ++failed_;
      ClearLine();
      std::fprintf(stderr, "%s\n", failureLine.c_str());
    }
    Draw();
    if (done_ == total_)
      allDone_.notify_all();
  }

  // Redraws the line now and then, for the time spent, until every file is done.
  void WaitForAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (done_ < total_) {
      allDone_.wait_for(lock, kProgressRedrawInterval);
      Draw();
    }
    if (shown_)
      std::fputc('\n', stderr);
  }

  bool AnyFailed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_ > 0;
  }

 private:
  void ClearLine() const {
    if (shown_)
      std::fputs("\r\033[K", stderr);
  }

  void Draw() const {
    if (!shown_)
      return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    ClearLine();
    std::fprintf(stderr, "qavconv: %zu/%zu files, %zu failed, %.1f s", done_, total_, failed_,
                 seconds);
    std::fflush(stderr);
  }

  mutable std::mutex mutex_;
  std::condition_variable allDone_;
  const size_t total_;
  const bool shown_;
  const Clock::time_point start_;
  size_t done_ = 0;
  size_t failed_ = 0;
};

// Converts one file; empty on success, else the line that tells of the failure.
std::string ConvertReportingFailure(const QavconvCommand& command, size_t index,
                                    THandOverFolder& handOver) {
  const std::string& input = command.inputs[index];
  try {
    ConvertFile(input, command.outputs[index], OutputFormatForName(command.outputs[index]),
                command.conversion, handOver);
    return {};
  } catch (const Exception& error) {
    return OneLineMessage(input, error.what(), error.Detail());
  } catch (const std::bad_alloc&) {
    return OneLineMessage(input, "Cannot convert " + input, "There is not enough memory for it.");
  } catch (const std::exception& error) {
    return OneLineMessage(input, "Cannot convert " + input, error.what());
  }
}

// One worker: takes the next file not yet taken until none is left, so at most one file a
// worker is in memory at a time.
void ConvertUntilNoneLeft(const QavconvCommand& command, std::atomic<size_t>& nextIndex,
                          TProgress& progress) {
  THandOverFolder handOver;
  for (size_t index = nextIndex++; index < command.inputs.size(); index = nextIndex++)
    progress.FileDone(ConvertReportingFailure(command, index, handOver));
}

bool MakeOutputFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "Cannot create folder %s. %s.\n", folder.c_str(), error.message().c_str());
    return false;
  }
  return true;
}

}  // namespace

int RunBatch(const QavconvCommand& command, unsigned jobs) {
  if (!MakeOutputFolder(command.outputFolder))
    return 1;
  const size_t workerCount = std::min<size_t>(jobs, command.inputs.size());
  // Files are the unit of parallel work; the decoders' own loops stay on their worker's
  // thread, so N jobs use N cores. One file alone may use them for its decode.
  SetParallelThreadCount(command.inputs.size() > 1 ? 1 : jobs);
  TProgress progress(command.inputs.size(), !command.quiet && isatty(STDERR_FILENO));
  std::atomic<size_t> nextIndex{0};
  std::vector<std::thread> workers;
  try {
    for (size_t i = 0; i < workerCount; ++i)
      workers.emplace_back(ConvertUntilNoneLeft, std::cref(command), std::ref(nextIndex),
                           std::ref(progress));
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those started (or this one) take every file.
    if (workers.empty())
      ConvertUntilNoneLeft(command, nextIndex, progress);
  }
  progress.WaitForAll();
  for (std::thread& worker : workers)
    worker.join();
  return progress.AnyFailed() ? 1 : 0;
}
