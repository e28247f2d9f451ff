#include "windlib/wwait.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

// Drains the registry between tests so that one test's entries cannot leak
// into the next.
class ExtraProcessTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (mHandle* h : owned) {
      ExtraProcess_Kill(h, 0);
      MHandleDestroy(h);
    }
    ASSERT_EQ(ExtraProcess_NumberPending(), 0);
  }
  mHandle* keep(mHandle* h) {
    owned.push_back(h);
    return h;
  }
  // One round of the registry; the time until the next is due.
  static long Wait() {
    long next = -1;
    ExtraProcess_Wait(&next);
    return next;
  }
  std::vector<mHandle*> owned;
};

struct Log {
  std::vector<std::string> calls;
  mHandle* self = nullptr;
};

int log_check(void* data, int) {
  static_cast<Log*>(data)->calls.push_back("check");
  return 0;
}

int finished_check(void*, int) {
  return 1;
}

TEST_F(ExtraProcessTest, EmptyRegistryWaitsFiveSeconds) {
  long next = -1;
  EXPECT_EQ(ExtraProcess_Wait(&next), 1);
  EXPECT_EQ(next, 5000);
}

TEST_F(ExtraProcessTest, ZeroDelayTimerRunsOnNextWaitAndIsRemovedWhenFinished) {
  int runs = 0;
  auto check = [](void* d, int) {
    ++*static_cast<int*>(d);
    return 1;
  };
  mHandle* h = keep(ExtraProcess_Create(epTimer, 0, check, nullptr, &runs));
  EXPECT_TRUE(ExtraProcess_AnyTimedOut());
  Wait();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(h->dead);
  EXPECT_EQ(ExtraProcess_NumberPending(), 0);
}

TEST_F(ExtraProcessTest, FutureTimerSetsNextAndDoesNotRun) {
  Log log;
  keep(ExtraProcess_Create(epTimer, 3000, log_check, nullptr, &log));
  const long next = Wait();
  EXPECT_TRUE(log.calls.empty());
  EXPECT_GT(next, 2900);
  EXPECT_LE(next, 3000);
  EXPECT_FALSE(ExtraProcess_AnyTimedOut());
}

TEST_F(ExtraProcessTest, PolledConditionMakesNextZeroAndRunsEveryWait) {
  Log log;
  keep(ExtraProcess_Create(epPolled, 0, log_check, nullptr, &log));
  keep(ExtraProcess_Create(epTimer, 4000, log_check, nullptr, &log));
  Wait();
  EXPECT_EQ(Wait(), 0);
  EXPECT_EQ(log.calls.size(), 2u);
  EXPECT_EQ(ExtraProcess_GetWaitTypeFromIndex(0), epPolled);
  EXPECT_EQ(ExtraProcess_GetWaitTypeFromIndex(1), epTimer);
  EXPECT_EQ(ExtraProcess_GetWaitTypeFromIndex(2), 4);
}

TEST_F(ExtraProcessTest, PeriodicTimerReArmsItselfFromItsCheck) {
  struct Periodic {
    mHandle* self;
    int runs = 0;
  } p{};
  auto check = [](void* d, int) {
    auto* per = static_cast<Periodic*>(d);
    ++per->runs;
    ExtraProcess_SetTimeout(per->self, 2000);
    return 0;
  };
  p.self = keep(ExtraProcess_Create(epTimer, 0, check, nullptr, &p));
  const long next = Wait();
  EXPECT_EQ(p.runs, 1);
  EXPECT_GT(next, 1900);
  Wait();
  EXPECT_EQ(p.runs, 1) << "not due again yet";
}

TEST_F(ExtraProcessTest, EntryRemovingItselfInItsCheckSkipsNoOtherEntry) {
  std::vector<int> order;
  struct Ctx {
    std::vector<int>* order;
    int id;
    mHandle* self;
  };
  auto check = [](void* d, int) {
    auto* c = static_cast<Ctx*>(d);
    c->order->push_back(c->id);
    if (c->id == 2) ExtraProcess_Kill(c->self, 0);
    return 0;
  };
  Ctx c1{&order, 1, nullptr}, c2{&order, 2, nullptr}, c3{&order, 3, nullptr};
  c1.self = keep(ExtraProcess_Create(epPolled, 0, check, nullptr, &c1));
  c2.self = keep(ExtraProcess_Create(epPolled, 0, check, nullptr, &c2));
  c3.self = keep(ExtraProcess_Create(epPolled, 0, check, nullptr, &c3));
  Wait();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(c2.self->dead);
  EXPECT_EQ(ExtraProcess_NumberPending(), 2);
  order.clear();
  Wait();
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
}

TEST_F(ExtraProcessTest, FinishReturningZeroKeepsTheEntry) {
  int finishes = 0;
  auto finish = [](void* d, int) {
    int* n = static_cast<int*>(d);
    return ++*n >= 3 ? 1 : 0;  // refuses removal twice
  };
  mHandle* h = keep(ExtraProcess_Create(epPolled, 0, finished_check, finish, &finishes));
  Wait();
  Wait();
  EXPECT_EQ(finishes, 2);
  EXPECT_FALSE(h->dead);
  Wait();
  EXPECT_EQ(finishes, 3);
  EXPECT_TRUE(h->dead);
}

TEST_F(ExtraProcessTest, ChildIsReapedAndFinishGetsItsStatus) {
  pid_t pid = fork();
  if (pid == 0) _exit(7);
  struct Child {
    int status = -1;
    int finishes = 0;
  } child;
  auto not_done = [](void*, int) { return 0; };
  auto finish = [](void* d, int status) {
    auto* c = static_cast<Child*>(d);
    c->status = status;
    ++c->finishes;
    return 1;
  };
  mHandle* h = keep(ExtraProcess_Create(epChild, pid, not_done, finish, &child));
  EXPECT_EQ(ExtraProcess_GetPid(h), pid);
  for (int i = 0; i < 200 && !h->dead; ++i) {
    Wait();
    if (!h->dead) usleep(10000);
  }
  ASSERT_TRUE(h->dead);
  EXPECT_EQ(child.finishes, 1);
  ASSERT_TRUE(WIFEXITED(child.status));
  EXPECT_EQ(WEXITSTATUS(child.status), 7);
  EXPECT_EQ(ExtraProcess_GetPid(h), 0);
}

TEST_F(ExtraProcessTest, DeadHandleRefusesReArmAndKill) {
  mHandle* h = keep(ExtraProcess_Create(epTimer, 0, finished_check, nullptr, nullptr));
  Wait();
  ASSERT_TRUE(h->dead);
  EXPECT_EQ(ExtraProcess_SetTimeout(h, 10), 0);
  ExtraProcess_Kill(h, 0);  // nothing happens
}

TEST_F(ExtraProcessTest, RegistryGrowsPastTenEntries) {
  Log log;
  for (int i = 0; i < 25; ++i) keep(ExtraProcess_Create(epPolled, 0, log_check, nullptr, &log));
  Wait();
  EXPECT_EQ(log.calls.size(), 25u);
}

TEST(Timeouts, DeadlineArithmetic) {
  long s, ms;
  WSetTimeout(&s, &ms, 1500);
  long left = WCheckTimeout(s, ms);
  EXPECT_GT(left, 1400);
  EXPECT_LE(left, 1500);
  WSetTimeout(&s, &ms, -10);
  EXPECT_EQ(WCheckTimeout(s, ms), 0);
  EXPECT_GE(ms, 0);
  EXPECT_LT(ms, 1000);
}

}  // namespace
