// Writing a file back to disk and keeping the user's work safe around it:
// the changed-on-disk check, backups, reverting, and the hooks through which
// the window layer and other tools take part.
#pragma once

#include <cstddef>
#include <cstdint>

struct File;
struct stat;
// The save parameters of the window that asks for a save. The file layer
// only passes them on to the hooks and the Save As dialogue.
struct PRS;

// ---- Hooks, each set once at start-up ----------------------------------------
// Gives a backup name for `path` (a heap string the file then owns), or none.
using FileBackupNamer = char* (*)(PRS* prs, const char* path);
// Told after every successful save: the name written and the file's name.
using FileChangeInformer = void (*)(PRS* prs, const char* written, const char* fileName);
// Asks for a new name and saves the file under it (the window layer's Save
// As); 1 when the file was saved.
using FileSaveAsDialogue = int (*)(File* f, PRS* prs);
void FileSetBackupNamer(FileBackupNamer namer);
void FileSetChangeInformer(FileChangeInformer informer);
void FileSetSaveAsDialogue(FileSaveAsDialogue dialogue);
// Runs the Save As dialogue; without one, reports that it is not available
// and fails.
int FileRunSaveAsDialogue(File* f, PRS* prs);

// ---- Saving --------------------------------------------------------------------
// Saves under `name`, or under the file's own name when `name` is none or
// equal to it. `rename` makes `name` the file's name; `force` skips every
// confirmation. 1 on success, 0 otherwise.
int FilexSave(File* f, const char* name, bool rename, bool force, PRS* prs);
// Another name writes a copy and leaves the record on its old name.
int FileSave(File* f, const char* name, PRS* prs);
int FileSaveAs(File* f, const char* name, PRS* prs);
int FileForceSaveAs(File* f, const char* name, PRS* prs);
int FileSaveNoCheckin(File* f, PRS* prs);
int FileSaveCom(File* f, PRS* prs);
// Whether a plain save has anything to write: the text was changed, or the
// file does not exist on disk yet.
bool FileNeedsSave(File* f);
// Writes the current text to `path`, every line followed by LF (for
// comparing unsaved text). 1 on success, 0 when it cannot be written.
int file_SaveMemoryToDisk(File* f, const char* path);
// Copies n bytes between two files at the given offsets, in the kernel
// when it can. False when a read or write failed.
bool FileCopyRange(int src, int64_t srcOffset, int dst, int64_t dstOffset, int64_t n);
// Makes the last renames, creations and removals in the directory holding
// `path` durable. False when it cannot be synced.
bool FileSyncDirectory(const char* path);
// Told of every write a save makes to the disk file (file offset and
// length); for measurements.
extern void (*FileSaveWriteObserver)(int64_t offset, int64_t length);

// ---- Changed on disk -------------------------------------------------------------
// 0 unchanged; 1 modification time (to the nanosecond), size, inode or
// device differ; -1 removed (0 when it never existed).
int FileFileChanged(File* f);
// Remembers what the disk file is now (from `st`): its time, size and
// identity, against which FileFileChanged compares.
void FileTakeDiskIdentity(File* f, const struct stat& st);
// The changed-on-disk question: -1 cancel, 0 handled another way, 1 save
// anyway. `prs` goes to the Save As dialogue.
int FileQuerySave(File* f, PRS* prs = nullptr);

// ---- Backups -----------------------------------------------------------------------
// Puts the backup name into `buffer`; 0 when there is none (backups off
// and not `force`d) or it does not fit.
int FileMakeBackupName(File* f, PRS* prs, bool force, char* buffer, size_t size);
// Copies the disk file to its backup. 1 to go on with the save (made, not
// wanted, or the user chose to proceed without), 0 to stop.
int FileBackup(File* f, PRS* prs);
int FileRestoreFromBackup(File* f, PRS* prs);

// ---- Reverting ---------------------------------------------------------------------
int FileReplaceWithFile(File* f, const char* path);
int FileRevert(File* f);
int FileSemiRevert(File* f);

// ---- Version control at open ---------------------------------------------------------
// The question for a missing file that is under version control: 0 Cancel,
// 1 No (create it new), 2 Read Only, 3 Read/Write, negative when fetching
// failed. A file not under version control gives 1.
int NonExistantCheckOut(const char* name);
