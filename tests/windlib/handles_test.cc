#include "windlib/handles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Handles, SecondCreateSharesTheHandleUntilLastDestroy) {
  int object = 0;
  mHandle* a = MHandleCreate(1, &object);
  mHandle* b = MHandleCreate(1, &object);
  ASSERT_EQ(a, b);
  EXPECT_EQ(a->references, 2);
  MHandleDestroy(a);
  EXPECT_EQ(b->references, 1);
  EXPECT_FALSE(b->dead);
  int before = MHandleTableCount();
  MHandleDestroy(b);
  EXPECT_EQ(MHandleTableCount(), before - 1);
  MHandleDie(&object);  // no handle any more: nothing happens
  EXPECT_EQ(MHandleTableCount(), before - 1);
}

TEST(Handles, DeathIsSeenByHoldersAndAFreshHandleIsLive) {
  int object = 0;
  mHandle* old = MHandleCreate(2, &object);
  mHandle* copy = MHandleCopy(old);
  MHandleDie(&object);
  EXPECT_TRUE(old->dead);
  mHandle* fresh = MHandleCreate(2, &object);
  EXPECT_NE(fresh, old);
  EXPECT_FALSE(fresh->dead);
  EXPECT_TRUE(old->dead);
  MHandleDestroy(old);
  MHandleDestroy(copy);  // frees the dead handle, leaves the fresh one alone
  EXPECT_FALSE(fresh->dead);
  EXPECT_EQ(MHandleCreate(2, &object), fresh);
  MHandleDestroy(fresh);
  MHandleDestroy(fresh);
}

TEST(Handles, TableGrowsPastHalfAndKeepsEveryEntryFindable) {
  std::vector<char> objects(1000);
  std::vector<mHandle*> handles;
  for (auto& o : objects) handles.push_back(MHandleCreate(3, &o));
  EXPECT_GE(MHandleTableSize(), 2 * static_cast<int>(objects.size()));
  EXPECT_EQ((MHandleTableSize() - 1) % 2, 0) << "sizes grow as 2n+1";
  // Remove every other one, then every remaining handle is still found.
  for (size_t i = 0; i < objects.size(); i += 2) MHandleDie(&objects[i]);
  for (size_t i = 1; i < objects.size(); i += 2) {
    mHandle* again = MHandleCreate(3, &objects[i]);
    ASSERT_EQ(again, handles[i]) << i;
    MHandleDestroy(again);
  }
  for (auto* h : handles) MHandleDestroy(h);
}

TEST(Handles, RefHolderReleasesItsReference) {
  int object = 0;
  mHandle* h = MHandleCreate(4, &object);
  {
    HandleRef ref(MHandleCopy(h));
    HandleRef copy = ref;
    EXPECT_EQ(h->references, 3);
    EXPECT_TRUE(copy.alive());
  }
  EXPECT_EQ(h->references, 1);
  MHandleDestroy(h);
}

}  // namespace
