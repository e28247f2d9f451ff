// Files without an extension whose first line starts with "#": a Markdown
// title is taken for Markdown, the comment header of a script or of a
// configuration file is not.
#include "orvex/syntax_coloring/syn_fixture.h"

namespace oetest {
namespace {

class MarkdownFirstLineTest : public SynTest {
 protected:
  void SetUp() override {
    SynTest::SetUp();
    cfg_SetUserConfigDir((std::string(OE_SOURCE_DIR) + "/data").c_str());
    syn_LoadLanguageIndex((std::string(OE_SOURCE_DIR) + "/data/syntax_coloring/index.ksc").c_str());
  }
  std::string Chosen(const std::string& first_line) {
    const std::string path = files.write("noext", first_line + "\nmore text\n");
    synLanguage* lang = syn_LanguageOfFile(path.c_str());
    return lang ? lang->name : "<no language>";
  }
};

TEST_F(MarkdownFirstLineTest, TitlesAreMarkdown) {
  for (const char* line :
       {"# Title of the page", "## Installing", "###\tNotes on 2.0", "# The `oe` editor"})
    EXPECT_EQ(Chosen(line), "Markdown") << line;
}

TEST_F(MarkdownFirstLineTest, CommentHeadersAreNot) {
  for (const char* line :
       {"# comment", "# build the release tarball", "#   set up the environment",
        "# Copyright (C) 2024 Someone", "# SPDX-License-Identifier: MIT", "# License: GPL",
        "# Usage: run [options]", "# -*- mode: sh -*-", "# vim: set ts=4:", "# CFLAGS = -O2",
        "#!/bin/frob", "#include <stdio.h>", "#"})
    EXPECT_NE(Chosen(line), "Markdown") << line;
  // The extension still decides for a file that has one.
  EXPECT_EQ(syn_LanguageOfFile(files.write("notes.md", "# comment\n").c_str())->name, "Markdown");
}

}  // namespace
}  // namespace oetest
