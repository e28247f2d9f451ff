#include "windlib/config/aindentsettings.h"

int aIndent_indentForContinuation = 3;
int aIndent_c_parenIndentMode = kParenIndentInTwo;
int aIndent_ada_parenIndentMode = kParenEvenWithParen;
int aIndent_parenIndentMode = kParenIndentInTwo;
bool aIndent_implicitAIndentOn = true;
bool aIndent_implicitAIndentInComments = true;
bool aIndent_touchComments = false;
bool aIndent_switchInTwo = true;
bool aIndent_commentsStayFlushLeft = true;
std::string aIndent_charsLikeStarInsideComment = "-";
