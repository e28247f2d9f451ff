// The program-wide tag dictionary: names defined in a body of source code,
// each with the file that defines it and a line number or a search pattern,
// read from tag files ("name<TAB>file<TAB>address", ctags' format).
#pragma once

#include <cstdint>
#include <string>

struct File;
struct Edit;

// One dictionary entry. The strings live in the dictionary's own storage
// and stay valid until the dictionary is freed.
struct tag {
  const char* name;
  const char* file;     // as written in the tag file
  int32_t line;         // line-number tag: its line; pattern tag: -1
  const char* pattern;  // pattern tag: the literal text; else none
  int16_t direction;    // 1: search forward from line 1; -1: backward from the last line
  unsigned isLineTag : 1;
  const char* dir;  // directory of the tag file with its "/", or none
};

// Looks `name` up, loading the dictionary first when it was never loaded.
// Returns the entry, or none when absent or nothing could be loaded.
const tag* TagDefault(const char* name);

// Finds the definition of `name`: the file that holds it, or none (a
// missing tag is not reported; a tag whose file cannot be opened is, with
// "Cannot open file %s for tag %s"). *line is a tag-file line number for a
// line-number tag (to be mapped through FileLinenoFTagLineno) and minus the
// current line number otherwise, as EditPush and NewEditTag take it.
File* TagFind(const char* name, int32_t* line);
inline File* EditTagSearch(const char* name, int32_t* line) {
  return TagFind(name, line);
}

// Reads a tag file into the dictionary. 1 success; 0 neither `path` nor the
// default tag file could be opened; -1 a line was not a tag line (the lines
// before it stay loaded). When the dictionary had been loaded before, an
// entry of an existing name replaces the old one.
int TagAppendDictionary(const char* path);

// Parses one tag-file line into the dictionary: 1 accepted or ignored
// (a "!" line), 0 not a tag line. `dir` must outlive the dictionary entries
// (TagAppendDictionary keeps it in the dictionary's storage).
int ParseOneTag(const char* text, bool replace, const char* dir);

// Reads the default tag file when no dictionary exists; true when one
// exists afterwards.
bool LoadTagDictionary();
bool TagAvailable();
// Frees the dictionary; the next lookup reads the default tag file again.
void TagReset();
// When a dictionary exists, frees it and reads the default tag file again.
void TagReinit();
// The tag files were rebuilt from the files as saved: every file's line
// numbers of the tag files start again from its saved text, and a loaded
// dictionary is read again.
void FilesTagsRegenerated();
// The number of entries; -1 when never loaded.
int32_t TagCount();

// The default tag file name: "tags" in the chooser's directory until set.
const std::string& TagGetFileName();
void TagSetFileName(const std::string& path);
// Asks for a tag file with the "Choose Tag File" chooser; none (empty)
// when cancelled.
std::string TagQueryFileName();

// Goes to the definition of `name` from `edit`: pushes the file of its tag
// into the view at the definition, or selects the match of a delimiter.
// 1 done; 0 nothing found (reported with a bell).
int Edit_JumpToObject(Edit* edit, const char* name, bool noXref);
// Goes to the declaration of `name`; without other sources of declarations
// this is the definition. 0 and an alert when nothing was found.
int Edit_GotoDeclaration(Edit* edit, const char* name);
