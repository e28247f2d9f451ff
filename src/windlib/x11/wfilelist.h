// The directory listing and path arithmetic behind the file chooser, free of
// any window so that it can be tested on its own.
#pragma once

#include <string>
#include <vector>

struct WFileEntry {
  std::string name;
  bool directory = false;
};

// The entries of `dir`: ".." (except at the root) and the subdirectories
// first, then the files that match `filter`, each group sorted by name.
// Hidden names (a leading dot) are left out unless the filter asks for them
// by starting with a dot. False (and `error` set) when the directory cannot
// be read.
bool WListDirectory(const std::string& dir, const std::string& filter,
                    std::vector<WFileEntry>* entries, std::string* error);

// True when `name` matches one of the shell patterns in `filter`, separated
// by blanks, commas or semicolons ("*.c *.h"); an empty filter matches all.
bool WFilterMatches(const std::string& filter, const std::string& name);

// The absolute, normalised path of `typed` ("~" and "~/x" expand to the home
// directory; a relative path is taken relative to `dir`; "." and ".."
// components are resolved by name).
std::string WResolvePath(const std::string& dir, const std::string& typed);

// True when the text contains a shell wildcard (*, ? or [).
bool WHasWildcard(const std::string& text);
