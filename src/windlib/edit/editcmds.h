// The handlers of the editor's commands, by subject.
#pragma once

#include "windlib/cmdparse.h"

#define EDIT_COMMAND(name) int name(void* object, CmdInfo* ci)

// Typing and editing.
EDIT_COMMAND(EditTyping);
EDIT_COMMAND(CmdInsertNewline);
EDIT_COMMAND(CmdTab);
EDIT_COMMAND(CmdDelete);
EDIT_COMMAND(CmdBackspace);
EDIT_COMMAND(CmdDate);
EDIT_COMMAND(CmdQuote);
EDIT_COMMAND(CmdEnterInsertMode);
EDIT_COMMAND(CmdJoinLines);
EDIT_COMMAND(CmdRepeatLast);
EDIT_COMMAND(CmdUpperCaseBlock);
EDIT_COMMAND(CmdLowerCaseBlock);
EDIT_COMMAND(CmdUndo);
EDIT_COMMAND(CmdRedo);
EDIT_COMMAND(CmdInsertFile);
EDIT_COMMAND(CmdUserName);

// Movement and selection.
EDIT_COMMAND(CmdEOL);
EDIT_COMMAND(CmdSOL);
EDIT_COMMAND(CmdSOL0);
EDIT_COMMAND(CmdSOL1);
EDIT_COMMAND(CmdUp);
EDIT_COMMAND(CmdDown);
EDIT_COMMAND(CmdLeft);
EDIT_COMMAND(CmdRight);
EDIT_COMMAND(CmdLeftU);
EDIT_COMMAND(CmdRightD);
EDIT_COMMAND(CmdUpSome);
EDIT_COMMAND(CmdDownSome);
EDIT_COMMAND(CmdLeftSome);
EDIT_COMMAND(CmdRightSome);
EDIT_COMMAND(CmdPageUp);
EDIT_COMMAND(CmdPageDown);
EDIT_COMMAND(CmdWord);
EDIT_COMMAND(CmdReverseWord);
EDIT_COMMAND(CmdSOF);
EDIT_COMMAND(CmdEOF);
EDIT_COMMAND(CmdContinueSelection);
EDIT_COMMAND(CmdScroll);
EDIT_COMMAND(CmdLineD);
EDIT_COMMAND(CmdColumn);
EDIT_COMMAND(CmdSelectToLines);
EDIT_COMMAND(CmdSelectAll);
EDIT_COMMAND(CmdSelectLine);
EDIT_COMMAND(CmdSelectWord);
EDIT_COMMAND(CmdNoSelection);
EDIT_COMMAND(CmdNormalizeSelection);
EDIT_COMMAND(CmdFlashCursor);
EDIT_COMMAND(CmdSelectionStart);
EDIT_COMMAND(CmdSelectionStartDrag);
EDIT_COMMAND(CmdSelectionAdjust);
EDIT_COMMAND(CmdSelectionExtend);
EDIT_COMMAND(CmdSelectionGrab);

// Files and windows.
EDIT_COMMAND(CmdLoadFile);
EDIT_COMMAND(CmdLoadFileWithNewEditor);
EDIT_COMMAND(CmdOpenFile);
EDIT_COMMAND(CmdOpenText);
EDIT_COMMAND(CmdPop);
EDIT_COMMAND(CmdClose);
EDIT_COMMAND(CmdCloseOrPop);
EDIT_COMMAND(CmdDone);
EDIT_COMMAND(CmdQuit);
EDIT_COMMAND(CmdTogglePush);
EDIT_COMMAND(CmdCyclePush);
EDIT_COMMAND(CmdCyclePushBack);
EDIT_COMMAND(CmdNextWindow);
EDIT_COMMAND(CmdToggleReadOnly);

// Delimiters.
EDIT_COMMAND(CmdShowMatch);
EDIT_COMMAND(CmdSelectToMatch);
EDIT_COMMAND(CmdSelectMatch);

// Hand-overs to auto-completion and indentation.
EDIT_COMMAND(CmdAcceptAcString);
EDIT_COMMAND(CmdAutoIndentImplicit);
extern int (*EditAcceptCompletionHook)(struct Edit* edit);
extern int (*EditAutoIndentImplicitHook)(struct Edit* edit);

// Control.
EDIT_COMMAND(CmdIdentify);
EDIT_COMMAND(CmdNoop);
EDIT_COMMAND(CmdBeep);
EDIT_COMMAND(CmdMinibuffer);
EDIT_COMMAND(CmdAlterLocation);
EDIT_COMMAND(CmdCustom);

#undef EDIT_COMMAND
