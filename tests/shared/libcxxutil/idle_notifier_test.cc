#include "shared/libcxxutil/idle_notifier.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

// A listener on an optional descriptor that records its calls.
class Probe : public SocketListener {
 public:
  explicit Probe(std::string name, int fd = -1) : name_(std::move(name)), fd_(fd) {}
  bool hasFD() override { return fd_ >= 0; }
  int getFD() override { return fd_; }
  bool wantsToRead() override { return read_; }
  bool wantsToWrite() override { return write_; }
  bool wantsToDequeueAndDispatch() override { return dispatch_; }
  bool wantsToStop() override { return false; }
  void handleRead() override {
    calls.push_back(name_ + ".read");
    if (remove_on_read_) getIdleNotifier()->removeSocketListener(this);
    if (fd_ >= 0) {
      char buf[64];
      (void)!read(fd_, buf, sizeof buf);
    }
  }
  void handleWrite() override { calls.push_back(name_ + ".write"); }
  void handleDequeueAndDispatch() override {
    calls.push_back(name_ + ".dispatch");
    dispatch_ = false;
  }
  void handleStop() override {}

  bool read_ = true, write_ = false, dispatch_ = false, remove_on_read_ = false;

 private:
  std::string name_;
  int fd_;
};

class Tick : public TimerListener {
 public:
  explicit Tick(std::string name) : name_(std::move(name)) {}
  void handleTimer(int64_t) override {
    calls.push_back(name_);
    if (remove_self) getIdleNotifier()->removeTimerListener(this);
  }
  bool remove_self = false;

 private:
  std::string name_;
};

class Work : public Idler {
 public:
  Work(std::string name, bool safe, Idler* victim = nullptr)
      : name_(std::move(name)), safe_(safe), victim_(victim) {}
  void handleIdle(IdleNotifier* n) override {
    calls.push_back(name_);
    if (victim_) n->removeIdleListener(victim_);
  }
  bool isIdlerSafe() override { return safe_; }

 private:
  std::string name_;
  bool safe_;
  Idler* victim_;
};

class IdleNotifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    ASSERT_EQ(pipe(fds_), 0);
  }
  void TearDown() override {
    close(fds_[0]);
    close(fds_[1]);
  }
  int fds_[2];
};

// A zero wait with nothing pending makes no system call.
TEST_F(IdleNotifierTest, ReadyDescriptorIsMarkedByTheWaitAndHandledByTheNextProcess) {
  Probe p("pipe", fds_[0]);
  IdleNotifier* n = getIdleNotifier();
  n->addSocketListener(&p);
  const long polls = n->pollCount();
  EXPECT_FALSE(n->notifySocketActivity(0, false));
  EXPECT_EQ(n->pollCount(), polls);
  ASSERT_EQ(write(fds_[1], "x", 1), 1);
  // Without processing, the wait only marks what is ready.
  EXPECT_FALSE(n->notifySocketActivity(1000, false));
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(n->pendingSocketActivityToProcess());
  EXPECT_TRUE(n->notifySocketActivity(0, true));
  EXPECT_EQ(calls, std::vector<std::string>{"pipe.read"});
  EXPECT_FALSE(n->pendingSocketActivityToProcess());
  n->removeSocketListener(&p);
}

TEST_F(IdleNotifierTest, ListenerWithoutDescriptorIsHandledWithoutSleeping) {
  Probe loop("loopback");  // wants to read but has no descriptor
  IdleNotifier* n = getIdleNotifier();
  n->addSocketListener(&loop);
  int64_t start = IdleNotifier::now();
  EXPECT_TRUE(n->notifySocketActivity(2000, true));
  EXPECT_LT(IdleNotifier::now() - start, 500);
  EXPECT_EQ(calls, std::vector<std::string>{"loopback.read"});
  n->removeSocketListener(&loop);
}

TEST_F(IdleNotifierTest, ListenerRemovedInsideReadGetsNoWriteAndOthersStillRun) {
  Probe a("a"), b("b");
  a.write_ = true;
  a.remove_on_read_ = true;
  b.read_ = false;
  b.dispatch_ = true;
  IdleNotifier* n = getIdleNotifier();
  n->addSocketListener(&a);
  n->addSocketListener(&b);
  n->notifySocketActivity(0, true);
  EXPECT_EQ(calls, (std::vector<std::string>{"a.read", "b.dispatch"}));
  EXPECT_FALSE(n->hasSocketListener(&a));
  EXPECT_EQ(n->getNumSocketListeners(), 1);
  n->removeSocketListener(&b);
}

TEST_F(IdleNotifierTest, ReRegisteringMovesAListenerAndRemovalClosesGapsFromTheEnd) {
  SocketListenerList list;
  Probe a("a"), b("b"), c("c"), d("d");
  for (SocketListener* l : {&a, &b, &c, &d, &b}) list.add(l);  // b again replaces the first
  ASSERT_EQ(list.count(), 4);
  list.remove(&a);  // the last entry moves into the gap: d, b, c
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.at(0).listener, &d);
  EXPECT_EQ(list.at(1).listener, &b);
  EXPECT_EQ(list.at(2).listener, &c);
  // While locked, removal only empties the slot.
  list.lock();
  list.remove(&c);
  EXPECT_EQ(list.count(), 3);
  list.unlock();
  EXPECT_EQ(list.count(), 2);
  for (int i = 0; i < 20; ++i) list.add(new Probe("x"));
  EXPECT_EQ(list.capacity(), 32);
  for (int i = 0; i < list.count(); ++i)
    if (list.at(i).listener != &b && list.at(i).listener != &d) delete list.at(i).listener;
  (void)c;
}

TEST_F(IdleNotifierTest, TimersDueTogetherRunInTheOrderTheyWereAdded) {
  Tick first("first"), second("second"), later("later");
  IdleNotifier* n = getIdleNotifier();
  n->addTimerListener(&first, 30);
  n->addTimerListener(&second, 30);
  n->addTimerListener(&later, 60000);
  n->notifyTimers();
  EXPECT_TRUE(calls.empty());
  usleep(40000);
  EXPECT_EQ(n->getTimeBeforeNextTimer(), 0);
  n->notifyTimers();
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
  // Re-armed at now + period: not due again in the same call or at once.
  calls.clear();
  n->notifyTimers();
  EXPECT_TRUE(calls.empty());
  n->removeTimerListener(&first);
  n->removeTimerListener(&second);
  EXPECT_GT(n->getTimeBeforeNextTimer(), 50000);
  n->removeTimerListener(&later);
  EXPECT_EQ(n->getTimeBeforeNextTimer(), -1);
}

TEST_F(IdleNotifierTest, TimerMayRemoveItselfAndADeadListenerIsForgotten) {
  IdleNotifier* n = getIdleNotifier();
  Tick once("once");
  once.remove_self = true;
  n->addTimerListener(&once, 0);
  n->notifyTimers();
  n->notifyTimers();
  EXPECT_EQ(calls, std::vector<std::string>{"once"});
  {
    Tick gone("gone");
    n->addTimerListener(&gone, 0);
  }
  EXPECT_EQ(n->getNumTimers(), 0);
}

TEST_F(IdleNotifierTest, WaitIsCutShortByTheNextTimer) {
  Probe p("pipe", fds_[0]);
  Tick t("t");
  IdleNotifier* n = getIdleNotifier();
  n->addSocketListener(&p);
  n->addTimerListener(&t, 50);
  int64_t start = IdleNotifier::now();
  n->notifySocketActivity(5000, false);
  EXPECT_LT(IdleNotifier::now() - start, 1000);
  n->removeTimerListener(&t);
  n->removeSocketListener(&p);
}

TEST_F(IdleNotifierTest, IdlersRunFromASnapshotAndUnsafeOnesAreSkippedOnRequest) {
  Work victim("victim", true);
  Work killer("killer", false, &victim);
  Work safe("safe", true);
  IdleNotifier* n = getIdleNotifier();
  n->addIdleListener(&killer);
  n->addIdleListener(&victim);
  n->addIdleListener(&safe);
  n->addIdleListener(&safe);  // once only
  EXPECT_EQ(n->getNumIdlers(), 3);
  n->notifyIdle(false);
  EXPECT_EQ(calls, (std::vector<std::string>{"killer", "safe"}));
  calls.clear();
  n->notifyIdle(true);
  EXPECT_EQ(calls, std::vector<std::string>{"safe"});
  n->removeIdleListener(&killer);
  n->removeIdleListener(&safe);
  EXPECT_EQ(n->getNumIdlers(), 0);
}

}  // namespace
