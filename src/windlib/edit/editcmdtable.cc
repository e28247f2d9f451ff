#include "windlib/edit/editcmdtable.h"

#include "windlib/edit/editcmds.h"

namespace {
// EditCmds: the commands whose subjects exist in this editor. A command of
// a subject not built yet is absent, so that it is reported as unknown.
const CmdEntry kEditCmds[] = {
    {"\"", EditTyping, 0x1},
    {"InsertNewline", CmdInsertNewline, 0x1},
    {"Return", CmdInsertNewline, 0x1},
    {"Tab", CmdTab, 0x1},
    {"Delete", CmdDelete, 0x4},
    {"Backspace", CmdBackspace, 0},
    {"Date", CmdDate, 0x1},
    {"Quote", CmdQuote, 0},
    {"EnterInsertMode", CmdEnterInsertMode, 0},
    {"JoinLines", CmdJoinLines, 0x10},
    {"RepeatLast", CmdRepeatLast, 0x10},
    {"UpperCaseBlock", CmdUpperCaseBlock, 0x10},
    {"LowerCaseBlock", CmdLowerCaseBlock, 0x10},
    {"Undo", CmdUndo, 0x10},
    {"Redo", CmdRedo, 0x10},
    {"InsertFile", CmdInsertFile, 0x10},
    {"UserName", CmdUserName, 0x1},
    {"EOL", CmdEOL, 0},
    {"SOL", CmdSOL, 0},
    {"SOL0", CmdSOL0, 0},
    {"SOL1", CmdSOL1, 0},
    {"Up", CmdUp, 0},
    {"Down", CmdDown, 0},
    {"Left", CmdLeft, 0},
    {"Right", CmdRight, 0},
    {"LeftU", CmdLeftU, 0},
    {"RightD", CmdRightD, 0},
    {"UpSome", CmdUpSome, 0},
    {"DownSome", CmdDownSome, 0},
    {"LeftSome", CmdLeftSome, 0},
    {"RightSome", CmdRightSome, 0},
    {"PageUp", CmdPageUp, 0},
    {"PageDown", CmdPageDown, 0},
    {"Word", CmdWord, 0},
    {"ReverseWord", CmdReverseWord, 0},
    {"SOF", CmdSOF, 0},
    {"EOF", CmdEOF, 0},
    {"ContinueSelection", CmdContinueSelection, 0},
    {"Scroll", CmdScroll, 0},
    {"LineD", CmdLineD, 0},
    {"Column", CmdColumn, 0},
    {"SelectToLines", CmdSelectToLines, 0},
    {"SelectAll", CmdSelectAll, 0},
    {"SelectLine", CmdSelectLine, 0},
    {"SelectWord", CmdSelectWord, 0},
    {"NoSelection", CmdNoSelection, 0},
    {"NormalizeSelection", CmdNormalizeSelection, 0},
    {"FlashCursor", CmdFlashCursor, 0},
    {"SelectionStart", CmdSelectionStart, 0},
    {"SelectionStartDrag", CmdSelectionStartDrag, 0},
    {"SelectionAdjust", CmdSelectionAdjust, 0},
    {"SelectionExtend", CmdSelectionExtend, 0},
    {"SelectionGrab", CmdSelectionGrab, 0},
    {"LoadFile", CmdLoadFile, 0x10},
    {"LoadFileWithNewEditor", CmdLoadFileWithNewEditor, 0x10},
    {"OpenFile", CmdOpenFile, 0x10},
    {"OpenText", CmdOpenText, 0x10},
    {"Pop", CmdPop, 0x10},
    {"Close", CmdClose, 0},
    {"CloseOrPop", CmdCloseOrPop, 0x10},
    {"Done", CmdDone, 0x10},
    {"Quit", CmdQuit, 0x10},
    {"TogglePush", CmdTogglePush, 0x10},
    {"CyclePush", CmdCyclePush, 0x10},
    {"CyclePushBack", CmdCyclePushBack, 0x10},
    {"NextWindow", CmdNextWindow, 0},
    {"ToggleReadOnly", CmdToggleReadOnly, 0x10},
    {"ShowMatch", CmdShowMatch, 0},
    {"SelectToMatch", CmdSelectToMatch, 0},
    {"SelectMatch", CmdSelectMatch, 0},
    {"AcceptAcString", CmdAcceptAcString, 0},
    {"AutoIndentImplicit", CmdAutoIndentImplicit, 0},
    {"if", Object_If, 0},
    {"{", Object_Group, 0},
    {"Identify", CmdIdentify, 0},
    {"Noop", CmdNoop, 0},
    {"Beep", CmdBeep, 0},
    {"Minibuffer", CmdMinibuffer, 0},
    {"AlterLocation", CmdAlterLocation, 0},
    {"AlterMode", CmdAlterLocation, 0},
    {"Custom", CmdCustom, 0},
    {nullptr, nullptr, 0},
};

// ConfigCmds: the configuration windows' commands arrive with the options
// dialog.
const CmdEntry kConfigCmds[] = {
    {nullptr, nullptr, 0},
};

CmdTbl config_basic = {nullptr, kConfigCmds};
CmdTbl edit_basic = {&config_basic, kEditCmds};
}  // namespace

CmdTbl* EditBasicTable() { return &edit_basic; }
