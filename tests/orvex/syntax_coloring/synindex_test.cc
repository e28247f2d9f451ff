#include "orvex/syntax_coloring/synindex.h"

#include "orvex/syntax_coloring/syn_fixture.h"

namespace oetest {
namespace {

class SynIndexTest : public SynTest {
 protected:
  // A definition named `name` in "<file>".
  void Lang(const std::string& file, const std::string& name) {
    Definition(file, "general { name = \"" + name + "\" }");
  }
  // The name of the language chosen for a file holding `content`.
  std::string Chosen(const std::string& file_name, const std::string& content) {
    synLanguage* lang = syn_LanguageOfFile(files.write(file_name, content).c_str());
    return lang ? lang->name : "<no language>";
  }
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (auto& e : syn_Entries()) out.push_back(e->name + "#" + std::to_string(e->id));
    return out;
  }
};

TEST_F(SynIndexTest, NoneFirstAndHiddenEntriesLast) {
  EXPECT_EQ(Names(), (std::vector<std::string>{"None#0"}));
  Index(
      "A { extension = \"a\"; definition_file = \"a.ksc\"; submenu = \"Old\" }\n"
      "B { extension = { \"b\", \"bb\" }; definition_file = \"b.ksc\"; hide = yes;"
      " description = \"Bee\" }\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"None#0", "A#1", "B#2", "Hidden Language#3"}));
  const auto& e = syn_Entries();
  EXPECT_EQ(e[1]->description, "A");
  EXPECT_EQ(e[1]->submenu, "Old");
  EXPECT_EQ(e[2]->description, "Bee");
  EXPECT_TRUE(e[2]->hide);
  EXPECT_EQ(e[2]->extensions, (std::vector<std::string>{"b", "bb"}));
  EXPECT_FALSE(e[1]->language);  // read only when needed
  EXPECT_TRUE(messages().empty()) << AllMessages();

  Index(
      "A { extension = \"a\"; definition_file = \"a.ksc\"; hide = 1 }\n"
      "B { extension = \"b\"; definition_file = \"b.ksc\"; hide = yes }\n");
  EXPECT_EQ(syn_Entries().back()->name, "Hidden Languages");
}

TEST_F(SynIndexTest, IndexWarningsDropIncompleteEntries) {
  std::string path = Write("index.ksc",
                           "stray = 1\n"
                           "NoExt { definition_file = \"n.ksc\"; colour = \"red\" }\n"
                           "NoDef { extension = \"d\" }\n"
                           "Marker { description = \"\\x01\" }\n"
                           "{ extension = \"q\"; definition_file = \"q.ksc\" }\n"
                           "Good { extension = \"g\"; definition_file = \"g.ksc\" }\n");
  syn_LoadLanguageIndex(path.c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{"None#0", "Marker#1", "Good#2"}));
  const std::string all = AllMessages();
  for (const std::string& text : {
           "Warning: Invalid attribute(s) is ignored in file:\n\t" + path + "\n",
           "Warning: Invalid attribute NoExt.colour is ignored in file:\n\t" + path + "\n",
           "Warning: No file extension is defined for NoExt in file:\n\t" + path + "\n",
           "Warning: No language definition file is specified for NoDef in file:\n\t" + path + "\n",
           "Warning: The entry without defining language name is ignored in file:\n\t" + path +
               "\n",
       })
    EXPECT_NE(all.find(text), std::string::npos) << text << "\n--- in ---\n" << all;
  EXPECT_EQ(all.find("Marker"), std::string::npos);
}

TEST_F(SynIndexTest, MissingOrBrokenIndexLeavesOnlyNone) {
  syn_LoadLanguageIndex(files.file("absent.ksc").c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{"None#0"}));
  Index("A { extension = \"a\"; definition_file = \"a.ksc\" }\n = = =\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"None#0", "A#1"}));
  EXPECT_EQ(syn_GetLanguageFName("Z", true)->name, "None");
  EXPECT_EQ(syn_GetLanguageFName("Z", false), nullptr);
}

TEST_F(SynIndexTest, BadPatternIsReportedAndDropped) {
  Lang("a.ksc", "A");
  Index(
      "A { extension = \"a\"; definition_file = \"a.ksc\";"
      " first_line_pattern = { \"(\", \"^start\" } }\n");
  EXPECT_NE(AllMessages().find("Error when parsing line pattern regular expression \"(\" for "
                               "language \"A\":\n    "),
            std::string::npos)
      << AllMessages();
  EXPECT_EQ(syn_Entries()[1]->patterns.size(), 1u);
  ASSERT_TRUE(syn_GetLanguageFContent("start here", ""));
  EXPECT_EQ(syn_GetLanguageFContent("start here", "")->name, "A");
  EXPECT_EQ(syn_GetLanguageFContent("no start", ""), nullptr);
}

TEST_F(SynIndexTest, DefinitionsLoadOnceAndFailuresAreRemembered) {
  Lang("a.ksc", "A");
  Index(
      "A { extension = \"a\"; definition_file = \"a.ksc\" }\n"
      "M { extension = \"m\"; definition_file = \"m.ksc\" }\n");
  synLanguage* a = syn_GetLanguageFName("A", false);
  ASSERT_TRUE(a);
  EXPECT_EQ(syn_GetLanguageFName("A", false), a);
  EXPECT_EQ(syn_Entries()[1]->definitionFile, "");

  EXPECT_EQ(syn_GetLanguageFName("M", false), nullptr);
  EXPECT_EQ(messages().size(), 1u) << AllMessages();
  Lang("m.ksc", "M");  // too late: the failure is remembered
  EXPECT_EQ(syn_GetLanguageFName("M", false), nullptr);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(syn_GetLanguageFName("M", true)->name, "None");
}

TEST_F(SynIndexTest, LookupsByNameAndExtension) {
  Lang("cpp.ksc", "C++");
  Lang("c.ksc", "C");
  Lang("h.ksc", "H");
  Index(
      "C { extension = { \"c\", \"h\" }; definition_file = \"c.ksc\" }\n"
      "\"C++\" { extension = { \"cc\", \"h\" }; definition_file = \"cpp.ksc\" }\n"
      "H { extension = \"h\"; definition_file = \"h.ksc\" }\n");
  ASSERT_TRUE(syn_GetLanguageFName("CPP", false));
  EXPECT_EQ(syn_GetLanguageFName("CPP", false)->name, "C++");
  EXPECT_EQ(syn_GetLanguageFName("c", false), nullptr);
  EXPECT_EQ(syn_FindEntry("c", true)->name, "C");

  std::vector<synLanguage*> list;
  EXPECT_EQ(syn_GetLanguageFSuffix("h", &list, 2), 2);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->name, "C");
  EXPECT_EQ(list[1]->name, "C++");
  list.clear();
  EXPECT_EQ(syn_GetLanguageFSuffix("H", &list, 5), 0);
}

// Each row is "line => language" ("-" for a known mode without a language,
// nothing for no marker).
TEST_F(SynIndexTest, ModeMarkers) {
  for (const std::string row :
       {"// -*- c++ -*- => C++", "/*-*-C-*-*/ => C", "-*-\tobjc\t-*- => C", "-*- idl -*- => C++",
        "-*- f90 -*- => Fortran", "-*- fortran -*- => Fortran", "-- -*- ada -*- => Ada",
        "-*- java -*- => Java", "-*- pascal -*- => Pascal", "-*- kvx -*- => KVX-Script",
        "; -*- asm -*- => -", "-*- lisp -*- => ", "-*- c++ => ", "-*- c c++ -*- => "}) {
    const size_t arrow = row.find(" => ");
    EXPECT_EQ(syn_ModeMarkerLanguage(row.substr(0, arrow).c_str()), row.substr(arrow + 4)) << row;
  }
}

TEST_F(SynIndexTest, ChoosingTheLanguageOfAFile) {
  Lang("c.ksc", "C");
  Lang("cpp.ksc", "C++");
  Lang("sh.ksc", "Shell");
  Lang("mk.ksc", "makefile");
  Index(
      "C { extension = { \"c\", \"h\" }; definition_file = \"c.ksc\";"
      " first_line_pattern = \"^#include <[a-z]+\\\\.h>\" }\n"
      "\"C++\" { extension = { \"cc\", \"h\" }; definition_file = \"cpp.ksc\" }\n"
      "Shell { extension = \"sh\"; definition_file = \"sh.ksc\";"
      " first_line_pattern = { \"^#!/bin/sh\", \"^#include\" } }\n"
      "makefile { extension = \"mk\"; definition_file = \"mk.ksc\" }\n");
  EXPECT_EQ(Chosen("a.c", "#!/bin/sh\n"), "C");  // one candidate settles it
  EXPECT_EQ(Chosen("a.h", "// -*- c++ -*-\nint x;\n"), "C++");
  EXPECT_EQ(Chosen("b.h", "\n  \n#include <stdio.h>\n"), "C");
  EXPECT_EQ(Chosen("c.h", "int x;\n"), "C");  // the first of two candidates
  // Only entries listing the extension are tried for its files.
  EXPECT_EQ(Chosen("d.h", "#include \"x\"\n"), "C");
  EXPECT_EQ(Chosen("script", "\n\n#!/bin/sh\necho\n"), "Shell");
  EXPECT_EQ(Chosen("e.txt", "#include \"x\"\n"), "Shell");
  EXPECT_EQ(Chosen("f.x", "; -*- asm -*-\n"), "<no language>");
  EXPECT_EQ(Chosen("GNUmakefile", "all:\n"), "makefile");
  EXPECT_EQ(Chosen("notes", "plain\n"), "None");
  EXPECT_EQ(Chosen("late", std::string(10, '\n') + "#!/bin/sh\n"), "None");
  EXPECT_EQ(syn_LanguageOfFile(files.file("missing.x").c_str())->name, "None");
  EXPECT_EQ(syn_LanguageOfFile("")->name, "None");

  cfg_SetOption(cfg_FindOption("colorsyntax"), "off", true);
  EXPECT_EQ(Chosen("g.c", "x\n"), "<no language>");
}

TEST_F(SynIndexTest, SourcePathAndResolvingFiles) {
  syn_LoadSourcePath();
  EXPECT_EQ(syn_SourcePath(), (std::vector<std::string>{"."}));
  mkdir(files.file("one").c_str(), 0755);
  mkdir(files.file("two").c_str(), 0755);
  mkdir(files.file("one/x.c").c_str(), 0755);  // a directory does not count
  files.write("two/x.c", "");
  std::string path =
      Write("kvx_editor.ksd", "source = { \"" + files.file("one") + "\", \"" + files.file("two") +
                                  "\" }\nother = 1\nt1 { a = 1 }\nt2 { a = 1 }\n");
  syn_LoadSourcePath();
  EXPECT_EQ(syn_SourcePath().size(), 2u);
  EXPECT_EQ(syn_ResolveFile("x.c"), files.file("two/x.c"));
  EXPECT_EQ(syn_ResolveFile("y.c"), "");
  EXPECT_EQ(syn_ResolveFile(files.file("two/x.c").c_str()), files.file("two/x.c"));
  const std::string all = AllMessages();
  EXPECT_NE(all.find("Warning: There are 2 unknown tree attributes in \"" + path + "\"\n"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("Warning: Unknown attribute \"other\" in \"" + path + "\"\n"),
            std::string::npos);
}

}  // namespace
}  // namespace oetest
