#include "tthread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "qav_loader.h"

namespace {

int NiceOfCallingThread() {
  errno = 0;
  return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

class CountingThread : public TThread {
 public:
  explicit CountingThread(bool suspended) : TThread(suspended) {}
  std::atomic<int> runs{0};

 protected:
  void Execute() override { ++runs; }
};

TEST(TThread, RunsExecuteOnceWhenStartedAndWaitedFor) {
  CountingThread suspended(true);
  EXPECT_EQ(suspended.runs, 0);
  suspended.Start();
  suspended.Start();
  suspended.WaitFor();
  suspended.WaitFor();
  EXPECT_EQ(suspended.runs, 1);

  CountingThread running(false);  // runs at the first wait
  running.WaitFor();
  EXPECT_EQ(running.runs, 1);
}

// What the thread itself runs at, seen from inside Execute.
class PriorityProbe : public TThread {
 public:
  PriorityProbe() : TThread(true) {}
  int nice = 0;
  int policy = -1;

 protected:
  void Execute() override {
    nice = NiceOfCallingThread();
    sched_param parameters{};
    pthread_getschedparam(pthread_self(), &policy, &parameters);
  }
};

// Steps at or below the starter's priority are always granted; higher ones need privileges and
// are either granted or left at the starter's priority, never turned into something else.
TEST(TThread, RunsAtTheStepsPriorityOrTheStartersWhenRefused) {
  const int starterNice = NiceOfCallingThread();
  const int niceOfStep[] = {19, 10, 5, 0, -5, -10, -15};
  for (int step = 0; step <= 6; ++step) {
    SCOPED_TRACE(step);
    PriorityProbe probe;
    probe.SetPriority(static_cast<TThreadPriority>(step));
    probe.Start();
    probe.WaitFor();
    const int wanted = niceOfStep[step];
    const bool needsNoPrivilege = wanted >= starterNice;  // a thread may always lower itself
    if (step == 6 && probe.policy == SCHED_RR) {
      EXPECT_EQ(probe.nice, starterNice);
    } else if (needsNoPrivilege) {
      EXPECT_EQ(probe.nice, wanted);
    } else {
      EXPECT_TRUE(probe.nice == wanted || probe.nice == starterNice) << probe.nice;
    }
    if (step != 6) {
      EXPECT_EQ(probe.policy, SCHED_OTHER);
    }
  }
  EXPECT_EQ(NiceOfCallingThread(), starterNice);  // the starter's own priority is untouched
  EXPECT_EQ(QAVloader(true).GetPriority(), TThreadPriority::tpTimeCritical);
}

}  // namespace
