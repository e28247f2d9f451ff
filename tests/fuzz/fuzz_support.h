// What the fuzz targets share: a private scratch directory that goes at
// exit, and writing an input into it.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Writes `size` bytes to `path`; a fuzz run cannot go on without its files.
inline void WriteFile(const std::string& path, const void* data, size_t size) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  fclose(f);
}

// A directory of this process's own under /tmp, made on first use; it and
// the files in it are removed at exit.
inline const std::string& ScratchDir() {
  static std::string* dir = nullptr;
  if (dir) return *dir;
  char tmpl[] = "/tmp/oe_fuzz_XXXXXX";
  if (!mkdtemp(tmpl)) abort();
  dir = new std::string(tmpl);
  atexit([] {
    if (DIR* d = opendir(dir->c_str())) {
      while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') unlink((*dir + "/" + e->d_name).c_str());
      closedir(d);
    }
    rmdir(dir->c_str());
  });
  return *dir;
}

}  // namespace fuzz
