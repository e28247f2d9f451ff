// A private temporary directory for the copies, captured reports, and
// helpers to read a file's text back.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/file.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"

namespace oetest {

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("oe", 0);
    setenv("TMPDIR", temps.path().c_str(), 1);
    gen_reset_temp_dir();
    EditSettingsToDefaults();
    WSetScriptedResponder([this](const WAskRequest& r) {
      reports.push_back(r.text);
      return WAskReply{r.defaultButton, r.defaultText};
    });
  }
  void TearDown() override {
    while (FileHead()) FileFree(FileHead());
    for (File* f : unlisted) FileFree(f);
    CacheAbort();
    EXPECT_EQ(TempFiles().size(), 0u) << "temporary copies left behind";
    WSetScriptedResponder(nullptr);
    unsetenv("TMPDIR");
    gen_reset_temp_dir();
  }

  File* Load(const std::string& name, const std::string& content) {
    std::string path = files.write(name, content);
    File* f = FileF_File(path.c_str(), true, 0);
    EXPECT_NE(f, nullptr) << path;
    return f;
  }

  // The names in the temporary directory.
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> out;
    if (DIR* d = opendir(temps.path().c_str())) {
      while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') out.push_back(e->d_name);
      closedir(d);
    }
    return out;
  }

  static std::vector<std::string> Lines(File* f) {
    std::vector<std::string> out;
    for (Line* l = f->first; l; l = l->next) out.emplace_back(FileLineText(f, l), l->len);
    return out;
  }

  // The text as saving would write it: a line end after every line.
  static std::string Text(File* f) {
    std::string out;
    for (Line* l = f->first; l; l = l->next) {
      out.append(FileLineText(f, l), l->len);
      out += '\n';
    }
    return out;
  }

  TempDir temps;
  TempDir files;
  std::vector<std::string> reports;
  std::vector<File*> unlisted;
};

}  // namespace oetest
