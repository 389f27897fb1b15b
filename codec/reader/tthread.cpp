#include "tthread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The seven steps as nice values of the normal scheduler.
int NiceValueOf(TThreadPriority priority) {
  static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};
  return kNice[static_cast<int>(priority)];
}

// Runs on the thread itself: the top step asks for the round-robin real-time class first,
// every step other than normal then falls back to a nice value. Failures (no privilege)
// leave the thread at the priority it got.
void ApplyToCallingThread(TThreadPriority priority) {
  if (priority == TThreadPriority::tpNormal)
    return;
  if (priority == TThreadPriority::tpTimeCritical) {
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_max(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &parameters) == 0)
      return;
  }
  const auto threadId = static_cast<id_t>(syscall(SYS_gettid));
  (void)setpriority(PRIO_PROCESS, threadId, NiceValueOf(priority));
}

}  // namespace

TThread::TThread(bool createSuspended) : startPending_(!createSuspended) {}

TThread::~TThread() {
  if (thread_.joinable())
    thread_.join();
}

void TThread::Run() {
  ApplyToCallingThread(priority_);
  Execute();
}

void TThread::Start() {
  if (started_)
    return;
  started_ = true;
  startPending_ = false;
  thread_ = std::thread(&TThread::Run, this);
}

void TThread::WaitFor() {
  if (startPending_)
    Start();
  if (thread_.joinable())
    thread_.join();
}
