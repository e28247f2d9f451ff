#include "orvex/editor/editor_actions.h"

#include "shared/indgen/indgen.h"

namespace {
bool not_available(const char* what) {
  gen_warning("%s is not available yet", what);
  return false;
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

bool EditorArgumentActions::OpenTag(const std::string&) {
  not_available("tag lookup");
  return false;
}

bool EditorArgumentActions::OpenFile(const std::string&, unsigned long, bool) {
  return not_available("editing files");
}

bool EditorArgumentActions::OpenDirectory(const std::string&) {
  return not_available("the \"Edit File\" chooser");
}

bool EditorArgumentActions::OpenWithHexEditor(const std::string&) {
  gen_warning("no hex editor is available");
  return false;
}

bool EditorArgumentActions::OpenChooserInCurrentDirectory() {
  return not_available("the \"Edit File\" chooser");
}
