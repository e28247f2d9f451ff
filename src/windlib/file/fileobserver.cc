#include "windlib/file/fileobserver.h"

#include <algorithm>
#include <vector>

#include "windlib/file/file.h"

// The observers of one file, or of all files. Removal during a
// notification leaves a hole that is closed when the outermost
// notification ends, so that running loops keep their indices.
struct FileObserverList {
  std::vector<FileObserver*> items;
  int notifying = 0;
  bool holes = false;

  void add(FileObserver* o) {
    if (std::find(items.begin(), items.end(), o) == items.end()) items.push_back(o);
  }
  void remove(FileObserver* o) {
    auto it = std::find(items.begin(), items.end(), o);
    if (it == items.end()) return;
    if (notifying) {
      *it = nullptr;
      holes = true;
    } else {
      items.erase(it);
    }
  }
  template <typename Fn>
  void each(Fn&& fn) {
    ++notifying;
    // Observers added meanwhile hear from the next notification on.
    const size_t n = items.size();
    for (size_t i = 0; i < n; ++i)
      if (FileObserver* o = items[i]) fn(o);
    if (--notifying == 0 && holes) {
      items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
      holes = false;
    }
  }
};

namespace {
FileObserverList& global_list() {
  static FileObserverList list;
  return list;
}

// Global observers first, then the file's own; the file's list may go
// while global observers run (a view closing frees nothing of the file, but
// be safe), so it is looked up afterwards.
template <typename Fn>
void notify(File* f, Fn&& fn) {
  global_list().each(fn);
  if (f && f->observers) f->observers->each(fn);
}
}  // namespace

void FileAddObserver(File* f, FileObserver* o) {
  if (!f || !o) return;
  if (!f->observers) f->observers = new FileObserverList;
  f->observers->add(o);
}

void FileRemoveObserver(File* f, FileObserver* o) {
  if (f && f->observers) f->observers->remove(o);
}

bool FileHasObserver(const File* f, const FileObserver* o) {
  if (!f || !f->observers) return false;
  const auto& v = f->observers->items;
  return std::find(v.begin(), v.end(), o) != v.end();
}

void FilesAddObserver(FileObserver* o) {
  if (o) global_list().add(o);
}

void FilesRemoveObserver(FileObserver* o) { global_list().remove(o); }

void FileFreeObservers(File* f) {
  if (!f->observers) return;
  if (f->observers->notifying) {
    // Freed from inside one of its own notifications: empty it; the record
    // itself goes with the file.
    for (auto& o : f->observers->items) o = nullptr;
    f->observers->holes = true;
    return;
  }
  delete f->observers;
  f->observers = nullptr;
}

void FileNotifyTextChanged(File* f, const FileChangeEvent& e) {
  notify(f, [&](FileObserver* o) { o->FileTextChanged(f, e); });
}

void FileNotifyUndoSelection(File* f, const TextRange& selection, bool redo) {
  notify(f, [&](FileObserver* o) { o->FileUndoSelection(f, selection, redo); });
}

void FileNotifyUndone(File* f, bool redo) {
  notify(f, [&](FileObserver* o) { o->FileUndone(f, redo); });
}

void FileNotifyReloaded(File* f) {
  notify(f, [&](FileObserver* o) { o->FileReloaded(f); });
}

void FileNotifySaved(File* f, PRS* prs, const char* written, bool renamed) {
  notify(f, [&](FileObserver* o) { o->FileSaved(f, prs, written, renamed); });
}

void FileNotifyModifiedChanged(File* f) {
  notify(f, [&](FileObserver* o) { o->FileModifiedChanged(f); });
}

void FileNotifyTitleChanged(File* f, const void* onlyView) {
  notify(f, [&](FileObserver* o) { o->FileTitleChanged(f, onlyView); });
}

void FileNotifyMessage(File* f, const char* text) {
  notify(f, [&](FileObserver* o) { o->FileMessage(f, text); });
}

void FileNotifyRedraw(File* f) {
  notify(f, [&](FileObserver* o) { o->FileRedraw(f); });
}

void FileNotifyContentsGone(File* f) {
  notify(f, [&](FileObserver* o) { o->FileContentsGone(f); });
}

void FileNotifyRegistered(File* f) {
  global_list().each([&](FileObserver* o) { o->FileRegistered(f); });
}
