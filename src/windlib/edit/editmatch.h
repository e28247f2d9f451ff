// Matching paired delimiters: ( ) [ ] { }, the preprocessor group "#if",
// "#ifdef", "#ifndef" closed by "#endif", and begin / end for languages
// whose blocks are words.
#pragma once

#include <cstdint>
#include <string>

#include "windlib/edit/edit.h"

// What a language contributes to delimiter matching.
struct EditMatchLanguage {
  char preprocessor = '#';       // stands for "#" in the preprocessor group
  bool caseInsensitive = false;  // tokens match ignoring case
  bool beginEnd = false;         // begin / end blocks instead of braces
};

// The name of a file's language and what it contributes to matching,
// answered by the language definitions once they are loaded. False when the
// file has no language (or no definitions are loaded).
extern bool (*EditFileLanguageHook)(File* file, std::string* name, EditMatchLanguage* match);

// The view's language for matching: C-like when its file has no language.
EditMatchLanguage EditMatchLanguageOf(Edit* edit);

// The delimiter at or around `at` (a character before `at` first, then at
// it, then a word or preprocessor token the position touches) in *token,
// and the delimiter that matches it in *match. 1 found; 0 no delimiter or
// no match; -1 the scan was interrupted.
int EditFindMatch(Edit* edit, const EditMatchLanguage& lang, TextPos at, TextRange* token,
                  TextRange* match);
