#include "tthread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "qav_loader.h"

namespace {

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

TEST(TThread, PriorityIsKeptWhateverThePlatformGrants) {
  for (int step = 0; step <= 6; ++step) {
    CountingThread thread(true);
    thread.SetPriority(static_cast<TThreadPriority>(step));
    thread.Start();
    thread.WaitFor();
    EXPECT_EQ(thread.runs, 1);
    EXPECT_EQ(thread.GetPriority(), static_cast<TThreadPriority>(step));
  }
  EXPECT_EQ(QAVloader(true).GetPriority(), TThreadPriority::tpTimeCritical);
}

}  // namespace
