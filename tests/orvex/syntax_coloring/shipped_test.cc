// The shipped language files: each loads without a single message, and each
// language is chosen for a sample file by its extension and by its first
// line.
#include <dirent.h>

#include "orvex/syntax_coloring/syn_fixture.h"

namespace oetest {
namespace {

const std::string kShipped = std::string(OE_SOURCE_DIR) + "/data/syntax_coloring";

class ShippedTest : public SynTest {
 protected:
  void SetUp() override {
    SynTest::SetUp();
    cfg_SetUserConfigDir((std::string(OE_SOURCE_DIR) + "/data").c_str());
    syn_LoadLanguageIndex((kShipped + "/index.ksc").c_str());
  }
  std::string Chosen(const std::string& file_name, const std::string& content) {
    synLanguage* lang = syn_LanguageOfFile(files.write(file_name, content).c_str());
    return lang ? lang->name : "<no language>";
  }
};

TEST_F(ShippedTest, EveryFileLoadsWithoutAMessage) {
  EXPECT_TRUE(messages().empty()) << AllMessages();
  DIR* dir = opendir(kShipped.c_str());
  ASSERT_TRUE(dir);
  int definitions = 0;
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name == "index.ksc" || !name.ends_with(".ksc")) continue;
    auto lang = synLanguage::Load((kShipped + "/" + name).c_str());
    EXPECT_TRUE(lang) << name;
    if (lang) {
      EXPECT_EQ(lang->warningCount, 0) << name;
    }
    ++definitions;
  }
  closedir(dir);
  EXPECT_GE(definitions, 20);
  EXPECT_TRUE(messages().empty()) << AllMessages();
  EXPECT_EQ(bells(), 0);
  // Every entry names a definition of its own name.
  for (auto& e : syn_Entries()) {
    synLanguage* lang = syn_EntryLanguage(e.get());
    ASSERT_TRUE(lang) << e->name;
    EXPECT_EQ(lang->name, e->name);
  }
  EXPECT_TRUE(messages().empty()) << AllMessages();
}

TEST_F(ShippedTest, LanguageKindsAndTables) {
  synLanguage* c = syn_GetLanguageFName("C", false);
  synLanguage* cpp = syn_GetLanguageFName("CPP", false);
  ASSERT_TRUE(c && cpp);
  std::vector<int> kinds;
  for (const char* name : {"C", "CPP", "Ada", "Pascal", "Fortran", "Java", "Perl"})
    kinds.push_back(syn_GetLanguageFName(name, false)->kind);
  EXPECT_EQ(kinds, (std::vector<int>{synKindC, synKindCPP, synKindAda, synKindPascal,
                                     synKindFortran, synKindJava, synKindPerl}));
  EXPECT_EQ(c->preprocessorChar, '#');
  EXPECT_EQ(c->escape, '\\');
  EXPECT_TRUE(c->IsKeyword("while"));
  EXPECT_TRUE(cpp->IsKeyword("constexpr"));
  EXPECT_FALSE(c->IsKeyword("constexpr"));
  EXPECT_TRUE(syn_GetLanguageFName("Ada", false)->IsKeyword("BEGIN"));
}

struct Sample {
  const char* language;
  const char* file;        // named by extension
  const char* first_line;  // for a file without a telling name
};

const Sample kSamples[] = {
    {"C", "main.c", "#include <stdio.h>"},
    {"C++", "main.cpp", "#include <vector>"},
    {"Ada", "main.adb", "with Ada.Text_IO; use Ada.Text_IO;"},
    {"Pascal", "main.pas", "program Hello;"},
    {"Fortran", "main.f90", "program hello"},
    {"Java", "Main.java", "package org.example;"},
    {"Perl", "tool.pl", "#!/usr/bin/perl -w"},
    {"Python", "tool.py", "#!/usr/bin/env python3"},
    {"Shell", "run.sh", "#!/bin/sh"},
    {"makefile", "rules.mk", "#!/usr/bin/make -f"},
    {"JavaScript", "app.js", "#!/usr/bin/env node"},
    {"TypeScript", "app.ts", "#!/usr/bin/env ts-node"},
    {"Rust", "lib.rs", "#![allow(dead_code)]"},
    {"Go", "main.go", "package main"},
    {"HTML", "index.html", "<!DOCTYPE html>"},
    {"XML", "pom.xml", "<?xml version=\"1.0\"?>"},
    {"CMake", "tools.cmake", "cmake_minimum_required(VERSION 3.20)"},
    {"YAML", "ci.yml", "---"},
    {"JSON", "package.json", "{ \"name\": \"x\","},
    {"Markdown", "README.md", "# Title of the page"},
};

TEST_F(ShippedTest, EveryLanguageByExtensionAndByFirstLine) {
  // Every entry has a sample.
  EXPECT_EQ(syn_Entries().size(), std::size(kSamples) + 1);
  for (const Sample& s : kSamples) {
    EXPECT_EQ(Chosen(s.file, "\n"), s.language) << s.file;
    EXPECT_EQ(Chosen("sample", std::string("\n") + s.first_line + "\nmore\n"), s.language)
        << s.first_line;
  }
  EXPECT_TRUE(messages().empty()) << AllMessages();
}

// Each row is "file name|first line => language".
TEST_F(ShippedTest, OtherNamesAndLines) {
  for (const std::string row :
       {"x.h|/* -*- c++ -*- */ => C++", "y.h|#include <string.h> => C",
        "z.h|#include <memory> => C++", "w.h|int x; => C", "Makefile|all: => makefile",
        "configure|#!/bin/bash => Shell", "tool|#!/usr/bin/env bash => Shell",
        "tool2|#!/usr/bin/python => Python", "page|<html> => HTML", "data|{ => JSON",
        "notes.txt|plain words => None"}) {
    const size_t bar = row.find('|'), arrow = row.find(" => ");
    EXPECT_EQ(Chosen(row.substr(0, bar), row.substr(bar + 1, arrow - bar - 1) + "\n"),
              row.substr(arrow + 4))
        << row;
  }
}

}  // namespace
}  // namespace oetest
