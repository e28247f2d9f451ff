// Whether the disk file changed behind the editor's back, and the question
// asked before a save overwrites such a change.
#include <cstdio>
#include <sys/stat.h>

#include "windlib/file/file.h"
#include "windlib/file/filesave.h"
#include "windlib/wdisplay.h"

void FileTakeDiskIdentity(File* f, const struct stat& st) {
  f->mtime = st.st_mtime;
  f->mtimeNs = st.st_mtim.tv_nsec;
  f->size = st.st_size;
  f->device = static_cast<int64_t>(st.st_dev);
  f->inode = static_cast<int64_t>(st.st_ino);
}

int FileFileChanged(File* f) {
  if (!f->name) return 0;
  struct stat st;
  if (stat(f->name, &st) != 0) return (f->mtime == 0 && !f->internal) ? 0 : -1;
  // Seconds alone would miss a change made within the same second, and a
  // file replaced by another one can have the same time and size.
  bool same = st.st_mtime == f->mtime && st.st_mtim.tv_nsec == f->mtimeNs &&
              st.st_size == f->size;
  if (f->inode >= 0 && f->device >= 0)
    same = same && static_cast<int64_t>(st.st_ino) == f->inode &&
           static_cast<int64_t>(st.st_dev) == f->device;
  return same ? 0 : 1;
}

bool FileNeedsSave(File* f) { return f->modified || f->isNew; }

int FileQuerySave(File* f, PRS* prs) {
  char text[512];
  snprintf(text, sizeof text, "File %.200s changed since %s", f->name ? f->name : "",
           f->savedOnce ? "last saved" : "loaded");
  int answer = wAlert("File changed, save anyway?", text,
                      {"Cancel", "Save Anyway", "Save As...", "Merge"}, 3);
  switch (answer) {
    case 1:
      return 1;
    case 2:
      FileRunSaveAsDialogue(f, prs);
      return f->modified ? -1 : 0;
    case 3:
      // Merging the text with the disk file belongs to file comparison.
      FileError("Merge is not available: file comparison is not part of this editor yet");
      return -1;
    default:
      return -1;
  }
}
