// Every temporary copy the process has made and not yet deleted, so that
// each exit path (normal, early, interrupt, fatal signal) can delete them.
#pragma once

void TempRegistryAdd(const char* path);
void TempRegistryRemove(const char* path);
// Deletes every registered file and forgets it.
void TempRegistryDeleteAll();
// Only unlinks the files: safe in a signal handler.
void TempRegistryUnlinkAll();
int TempRegistryCount();
// Number of temporary descriptors open now (at most five).
int CachedDescriptorCount();
