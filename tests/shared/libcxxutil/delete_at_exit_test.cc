#include "shared/libcxxutil/delete_at_exit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string order;

class Marker : public DeleteAble {
 public:
  Marker(char name, Marker* successor = nullptr) : name_(name), successor_(successor) {}
  ~Marker() override {
    order += name_;
    // Registered while the registry runs: destroyed in the same run.
    if (successor_) delete_at_exit(successor_, 0.0);
  }

 private:
  char name_;
  Marker* successor_;
};

TEST(DeleteAtExit, LowerPrioritiesFirstThenLatestRegisteredFirst) {
  order.clear();
  auto* late = new Marker('d');
  auto* b = new Marker('b', late);
  delete_at_exit(new Marker('c'), 2.0);
  delete_at_exit(b, 1.0);
  auto* a = new Marker('a');
  delete_at_exit(a, 1.0);
  EXPECT_TRUE(delete_at_exit_pending(a));
  delete_at_exit_run();
  EXPECT_EQ(order, "abcd");
  EXPECT_FALSE(delete_at_exit_pending(a));
  delete_at_exit_run();
  EXPECT_EQ(order, "abcd") << "each object goes once";
}

}  // namespace
