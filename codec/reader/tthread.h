#pragma once
// TThread: a small thread object in the manner of a framework thread class. It is created not
// running, may have its priority set on a seven-step scale, is started once, waited for and
// destroyed by its starter; the thread never frees its own object.

#include <thread>

enum class TThreadPriority : int {
  tpIdle = 0,
  tpLowest = 1,
  tpLower = 2,
  tpNormal = 3,
  tpHigher = 4,
  tpHighest = 5,
  tpTimeCritical = 6,
};

class TThread {
 public:
  // createSuspended false: the thread is to run at once. It cannot run before the derived
  // object is complete, so it then starts at the first Start or WaitFor.
  explicit TThread(bool createSuspended);
  virtual ~TThread();  // waits for a started thread that has not been waited for
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // The priority the thread runs at from its start. The platform grants what it allows:
  // steps above normal usually need privileges, and a refusal is ignored.
  void SetPriority(TThreadPriority priority) { priority_ = priority; }
  TThreadPriority GetPriority() const { return priority_; }

  void Start();    // runs Execute on a new thread; every later Start does nothing
  void WaitFor();  // blocks until Execute has returned

 protected:
  virtual void Execute() = 0;

 private:
  void Run();

  TThreadPriority priority_ = TThreadPriority::tpNormal;
  bool startPending_ = false;
  bool started_ = false;
  std::thread thread_;
};
