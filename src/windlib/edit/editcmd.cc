#include "windlib/edit/editcmd.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "windlib/edit/editcmdtable.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/undo.h"
#include "windlib/handles.h"
#include "windlib/wdisplay.h"


namespace {
CmdTableBuilder& full_table() {
  static CmdTableBuilder table(EditBasicTable());
  return table;
}

EditCustomHandler default_custom = nullptr;

void before(void* object, CmdInfo* ci) {
  (void)ci;
  Edit* e = EditOf(object);
  if (!e->file) return;
  int32_t sel[4] = {e->sel[0].start_line, e->sel[0].start_column, e->sel[0].end_line,
                    e->sel[0].end_column};
  UndoGroupBegin(e->file, sel);
}

void after(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  // A continue-selection request lasts for the next command only.
  if (e->continueSelRequest) {
    e->continueSelRequest = false;
    e->extendSelection = true;
  } else {
    e->extendSelection = false;
  }
}

int decide(void* object, CmdInfo* ci, const CmdEntry* entry) {
  Edit* e = EditOf(object);
  if (e->identifyMode) {
    e->identifyMode = false;
    EditSetMsg(e, (std::string("Command: ") + entry->name).c_str());
    return 0;
  }
  return entry->handler(object, ci);
}

int condition(void* object, const std::string& cond) {
  return Edit_CondStrToCond(EditOf(object), cond);
}

void report(void* object, const std::string& text) { EditCmdError(EditOf(object), text); }

int run(Edit* edit, CmdInfo& ci) {
  HandleRef alive(30, edit);
  ci.table = EditCmdTable();
  ci.before = before;
  ci.after = after;
  ci.decide = decide;
  ci.cond = condition;
  ci.report = report;
  ci.message_window = edit->window;
  // Whatever happens inside, even a panic unwinding through here, the
  // string's undo group is closed and the active view restored.
  struct Scope {
    Edit* outer_active = EditActive;
    File* grouped;
    bool outermost;
    ~Scope() {
      if (outermost && FileKnown(grouped)) UndoGroupEnd(grouped);
      EditActive = outer_active;
    }
  } scope{EditActive, edit->file, edit->file && !edit->file->undoGrouping};
  EditActive = edit;
  int result = Object_ParseCmd(edit, &ci);
  if (alive.alive()) {
    edit->extendSelection = false;
    edit->continueSelRequest = false;
    if (edit->file) vUpdateTitle(edit, true);
  }
  return result;
}
}  // namespace

CmdTbl* EditCmdTable() { return full_table().table(); }

void EditAddCmd(const char* name, CmdHandler handler) { full_table().Add(name, handler); }

int EditParseCmd(Edit* edit, const CmdInfo& templ) {
  CmdInfo ci = templ;
  return run(edit, ci);
}

int EditParseCmdLoc(Edit* edit, int x, int y, const char* command) {
  CmdInfo ci;
  CmdInfo_InitNew(&ci, command, nullptr);
  if (x < 0 || y < 0) {
    // The caret's pixel position: its column, the middle of its line.
    int32_t dcol = EditDisplayColumn(edit, edit->caretLine, edit->caretColumn) - edit->hScroll;
    int32_t row = edit->caretLine - edit->topLineNo;
    x = dcol * edit->charWidth();
    y = row * edit->lineHeight() + edit->lineHeight() / 2;
  }
  ci.x = x;
  ci.y = y;
  return run(edit, ci);
}

int EditCli(Edit* edit, const char* command) {
  CmdInfo ci;
  CmdInfo_InitNew(&ci, command, nullptr);
  return run(edit, ci);
}

void EditCmdError(Edit* edit, const std::string& text) {
  if (edit && edit->window) {
    EditSetMsg(edit, text.c_str(), true);
    WBell();
  } else if (wDisplayActive) {
    wAlert("Error", text);
  } else {
    mprintf("%s\n", text.c_str());
  }
}

void EditSetCustomCommandHandler(Edit* edit, EditCustomHandler handler) {
  edit->customHandler = handler;
}

void EditSetDefaultCustomCommandHandler(EditCustomHandler handler) { default_custom = handler; }

EditCustomHandler EditDefaultCustomHandler() { return default_custom; }

void EditIdentifyStr(Edit* edit, const std::string& command, const std::string& key) {
  EditSetMsg(edit, (command + "\t(" + key + ")").c_str());
}
