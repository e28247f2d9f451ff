#include "orvex/editor/editor_actions.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "orvex/editor/exits.h"
#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editopen.h"
#include "windlib/edit/edittags.h"
#include "windlib/edit/editwindow.h"
#include "windlib/gapplication.h"
#include "windlib/wdisplay.h"

namespace {
bool not_available(const char* what) {
  gen_warning("%s is not available yet", what);
  return false;
}

std::string dir_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string current_directory() {
  char cwd[PATH_MAX];
  return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

// The "Edit File" chooser in `dir`; opens the file chosen in a new window.
bool choose_and_open(const std::string& dir) {
  std::string path;
  if (!WChooseFile("Edit File", dir, "*", "", &path, kEditFilePreset)) return false;
  return NewEdit2(path.c_str(), 0) != nullptr;
}
}  // namespace

bool EditorArgumentActions::OpenHistory(const std::string&) {
  return not_available("the history browser");
}

bool EditorArgumentActions::OpenCheckoutBrowser(const std::string*) {
  return not_available("the check-out browser");
}

bool EditorArgumentActions::OpenDiff(const DiffRequest&) {
  return not_available("the file comparison");
}

bool EditorArgumentActions::OpenTag(const std::string& name) {
  int32_t line = 0;
  File* f = EditTagSearch(name.c_str(), &line);
  return f && NewEditTag(f->name, line, 1, nullptr) != nullptr;
}

bool EditorArgumentActions::OpenFile(const std::string& file, unsigned long line, bool new_window) {
  const int32_t at = static_cast<int32_t>(line > INT32_MAX ? INT32_MAX : line);
  if (new_window) {
    EditSetChooserDirectory(dir_of(file));
    // Each file gets a window of its own, whatever the buffer setting says.
    bool saved = vfOpenFilesInNewBuffers;
    vfOpenFilesInNewBuffers = false;
    Edit* e = NewEdit(file.c_str(), at, 1, nullptr, -2);
    vfOpenFilesInNewBuffers = saved;
    return e != nullptr;
  }
  if (!first_) {
    first_ = NewEdit2(file.c_str(), at);
    if (first_) first_handle_ = HandleRef(30, first_);
    return first_ != nullptr;
  }
  if (!first_handle_.alive()) {
    first_ = nullptr;
    return OpenFile(file, line, new_window);
  }
  File* f = FileFName(file.c_str(), 0);
  return f && EditPush(first_, f, at);
}

bool EditorArgumentActions::OpenDirectory(const std::string& dir) {
  if (choose_and_open(dir)) return true;
  // Nothing was loaded from the directory: leave unless windows are open.
  if (!ApplicationInstance || !ApplicationInstance->cwGetList()) GracefulGuiExit();
  return false;
}

bool EditorArgumentActions::OpenWithHexEditor(const std::string&) {
  gen_warning("no hex editor is available");
  return false;
}

bool EditorArgumentActions::OpenChooserInCurrentDirectory() {
  return choose_and_open(current_directory());
}
