// The file types of the "Edit File" chooser as a user meets them: the type
// chosen in the pulldown filters the list, and the next start offers it
// first.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/editor_session.h"
#include "windlib/config/fileextensions.h"

namespace {

using oetest::EditorSession;

// Where "C" stands in the shipped "Edit File" pulldown, read from the
// shipped types themselves.
int shipped_index_of_c() {
  fileExtensions_Reset();
  if (fileExtensions_LoadXDFFile(OE_SOURCE_DIR "/data/file_types/extensions.udb") != 1) return -1;
  std::vector<const FileType*> types = fileExtensions_ChooserTypes("EditFile", {});
  auto it =
      std::find_if(types.begin(), types.end(), [](const FileType* t) { return t->name() == "C"; });
  const int index = it == types.end() ? -1 : static_cast<int>(it - types.begin());
  fileExtensions_Reset();
  return index;
}

// The default type of each preset in a defaults file ("" when none).
std::string default_in(const std::string& path, const char* preset) {
  ut_options_database db("check");
  if (!db.read_from_file_name(path.c_str())) return "<unreadable>";
  const ut_attribute_tree* presets = db.find_child_child_tree("xdf", "presets");
  return presets ? presets->get_child_optional_str_attribute(preset, "default", "") : "";
}

class FileTypes : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }

  // Chooses a.c in the focused chooser (typed, then Return) and closes the
  // editor window it opens, which ends the program.
  void OpenAndClose() {
    s.Type("a.c");
    s.Keys({"Return"});
    std::string w = s.Window("^a\\.c$");
    ASSERT_FALSE(w.empty()) << "a.c opens";
    ASSERT_TRUE(s.Focus(w));
    s.Keys({"ctrl+q"});
    oetest::RunResult& r = s.WaitExit();
    ASSERT_EQ(r.status, 0) << r.err;
  }

  EditorSession s;
};

TEST_F(FileTypes, TheTypeChosenInEditFileIsOfferedFirstAtTheNextStart) {
  const int c_index = shipped_index_of_c();
  ASSERT_GT(c_index, 0) << "the shipped Edit File types list C after their default";
  s.dir().write("a.c", "int a;\n");
  s.dir().write("notes.txt", "text\n");
  const std::string defaults = s.dir().file(".kvx/extension_defaults.udf");

  s.Start({});
  ASSERT_FALSE(s.FocusWindow("Edit File").empty());
  // From the name field to the type pulldown, then down to C.
  s.Keys({"Tab", "Tab"});
  for (int i = 0; i < c_index; ++i) s.Keys({"Down"});
  s.Keys({"shift+Tab", "shift+Tab"});
  ASSERT_NO_FATAL_FAILURE(OpenAndClose());
  EXPECT_EQ(default_in(defaults, "EditFile"), "C") << oetest::TempDir::read(defaults);
  EXPECT_EQ(default_in(defaults, "SaveFile"), "All Files") << "every preset's default is kept";

  // Only the choice is left in the file; the next run writes it whole
  // again, and its chooser, accepted as it comes up, must have had C in
  // effect to keep it.
  s.dir().write(".kvx/extension_defaults.udf",
                "xdf { xdfheader { version = 1 } presets { EditFile { default = \"C\" } } }\n");
  s.Start({});
  ASSERT_FALSE(s.FocusWindow("Edit File").empty());
  ASSERT_NO_FATAL_FAILURE(OpenAndClose());
  EXPECT_EQ(default_in(defaults, "EditFile"), "C") << oetest::TempDir::read(defaults);
  EXPECT_EQ(default_in(defaults, "SaveFile"), "All Files") << oetest::TempDir::read(defaults);
}

}  // namespace
