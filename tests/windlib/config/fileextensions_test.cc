#include "windlib/config/fileextensions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "config_fixture.h"
#include "shared/libcxxutil/message_capture.h"
#include "support/temp_dir.h"

namespace {

const char kHeader[] = "xdf { xdfheader { version = 1 } }\n";

std::vector<std::string> type_names(const ExtensionPreset* p) {
  std::vector<std::string> names;
  for (const FileType* t : p->fileTypes()) names.push_back(t->name());
  return names;
}

class FileExtensionsTest : public oetest::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    fileExtensions_Reset();
    old_home_ = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", dir.file("home").c_str(), 1);
    cfg_ResetConfigDirs();
  }
  void TearDown() override {
    delete_at_exit_run();
    fileExtensions_Reset();
    setenv("HOME", old_home_.c_str(), 1);
    ConfigTest::TearDown();
  }
  // Writes `text` as `name` in the private directory (parents made).
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = dir.file(name);
    for (size_t slash = path.find('/', dir.path().size() + 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
      mkdir(path.substr(0, slash).c_str(), 0755);
    std::ofstream(path) << text;
    return path;
  }
  int Load(const std::string& text) {
    return fileExtensions_LoadXDFFile(Write("db.udb", text).c_str());
  }
  int Append(const std::string& name, const std::string& text) {
    return fileExtensions_AppendXDFFile(Write(name, text).c_str());
  }
  std::string Dump() {
    std::string text;
    fileExtensions_FileTypeDump(&text);
    fileExtensions_ExtensionPresetDump(&text);
    return text;
  }

  oetest::TempDir dir;
  std::string old_home_;
};

TEST_F(FileExtensionsTest, TypesTakeTheirNameAndPatternsFromTheTree) {
  oetest::MessageCapture capture;
  ASSERT_EQ(Load("xdf { xdfheader { version = 1 }\n"
                 "  csrc { name = \"C\"  extension = { \".c\", \"*.h\", \"Makefile\" } }\n"
                 "  text { extension = \"txt\" }\n"
                 "  bare { }\n"
                 "  C { extension = { \".c\" } }\n"
                 "}\n"),
            1);
  EXPECT_TRUE(capture.empty()) << capture.all();
  EXPECT_EQ(fileExtensions_GetNamedFileType("csrc"), nullptr) << "found by its name attribute";
  // The later "C" (tree name) replaces the entry of the earlier one.
  const FileType* c = fileExtensions_GetNamedFileType("C");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->patterns(), std::vector<std::string>{"*.c"});
  ASSERT_EQ(fileExtensions_GetNamedFileType("text")->patterns(), std::vector<std::string>{"*txt"});
  EXPECT_TRUE(fileExtensions_GetNamedFileType("bare")->patterns().empty());
  EXPECT_EQ(fileExtensions_PresetNames(), std::vector<std::string>{});

  ASSERT_EQ(Load("xdf { xdfheader { version = \"0x1\" }\n"
                 "  csrc { name = \"C\"  extension = { \".c\", \"*.h\", \"Makefile\" } }\n"
                 "  Zed { extension = { \"z\" } }\n"
                 "  \"a b\" { extension = { \"ab\" } }\n"
                 "  presets { P { default = \"C\"  filetype = { \"Zed\", \"C\" } }\n"
                 "            Q { filetype = { \"a b\" } } }\n"
                 "}\n"),
            1)
      << "a version that reads as 1 with base 0";
  EXPECT_EQ(fileExtensions_GetNamedFileType("C")->Label(), "C (*.c, *.h, *Makefile)");
  // Byte-wise name order ("C" < "Zed" < "a b"); preset types sorted in the dump.
  EXPECT_EQ(Dump(),
            "***** FILE TYPE C *****\nName: C\nPattern 0: *.c\nPattern 1: *.h\n"
            "Pattern 2: *Makefile\n\n"
            "***** FILE TYPE Zed *****\nName: Zed\nPattern 0: *z\n\n"
            "***** FILE TYPE a b *****\nName: a b\nPattern 0: *ab\n\n"
            "***** PRESET P *****\nName: P\nDefault file type: C\n"
            "File Type 0: C\nFile Type 1: Zed\n\n"
            "***** PRESET Q *****\nName: Q\nNo default file type\nFile Type 0: a b\n\n");
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("P")), (std::vector<std::string>{"Zed", "C"}))
      << "the preset keeps its own order";
}

TEST_F(FileExtensionsTest, MissingHeaderOrWrongVersionLoadsNothing) {
  oetest::MessageCapture capture;
  ASSERT_EQ(Load(std::string(kHeader) + "xdf { C { extension = { \"c\" } } }\n"), 1);
  ut_options_database* good = fileExtensions_CurrentDatabase();
  ASSERT_NE(good, nullptr);

  EXPECT_EQ(Load("other { C { extension = { \"c\" } } }\n"), 0) << "no xdf tree";
  EXPECT_EQ(Load("xdf { C { extension = { \"c\" } } }\n"), 0) << "no header";
  EXPECT_TRUE(capture.empty()) << "both fail silently: " << capture.all();
  EXPECT_EQ(fileExtensions_GetNamedFileType("C"), nullptr) << "the tables were emptied";
  EXPECT_EQ(fileExtensions_CurrentDatabase(), good) << "a failed load keeps the current database";

  for (const char* header :
       {"xdfheader { version = 2 }", "xdfheader { }", "xdfheader { version = \"one\" }"}) {
    capture.clear();
    EXPECT_EQ(Load(std::string("xdf { ") + header + " C { extension = { \"c\" } } }\n"), 0)
        << header;
    EXPECT_EQ(capture.all(), "warning: XDF version is not 1.  File types not loaded.\n") << header;
    EXPECT_EQ(fileExtensions_GetNamedFileType("C"), nullptr);
  }
}

TEST_F(FileExtensionsTest, AFileThatDoesNotParseLeavesTheEarlierTables) {
  ASSERT_EQ(Load(std::string(kHeader) + "xdf { C { extension = { \"c\" } }\n"
                                        "  presets { P { filetype = { \"C\" } } } }\n"),
            1);
  const std::string before = Dump();
  {
    oetest::MessageCapture capture;
    EXPECT_EQ(Append("bad.udb", "xdf { C { extension = { \"x\" } }\n  broken { = }\n"), 0);
    EXPECT_FALSE(capture.empty()) << "the reader says what is wrong";
  }
  EXPECT_EQ(Dump(), before);
  // The half-read file left nothing behind in the database either.
  EXPECT_EQ(Append("more.udb", "xdf { D { extension = { \"d\" } } }\n"), 1);
  EXPECT_EQ(fileExtensions_GetNamedFileType("C")->patterns(), std::vector<std::string>{"*c"});
  EXPECT_NE(fileExtensions_GetNamedFileType("D"), nullptr);
  EXPECT_EQ(fileExtensions_AppendXDFFile(dir.file("missing.udb").c_str()), 0);
  EXPECT_NE(fileExtensions_GetNamedFileType("D"), nullptr);
}

TEST_F(FileExtensionsTest, AppendedFilesOverrideAndExtendEarlierOnes) {
  ASSERT_EQ(Load(std::string(kHeader) +
                 "xdf { C { extension = { \"c\" } }  Text { extension = { \"txt\" } }\n"
                 "  presets { P { default = \"C\"  filetype = { \"C\" } } } }\n"),
            1);
  // A user's file: its own C patterns, a new type, and that type added to
  // the site's preset.
  ASSERT_EQ(Append("user.udb",
                   "xdf { C { extension = { \"c\", \"h\" } }\n"
                   "  Rust { extension = { \"rs\" } }\n"
                   "  presets { P { filetype += { \"Rust\" } } } }\n"),
            1);
  EXPECT_EQ(fileExtensions_GetNamedFileType("C")->patterns(),
            (std::vector<std::string>{"*c", "*h"}));
  EXPECT_NE(fileExtensions_GetNamedFileType("Text"), nullptr) << "the site's other types stay";
  const ExtensionPreset* p = fileExtensions_GetNamedPreset("P");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(type_names(p), (std::vector<std::string>{"C", "Rust"}));
  EXPECT_EQ(p->defaultType(), fileExtensions_GetNamedFileType("C"));

  // The whole is what gets written back.
  std::string out = dir.file("whole.udb");
  ASSERT_EQ(fileExtensions_WriteXDFFile(out.c_str()), 1);
  fileExtensions_Reset();
  EXPECT_EQ(fileExtensions_WriteXDFFile(dir.file("none.udb").c_str()), 1);
  EXPECT_NE(access(dir.file("none.udb").c_str(), F_OK), 0) << "nothing to write";
  ASSERT_EQ(fileExtensions_LoadXDFFile(out.c_str()), 1);
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("P")),
            (std::vector<std::string>{"C", "Rust"}));
}

TEST_F(FileExtensionsTest, InclusionsFollowTheirOrderWithoutRepeats) {
  oetest::MessageCapture capture;
  ASSERT_EQ(
      Load(std::string(kHeader) +
           "xdf { a { } b { } c { } d { } e { }\n"
           "  presets {\n"
           "    All { default = \"a\"  filetype = { \"a\" }  include = { \"Src\", \"Docs\" } }\n"
           "    Src { default = \"b\"  filetype = { \"b\", \"c\" }  include = { \"Docs\" } }\n"
           "    Docs { filetype = { \"d\" }  include = { \"Last\" } }\n"
           "    Last { filetype = { \"e\", \"c\" } }\n"
           "  } }\n"),
      1);
  EXPECT_TRUE(capture.empty()) << capture.all();
  // Own types, then each inclusion's complete list in include order; a type
  // reached twice (c, and Docs through Src and directly) is listed once.
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("All")),
            (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  // Src and Docs were merged inside All before their own turn came.
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("Src")),
            (std::vector<std::string>{"b", "c", "d", "e"}));
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("Docs")),
            (std::vector<std::string>{"d", "e", "c"}));
  EXPECT_EQ(fileExtensions_GetNamedPreset("Docs")->defaultType(), nullptr)
      << "a default is never taken from an included preset";
  EXPECT_EQ(fileExtensions_GetNamedPreset("All")->defaultType()->name(), "a");
}

TEST_F(FileExtensionsTest, CircularAndUnknownInclusionsAreReportedAndTheRestIsUsable) {
  ASSERT_EQ(Load(std::string(kHeader) + "xdf { x { } y { } z { } }\n"), 1);
  oetest::MessageCapture capture;
  EXPECT_EQ(Append("presets.udb",
                   "xdf { presets { A { filetype = { \"x\" }  include = { \"B\" } }\n"
                   "  B { filetype = { \"y\" }  include = { \"A\" } }\n"
                   "  C { filetype = { \"z\" }  include = { \"Nope\", \"C\", \"B\" } } } }\n"),
            0);
  EXPECT_EQ(capture.all(),
            "error: Circularity detected in preset inclusion.  Preset path is: A, B\n\n"
            "error: Circularity detected in preset inclusion.  Preset path is: B, A\n\n"
            "error: Preset Nope does not exist for inclusion by C\n"
            "error: Circularity detected in preset inclusion.  Preset path is: C\n\n"
            "error: Circularity detected in preset inclusion.  Preset path is: C, B, A\n\n");
  // Every preset is still there with what could be merged.
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("A")), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("C")),
            (std::vector<std::string>{"z", "y", "x"}));
  EXPECT_EQ(fileExtensions_GetNamedFileType("x")->name(), "x");
  // What was read stays in the database: a later file that repairs the
  // inclusions builds on it.
  capture.clear();
  EXPECT_EQ(Append("fix.udb",
                   "xdf { presets { B { include = { } }\n"
                   "  C { include = { \"B\" } } } }\n"),
            1)
      << capture.all();
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("A")), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("B")), std::vector<std::string>{"y"});
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("C")), (std::vector<std::string>{"z", "y"}));
}

TEST_F(FileExtensionsTest, APresetNamingUnknownTypesIsLeftOutAndNothingIsMerged) {
  oetest::MessageCapture capture;
  EXPECT_EQ(Load(std::string(kHeader) +
                 "xdf { x { } y { }\n"
                 "  presets { Good { filetype = { \"x\" }  include = { \"Other\" } }\n"
                 "            Other { filetype = { \"y\" } }\n"
                 "            bad1 { name = \"Bad\"  filetype = { \"q1\", \"x\", \"q2\" } }\n"
                 "            bad2 { default = \"gone\"  filetype = { \"x\" } } } }\n"),
            0);
  EXPECT_EQ(messages,
            "Preset Bad has an unknown filetype q1\n"
            "Preset Bad has an unknown filetype q2\n"
            "Could not parse preset: bad1\n"
            "Preset bad2 has a non-existent default file type gone\n"
            "Could not parse preset: bad2\n");
  EXPECT_EQ(fileExtensions_GetNamedPreset("Bad"), nullptr);
  EXPECT_EQ(fileExtensions_GetNamedPreset("bad2"), nullptr);
  ASSERT_NE(fileExtensions_GetNamedPreset("Good"), nullptr);
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("Good")), std::vector<std::string>{"x"})
      << "inclusions are not merged after a preset failed";
  EXPECT_EQ(fileExtensions_CurrentDatabase(), nullptr) << "the failed database was dropped";
}

TEST_F(FileExtensionsTest, DefaultChangesOnlyToATypeOfThePreset) {
  ASSERT_EQ(
      Load(std::string(kHeader) +
           "xdf { C { } H { } Other { }\n"
           "  presets { P { default = \"Other\"  filetype = { \"C\" }  include = { \"Q\" } }\n"
           "            Q { filetype = { \"H\" } } } }\n"),
      1);
  ExtensionPreset* p = fileExtensions_GetNamedPreset("P");
  EXPECT_EQ(p->defaultType()->name(), "Other") << "a default outside the list is accepted";
  EXPECT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("P", "Other"), 0);
  EXPECT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("P", "Missing"), 0);
  EXPECT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("Missing", "C"), 0);
  EXPECT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset(nullptr, nullptr), 0);
  EXPECT_EQ(p->defaultType()->name(), "Other");
  EXPECT_EQ(fileExtensions_GetNamedPreset("Missing"), nullptr) << "lookups never create";
  EXPECT_EQ(fileExtensions_GetNamedFileType("Missing"), nullptr);
  EXPECT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("P", "H"), 1) << "an included type";
  EXPECT_EQ(p->defaultType()->name(), "H");
}

TEST_F(FileExtensionsTest, DefaultsFileHoldsEveryPresetsDefault) {
  ASSERT_EQ(Load(std::string(kHeader) +
                 "xdf { C { } \"Say \\\"hi\\\"\" { }\n"
                 "  presets { \"Edit File\" { filetype = { \"C\", \"Say \\\"hi\\\"\" } }\n"
                 "            Plain { filetype = { \"C\" } } } }\n"),
            1);
  ASSERT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("Edit File", "Say \"hi\""), 1);
  std::string path = dir.file("defaults.udf");
  ASSERT_EQ(filechooser_WritePresetDefaultFileTypesToFile(path.c_str()), 1);
  // Read back as a file of its own: the header and one preset, nothing for
  // the preset without a default.
  ut_options_database back("check");
  ASSERT_TRUE(back.read_from_file_name(path.c_str()));
  EXPECT_EQ(
      back.find_child_child_tree("xdf", "xdfheader")->get_optional_str_attribute("version", ""),
      std::string("1"));
  const ut_attribute_tree* presets = back.find_child_child_tree("xdf", "presets");
  ASSERT_NE(presets, nullptr);
  EXPECT_EQ(presets->count_child_trees(false), 1);
  EXPECT_EQ(presets->get_child_str_attribute("Edit File", "default", ""),
            std::string("Say \"hi\""));

  debugFlag[xsDashRunFixes] = 1;
  std::string other = dir.file("other.udf");
  EXPECT_EQ(filechooser_WritePresetDefaultFileTypesToFile(other.c_str()), 1);
  EXPECT_NE(access(other.c_str(), F_OK), 0) << "dashRunFixes writes nothing";
  debugFlag[xsDashRunFixes] = 0;
  oetest::MessageCapture capture;
  const std::string unwritable = dir.file("no/such/dir.udf");
  EXPECT_EQ(filechooser_WritePresetDefaultFileTypesToFile(unwritable.c_str()), 0);
  EXPECT_EQ(capture.all(), "error: failed when writing " + unwritable + "\n");
}

TEST_F(FileExtensionsTest, StartUpReadsEachDirectoryInOrderAndExitKeepsTheChoice) {
  // The site directories are the test program's; the files made there are
  // removed again at the end.
  const std::string site_default = std::string(cfg_GetSiteDefaultConfigDir()) + "/file_types";
  const std::string site = std::string(cfg_GetSiteConfigDir()) + "/file_types";
  mkdir(cfg_GetSiteDefaultConfigDir(), 0755);
  mkdir(cfg_GetSiteConfigDir(), 0755);
  ASSERT_TRUE(mkdir(site_default.c_str(), 0755) == 0 || errno == EEXIST);
  ASSERT_TRUE(mkdir(site.c_str(), 0755) == 0 || errno == EEXIST);
  struct Cleanup {
    std::string a, b;
    ~Cleanup() {
      unlink((a + "/extensions.udb").c_str());
      unlink((b + "/extensions.udb").c_str());
      rmdir(a.c_str());
      rmdir(b.c_str());
    }
  } cleanup{site_default, site};

  // Nothing anywhere: no tables, every lookup none, and no user directory
  // made at exit.
  EXPECT_EQ(fileExtensions_Initialize(), 1);
  EXPECT_TRUE(fileExtensions_FileTypeNames().empty());
  EXPECT_EQ(fileExtensions_GetNamedPreset("Edit"), nullptr);
  delete_at_exit_run();
  EXPECT_NE(access(dir.file("home/.kvx").c_str(), F_OK), 0);

  std::ofstream(site_default + "/extensions.udb")
      << kHeader
      << "xdf { C { extension = { \"c\" } }  H { extension = { \"h\" } }\n"
         "  Txt { extension = { \"txt\" } }\n"
         "  presets { Edit { default = \"C\"  filetype = { \"C\", \"H\" } } } }\n";
  std::ofstream(site + "/extensions.udb") << "xdf { H { extension = { \"h\", \"hh\" } } }\n";
  Write("home/.kvx/file_types/extensions.udb",
        "xdf { presets { Edit { filetype += { \"Txt\" } } } }\n");
  ASSERT_EQ(fileExtensions_Initialize(), 1);
  EXPECT_EQ(fileExtensions_GetNamedFileType("H")->patterns(),
            (std::vector<std::string>{"*h", "*hh"}))
      << "the site's file overrides the shipped one";
  EXPECT_EQ(type_names(fileExtensions_GetNamedPreset("Edit")),
            (std::vector<std::string>{"C", "H", "Txt"}))
      << "the user's file extends the preset";
  ASSERT_EQ(fileExtensions_ChangeDefaultFileTypeForPreset("Edit", "Txt"), 1);
  delete_at_exit_run();
  EXPECT_TRUE(fileExtensions_FileTypeNames().empty()) << "the writer empties the tables";
  const std::string saved = dir.file("home/.kvx/extension_defaults.udf");
  ASSERT_EQ(access(saved.c_str(), R_OK), 0);

  // The next start restores the choice.
  ASSERT_EQ(fileExtensions_Initialize(), 1);
  EXPECT_EQ(fileExtensions_GetNamedPreset("Edit")->defaultType()->name(), "Txt");

  // A defaults file that cannot be read fails the start-up but keeps what
  // the other files gave.
  delete_at_exit_run();
  std::ofstream(saved) << "xdf { presets { Edit { default = \n";
  {
    oetest::MessageCapture capture;
    EXPECT_EQ(fileExtensions_Initialize(), 0);
  }
  ASSERT_NE(fileExtensions_GetNamedPreset("Edit"), nullptr);
  EXPECT_EQ(fileExtensions_GetNamedPreset("Edit")->defaultType()->name(), "C");
}

TEST_F(FileExtensionsTest, ShippedDatabaseCoversEveryLanguageAndTheChoosersPresets) {
  oetest::MessageCapture capture;
  ASSERT_EQ(fileExtensions_LoadXDFFile(OE_SOURCE_DIR "/data/file_types/extensions.udb"), 1)
      << capture.all();
  EXPECT_TRUE(capture.empty()) << capture.all();
  EXPECT_TRUE(messages.empty()) << messages;
  // Each extension of the language index is matched by a type's pattern.
  ut_options_database index("Language Index");
  ASSERT_TRUE(index.read_from_file_name(OE_SOURCE_DIR "/data/syntax_coloring/index.ksc"));
  std::set<std::string> patterns;
  for (const std::string& name : fileExtensions_FileTypeNames())
    for (const std::string& p : fileExtensions_GetNamedFileType(name.c_str())->patterns())
      patterns.insert(p);
  int languages = 0;
  for (const ut_attribute_tree* l = index.get_first_child(false); l; l = l->get_next_child(false)) {
    ++languages;
    for (auto* e = l->get_optional_str_list_attribute("extension"); e; e = e->next)
      EXPECT_TRUE(patterns.count("*." + e->str)) << l->get_name() << ": ." << e->str;
  }
  EXPECT_GT(languages, 10);
  for (const char* preset : {"EditFile", "SaveFile", "TagFile", "ConfigFile"}) {
    const ExtensionPreset* p = fileExtensions_GetNamedPreset(preset);
    ASSERT_NE(p, nullptr) << preset;
    ASSERT_NE(p->defaultType(), nullptr) << preset;
    EXPECT_TRUE(p->HasFileType(p->defaultType())) << preset;
    EXPECT_EQ(p->fileTypes().front(), p->defaultType()) << preset;
  }
}

}  // namespace
