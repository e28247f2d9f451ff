// The in-memory tree: children, attributes and their typed getters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/message_capture.h"
#include "shared/libcxxutil/ut_attribute_tree.h"

namespace {

std::string Names(const ut_attribute_tree& node, bool skip_hidden = false) {
  std::string out;
  for (ut_attribute_tree* c = node.get_first_child(skip_hidden); c;
       c = c->get_next_child(skip_hidden))
    out += std::string(c->get_name()) + ",";
  return out;
}

std::string Keys(const ut_attribute_tree& node) {
  std::string out;
  for (ut_attribute_tree_attribute* a = node.get_first_attribute(); a;
       a = node.get_next_attribute(a))
    out += a->key() + ",";
  return out;
}

TEST(AttributeTreeTest, ChildrenAreFoundAddedAndRemovedInOrder) {
  ut_attribute_tree root(nullptr);
  EXPECT_STREQ(root.get_name(), "");
  ut_attribute_tree* a = root.add_child_tree("a");
  ut_attribute_tree* b1 = root.add_child_tree("b");
  ut_attribute_tree* b2 = root.add_child_tree("b");
  EXPECT_EQ(root.find_child_tree("b"), b1);
  EXPECT_EQ(root.find_or_add_child_tree("a"), a);
  EXPECT_EQ(root.find_child_tree(""), nullptr);
  EXPECT_EQ(root.find_child_tree(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(root.find_child_child_tree("a", "x"), nullptr);
  EXPECT_EQ(Names(root), "a,b,b,");
  EXPECT_EQ(root.remove_child_tree(b1, false), b1);
  EXPECT_EQ(b1->get_parent(), nullptr);
  EXPECT_EQ(root.find_child_tree("b"), b2);
  // A node that is not a child comes back untouched, even when asked to
  // destroy it.
  EXPECT_EQ(root.remove_child_tree(b1, true), b1);
  delete b1;
  EXPECT_EQ(root.remove_child_tree("b", true), nullptr);
  EXPECT_EQ(Names(root), "a,");
  // The last-child link was fixed: appending still works.
  root.add_child_tree("c");
  EXPECT_EQ(Names(root), "a,c,");
  EXPECT_EQ(root.count_child_trees(false), 2);
}

TEST(AttributeTreeTest, ManyChildrenStayConsistentThroughTheNameIndex) {
  ut_attribute_tree root("r");
  for (int i = 0; i < 50; ++i) root.add_child_tree(("n" + std::to_string(i % 20)).c_str());
  ut_attribute_tree* first = root.find_child_tree("n7");
  ut_attribute_tree* eighth = root.get_first_child(false);
  for (int i = 0; i < 7; ++i) eighth = eighth->get_next_child(false);
  EXPECT_EQ(first, eighth);
  root.remove_child_tree(first, true);
  ut_attribute_tree* second = root.find_child_tree("n7");
  ASSERT_NE(second, nullptr);
  root.move_child_to_front("n7");
  EXPECT_STREQ(root.get_first_child(false)->get_name(), "n7");
  EXPECT_NE(root.get_first_child(false), second);  // the last n7 moved to the head last
  root.sort_children_by_name();
  EXPECT_STREQ(root.get_first_child(false)->get_name(), "n0");
  EXPECT_NE(root.find_child_tree("n19"), nullptr);
  EXPECT_EQ(root.count_child_trees(false), 49);
}

TEST(AttributeTreeTest, HiddenChildrenAreSkippedOnRequest) {
  ut_attribute_tree root("r");
  root.add_child_tree("a");
  root.add_child_tree("b")->set_hidden(true);
  root.add_child_tree("c");
  EXPECT_EQ(Names(root, true), "a,c,");
  EXPECT_EQ(Names(root, false), "a,b,c,");
  EXPECT_EQ(root.count_child_trees(true), 2);
  root.get_first_child(false)->set_hidden(true);
  EXPECT_STREQ(root.get_first_child(true)->get_name(), "c");
}

TEST(AttributeTreeTest, SortingByAttributesPutsMissingValuesLast) {
  ut_attribute_tree root("r");
  auto add = [&](const char* name, const char* k1, const char* k2) {
    ut_attribute_tree* c = root.add_child_tree(name);
    if (k1) c->add_str_attribute("k1", k1);
    if (k2) c->add_str_attribute("k2", k2);
  };
  add("e", "b", nullptr);
  add("d", "a", "y");
  add("c", "a", "x");
  add("b", nullptr, "a");
  root.find_child_tree("b")->add_int32_attribute("k1", 3);  // not a str: counts as none
  add("a", "b", "z");
  root.sort_children_by_str_attribute("k1", "k2");
  EXPECT_EQ(Names(root), "c,d,a,e,b,");
  root.sort_children_by_str_attribute("k1", nullptr);
  EXPECT_EQ(Names(root), "c,d,a,e,b,");
  root.sort_children_by_name();
  EXPECT_EQ(Names(root), "a,b,c,d,e,");
  root.move_child_to_front("d");
  EXPECT_EQ(Names(root), "d,a,b,c,e,");
}

TEST(AttributeTreeTest, CopiesAreDeepOrShallowAndNeverSeeThemselves) {
  ut_attribute_tree root("r");
  ut_attribute_tree* src = root.add_child_tree("src");
  src->add_str_attribute("s", "text");
  src->append_str_list_attribute("l", "x");
  src->append_int32_list_attribute("n", 4);
  src->add_child_tree("kid")->add_int32_attribute("k", 1);
  ut_attribute_tree* shallow = root.add_copy_of_child_tree(src, false, "flat");
  EXPECT_STREQ(shallow->get_name(), "flat");
  EXPECT_EQ(Keys(*shallow), "s,l,n,");
  EXPECT_EQ(shallow->count_child_trees(false), 0);
  // Copy of a node into itself, deep: the copy does not contain itself.
  ut_attribute_tree* self = src->add_copy_of_child_tree(src, true);
  EXPECT_STREQ(self->get_name(), "src");
  EXPECT_EQ(Names(*self), "kid,");
  EXPECT_EQ(self->find_child_tree("kid")->get_int32_attribute("k", 0), 1);
  // The copies own their strings and lists.
  src->append_str_list_attribute("l", "y");
  EXPECT_EQ(self->get_str_list_attribute("l")->next, nullptr);
  EXPECT_EQ(self->get_int32_list_attribute("n")->value, 4);

  ut_attribute_tree dst("d");
  dst.add_str_attribute("s", "kept");
  dst.add_copy_of_child_tree_attributes(src, false);
  EXPECT_STREQ(dst.get_str_attribute("s", nullptr), "kept");
  EXPECT_EQ(Keys(dst), "s,");  // lists are not copied
  dst.add_copy_of_child_tree_attributes(src, true);
  EXPECT_STREQ(dst.get_str_attribute("s", nullptr), "text");
}

TEST(AttributeTreeTest, ReplaceKeepsThePositionAndAppendConvertsTypes) {
  ut_attribute_tree n("n");
  n.add_int32_attribute("a", 1);
  n.add_str_attribute("b", "x");
  EXPECT_TRUE(n.add_or_replace_str_attribute("a", "one"));
  EXPECT_FALSE(n.add_or_replace_int32_attribute("c", 3));
  EXPECT_EQ(Keys(n), "a,b,c,");
  EXPECT_EQ(n.get_first_attribute()->type(), ut_attribute_type_str);
  n.append_str_attribute("b", "y");
  n.append_str_attribute("c", "text");
  n.append_str_attribute("d", "new");
  EXPECT_STREQ(n.get_str_attribute("b", nullptr), "xy");
  EXPECT_STREQ(n.get_str_attribute("c", nullptr), "text");
  n.append_str_list_attribute("b", "only");
  n.append_str_list_attribute("b", "two");
  EXPECT_EQ(n.get_str_list_attribute("b")->str, "only");
  EXPECT_EQ(n.get_str_list_attribute("b")->next->str, "two");
  n.append_int32_list_attribute("a", 5);
  EXPECT_EQ(n.get_int32_list_attribute("a")->value, 5);
  EXPECT_TRUE(n.remove_attribute("b"));
  EXPECT_FALSE(n.remove_attribute("b"));
  EXPECT_EQ(Keys(n), "a,c,d,");
  // The plain add does not look for an existing key; lookups find the first.
  n.add_int32_attribute("c", 9);
  EXPECT_EQ(n.get_num_attributes(), 4);
  EXPECT_STREQ(n.get_str_attribute("c", nullptr), "text");
}

TEST(AttributeTreeTest, ManyAttributesStayConsistentThroughTheKeyIndex) {
  ut_attribute_tree n("n");
  for (int i = 0; i < 100; ++i) n.add_int32_attribute(("k" + std::to_string(i)).c_str(), i);
  EXPECT_EQ(n.get_int32_attribute("k42", -1), 42);
  EXPECT_TRUE(n.remove_attribute("k10"));
  EXPECT_EQ(n.get_int32_attribute("k11", -1), 11);
  EXPECT_EQ(n.get_optional_int32_attribute("k10", -1), -1);
  EXPECT_TRUE(n.add_or_replace_int32_attribute("k99", 7));
  EXPECT_FALSE(n.add_or_replace_int32_attribute("k10", 10));
  EXPECT_EQ(n.get_int32_attribute("k10", -1), 10);
  EXPECT_EQ(n.get_int32_attribute("k99", -1), 7);
}

TEST(AttributeTreeTest, RequiredGettersWarnAndMarkTheNode) {
  oetest::MessageCapture messages;
  ut_attribute_tree root("top");
  ut_attribute_tree* n = root.add_child_tree("a")->add_child_tree("b");
  n->add_str_attribute("s", "text");
  n->add_int32_attribute("i", 5);
  EXPECT_EQ(n->get_int32_attribute("s", 7), 7);
  EXPECT_EQ(n->get_flags() & ut_attribute_tree::kFlagMissingRequired,
            ut_attribute_tree::kFlagMissingRequired);
  EXPECT_STREQ(n->get_str_attribute("gone", "dflt"), "dflt");
  EXPECT_EQ(n->get_str_list_attribute("s"), nullptr);
  EXPECT_TRUE(n->get_bool_attribute("none", true));
  EXPECT_EQ(messages.all(),
            "warning: \"top.a.b\": is missing required int32 attribute \"s\"\n"
            "warning: \"top.a.b\": is missing required str attribute \"gone\"\n"
            "warning: \"top.a.b\": is missing required str_list attribute \"s\"\n"
            "warning: \"top.a.b\": is missing required int32 attribute \"none\"\n");
  messages.clear();
  EXPECT_EQ(n->get_optional_int32_attribute("s", 7), 7);
  EXPECT_STREQ(n->get_optional_str_attribute("i", "d"), "d");
  EXPECT_FALSE(n->get_optional_bool_attribute("s", false));
  EXPECT_EQ(root.get_child_int32_attribute("nochild", "i", 3), 3);
  EXPECT_EQ(root.get_child_child_int32_attribute("a", "b", "i", 3), 5);
  EXPECT_STREQ(root.get_child_child_str_attribute("a", "b", "s", nullptr), "text");
  EXPECT_EQ(root.get_child_optional_int32_attribute("a", "i", 8), 8);
  EXPECT_TRUE(messages.empty()) << messages.all();
}

TEST(AttributeTreeTest, AttributesAsNumbersAcceptWholeNumberStrings) {
  oetest::MessageCapture messages;
  ut_attribute_tree n("n");
  // Strings that are not whole numbers in 32 bits give the default, 9.
  std::vector<int32_t> got;
  for (const char* text : {"0x20", "12abc", "4294967295", ""}) {
    n.add_or_replace_str_attribute("s", text);
    got.push_back(n.get_attribute_as_int32("s", 9));
  }
  EXPECT_EQ(got, (std::vector<int32_t>{32, 9, 9, 9}));
  n.add_int32_attribute("int", -4);
  n.append_str_list_attribute("list", "1");
  EXPECT_EQ(n.get_attribute_as_int32("int", 0), -4);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(n.get_attribute_as_int32("list", 9), 9);
  EXPECT_EQ(n.get_optional_attribute_as_int32("missing", 9), 9);
  EXPECT_EQ(messages.all(), "warning: \"n\": is missing required int32 attribute \"list\"\n");
}

TEST(AttributeTreeTest, BooleanFilenameAndListViewsOfValues) {
  oetest::MessageCapture messages;
  ut_attribute_tree n("n");
  n.add_str_attribute("t", "  TRUE");
  n.add_str_attribute("f", "truly");
  n.add_int32_attribute("i", 2);
  n.add_str_attribute("win", "C:temp");
  n.add_str_attribute("ok", "C:/temp");
  n.add_str_attribute("q", "it's \"x\"");
  EXPECT_TRUE(ut_attribute_tree::get_attribute_bool_value(n.find_attribute("t")));
  EXPECT_FALSE(ut_attribute_tree::get_attribute_bool_value(n.find_attribute("f")));
  EXPECT_TRUE(ut_attribute_tree::get_attribute_bool_value(n.find_attribute("i")));
  EXPECT_STREQ(n.get_filename_attribute("ok", nullptr), "C:/temp");
  EXPECT_TRUE(messages.empty());
  EXPECT_STREQ(n.get_optional_filename_attribute("win", nullptr), "C:temp");
  EXPECT_EQ(messages.all(),
            "warning: filename attribute \"win\" appears to not have been backslashed "
            "\"C:temp\"\n");
  EXPECT_EQ(n.get_str_attribute_quoted("q"), "\"it\\'s \\\"x\\\"\"");
  EXPECT_EQ(n.get_str_attribute_escaped("q"), "it\\'s \\\"x\\\"");

  n.append_str_list_attribute("l", "a");
  n.append_str_list_attribute("l", "b");
  int count = -1;
  char** items =
      ut_attribute_tree::get_attribute_strlist_value(true, &count, n.find_attribute("l"));
  ASSERT_EQ(count, 2);
  EXPECT_STREQ(items[0], "a");
  EXPECT_STREQ(items[1], "b");
  EXPECT_EQ(items[2], nullptr);
  gen_free(items[0]);
  gen_free(items[1]);
  gen_free(items);
  items = ut_attribute_tree::get_attribute_strlist_value(false, &count, n.find_attribute("t"));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(items[0], n.find_attribute("t")->str());
  gen_free(items);
  EXPECT_EQ(ut_attribute_tree::get_attribute_strlist_value(false, &count, n.find_attribute("i")),
            nullptr);
  EXPECT_EQ(count, 0);
}

TEST(AttributeTreeTest, AVeryDeepTreeIsDestroyedWithoutRecursion) {
  auto* root = new ut_attribute_tree("r");
  ut_attribute_tree* n = root;
  for (int i = 0; i < 200000; ++i) n = n->add_child_tree("d");
  delete root;  // a recursive destructor would overflow the stack here
}

}  // namespace
