#include "interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

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

void RemoveRegistered() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (const auto& [path, kind] : registry.paths) {
    std::error_code ignored;
    if (kind == TRemovedOnInterrupt::Kind::File)
      std::filesystem::remove(path, ignored);
    else
      std::filesystem::remove_all(path, ignored);
  }
  registry.paths.clear();
}

// Waits for an interrupt, cleans up, and ends the process as the signal would have.
[[noreturn]] void TakeInterrupts(sigset_t signals) {
  int signal = 0;
  while (sigwait(&signals, &signal) != 0) {
  }
  RemoveRegistered();
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

TRemovedOnInterrupt::TRemovedOnInterrupt(Kind kind, std::string path)
    : kind_(kind), path_(std::move(path)) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
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
