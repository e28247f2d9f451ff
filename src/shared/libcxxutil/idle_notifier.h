// The one place where the process sleeps. IdleNotifier multiplexes every
// descriptor that can wake the program (the X connection, service sockets,
// pipes), idle work and periodic timers, and runs their callbacks on the one
// thread. The main loop drives it through the toolkit's WEventAll and WYield.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IdleNotifier;

// A descriptor (or a descriptor-less source, such as a loopback transport
// with data queued) that wants to be told when it can make progress.
class SocketListener {
 public:
  virtual ~SocketListener();
  virtual bool hasFD() = 0;
  virtual int getFD() = 0;
  virtual bool wantsToRead() = 0;
  virtual bool wantsToWrite() = 0;
  virtual bool wantsToReadException() { return false; }
  // True when queued messages wait to be dispatched without any I/O.
  virtual bool wantsToDequeueAndDispatch() = 0;
  virtual bool wantsToStop() = 0;
  virtual void handleRead() = 0;
  virtual void handleWrite() = 0;
  virtual void handleException() {}
  virtual void handleDequeueAndDispatch() = 0;
  virtual void handleStop() = 0;
};

// A listener whose only job is to end a wait when its descriptor becomes
// readable (none: -1); whoever owns the descriptor reads it elsewhere.
class WakeListener : public SocketListener {
 public:
  virtual int wakeFD() = 0;
  bool hasFD() override { return wakeFD() >= 0; }
  int getFD() override { return wakeFD(); }
  bool wantsToRead() override { return wakeFD() >= 0; }
  bool wantsToWrite() override { return false; }
  bool wantsToDequeueAndDispatch() override { return false; }
  bool wantsToStop() override { return false; }
  void handleRead() override {}
  void handleWrite() override {}
  void handleDequeueAndDispatch() override {}
  void handleStop() override {}
};

// Work done whenever the loop goes round.
class Idler {
 public:
  virtual ~Idler();
  virtual void handleIdle(IdleNotifier* notifier) = 0;
  // Safe idlers may also run inside restricted waits.
  virtual bool isIdlerSafe() { return false; }
};

// A periodic callback; `now` is the monotonic clock in milliseconds.
class TimerListener {
 public:
  virtual ~TimerListener();
  virtual void handleTimer(int64_t now) = 0;
};

// The registered listeners, indexed by slot. Removal while the list is locked
// (someone iterates it) only empties the slot; the gaps are closed by moving
// the last entry into each empty slot once the last lock is released.
class SocketListenerList {
 public:
  void add(SocketListener* listener);
  void remove(SocketListener* listener);
  bool contains(SocketListener* listener) const;
  int count() const { return static_cast<int>(slots_.size()); }
  int capacity() const { return capacity_; }
  void lock() { ++lock_depth_; }
  void unlock();

  struct Slot {
    SocketListener* listener = nullptr;
    bool read = false, write = false, exception = false, dispatch = false;
  };
  Slot& at(int i) { return slots_[static_cast<size_t>(i)]; }

 private:
  void compact();
  std::vector<Slot> slots_;
  int capacity_ = 16;
  int lock_depth_ = 0;
};

class IdleNotifier {
 public:
  // Replaces an earlier registration of the same listener.
  void addSocketListener(SocketListener* listener);
  void removeSocketListener(SocketListener* listener);
  bool hasSocketListener(SocketListener* listener) const;
  int getNumSocketListeners() const;

  void addIdleListener(Idler* idler);
  void removeIdleListener(Idler* idler);
  int getNumIdlers() const { return static_cast<int>(idlers_.size()); }

  // Calls `listener` every `period_ms`, first at now + period. A listener
  // already registered is re-armed with the new period.
  void addTimerListener(TimerListener* listener, int64_t period_ms);
  void removeTimerListener(TimerListener* listener);
  int getNumTimers() const { return static_cast<int>(timers_.size()); }

  // Calls every idler registered when the call starts and still registered
  // when its turn comes; with `only_safe`, unsafe idlers are skipped.
  void notifyIdle(bool only_safe);
  // Runs the due timers, each at most once per call, re-arming each at
  // now + its period.
  void notifyTimers();
  // -1 without timers, else the ms until the first is due (0 when overdue).
  int64_t getTimeBeforeNextTimer() const;

  // Waits at most `timeout_ms` for a descriptor to become ready and marks
  // what is ready. With `process`, pending activity is handled first (and a
  // call that handled something returns at once) and again after the wait.
  // Returns whether anything was handled.
  bool notifySocketActivity(int64_t timeout_ms, bool process);
  bool pendingSocketActivityToProcess();
  bool pendingDequeueAndDispatch();

  // The number of poll calls made so far (for tests and diagnostics).
  long pollCount() const { return poll_count_; }

  // The monotonic clock in milliseconds.
  static int64_t now();

 private:
  bool processSocketActivity();

  SocketListenerList sockets_;
  std::vector<Idler*> idlers_;
  struct TimerNode {
    TimerListener* listener;
    int64_t period;
    int64_t due;
  };
  std::vector<TimerNode> timers_;  // sorted by due time, ties in insertion order
  void insertTimer(const TimerNode& node);
  long poll_count_ = 0;
};

// The process-wide notifier, created on first use; none once the process is
// shutting down (callers then skip their notifications).
IdleNotifier* getIdleNotifier();
void IdleNotifierShutdown();
