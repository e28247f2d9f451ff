#include "windlib/edit/editcmd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "windlib/edit/editcmdtable.h"
#include "windlib/edit/editplanned.h"
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

// The views' modal operations; an operation whose view is gone is dropped
// without being ended.
struct ActiveModal {
  Edit* edit;
  HandleRef view;
  std::shared_ptr<EditModal> op;
};
std::vector<ActiveModal>& active_modals() {
  static auto* list = new std::vector<ActiveModal>;  // outlives the handle table
  std::erase_if(*list, [](const ActiveModal& m) { return !m.view.alive(); });
  return *list;
}

std::shared_ptr<EditModal> modal_of(Edit* edit) {
  for (const ActiveModal& m : active_modals())
    if (m.edit == edit) return m.op;
  return nullptr;
}

// Runs a command found for the view, doing first what its flags ask.
int dispatch(Edit* e, CmdInfo* ci, const CmdEntry* entry) {
  const uint32_t flags = entry->flags;
  if ((flags & kCmdOnSelection) && e->sel[0].empty()) return 1;
  // Held here: the operation may end itself while it runs the command.
  if (std::shared_ptr<EditModal> op = modal_of(e)) {
    int result = 1;
    if (op->Take(e, *entry, ci, &result)) return result;
    if (flags & kCmdEndsModal) {
      HandleRef alive(30, e);
      EditEndModal(e);
      if (!alive.alive()) return 1;
    }
  }
  if ((flags & kCmdOwnUndo) && e->file) e->file->undoGrouping = 0;
  if ((flags & kCmdModifies) && EditReadOnlyCheck(e)) return 1;
  return entry->handler(e, ci);
}

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
  return dispatch(e, ci, entry);
}

int condition(void* object, const std::string& cond) {
  return Edit_CondStrToCond(EditOf(object), cond);
}

void report(void* object, const std::string& text) { EditCmdError(EditOf(object), text); }

// A command of a feature not built yet says which feature is missing.
std::string unknown_text(const std::string& word, const char* rest) {
  std::string planned = EditPlannedMessage(word);
  return planned.empty() ? "Unknown command " + std::string(rest) : planned;
}

int run(Edit* edit, CmdInfo& ci) {
  HandleRef alive(30, edit);
  ci.table = EditCmdTable();
  ci.before = before;
  ci.after = after;
  ci.decide = decide;
  ci.cond = condition;
  ci.report = report;
  ci.unknown_text = unknown_text;
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

void EditAddCmd(const char* name, CmdHandler handler, uint32_t flags) {
  full_table().Add(name, handler, flags);
}

bool EditModal::Take(Edit*, const CmdEntry&, CmdInfo*, int*) { return false; }
bool EditModal::TakeText(Edit*, const std::string&) { return false; }

void EditBeginModal(Edit* edit, std::unique_ptr<EditModal> op) {
  EditEndModal(edit);
  active_modals().push_back(ActiveModal{edit, HandleRef(30, edit), std::move(op)});
}

bool EditEndModal(Edit* edit) {
  auto& list = active_modals();
  auto it =
      std::find_if(list.begin(), list.end(), [&](const ActiveModal& m) { return m.edit == edit; });
  if (it == list.end()) return false;
  // Taken out first: ending may run commands in the view.
  std::shared_ptr<EditModal> op = std::move(it->op);
  list.erase(it);
  op->End(edit);
  return true;
}

EditModal* EditModalOf(Edit* edit) { return modal_of(edit).get(); }

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
