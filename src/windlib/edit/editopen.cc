#include "windlib/edit/editopen.h"

#include <sys/stat.h>
#include <unistd.h>
#include <wordexp.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editmru.h"
#include "windlib/edit/editwindow.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wgui.h"
#include "windlib/xswitch.h"

namespace {
EditWindow* buffer_window = nullptr;
std::string chooser_dir;

std::string dir_of(const char* name) {
  std::string n = name ? name : "";
  size_t slash = n.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : n.substr(0, slash);
}

bool readable_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

std::string expand(const std::string& name) {
  std::string out = name;
  wordexp_t we;
  if (wordexp(name.c_str(), &we, WRDE_NOCMD) == 0) {
    if (we.we_wordc == 1) out = we.we_wordv[0];
    wordfree(&we);
  }
  return out;
}
}  // namespace

const std::string& EditChooserDirectory() {
  if (chooser_dir.empty()) {
    char cwd[PATH_MAX];
    chooser_dir = getcwd(cwd, sizeof cwd) ? cwd : ".";
  }
  return chooser_dir;
}

void EditSetChooserDirectory(const std::string& dir) {
  chooser_dir = dir;
}

bool EditChooseFile(const std::string& title, std::string* path, const std::string& preset) {
  return WChooseFile(title, EditChooserDirectory(), "*", "", path, preset);
}

EditWindow* EditBufferWindow() {
  return buffer_window;
}

Edit* EditCreate(WWindow* parent, int x, int y, int width, int height, const char*, File* file,
                 void* prs, bool, bool readOnly, bool) {
  auto* edit = new Edit(parent, nullptr, readOnly, cfgSelectionMarginWidth > 0);
  __Assert(edit != nullptr, "(editor=new Edit)!= NULL", __FILE__, __LINE__, 0);
  edit->embedded = true;
  edit->prs = prs;
  int w = width > 0 ? width : 3 * edit->lineHeight() + WScrollBar::Thickness();
  int h = height > 0 ? height : 2 * edit->lineHeight() + WScrollBar::Thickness() + 5;
  edit->SetGeometry(WRect{x, y, w, h});
  if (file) EditAttach(edit, file, 1);
  return edit;
}

Edit* _NewEdit(const char* name, File* file, int32_t line, int mode, void* prs, int colour,
               bool isTag, int x, int y, int width, int height, WWindow*) {
  if (vfOpenFilesInNewBuffers && buffer_window) {
    const char* n = name ? name : (file ? file->name : nullptr);
    if (!n) {
      WBell();
      return nullptr;
    }
    Edit* e = buffer_window->edit();
    EditCli(e, (std::string("OpenFile ") + n).c_str());
    if (line > 1) EditCli(e, ("LineD " + std::to_string(line)).c_str());
    buffer_window->Show();
    buffer_window->Raise();
    return e;
  }
  if (!file) file = name ? FileFName(name, 0) : nullptr;
  if (!file) return nullptr;
  bool read_only = file->readOnly || mode == 0;
  EditMruAdd(file);
  auto* w = new EditWindow(nullptr, -1, read_only, width, height, colour);
  if (x >= 0 && y >= 0) w->SetGeometry(WRect{x, y, w->width(), w->height()});
  w->edit()->prs = prs;
  EditAttachFile(w->edit(), file, line, isTag);
  if (file->name) EditSetChooserDirectory(dir_of(file->name));
  w->Show();
  if (!buffer_window) buffer_window = w;
  return w->edit();
}

Edit* NewEdit(const char* name, int32_t line, int mode, void* prs, int colour) {
  return _NewEdit(name, nullptr, line, mode, prs, colour, false, -1, -1, -1, -1, nullptr);
}

Edit* NewEdit2(const char* name, int32_t line) {
  return NewEdit(name, line, 1, nullptr, -2);
}

Edit* NewEditTag(const char* name, int32_t line, int mode, void* prs) {
  return _NewEdit(name, nullptr, line, mode, prs, -2, true, -1, -1, -1, -1, nullptr);
}

File* EditFileSearch(const std::string& name, int* found, File* relativeTo) {
  if (found) *found = 1;
  std::string expanded = expand(name);
  if (readable_file(expanded)) {
    if (found) *found = 0;
    return FileFName(expanded.c_str(), 0);
  }
  if (File* listed = FileFLookup(name.c_str())) {
    if (found) *found = 0;
    return listed;
  }
  if (relativeTo && relativeTo->name && !name.empty() && name[0] != '/' &&
      name.compare(0, 2, "./") != 0) {
    std::string rel = dir_of(relativeTo->name) + "/" + name;
    if (readable_file(rel)) {
      if (found) *found = 0;
      return FileFName(rel.c_str(), 0);
    }
  }
  // Names that are addresses are opened by the URL layer once it exists.
  if (!WYesNo("Create new file?", "Create new file named: " + expanded, true)) return nullptr;
  return FileFName(expanded.c_str(), 0);
}
