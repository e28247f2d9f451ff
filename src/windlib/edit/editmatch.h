// Matching paired delimiters: ( ) [ ] { }, the preprocessor group "#if",
// "#ifdef", "#ifndef" closed by "#endif", and begin / end for languages
// whose blocks are words.
#pragma once

#include <cstdint>

#include "windlib/edit/edit.h"

// What a language contributes to delimiter matching.
struct EditMatchLanguage {
  char preprocessor = '#';       // stands for "#" in the preprocessor group
  bool caseInsensitive = false;  // tokens match ignoring case
  bool beginEnd = false;         // begin / end blocks instead of braces
};

// The view's language for matching (C-like until language definitions
// give files a language).
EditMatchLanguage EditMatchLanguageOf(Edit* edit);

// The delimiter at or around `at` (a character before `at` first, then at
// it, then a word or preprocessor token the position touches) in *token,
// and the delimiter that matches it in *match. 1 found; 0 no delimiter or
// no match; -1 the scan was interrupted.
int EditFindMatch(Edit* edit, const EditMatchLanguage& lang, TextPos at, TextRange* token,
                  TextRange* match);
