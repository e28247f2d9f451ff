// The edit lock and journal kept next to every file being changed: the lock
// file "." + base name + ".kv~" tells other editor processes that the file is
// being edited and holds the edits not yet saved, so that the edits of a
// process that died can be restored. A base copy "." + base name + ".kv$"
// holds the text the journal applies to when that is not the disk file.
#pragma once

#include <cstdint>
#include <string>

struct File;

// Paths of the lock and base copy next to the file (next to the link target
// when the name is a symbolic link).
std::string incr_LockName(File* f);
std::string incr_BaseName(File* f);

// Creates the lock file exclusively with its header. 1 created, 0 it
// exists already, -1 it cannot be created.
int incr_CreateLock(File* f, const std::string& lockPath);
// Marks the existing lock file as held by this process: sets haslock,
// refreshes the file's time and starts the periodic journal writes.
void incr_HoldLock(File* f, const std::string& lockPath);

// Takes the lock before the first change. 1: the file may be changed (lock
// held, or the user chose to edit without a journal); 0: the file was made
// read-only.
int incr_AcquireLock(File* f);
// Deletes the lock (and a base copy) and clears journalDirty and haslock.
// Releasing a lock that is not held is an internal consistency failure.
void incr_ReleaseLock(File* f);
// Rewrites the journal from the file's lines, synced to disk. With
// `overwriteFrom`, a save is about to rewrite the disk file from that
// offset on: when the journal refers to bytes there, the base copy is
// written too, so that the journal stays applicable whatever the save
// leaves behind. 1 on success.
int incr_SaveEdits(File* f, int64_t overwriteFrom = -1);
// Forgets which temporary copy the file's base copy was made from (its
// base copy is gone with the lock).
void incr_ForgetBaseCopy(File* f);
// On opening a file: offers the edits of a lock left behind. -1 when the
// user cancelled (the file is not to be opened), else 1.
int incr_DetectCrash(File* f);
// Asks what to do about an existing lock. -1 cancel; 0 go on without the
// lock; 1 the lock was taken (it exists and belongs to this process now).
int incr_RecoverCrash(File* f, const char* lockPath);
// Applies the journal at `path` to the file's lines: all of it or, when it
// is unreadable or malformed, nothing (reported). 1 on success.
int incr_ApplyEdits(File* f, const char* path);
// The periodic journal write of every file holding its lock.
void FilesSaveChanges();
// Before an exit that does not ask about unsaved text (a signal): every
// file with unsaved changes gets its journal brought up to date and lets go
// of its lock without deleting it, so that the next session offers the
// edits; the locks of the other files stay held, for FilesAbort to release.
void FilesKeepJournals();
// Re-arms the journal timer to the interval now set (for the setting's
// setter).
void incr_RestartTimer();
// Seconds between journal writes (the setting, 120 while it is still 0).
int incr_Frequency();
