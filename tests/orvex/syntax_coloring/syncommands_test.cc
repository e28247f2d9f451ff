// The editor's side of languages: files take a language when they open,
// SelectLanguage changes it, kernel items are shared between files.
#include "orvex/syntax_coloring/syncommands.h"

#include "orvex/syntax_coloring/synextra.h"
#include "shipped_languages_fixture.h"
#include "windlib/x11/wmenu.h"
#include "windlib/x11/wmenubar.h"

namespace oetest {
namespace {

class SynCommandsTest : public ShippedLanguagesTest {
 protected:
  static std::string LanguageOf(File* f) { return f->language ? f->language->name : "<none>"; }
};

TEST_F(SynCommandsTest, FilesTakeTheirLanguageWhenTheyOpen) {
  EXPECT_EQ(LanguageOf(Open("a.py", "x = 1\n")), "Python");
  EXPECT_EQ(LanguageOf(Open("b.h", "// -*- c++ -*-\n")), "C++");
  EXPECT_EQ(LanguageOf(Open("run", "#!/bin/sh\n")), "Shell");
  EXPECT_EQ(LanguageOf(Open("notes.txt", "words\n")), "None");
}

TEST_F(SynCommandsTest, SelectLanguageSetsTheFilesLanguage) {
  File* f = Open("a.c", "int x;\n");
  EditWindow* w = Window(f);
  Edit* e = w->edit();
  EXPECT_EQ(LanguageOf(f), "C");
  EXPECT_EQ(EditCli(e, "SelectLanguage cpp"), 1);
  EXPECT_EQ(LanguageOf(f), "C++");
  EXPECT_EQ(EditCli(e, "SelectLanguage None"), 1);
  EXPECT_EQ(LanguageOf(f), "None");

  e->message.clear();
  EXPECT_NE(EditCli(e, "SelectLanguage"), 1);
  EXPECT_FALSE(e->message.empty());
  // Listed in the index, but its definition is not there.
  e->message.clear();
  EXPECT_NE(EditCli(e, "SelectLanguage Rust"), 1);
  EXPECT_NE(e->message.find("could not be loaded"), std::string::npos) << e->message;
  EXPECT_EQ(LanguageOf(f), "None");
  EXPECT_EQ(Text(f), "int x;\n");
}

TEST_F(SynCommandsTest, TheWindowsLanguageMenuSelects) {
  File* f = Open("a.c", "int x;\n");
  EditWindow* w = Window(f);
  ASSERT_TRUE(w->menuBar());
  std::shared_ptr<WMenu> languages;
  for (int i = 0; i < w->menuBar()->menuCount(); ++i)
    if (w->menuBar()->menuAt(i)->title() == "Language") languages = w->menuBar()->menuAt(i);
  ASSERT_TRUE(languages);
  ASSERT_GE(languages->items().size(), 3u);
  EXPECT_EQ(languages->items()[0].label, "None");
  EXPECT_EQ(LanguageOf(f), "C");
  languages->items()[2].action();
  EXPECT_EQ(LanguageOf(f), "C++");
}

TEST_F(SynCommandsTest, KernelItemsAreSharedBetweenFiles) {
  const std::string path = config.write("syntax_coloring/vxk_cust.ksc",
                                        "language { customized { pattern = { \"semGive\" } } }\n");
  File* a = Open("a.c", "");
  File* b = Open("b.cpp", "");
  File* p = Open("c.py", "");
  EXPECT_EQ(File_LoadCustomizedItemForRtos(a, "C", "VXK"), 1);
  EXPECT_EQ(File_LoadCustomizedItemForRtos(b, "CPP", "vxk"), 1);
  EXPECT_EQ(File_LoadCustomizedItemForRtos(p, "Python", "vxk"), 0);
  EXPECT_EQ(File_LoadCustomizedItemForRtos(a, "C", "other"), 0);
  ASSERT_TRUE(syn_FileExtraItems(a));
  EXPECT_EQ(syn_FileExtraItems(a), syn_FileExtraItems(b));
  EXPECT_EQ(syn_FileExtraItems(a)->items.words, (std::vector<std::string>{"semGive"}));
  EXPECT_EQ(syn_FileExtraItems(p), nullptr);
  EXPECT_EQ(syn_ExtraItemsUsers(path.c_str()), 2);
  syn_DropExtraItems(a);
  EXPECT_EQ(syn_ExtraItemsUsers(path.c_str()), 1);
  syn_DropExtraItems(b);
  EXPECT_EQ(syn_ExtraItemsUsers(path.c_str()), 0);
}

}  // namespace
}  // namespace oetest
