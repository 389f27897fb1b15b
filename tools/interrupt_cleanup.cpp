#include "interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct Registry {
  std::mutex mutex;
  std::multimap<std::string, TRemovedOnInterrupt::Kind> paths;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

sigset_t InterruptSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

// A converter that got no signal of its own (a kill aimed at us alone) may still write its
// file while we empty its folder; a few rounds catch what it adds.
constexpr int kFolderRemovalRounds = 5;
constexpr auto kConverterGrace = std::chrono::milliseconds(20);

void RemoveHandOverFolder(const std::string& path) {
  for (int round = 0; round < kFolderRemovalRounds; ++round) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (!std::filesystem::exists(path, error))
      return;
    std::this_thread::sleep_for(kConverterGrace);
  }
}

// Removes what is registered and keeps the registry locked for good: a worker that goes on
// until the process ends then waits before it makes another temporary file or folder.
void RemoveRegisteredForGood() {
  Registry& registry = TheRegistry();
  registry.mutex.lock();
  for (const auto& [path, kind] : registry.paths) {
    std::error_code ignored;
    if (kind == TRemovedOnInterrupt::Kind::File)
      std::filesystem::remove(path, ignored);
    else
      RemoveHandOverFolder(path);
  }
}

// Waits for an interrupt, cleans up, and ends the process as the signal would have.
[[noreturn]] void TakeInterrupts(sigset_t signals) {
  int signal = 0;
  while (sigwait(&signals, &signal) != 0) {
  }
  RemoveRegisteredForGood();
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigaction(signal, &defaultAction, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);  // not reached: the default action ends the process
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
  const sigset_t signals = InterruptSignals();
  // Threads started from now on inherit the mask, so only the waiting thread takes them.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  try {
    std::thread(TakeInterrupts, signals).detach();
  } catch (const std::system_error&) {
    // Without the thread the signals must keep their default effect.
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
  }
}

TRemovedOnInterrupt::TRemovedOnInterrupt(Kind kind, const std::function<std::string()>& make)
    : kind_(kind) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  path_ = make();
  if (!path_.empty())
    registry.paths.emplace(path_, kind_);
}

TRemovedOnInterrupt::~TRemovedOnInterrupt() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto range = registry.paths.equal_range(path_);
  for (auto entry = range.first; entry != range.second; ++entry) {
    if (entry->second == kind_) {
      registry.paths.erase(entry);
      break;
    }
  }
}
