// The language index: the known languages with their extensions, first-line
// patterns and definition files, the definitions loaded on demand, and the
// choice of a language for a file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvex/syntax_coloring/synlanguage.h"

struct File;
struct synLinePattern;

// One entry of the index.
struct synLanguageAbs {
  synLanguageAbs();
  ~synLanguageAbs();
  synLanguageAbs(const synLanguageAbs&) = delete;
  synLanguageAbs& operator=(const synLanguageAbs&) = delete;

  std::string name;
  std::string description;  // menu text
  std::vector<std::string> extensions;
  std::string definitionFile;  // dropped once the definition was looked for
  std::vector<std::unique_ptr<synLinePattern>> patterns;
  bool hide = false;
  std::string submenu;
  int id = 0;            // position in the index, counting the special entries
  bool special = false;  // "None" and the hidden-languages entry
  bool loadTried = false;
  std::unique_ptr<synLanguage> language;
};

constexpr const char* kSynIndexFile = "syntax_coloring/index.ksc";
constexpr const char* kSynSourcePathFile = "syntax_coloring/kvx_editor.ksd";

// Reads the index at `path` in place of the current one (tests, benchmarks;
// none: only "None").
void syn_LoadLanguageIndex(const char* path);
// The entries in index order: "None" first, the hidden-languages entry last
// when there is one.
const std::vector<std::unique_ptr<synLanguageAbs>>& syn_Entries();
// The entry of that name ("C++" and "CPP" interchangeable), or none.
synLanguageAbs* syn_FindEntry(std::string_view name, bool ignore_case = false);
// The entry's definition, read the first time; none when it failed.
synLanguage* syn_EntryLanguage(synLanguageAbs* entry);

// Reads a definition file; none when it fails (messages printed).
std::unique_ptr<synLanguage> syn_LoadOneFile(const char* path);
// The definition of the entry named `name`; with the fallback, the "None"
// language when there is none.
synLanguage* syn_GetLanguageFName(std::string_view name, bool fallback_to_none);
// The definitions of entries listing `extension`, in index order, at most
// `max`; the count.
int syn_GetLanguageFSuffix(std::string_view extension, std::vector<synLanguage*>* list, int max);
// The definition of the first entry (among those listing `extension` when
// it is not empty) one of whose first-line patterns matches `first_line`.
synLanguage* syn_GetLanguageFContent(std::string_view first_line, std::string_view extension);
// The language for the file at `path`; none when syntax colouring is off.
synLanguage* syn_LanguageOfFile(const char* path);
// The name of the language an editor mode marker ("-*- c++ -*-") in `line`
// names: "" when there is none, "-" for no language.
std::string syn_ModeMarkerLanguage(std::string_view line);

// Chooses the language of one file from its name and first line.
void syn_ChooseFileLanguage(File* f);
// Chooses the language of every file again (after the index was reread).
void syn_RechooseAllFiles();

// The first directory of the source path list holding `name` as a file that
// is not a directory, joined with it; an absolute name as it is; empty when
// none holds it.
std::string syn_ResolveFile(const char* name);
// The source path list, read on first use; syn_LoadSourcePath reads it again.
const std::vector<std::string>& syn_SourcePath();
void syn_LoadSourcePath();
