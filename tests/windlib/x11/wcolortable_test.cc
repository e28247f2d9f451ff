// The table of further named colours and the colour-change notices.
#include "windlib/x11/wcolortable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ColorTable, NewNamesGetOwnedCellsAndKnownNamesKeepTheirCell) {
  ColorTable t;
  EXPECT_EQ(t.findColor(nullptr), nullptr);
  EXPECT_EQ(t.findColor("mark"), nullptr);
  WColor* cell = t.setColor("mark", 65535, 0, 32896);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(*cell, 0xff0080u);
  EXPECT_EQ(t.findColor("mark"), cell);
  // Holders of the cell see the new colour.
  EXPECT_EQ(t.setColor("mark", "#102030"), cell);
  EXPECT_EQ(*cell, 0x102030u);
  EXPECT_EQ(t.setColor("mark", "not a colour"), nullptr);
  EXPECT_EQ(*cell, 0x102030u);
  t.freeColor("mark");
  EXPECT_EQ(t.findColor("mark"), nullptr);
  t.freeColor("mark");  // unknown now: nothing happens
}

TEST(ColorTable, LentCellsStayTheCallersUntilTheTableSetsThem) {
  ColorTable t;
  WColor mine = 0x010101;
  EXPECT_EQ(t.setColor("lent", &mine), &mine);
  WColor other = 0x020202;
  EXPECT_EQ(t.setColor("lent", &other), nullptr);  // known: nothing changes
  EXPECT_EQ(t.findColor("lent"), &mine);
  t.freeColor("lent");  // not owned: the caller's cell is left alone
  EXPECT_EQ(mine, 0x010101u);
  EXPECT_EQ(t.findColor("lent"), nullptr);

  // Setting a lent cell's colour makes the table its owner, so freeing the
  // name frees the cell (ASan would see a double or a wrong free).
  WColor* heap = new WColor(0);
  t.setColor("given", heap);
  EXPECT_EQ(t.setColor("given", 0, 65535, 0), heap);
  EXPECT_EQ(*heap, 0x00ff00u);
  t.freeColor("given");
}

TEST(ColorTable, OwnedCellsAreReleasedWithTheTable) {
  WColor lent = 5;
  {
    ColorTable t;
    t.setColor("a", 0, 0, 0);
    t.setColor("b", &lent);
  }
  EXPECT_EQ(lent, 5u);
}

struct Log {
  std::string calls;
};
void note_a(void* ctx, WWindow*, int change) {
  static_cast<Log*>(ctx)->calls += "a" + std::to_string(change);
}
void note_b(void* ctx, WWindow*, int change) {
  static_cast<Log*>(ctx)->calls += "b" + std::to_string(change);
}

TEST(ColorManager, KeysCountUpAndNoticesRunInRegistrationOrder) {
  Log log;
  EXPECT_EQ(ColorManager::RegisterNotification(&log, nullptr), -1);
  const int a = ColorManager::RegisterNotification(&log, note_a);
  const int b = ColorManager::RegisterNotification(&log, note_b);
  EXPECT_GE(a, 0);
  EXPECT_EQ(b, a + 1);
  ColorManager::NotifyColorChange(nullptr, 2);
  EXPECT_EQ(log.calls, "a2b2");
  EXPECT_EQ(ColorManager::UnregisterNotification(-1), 0);
  EXPECT_EQ(ColorManager::UnregisterNotification(a), 1);
  EXPECT_EQ(ColorManager::UnregisterNotification(a), 0);
  ColorManager::NotifyColorChange(nullptr, 0);
  EXPECT_EQ(log.calls, "a2b2b0");
  EXPECT_EQ(ColorManager::UnregisterNotification(b), 1);
  // Keys are never reused.
  const int c = ColorManager::RegisterNotification(&log, note_a);
  EXPECT_EQ(c, b + 1);
  ColorManager::UnregisterNotification(c);
}

// A notice that removes another while notices are running: the removed one
// is not called.
TEST(ColorManager, ANoticeRemovedDuringNotificationIsSkipped) {
  static int victim = -1;
  Log log;
  const int first = ColorManager::RegisterNotification(&log, [](void* ctx, WWindow*, int) {
    static_cast<Log*>(ctx)->calls += "x";
    ColorManager::UnregisterNotification(victim);
  });
  victim = ColorManager::RegisterNotification(&log, note_a);
  ColorManager::NotifyColorChange(nullptr, 1);
  EXPECT_EQ(log.calls, "x");
  ColorManager::UnregisterNotification(first);
}

}  // namespace
