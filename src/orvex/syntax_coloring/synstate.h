// The syntax state word of a position: which lexical element is open there.
// The bits are those of windlib/file/filesyntax.h; this adds their names,
// the one class a state is drawn as, and the questions other modules ask.
#pragma once

#include <cstdint>
#include <string>

#include "windlib/file/filesyntax.h"

class synLanguage;

// The first class of a state in drawing priority: string (pair 0, then 1),
// character (pair 0, then 1), dead code, comment, line comment, keyword,
// integer, float, customized, block; null when none of these is set.
uint32_t GetPureSyntaxStatus(uint32_t state);
// The names of the set bits from the highest down, joined by single blanks.
std::string GetNameForSynstate(uint32_t state);

inline bool IsInComment(uint32_t s) {
  return (s & synComment) != 0;
}
inline bool IsInLineComment(uint32_t s) {
  return (s & synLineComment) != 0;
}
inline bool IsInString(uint32_t s) {
  return (s & synAnyString) != 0;
}
inline bool IsInChar(uint32_t s) {
  return (s & synAnyChar) != 0;
}
inline bool IsInBlock(uint32_t s) {
  return (s & synBlock) != 0;
}
inline bool IsDeadcode(uint32_t s) {
  return (s & synDeadCode) != 0;
}
inline bool IsValidForHeadFile(uint32_t s) {
  return (s & synNotCode) == 0;
}
inline bool IsValidForParenthesisMatching(uint32_t s) {
  return (s & (synNotCode | synBlock)) == 0;
}

// Which element classes are coloured at all, and whether "//" comments count
// in C; read from the options when the colouring starts and when they
// change.
struct synColorSwitches {
  bool colorSyntax = true;
  bool comments = true;
  bool keywords = true;
  bool numbers = true;
  bool strings = true;
  bool characters = true;
  bool deadCode = true;
  bool customized = true;
  bool cppCommentsInC = true;
};
synColorSwitches& syn_Switches();
