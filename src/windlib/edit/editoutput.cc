#include "windlib/edit/editoutput.h"

#include <algorithm>
#include <cstdio>

#include "shared/indgen/indgen.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/edittype.h"
#include "windlib/edit/editwindow.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wscrollbar.h"

namespace {
std::vector<EditorOutputGrabber*> all_grabbers;
bool initialized = false;
bool making_window = false;  // one window at a time, whoever asks
std::string default_title;

constexpr int kWindowX = 10, kWindowY = 10;
constexpr int kWindowColumns = 80, kWindowRows = 40;
}  // namespace

EditorOutputGrabber* EditorOutputGrabber::MakeEditorOutputGrabber(const char* title) {
  return new EditorOutputGrabber(title);
}

EditorOutputGrabber::EditorOutputGrabber(const char* title) {
  all_grabbers.push_back(this);
  if (title) title_ = title;
  MakeEditorIfNecessary(false);
}

EditorOutputGrabber::~EditorOutputGrabber() {
  WatchIdle(false);
  ReleaseFile();
  all_grabbers.erase(std::remove(all_grabbers.begin(), all_grabbers.end(), this),
                     all_grabbers.end());
}

bool EditorOutputGrabber::IsInitialized() {
  return initialized;
}

const std::string& EditorOutputGrabber::DefaultTitle() {
  return default_title;
}

void EditorOutputGrabber::OrvexIsInitialized() {
  if (initialized) return;
  if (!wDisplayActive) {
    // Nothing will ever be shown: print what comes from now on.
    outputNoDisplay = true;
    for (EditorOutputGrabber* g : std::vector<EditorOutputGrabber*>(all_grabbers)) {
      for (const std::string& line : g->cache_) fputs(line.c_str(), stdout);
      g->cache_.clear();
    }
    fflush(stdout);
    return;
  }
  initialized = true;
  const char* prog = gen_progname && *gen_progname ? gen_progname : "ORVEX";
  default_title = std::string("Messages from \"") + prog + "\"";
  for (EditorOutputGrabber* g : std::vector<EditorOutputGrabber*>(all_grabbers))
    g->MakeEditorIfNecessary(false);
}

void EditorOutputGrabber::ResetForTests() {
  initialized = false;
  outputNoDisplay = false;
  default_title.clear();
}

void EditorOutputGrabber::SpewCacheToStderr() {
  if (initialized) return;
  bool wrote = false;
  for (EditorOutputGrabber* g : all_grabbers) {
    for (const std::string& line : g->cache_) {
      fputs(line.c_str(), stderr);
      wrote = true;
    }
  }
  if (wrote) fflush(stderr);
}

bool EditorOutputGrabber::HandleOutput(const char* text) {
  if (outputNoDisplay) {
    fputs(text, stdout);
    fflush(stdout);
    return true;
  }
  if (!initialized) {
    if (*text) cache_.push_back(text);
    return true;
  }
  if (!wDisplayActive) return false;
  PutOutputIntoEditor(text);
  return true;
}

void EditorOutputGrabber::DiscardGrabbedStuff() {
  cache_.clear();
  pending_.clear();
  WatchIdle(false);
}

Edit* EditorOutputGrabber::View() const {
  // A window the user closed may wait for its deferred destruction.
  if (!window_.alive() || !view_ || view_->closing) return nullptr;
  return view_;
}

void EditorOutputGrabber::PutOutputIntoEditor(const char* text) {
  if (!initialized) return;
  // Nothing here touches the display: the message may come from inside the
  // X error handler. The window is made and filled at the next idle moment,
  // so a flood of messages goes in as one batch.
  if (*text) pending_ += text;
  if (!pending_.empty() || !cache_.empty()) WatchIdle(true);
}

void EditorOutputGrabber::MakeEditorIfNecessary(bool force) {
  if (!initialized || !wDisplayActive) return;
  if (!force && cache_.empty()) return;
  if (View() || making_window) return;
  making_window = true;
  ReleaseFile();
  File* file = EditMessageFile(title_ ? *title_ : default_title);
  file_ = file;
  auto* w = new EditWindow(file, 1, false);
  Edit* e = w->edit();
  int bar_h = w->menuBar() ? 24 : 0;
  w->SetGeometry(WRect{kWindowX, kWindowY,
                       kWindowColumns * e->charWidth() + WScrollBar::Thickness() + e->marginWidth,
                       kWindowRows * e->lineHeight() + WScrollBar::Thickness() + bar_h + 24});
  window_ = HandleRef(kWindowHandleType, static_cast<WWindow*>(w));
  view_ = e;
  open_line_ = false;
  // What was cached before start-up ended comes before anything later.
  std::string cached;
  for (const std::string& line : cache_) cached += line;
  cache_.clear();
  pending_.insert(0, cached);
  w->Show();
  making_window = false;
  if (!pending_.empty()) WatchIdle(true);
}

void EditorOutputGrabber::ReleaseFile() {
  EditReleaseMessageFile(file_);
  file_ = nullptr;
}

void EditorOutputGrabber::Flush() {
  // A message made while a batch goes in waits for the next batch.
  if (flushing_) return;
  WatchIdle(false);
  if (!View()) MakeEditorIfNecessary(!pending_.empty());
  // Without a window (the display is gone) the text waits; the exit prints it.
  if (!View() || pending_.empty()) return;
  std::string text;
  text.swap(pending_);
  {
    // A panic inside the append unwinds through here.
    struct Guard {
      bool& flag;
      ~Guard() { flag = false; }
    } guard{flushing_};
    flushing_ = true;
    EditAppendMessages(view_, text, &open_line_);
  }
  if (!pending_.empty()) WatchIdle(true);
}

void EditorOutputGrabber::SpewUnshownToStderr() {
  if (!initialized) return;
  bool wrote = false;
  for (EditorOutputGrabber* g : all_grabbers) {
    std::string unshown;
    for (const std::string& line : g->cache_) unshown += line;
    unshown += g->pending_;
    g->cache_.clear();
    g->pending_.clear();
    g->WatchIdle(false);
    if (unshown.empty()) continue;
    fputs(unshown.c_str(), stderr);
    wrote = true;
  }
  if (wrote) fflush(stderr);
}

File* EditMessageFile(const std::string& title) {
  File* file = FileFInternal("Messages");
  file->undoOff = 1;  // messages are not edits to undo
  FilesAddFile(file);
  File_SetTitle(file, title.c_str());
  return file;
}

void EditReleaseMessageFile(File* file) {
  // The list owns the file while a window shows it; one nobody shows any
  // more is the grabber's to free.
  if (file && FileKnown(file) && !file->edits) {
    FilesRemoveFile(file);
    FileFree(file);
  }
}

void EditAppendMessages(Edit* e, const std::string& text, bool* open_line) {
  File* f = e->file;
  if (!f || text.empty()) return;
  // Every line of a file ends with a line end, so a message that ended
  // without one leaves the last line open for the next message; otherwise
  // text goes after the last line. Either way at the end, wherever the user
  // left the caret.
  bool ends_line = text.back() == '\n';
  int32_t len = static_cast<int32_t>(text.size()) - (ends_line ? 1 : 0);
  if (*open_line && f->nLines > 0)
    EditMoveCaret(e, f->nLines, EditLineLength(e, f->nLines), false);
  else
    EditMoveCaret(e, f->nLines + 1, 0, false);
  EditAddChars(e, text.data(), len, 0, false);
  *open_line = !ends_line;
  e->ShowCaret();
  e->UpdateScrollBars();
}

void EditIdleFlusher::WatchIdle(bool on) {
  if (on == idle_registered_) return;
  IdleNotifier* n = getIdleNotifier();
  if (!n) return;
  if (on)
    n->addIdleListener(this);
  else
    n->removeIdleListener(this);
  idle_registered_ = on;
}

void EditOrphanMessages::FileMessage(File* f, const char* text) {
  if (!text || !*text || (f && f->msgEdit)) return;
  std::string line = text;
  if (line.back() != '\n') line += '\n';
  mprintf("%s", line.c_str());
}
