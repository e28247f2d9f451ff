#include "windlib/outputmanager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/indgen/indgen.h"

namespace {

// Records what it is given; takes it unless told not to; reports its end.
class Recorder : public OutputGrabber {
 public:
  explicit Recorder(bool take = true, bool block = false, bool* gone = nullptr)
      : take_(take), block_(block), gone_(gone) {}
  ~Recorder() override {
    if (gone_) *gone_ = true;
  }
  bool HandleOutput(const char* text) override {
    seen += text;
    return take_;
  }
  bool BlockListeners() override { return block_; }
  std::string seen;

 private:
  bool take_, block_;
  bool* gone_;
};

class OtherRecorder : public Recorder {};

// What each recorder has seen, "|"-joined.
std::string Seen(std::initializer_list<const Recorder*> recorders) {
  std::string out;
  for (const Recorder* r : recorders) out += (out.empty() ? "" : "|") + r->seen;
  return out;
}

TEST(OutputRouting, NewestActiveGrabberTakesTheMessage) {
  OutputManager m;
  auto* bottom = new Recorder;
  auto* refuses = new Recorder(false);
  auto* top = new Recorder;
  m.PushGrabber(bottom);
  m.PushGrabber(refuses);
  m.PushGrabber(top);

  m.PrintOutput("one\n");
  EXPECT_EQ(Seen({top, refuses, bottom}), "one\n||");

  // A suspended grabber is not even asked; one that declines passes it on.
  top->suspended = 1;
  m.PrintOutput("two\n");
  EXPECT_EQ(Seen({top, refuses, bottom}), "one\n|two\n|two\n");
  EXPECT_EQ(m.PeekGrabber(false), top);
  EXPECT_EQ(m.PeekGrabber(true), refuses);
  m.PopAllGrabbers();
}

TEST(OutputRouting, UntakenMessagesGoToStandardErrorAndNotToListeners) {
  OutputManager m;
  Recorder listener;
  m.AddListener(&listener);
  testing::internal::CaptureStderr();
  m.PrintOutput("nobody\n");
  m.PushGrabber(new Recorder(false));
  m.PrintOutput("declined\n");
  m.PrintOutput(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "nobody\ndeclined\n");
  EXPECT_EQ(listener.seen, "");
  m.PopAllGrabbers();
}

TEST(OutputRouting, ListenersSeeCopiesUnlessTheTakerBlocksThem) {
  OutputManager m;
  Recorder listener, second;
  m.AddListener(&listener);
  m.AddListener(&listener);  // listed once
  m.AddListener(&second);
  auto* open = new Recorder(true, false);
  m.PushGrabber(open);
  m.PrintOutput("a");
  auto* blocking = new Recorder(true, true);
  m.PushGrabber(blocking);
  m.PrintOutput("b");
  m.RemoveListener(&second);
  blocking->suspended = 1;
  m.PrintOutput("c");
  EXPECT_EQ(Seen({open, blocking, &listener, &second}), "ac|b|ac|a");
  m.PopAllGrabbers();
}

TEST(OutputStack, PopToGrabberReleasesEachEntryAndDeletesAtZero) {
  OutputManager m;
  bool shared_gone = false, middle_gone = false, top_gone = false, bottom_gone = false;
  auto* bottom = new Recorder(true, false, &bottom_gone);
  auto* shared = new Recorder(true, false, &shared_gone);
  auto* middle = new Recorder(true, false, &middle_gone);
  auto* top = new Recorder(true, false, &top_gone);
  m.PushGrabber(bottom);
  m.PushGrabber(shared);
  m.PushGrabber(middle);
  m.PushGrabber(shared);
  m.PushGrabber(top);
  EXPECT_EQ(shared->refCount, 2);

  // The newest entry of `shared` is the one popped to; its older entry keeps it.
  EXPECT_TRUE(m.PopToGrabber(shared));
  EXPECT_TRUE(top_gone);
  EXPECT_FALSE(shared_gone);
  EXPECT_EQ(shared->refCount, 1);
  EXPECT_EQ(m.PeekGrabber(), middle);

  EXPECT_TRUE(m.PopToGrabber(shared));
  EXPECT_TRUE(middle_gone);
  EXPECT_TRUE(shared_gone);
  EXPECT_EQ(m.PeekGrabber(), bottom);
  EXPECT_EQ(m.GrabberCount(), 1);

  // A grabber that is not on the stack pops nothing.
  Recorder stranger;
  EXPECT_FALSE(m.PopToGrabber(&stranger));
  EXPECT_FALSE(m.PopToGrabber(nullptr));
  EXPECT_EQ(m.GrabberCount(), 1);
  EXPECT_FALSE(bottom_gone);
  m.PopAllGrabbers();
  EXPECT_TRUE(bottom_gone);
  EXPECT_EQ(m.PeekGrabber(), nullptr);
}

TEST(OutputStack, DefaultStackIsRememberedAndRestored) {
  OutputManager m;
  auto* base = new Recorder;
  m.PushGrabber(base);
  m.CreateDefaultStack();
  EXPECT_EQ(m.DefaultTopGrabber(), base);
  EXPECT_TRUE(m.IsDefaultStackTopped(false));

  auto* extra = new Recorder;
  m.PushGrabber(extra);
  m.PushGrabber(new Recorder);
  EXPECT_FALSE(m.IsDefaultStackTopped(false));
  m.PeekGrabber()->suspended = 1;
  extra->suspended = 1;
  EXPECT_TRUE(m.IsDefaultStackTopped(true));

  m.PopToDefaultStack();
  EXPECT_EQ(m.GrabberCount(), 1);
  EXPECT_EQ(m.PeekGrabber(), base);

  // Popping the default top itself forgets it; the default stack is then empty.
  m.PopAllGrabbers();
  EXPECT_EQ(m.DefaultTopGrabber(), nullptr);
  m.PushGrabber(new Recorder);
  m.PopToDefaultStack();
  EXPECT_EQ(m.GrabberCount(), 0);
}

TEST(OutputStack, TopmostGrabberOfTypeLooksAtDynamicTypes) {
  OutputManager m;
  auto* other = new OtherRecorder;
  auto* plain = new Recorder;
  m.PushGrabber(other);
  m.PushGrabber(plain);
  EXPECT_EQ(GetTopmostGrabberOfType<OtherRecorder>(&m), other);
  EXPECT_EQ(GetTopmostGrabberOfType<Recorder>(&m), plain);
  EXPECT_EQ(GetTopmostGrabberOfType<NullOutputGrabber>(&m), nullptr);
  EXPECT_EQ(GetTopmostGrabberOfType<Recorder>(nullptr), nullptr);
  m.PopAllGrabbers();
}

// A grabber that pops everything, itself included, while it handles a message.
class SelfPopper : public OutputGrabber {
 public:
  explicit SelfPopper(OutputManager* m) : m_(m) {}
  bool HandleOutput(const char*) override {
    m_->PopAllGrabbers();
    return true;
  }
  bool BlockListeners() override { return true; }

 private:
  OutputManager* m_;
};

TEST(OutputStack, AGrabberMayEmptyTheStackWhileHandlingAMessage) {
  OutputManager m;
  Recorder listener;
  m.AddListener(&listener);
  m.PushGrabber(new Recorder);
  m.PushGrabber(new SelfPopper(&m));
  m.PrintOutput("x");
  EXPECT_EQ(m.GrabberCount(), 0);
  EXPECT_EQ(listener.seen, "x") << "a taker that is gone cannot block listeners";
}

TEST(OutputSilencing, NothingPrintedUnderASilencerReachesAnyone) {
  OutputManager* saved = outputManager;
  OutputManager m;
  OutputSetManager(&m);
  auto* shown = new Recorder;
  m.PushGrabber(shown);
  Recorder listener;
  m.AddListener(&listener);
  testing::internal::CaptureStderr();
  {
    OutputSilencer quiet;
    outputManager->PrintOutput("hidden\n");
    OutputMessage(GEN_LEVEL_WARNING, "also hidden");
    EXPECT_EQ(m.GrabberCount(), 2);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(m.GrabberCount(), 1);
  outputManager->PrintOutput("shown\n");
  EXPECT_EQ(Seen({shown, &listener}), "shown\n|shown\n");
  m.RemoveListener(&listener);
  m.PopAllGrabbers();
  OutputSetManager(saved);
}

}  // namespace
