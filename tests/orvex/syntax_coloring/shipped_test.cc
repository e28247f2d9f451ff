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
  EXPECT_EQ(c->kind, synKindC);
  EXPECT_EQ(cpp->kind, synKindCPP);
  EXPECT_EQ(c->preprocessorChar, '#');
  EXPECT_EQ(c->escape, '\\');
  EXPECT_TRUE(c->IsKeyword("while"));
  EXPECT_TRUE(cpp->IsKeyword("constexpr"));
  EXPECT_FALSE(c->IsKeyword("constexpr"));
  EXPECT_EQ(syn_GetLanguageFName("Ada", false)->kind, synKindAda);
  EXPECT_TRUE(syn_GetLanguageFName("Ada", false)->IsKeyword("BEGIN"));
  EXPECT_EQ(syn_GetLanguageFName("Pascal", false)->kind, synKindPascal);
  EXPECT_EQ(syn_GetLanguageFName("Fortran", false)->kind, synKindFortran);
  EXPECT_EQ(syn_GetLanguageFName("Java", false)->kind, synKindJava);
  EXPECT_EQ(syn_GetLanguageFName("Perl", false)->kind, synKindPerl);
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

TEST_F(ShippedTest, OtherNamesAndLines) {
  EXPECT_EQ(Chosen("x.h", "/* -*- c++ -*- */\n"), "C++");
  EXPECT_EQ(Chosen("y.h", "#include <string.h>\n"), "C");
  EXPECT_EQ(Chosen("z.h", "#include <memory>\n"), "C++");
  EXPECT_EQ(Chosen("w.h", "int x;\n"), "C");
  EXPECT_EQ(Chosen("Makefile", "all:\n"), "makefile");
  EXPECT_EQ(Chosen("configure", "#!/bin/bash\n"), "Shell");
  EXPECT_EQ(Chosen("tool", "#!/usr/bin/env bash\n"), "Shell");
  EXPECT_EQ(Chosen("tool2", "#!/usr/bin/python\n"), "Python");
  EXPECT_EQ(Chosen("page", "<html>\n"), "HTML");
  EXPECT_EQ(Chosen("data", "{\n"), "JSON");
  EXPECT_EQ(Chosen("notes.txt", "plain words\n"), "None");
}

}  // namespace
}  // namespace oetest
