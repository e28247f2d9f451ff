#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shared/indgen/indgen.h"

namespace {

struct Owned {
  char* p;
  explicit Owned(char* s) : p(s) {}
  ~Owned() { gen_free(p); }
  std::string str() const { return p ? p : "<none>"; }
};

TEST(Memory, AllocIsZeroedAndRejectsEmptyCounts) {
  auto* p = static_cast<unsigned char*>(gen_alloc(16, 4));
  for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0);
  gen_free(p);
  EXPECT_EQ(gen_alloc(0, 4), nullptr);
  EXPECT_EQ(gen_alloc(-3, 4), nullptr);
  gen_free(nullptr);  // accepted
}

TEST(Memory, ReallocBelowOneFreesAndNullAllocates) {
  void* p = gen_realloc(nullptr, 10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(gen_realloc(p, 0), nullptr);
}

TEST(Memory, ExhaustionReportsOutOfMemoryWithStatusThree) {
  gen_init("oe", 0);
  EXPECT_EXIT(gen_alloc(1L << 62, 16), testing::ExitedWithCode(3), "^oe: fatal: Out of memory\n$");
}

TEST(Strings, CopiesAndConcatenations) {
  EXPECT_EQ(Owned(gen_copyn("abcdef", 3)).str(), "abc");
  EXPECT_EQ(Owned(gen_copy(nullptr)).str(), "<none>");
  EXPECT_EQ(Owned(gen_concat("a", "b")).str(), "ab");
  EXPECT_EQ(Owned(gen_concat9("1", "2", "3", "4", "5", "6", "7", "8", "9")).str(), "123456789");
  EXPECT_EQ(Owned(gen_fconcat3(gen_copy("x"), "y", "z")).str(), "xyz");
  EXPECT_EQ(Owned(gen_fconcat(nullptr, "q")).str(), "q");
}

TEST(Strings, SconcatJoinsWithExactlyOneSeparator) {
  EXPECT_EQ(Owned(gen_sconcat("/tmp/", "/x")).str(), "/tmp/x");
  EXPECT_EQ(Owned(gen_sconcat("/tmp", "x")).str(), "/tmp/x");
  EXPECT_EQ(Owned(gen_sconcat("/", "x")).str(), "/x");
  EXPECT_EQ(Owned(gen_sconcat("", "x")).str(), "x");
}

TEST(Strings, TempBufferRingKeepsBuffersForThatManyCalls) {
  char* a = gen_temp_copy(3, "one");
  char* b = gen_temp_copy(3, "two");
  char* c = gen_temp_copy(3, "three");
  EXPECT_EQ(std::string(a) + " " + b + " " + c, "one two three");
  char* d = gen_get_temp_buf(3, 4);  // wraps to the first slot, big enough already
  EXPECT_EQ(d, a);
  char* z = gen_get_zeroed_temp_buf(3, 50);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(z[i], 0);
}

TEST(Strings, StringArrayOwnsItsCopies) {
  gen_strarray arr;
  gen_strarray_init(&arr);
  std::string s = "hello";
  gen_strarray_add_str(&arr, s.c_str());
  gen_strarray_add_strn(&arr, "world!", 5);
  s[0] = 'j';
  ASSERT_EQ(arr.count, 2);
  EXPECT_STREQ(arr.strs[0], "hello");
  EXPECT_STREQ(arr.strs[1], "world");
  gen_strarray_free(&arr);
  EXPECT_EQ(arr.count, 0);
}

TEST(Strings, GetenvTreatsEmptyAsUnset) {
  setenv("OE_TEST_EMPTY", "", 1);
  setenv("OE_TEST_SET", "v", 1);
  EXPECT_STREQ(gen_getenv("OE_TEST_EMPTY", "fb"), "fb");
  EXPECT_STREQ(gen_getenv("OE_TEST_SET", "fb"), "v");
  EXPECT_EQ(gen_getenv("OE_TEST_NEVER_SET_X", nullptr), nullptr);
}

TEST(Strings, QuotifyProtectsQuotesForTheShell) {
  EXPECT_EQ(Owned(gen_quotify_string("a b")).str(), "'a b'");
  EXPECT_EQ(Owned(gen_quotify_string("it's")).str(), "'it'\\''s'");
}

TEST(Chars, ClassesAreAsciiOnly) {
  for (int c : {' ', '\t', '\n', '\r', '\f'}) EXPECT_TRUE(gen_isspace(c));
  EXPECT_FALSE(gen_isspace('\v'));
  EXPECT_TRUE(gen_isblank('\t'));
  EXPECT_FALSE(gen_isblank('\n'));
  EXPECT_FALSE(gen_isalnum(0xE9));
  EXPECT_FALSE(gen_isupper(0xC9));
  EXPECT_TRUE(gen_isalnum('z'));
}

}  // namespace
