// Every temporary copy the process has made and not yet deleted, so that
// each exit path (normal, early, interrupt, fatal signal) can delete them.
#pragma once

// Registers a temporary file that exists, and keeps a descriptor on it so
// that its data stays reachable if its name is removed behind the editor's
// back (cleaners of temporary directories delete old files).
void TempRegistryAdd(const char* path);
void TempRegistryRemove(const char* path);
// A new read/write descriptor on the registered file `path`, valid even when
// its name is gone; -1 when it is not registered or has no descriptor.
int TempRegistryOpen(const char* path);
// Deletes every registered file and forgets it.
void TempRegistryDeleteAll();
// Only unlinks the files: safe in a signal handler.
void TempRegistryUnlinkAll();
int TempRegistryCount();
// Number of temporary descriptors open now (at most five).
int CachedDescriptorCount();
