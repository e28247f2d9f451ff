#include "windlib/edit/editwindow.h"

#include <algorithm>
#include <memory>

#include "windlib/config/editsettings.h"
#include "windlib/edit/editclose.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editplace.h"
#include "windlib/edit/editsave.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wmenu.h"

namespace {
std::vector<EditWindow*> windows;

// Menu items run command strings in the window's view.
void add_item(WMenu& menu, const char* label, const char* accel, EditWindow* w,
              const char* command) {
  menu.Add(label, accel, [w, command] { EditCli(w->edit(), command); });
}
}  // namespace

std::shared_ptr<WMenu> (*EditWindowLanguageMenuHook)(EditWindow* window) = nullptr;

const std::vector<EditWindow*>& EditWindows() {
  return windows;
}

EditWindow::EditWindow(File* file, int32_t line, bool readOnly, int width, int height, int colour)
    : WTopWindow(file ? EditTitleFor(file) : "Editor", width > 0 ? width : 640,
                 height > 0 ? height : 480, WTopWindowOptions{true, false, true, true}) {
  edit_ = new Edit(client(), nullptr, readOnly, cfgSelectionMarginWidth > 0);
  edit_->window = this;
  if (colour >= 0) WSetInputAreaColorForColwind(this, colour % 8);
  client()->SetLayout([this](WContainer* c) { edit_->SetGeometry(c->bounds()); });
  BuildMenuBar();
  if (width <= 0 || height <= 0) {
    int w, h;
    edit_->PreferredSize(&w, &h);
    int bar_h = menuBar() ? 24 : 0;
    SetGeometry(WRect{geometry().x, geometry().y, w, h + bar_h + 24});
  }
  SetMinimumSize(3 * edit_->lineHeight() + WScrollBar::Thickness(),
                 2 * edit_->lineHeight() + WScrollBar::Thickness() + 5);
  SetCloseHandler([this](WTopWindow*) {
    if (!EditMayClose(edit_)) return false;
    EditRememberPlace(this);
    return true;
  });
  // The -geometry resource places the first window instead.
  const bool geometry_given = windows.empty() && WGetResource("geometry");
  windows.push_back(this);
  if (file) EditAttach(edit_, file, line);
  if (!geometry_given) EditRestorePlace(this);
  edit_->text->Focus();
  RefreshTitle();
}

EditWindow::~EditWindow() {
  windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

bool EditWindow::Close() {
  return WTopWindow::Close();
}

bool EditWindow::HandleEvent(WEvent& e) {
  // A window that becomes active checks whether its file changed on disk.
  if (e.kind == WEventKind::FocusGained && edit_->file) EditFileCheck(edit_, nullptr);
  return WTopWindow::HandleEvent(e);
}

void EditWindow::RefreshTitle() {
  File* f = edit_->file;
  std::string title = f ? EditTitleFor(f) : "Editor";
  SetTitle(title);
  SetIconName(title);
}

void EditWindow::BuildMenuBar() {
  WMenuBar* bar = menuBar();
  if (!bar) return;
  auto file = std::make_shared<WMenu>("&File");
  add_item(*file, "&Open...", "Ctrl+O", this, "OpenFile");
  add_item(*file, "Open in &New Window...", "Ctrl+N", this, "LoadFileWithNewEditor");
  add_item(*file, "&Insert File...", "", this, "InsertFile");
  file->AddSeparator();
  add_item(*file, "&Save", "Ctrl+S", this, "Save");
  add_item(*file, "Save &As...", "Ctrl+Shift+S", this, "SaveAs");
  add_item(*file, "Save A&ll", "", this, "SaveAll");
  add_item(*file, "&Revert", "", this, "Revert");
  add_item(*file, "Revert to &Backup", "", this, "RevertToBackup");
  file->AddSeparator();
  add_item(*file, "&Pop", "Ctrl+Shift+P", this, "Pop");
  add_item(*file, "C&ycle Files", "Ctrl+Tab", this, "CyclePush");
  file->AddSeparator();
  add_item(*file, "&Close", "Ctrl+Q", this, "Close");
  add_item(*file, "E&xit", "", this, "Quit");
  bar->AddMenu("&File", file);
  auto editm = std::make_shared<WMenu>("&Edit");
  add_item(*editm, "&Undo", "Ctrl+Z", this, "Undo");
  add_item(*editm, "&Redo", "Ctrl+Y", this, "Redo");
  editm->AddSeparator();
  add_item(*editm, "Cu&t", "Ctrl+X", this, "Cut1");
  add_item(*editm, "&Copy", "Ctrl+C", this, "Copy1");
  // As the paste key: whole lines go in at the start of a line.
  add_item(*editm, "&Paste", "Ctrl+V", this,
           "if <noselection> { if <select1=lines> { if <col=sol> {} else {Down;SOL0} }} Paste1");
  editm->AddSeparator();
  add_item(*editm, "Select &All", "Ctrl+A", this, "SelectAll");
  add_item(*editm, "&Join Lines", "Ctrl+P", this, "JoinLines");
  add_item(*editm, "Upper Case", "Ctrl++", this, "UpperCaseBlock");
  add_item(*editm, "Lower Case", "Ctrl+-", this, "LowerCaseBlock");
  add_item(*editm, "Insert &Date", "Ctrl+Shift+D", this, "Date");
  bar->AddMenu("&Edit", editm);
  auto go = std::make_shared<WMenu>("&Go");
  add_item(*go, "Go to &Line...", "", this, "LineD");
  add_item(*go, "Go to &Column...", "", this, "Column");
  add_item(*go, "&Start of File", "Ctrl+Home", this, "SOF");
  add_item(*go, "&End of File", "Ctrl+End", this, "EOF");
  bar->AddMenu("&Go", go);
  auto tools = std::make_shared<WMenu>("&Tools");
  add_item(*tools, "Editor &Command...", "", this, "Minibuffer");
  add_item(*tools, "&Repeat Last Change", "Ctrl+.", this, "RepeatLast");
  add_item(*tools, "&Identify Key", "", this, "Identify");
  bar->AddMenu("&Tools", tools);
  if (EditWindowLanguageMenuHook)
    if (std::shared_ptr<WMenu> languages = EditWindowLanguageMenuHook(this))
      bar->AddMenu("&Language", languages);
  auto help = std::make_shared<WMenu>("&Help");
  add_item(*help, "&Keys and Commands", "", this, "ShowKeys");
  bar->AddMenu("&Help", help);
}
