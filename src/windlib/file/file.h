// The record of one file being edited: name and disk identity, the line
// list, undo and redo lists, the cache window of its temporary copy, per-file
// settings and state flags. All records live in one global list.
#pragma once

#include <cstdint>
#include <ctime>
#include <sys/stat.h>

#include "windlib/file/line.h"

struct Edit;
struct EditPop;
struct Undo;
struct FileObserverList;
class synLanguage;

struct File {
  File* next;          // next record in the global list
  Edit* edits;         // first window showing this file
  Edit* msgEdit;       // the window that shows this file's messages
  EditPop* pops;       // first file-stack entry remembering this file
  char* name;          // as opened
  time_t mtime;        // when last read or written; 0 when unknown
  uint32_t mode;       // permission bits; 0664 for a new file
  int64_t size;        // on disk when last read or written
  char* tempName;      // the temporary copy
  char* cache;         // window of the temporary copy: cacheAlloc + 1 bytes
  int32_t cacheAlloc, cacheLen;
  int64_t cacheBase;   // offset of cache[0] in the temporary copy; -1: empty
  Line* first;
  Line* last;
  int32_t nLines;
  int32_t maxWidth;    // widest line in display columns
  int64_t loadSize;
  Undo* undo;
  Undo* redo;
  uint8_t undoGrouping;
  Undo* groupMark;
  int32_t groupSel[4]; // start line, start column, end line, end column
  uint8_t indentSize, adaIndentSize, adaContinuationSize;
  int16_t wrapIndent;
  uint16_t wrapColumn;
  char* displayName;
  char* displayPath;
  // State flags.
  unsigned modified : 1;
  unsigned journalDirty : 1;
  unsigned savedOnce : 1;
  unsigned isNew : 1;
  unsigned readOnly : 1;
  unsigned viewOnly : 1;
  unsigned noJournal : 1;
  unsigned backupTried : 1;
  unsigned backupMade : 1;
  unsigned mustSaveAs : 1;
  unsigned unfiled : 1;
  unsigned noDisplay : 1;
  unsigned internal : 1;
  unsigned stub : 1;
  unsigned haslock : 1;
  unsigned crlf : 1;
  unsigned diskCrlf : 1;
  unsigned uniformEnds : 1;
  unsigned wordWrap : 1;
  unsigned preventAutoCheckout : 1;
  unsigned fromCheckout : 1;
  unsigned checkedOutByUs : 1;
  unsigned deleteWhenDone : 1;
  unsigned undoOff : 1;
  unsigned byteMode : 1;  // read one byte per cell: not valid UTF-8 when opened
  int32_t fd;          // descriptor used while colouring; -1 when none
  int32_t lastLine;    // caret line last displayed
  char* realName;      // target when the name is a symbolic link
  int64_t device, inode;  // disk identity; -1 when unknown
  int64_t mtimeNs;     // nanoseconds of the modification time read with mtime
  synLanguage* language;
  int32_t colouredLines;
  char* absName;
  char* titleOverride;
  char* backupName;
  void* autoIndentTag;
  void (*onModify)(void* arg);
  void* onModifyArg;
  // Counts removals of line records: a Line* kept from an earlier count may
  // point at a record that is gone.
  uint32_t lineEpoch;
  // Who hears of this file's changes (fileobserver.h); none until the
  // first subscribes.
  FileObserverList* observers;
};

// ---- Line list --------------------------------------------------------------
// Underscore versions do not update maxWidth.
void _FileAppendL(File* f, Line* line);
void FileAppendL(File* f, Line* line);
void _FileInsertL(File* f, Line* before, Line* line);
void FileInsertL(File* f, Line* before, Line* line);
Line* _FileAppendO(File* f, int64_t offset, int32_t len);
Line* FileAppendO(File* f, int64_t offset, int32_t len);
Line* _FileInsertO(File* f, Line* before, int64_t offset, int32_t len);
Line* FileInsertO(File* f, Line* before, int64_t offset, int32_t len);
Line* FileAppendS(File* f, const char* text, int32_t len);
Line* FileInsertS(File* f, Line* before, const char* text, int32_t len);
// Splits text at newlines (a single final newline is ignored) and appends.
void FileAppendStrings(File* f, const char* text, long len);
void FileRemove(File* f, Line* line);
void FileMergeLines(File* f, Line* line);
void FileInstanciateLine(File* f, Line* line);
// The line's text (len bytes, not NUL-terminated for an in-file line); moves
// the cache window when it does not hold the line.
const char* FileLineText(File* f, Line* line);
// Turns a line back into an in-file line at `offset`.
void LineResetO(File* f, Line* line, int64_t offset, int32_t len, int32_t lineNo);

// ---- Queries ----------------------------------------------------------------
Line* FileLine(File* f, int32_t n, Line* hint, int32_t hintNo);
int32_t FileLineno(File* f, Line* line);
void FileLineCols(File* f, int32_t l1, int32_t l2, int32_t* c1, int32_t* c2);
void FileSetMaxW(File* f, Line* line);
void FileFindMaxWidth(File* f);
int64_t FileCurrentSize(File* f);
void SelectionNormalize(int32_t* l1, int32_t* c1, int32_t* l2, int32_t* c2);

// ---- Registry -----------------------------------------------------------------
File* FileHead();
void FilesAddFile(File* f);
void FilesRemoveFile(File* f);
bool FileKnown(File* f);
File* FileFLookup(const char* name);
File* FileFBaseName(const char* name);
File* FileFName(const char* name, int flags);
File* FileFEName(const char* name);
File* FileF_File(const char* name, bool reg, int flags);
File* FileFInternal(const char* label);
void FileStubout(File* f);
int LoadStubFile(File* f);
void FileFreeLines(File* f, bool with_undo);
void FileFreeContents(File* f, bool all, bool with_undo);
void FileFree(File* f);
void File_SetTitle(File* f, const char* title);
void File_RefreshTitleForEditors(File* f, Edit* window);
const char* File_Title(File* f);
void File_RedrawEditors(File* f);
void File_DisplayMsg(File* f, const char* text);
void FileDoModifyCallback(File* f);

// ---- Cache and temporary files ----------------------------------------------------
char* TempFileName();
int CacheOpen(const char* name, bool rewind);
void CacheClose(const char* name);
void CacheAbort();
void FileCacheInit(File* f, int64_t size);
void FileResizeCache(File* f, int64_t size);
// which: 1 the file's own window, 0 or 2 the shared syntax window.
void FileCache(File* f, Line* line, int32_t count, int which);
// For tests: how many more window fills succeed before one fails as if the
// temporary copy had shrunk; negative (the default): none fails.
extern int64_t gFileCacheFillsBeforeFailure;
// The shared syntax window.
extern char* syn_cache;
extern int32_t syn_cacheAlloc, syn_cacheLen;
extern int64_t syn_cacheBase;
extern File* syn_stamp;
void FileResetSynCache(File* f);

// ---- Loading --------------------------------------------------------------------
void FileFillup(File* f, int64_t size);
int FileLoad(File* f, int tempFd, int srcFd, int64_t base, Line* before);
int FileReinitTemp(File* f);
int FilexInsertFile(File* f, Line* before, const char* path);
// -1 refused (reported), 0 missing but may be created, 1 read only, 2 read/write.
int FileCanAccess(const char* name, struct stat* st);
void FilesAbort();
// Deletes the temporary copies without touching anything else: safe in a
// signal handler.
void FilesAbortFromSignal();

// Reports through the application's error window or an alert.
void FileError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Abandons the current command through the application's panic.
[[noreturn]] void FilePanic(const char* format, ...) __attribute__((format(printf, 1, 2)));
