// The settings of language indentation. Each is the variable of a
// configuration option (configtables.cc) but the two that the indentation
// commands set before each run.
#pragma once

#include <string>

extern int aIndent_indentForContinuation;  // extra columns of continuation lines
extern int aIndent_c_parenIndentMode;      // "AIparenindentmode": 0 EvenWithParen, 1 IndentInTwo
extern int aIndent_ada_parenIndentMode;    // "AIadaparenindentmode"
extern int aIndent_parenIndentMode;        // the mode of the language at hand
extern bool aIndent_implicitAIndentOn;     // "AIimplicitindent"
extern bool aIndent_implicitAIndentInComments;          // "AIimplicitindentincomments"
extern bool aIndent_touchComments;                      // "AItouchcomments"
extern bool aIndent_switchInTwo;                        // "AIswitchintwo"
extern bool aIndent_commentsStayFlushLeft;              // "AIcommentsstayflushleft"
extern std::string aIndent_charsLikeStarInsideComment;  // "AIcharslikestarincomment"

// Paren indent modes.
constexpr int kParenEvenWithParen = 0;
constexpr int kParenIndentInTwo = 1;
