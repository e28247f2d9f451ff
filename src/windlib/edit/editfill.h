// Filling a comment paragraph: the lines of the comment around the caret
// joined and broken again before the fill column.
#pragma once

#include <cstdint>
#include <span>

#include "windlib/cmdparse.h"
#include "windlib/edit/edit.h"

// What the text at a position is, for filling: outside comments, inside a
// line comment or inside a block comment.
enum EditCommentKind { kNotComment = 0, kLineComment = 1, kBlockComment = 2 };
// Judges positions by the language's syntax states. Without it nothing
// counts as a comment and filling does nothing.
extern EditCommentKind (*EditCommentAtHook)(Edit* edit, int32_t line, int32_t column);

// Refills the comment paragraph at the caret as one undo step; 1, or 0 when
// the caret is not in a comment.
int EditFillParagraph(Edit* edit);

// The FillParagraph command.
std::span<const CmdEntry> EditFillCmdEntries();
