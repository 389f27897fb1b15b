#include "parallel_for.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// One loop handed to the pool. It lives on the caller's stack; the caller does not return
// before every worker that picked it up has let go of it.
struct ParallelJob {
  ParallelChunkBody body = nullptr;
  void* context = nullptr;
  size_t count = 0;
  size_t chunkSize = 0;
  size_t chunkCount = 0;
  std::atomic<size_t> nextChunk{0};
  std::atomic<size_t> chunksLeft{0};
};

void RunChunks(ParallelJob& job) {
  for (;;) {
    const size_t chunk = job.nextChunk.fetch_add(1, std::memory_order_relaxed);
    if (chunk >= job.chunkCount)
      return;
    const size_t begin = chunk * job.chunkSize;
    const size_t end = std::min(job.count, begin + job.chunkSize);
    job.body(job.context, begin, end);
    job.chunksLeft.fetch_sub(1, std::memory_order_acq_rel);
  }
}

unsigned DefaultThreadCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : std::min(cores, 64u);
}

class WorkerPool {
 public:
  ~WorkerPool() { StopWorkers(); }

  void SetThreadCount(unsigned threads) {
    std::lock_guard<std::mutex> callerLock(callerMutex_);
    StopWorkers();
    threadCount_ = threads == 0 ? DefaultThreadCount() : std::min(threads, 64u);
  }

  // Lock-free, so that a loop body may ask.
  unsigned ThreadCount() const { return threadCount_.load(std::memory_order_relaxed); }

  void Run(size_t count, size_t minChunk, ParallelChunkBody body, void* context) {
    if (count == 0)
      return;
    const size_t chunkSize = std::max<size_t>(minChunk, 1);
    std::unique_lock<std::mutex> callerLock(callerMutex_, std::try_to_lock);
    if (!callerLock.owns_lock() || threadCount_ <= 1 || count < 2 * chunkSize) {
      body(context, 0, count);
      return;
    }
    StartWorkers();
    ParallelJob job;
    job.body = body;
    job.context = context;
    job.count = count;
    // A few chunks a thread even out the load when other processes share the cores.
    const size_t maxChunks = size_t{4} * (workers_.size() + 1);
    job.chunkCount = std::min(maxChunks, (count + chunkSize - 1) / chunkSize);
    job.chunkSize = (count + job.chunkCount - 1) / job.chunkCount;
    job.chunkCount = (count + job.chunkSize - 1) / job.chunkSize;
    job.chunksLeft.store(job.chunkCount, std::memory_order_relaxed);
    {
      std::lock_guard<std::mutex> lock(stateMutex_);
      job_ = &job;
      ++generation_;
    }
    wake_.notify_all();
    RunChunks(job);
    std::unique_lock<std::mutex> lock(stateMutex_);
    done_.wait(lock, [&] {
      return job.chunksLeft.load(std::memory_order_acquire) == 0 && workersInJob_ == 0;
    });
    job_ = nullptr;
  }

 private:
  void StartWorkers() {
    while (workers_.size() + 1 < threadCount_) {
      try {
        workers_.emplace_back([this] { WorkerLoop(); });
      } catch (const std::system_error&) {
        break;  // run with the workers we could get
      }
    }
  }

  void StopWorkers() {
    {
      std::lock_guard<std::mutex> lock(stateMutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
      worker.join();
    workers_.clear();
    std::lock_guard<std::mutex> lock(stateMutex_);
    stopping_ = false;
  }

  void WorkerLoop() {
    std::unique_lock<std::mutex> lock(stateMutex_);
    size_t seenGeneration = generation_;
    for (;;) {
      wake_.wait(lock, [&] { return stopping_ || generation_ != seenGeneration; });
      if (stopping_)
        return;
      seenGeneration = generation_;
      ParallelJob* job = job_;
      if (job == nullptr)
        continue;  // woke after the caller had finished without us
      ++workersInJob_;
      lock.unlock();
      RunChunks(*job);
      lock.lock();
      --workersInJob_;
      done_.notify_all();
    }
  }

  std::mutex callerMutex_;  // one loop at a time
  std::mutex stateMutex_;   // guards everything below
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<std::thread> workers_;
  ParallelJob* job_ = nullptr;
  size_t generation_ = 0;
  unsigned workersInJob_ = 0;
  bool stopping_ = false;
  std::atomic<unsigned> threadCount_{DefaultThreadCount()};
};

WorkerPool& Pool() {
  static WorkerPool pool;
  return pool;
}

}  // namespace

void ParallelForChunks(size_t count, size_t minChunk, ParallelChunkBody body, void* context) {
  Pool().Run(count, minChunk, body, context);
}

void SetParallelThreadCount(unsigned threads) {
  Pool().SetThreadCount(threads);
}

unsigned ParallelThreadCount() {
  return Pool().ThreadCount();
}
