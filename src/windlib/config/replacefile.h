// Replacing a file's contents so that an interruption at any moment leaves
// either the old or the new text, never a mixture.
#pragma once

#include <string>

// Writes `text` to a new temporary file beside `path` ("<path>_XXXXXX",
// made by mkstemp), syncs it and renames it over `path`. When no temporary
// file can be made there, writes `path` directly. `before_rename`, when
// given, runs with the temporary file's name just before the rename. False
// when the text could not be written (reported as "failed when writing %s").
bool cfg_ReplaceFile(const std::string& path, const std::string& text,
                     void (*before_rename)(const char* temporary) = nullptr);
