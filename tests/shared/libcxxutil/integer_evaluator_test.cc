#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shared/libcxxutil/message_capture.h"
#include "shared/libcxxutil/simple_integer_evaluator.h"

namespace {

// Names have fixed values; every call is recorded.
class FakeClient : public ut_simple_integer_evaluator_client_interface {
 public:
  uint32_t val_from_name(const char* name, bool) override {
    names.push_back(name);
    auto it = values.find(name);
    return it == values.end() ? 0 : it->second;
  }
  uint32_t val_from_fcn(const char* name, int count, const char* const* args, bool) override {
    std::string call = std::string(name) + "(";
    for (int i = 0; i < count; ++i) call += (i ? "|" : "") + std::string(args[i]);
    calls.push_back(call + ")");
    return static_cast<uint32_t>(count);
  }
  std::map<std::string, uint32_t> values;
  std::vector<std::string> names;
  std::vector<std::string> calls;
};

class EvaluatorTest : public ::testing::Test {
 protected:
  uint32_t Eval(const std::string& text) { return evaluator_.evaluate(text, false); }
  // Each row is "expression -> value".
  void ExpectValues(std::initializer_list<std::string> rows) {
    for (const std::string& row : rows) {
      const size_t arrow = row.rfind(" -> ");
      EXPECT_EQ(Eval(row.substr(0, arrow)), std::stoul(row.substr(arrow + 4))) << row;
    }
    EXPECT_TRUE(messages_.empty()) << messages_.all();
  }

  oetest::MessageCapture messages_;
  FakeClient client_;
  simple_integer_evaluator evaluator_{&client_};
};

TEST_F(EvaluatorTest, ArithmeticIsModulo32BitsAndGroupsFromTheRight) {
  ExpectValues({"8 - 2 - 1 -> 7", "1 + 2 -> 3", "0 - 1 -> 4294967295", "0xFFFFFFFF + 2 -> 1",
                "0x10 + 010 + 1 -> 25", "-3 -> 4294967293", "+4 -> 4", "(8 - 2) - 1 -> 5",
                "1 << 33 -> 2", "0x80000000 >> 31 -> 1", "6 & 3 -> 2", "6 | 3 -> 7", "6 ^ 3 -> 5",
                "1, 2, 3 -> 3"});
}

TEST_F(EvaluatorTest, PrecedencePrefixOperatorsAndUnsignedComparisons) {
  ExpectValues({"1 | 2 & 3 -> 3", "1 + 1 << 2 -> 8", "1 == 1 && 2 == 3 -> 0", "1 < 2 == 1 -> 1",
                "!0 + 1 -> 2", "!5 -> 0", "- 2 + 5 -> 3", "!!7 -> 1", "0 || 3 -> 1",
                "2 && 3 -> 1"});
  ExpectValues(
      {"-1 > 0 -> 1", "0 - 1 >= 4294967295 -> 1", "0 < -1 -> 1", "3 <= 3 -> 1", "3 != 3 -> 0"});
}

TEST_F(EvaluatorTest, BothOperandsOfLogicalOperatorsAreEvaluated) {
  client_.values["A"] = 1;
  EXPECT_EQ(Eval("A || B"), 1u);
  EXPECT_EQ(Eval("0 && C"), 0u);
  EXPECT_EQ(client_.names, (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(EvaluatorTest, FunctionArgumentsAreNamesAndDecodedStrings) {
  EXPECT_EQ(Eval("f(a, \"b\\n\" c) + g()"), 3u);
  EXPECT_EQ(client_.calls, (std::vector<std::string>{"f(a|b\n|c)", "g()"}));
  // Twelve arguments are accepted, a thirteenth is an error.
  EXPECT_EQ(Eval("h(a b c d e f g h i j k l)"), 12u);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Eval("h(a b c d e f g h i j k l m)"), 0u);
  EXPECT_EQ(messages_.all(), "error: parse error: too many arguments\n");
}

TEST_F(EvaluatorTest, SyntaxErrorsReportTheRestOfTheTextAndGiveZero) {
  const struct {
    const char *text, *near;
  } cases[] = {{"1 +", ""},          {"1 * 2", "* 2"},   {"1 = 2", "= 2"},
               {"(1 + 2", "(1 + 2"}, {"5 )", ")"},       {"\"text\" == 1", "\"text\" == 1"},
               {"f(a,)", ")"},       {"f(, a)", ", a)"}, {"f(12)", "12)"},
               {"f(a", "f(a"},       {"1 2", "2"}};
  for (const auto& c : cases) {
    messages_.clear();
    EXPECT_EQ(Eval(c.text), 0u) << c.text;
    EXPECT_TRUE(evaluator_.get_last_had_error());
    EXPECT_EQ(messages_.all(), "error: parse error: near: \"" + std::string(c.near) + "\"\n")
        << c.text;
  }
  EXPECT_TRUE(client_.calls.empty());
}

TEST_F(EvaluatorTest, QuietEvaluationNeitherReportsNorLooksUpNames) {
  client_.values["X"] = 9;
  EXPECT_EQ(evaluator_.evaluate("X + 1", true), 1u);
  EXPECT_EQ(evaluator_.evaluate("1 +", true), 0u);
  EXPECT_TRUE(client_.names.empty());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(EvaluatorTest, LongAndDeepExpressionsEndWithoutExhaustingTheStack) {
  std::string chain = "1";
  for (int i = 0; i < 50000; ++i) chain += " + 1";
  EXPECT_EQ(Eval(chain), 50001u);
  EXPECT_EQ(Eval(std::string(100000, '!') + "1"), 1u);
  EXPECT_EQ(Eval(std::string(100000, '(') + "1"), 0u);
  EXPECT_EQ(messages_.all(), "error: parse error: expression nested too deeply\n");
  // Past its step budget an expression stops.
  messages_.clear();
  EXPECT_EQ(Eval(chain + chain.substr(1)), 0u);
  EXPECT_EQ(messages_.all(), "error: parse error: expression too complex\n");
}

}  // namespace
