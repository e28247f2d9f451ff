#include "orvex/syntax_coloring/synmenu.h"

#include "orvex/syntax_coloring/syn_fixture.h"
#include "windlib/x11/wmenu.h"

namespace oetest {
namespace {

class SynMenuTest : public SynTest {};

std::vector<std::string> Labels(const WMenu& m) {
  std::vector<std::string> out;
  for (const WMenuItem& i : m.items()) out.push_back(i.label + (i.submenu ? ">" : ""));
  return out;
}

TEST_F(SynMenuTest, EntriesSubmenusAndHiddenLanguages) {
  Definition("a.ksc", "general { name = \"A\" }");
  Index(
      "A { extension = \"a\"; definition_file = \"a.ksc\"; description = \"A & co\" }\n"
      "B { extension = \"b\"; definition_file = \"b.ksc\"; submenu = \"More\" }\n"
      "C { extension = \"c\"; definition_file = \"c.ksc\"; submenu = \"More\" }\n"
      "D { extension = \"d\"; definition_file = \"d.ksc\"; hide = yes }\n"
      "E { extension = \"e\"; definition_file = \"e.ksc\"; hide = yes; submenu = \"More\" }\n");
  std::vector<std::string> chosen;
  synLanguage* a = syn_GetLanguageFName("A", false);
  auto menu = syn_LanguageMenu([&](const std::string& n) { chosen.push_back(n); }, a);
  EXPECT_EQ(Labels(*menu),
            (std::vector<std::string>{"None", "A && co", "More>", "Hidden Languages>"}));
  EXPECT_EQ(Labels(*menu->items()[2].submenu), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(Labels(*menu->items()[3].submenu), (std::vector<std::string>{"D", "E"}));
  EXPECT_TRUE(menu->items()[1].checked);
  EXPECT_FALSE(menu->items()[0].checked);
  menu->items()[1].action();
  menu->items()[2].submenu->items()[1].action();
  menu->items()[3].submenu->items()[0].action();
  EXPECT_EQ(chosen, (std::vector<std::string>{"A", "C", "D"}));
}

TEST_F(SynMenuTest, WithoutAnIndexOnlyNone) {
  auto menu = syn_LanguageMenu([](const std::string&) {}, nullptr);
  EXPECT_EQ(Labels(*menu), (std::vector<std::string>{"None"}));
}

}  // namespace
}  // namespace oetest
