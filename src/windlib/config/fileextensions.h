// File types and extension presets: named file types (a name and shell
// patterns such as "*.c") and named presets (ordered groups of types with a
// default) that the file choosers offer in their type pulldown.
//
// They are read from attribute-tree files of the "xdf" schema:
//   xdf { xdfheader { version = 1 }
//         <type> { name = "C"  extension = { ".c", "*.h" } } ...
//         presets { <preset> { name = ...  default = "C"
//                              filetype = { ... }  include = { ... } } } }
// found as "extensions.udb" in the subdirectory "file_types" of the site
// default, site and user configuration directories, followed by the user's
// "extension_defaults.udf" (the presets' defaults as last chosen), which
// is written again at exit.
#pragma once

#include <string>
#include <vector>

#include "shared/libcxxutil/delete_at_exit.h"
#include "shared/libcxxutil/ut_options_database.h"

inline constexpr const char* kFileTypesDir = "file_types";
inline constexpr const char* kFileTypesFile = "extensions.udb";
inline constexpr const char* kPresetDefaultsFile = "extension_defaults.udf";
inline constexpr const char* kFileExtensionsTitle = "File extensions";
inline constexpr int kXdfVersion = 1;

class FileType : public DeleteAble {
 public:
  FileType(std::string name, std::vector<std::string> patterns)
      : name_(std::move(name)), patterns_(std::move(patterns)) {}

  const std::string& name() const { return name_; }
  const std::vector<std::string>& patterns() const { return patterns_; }
  // "Name: %s\n", then "Pattern %d: %s\n" per pattern from 0.
  std::string ToString() const;
  // How a chooser shows the type: the name, " (", the patterns joined by
  // ", ", and ")".
  std::string Label() const;

 private:
  std::string name_;
  std::vector<std::string> patterns_;
};

class ExtensionPreset {
 public:
  explicit ExtensionPreset(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  // Its own types, then those of each included preset (no type twice among
  // the included ones). The types belong to the type table.
  const std::vector<FileType*>& fileTypes() const { return file_types_; }
  const std::vector<std::string>& includes() const { return includes_; }
  // None when the preset has no default. The default need not be one of
  // the preset's types.
  FileType* defaultType() const { return default_type_; }
  bool HasFileType(const FileType* type) const;
  // "Name: %s\n", the default line, then "File Type %d: %s\n" per type,
  // the names sorted, numbered from 0.
  std::string ToString() const;

 private:
  friend struct ExtensionPresetBuilder;
  std::string name_;
  std::vector<FileType*> file_types_;
  std::vector<std::string> includes_;
  FileType* default_type_ = nullptr;
};

// Registers the defaults writer (once), then appends each file of the
// start-up order that exists. 1 when every file found loaded, else 0.
int fileExtensions_Initialize();
// Reads `path` into a new database and builds the tables from it; the
// database becomes the current one. 1 or 0.
int fileExtensions_LoadXDFFile(const char* path);
// Reads `path` into the current database (later statements add to and
// override earlier ones) and rebuilds the tables from the whole; without a
// current database, as fileExtensions_LoadXDFFile. A file that cannot be
// read or parsed leaves the database and the tables as they were. 1 or 0.
int fileExtensions_AppendXDFFile(const char* path);
// Writes the current database; with none, writes nothing and returns 1.
int fileExtensions_WriteXDFFile(const char* path);
// Empties the tables and builds them from `database`. On success the
// database becomes the current one (a current one owned before is
// destroyed when `take_ownership`); on failure an owned database is
// destroyed and the current one stays. 1 or 0.
int fileExtensions_LoadXDFDatabase(ut_options_database* database, bool take_ownership);
// The current database, or none.
ut_options_database* fileExtensions_CurrentDatabase();

FileType* fileExtensions_GetNamedFileType(const char* name);
ExtensionPreset* fileExtensions_GetNamedPreset(const char* name);
// The names of all types or presets, in name order.
std::vector<std::string> fileExtensions_FileTypeNames();
std::vector<std::string> fileExtensions_PresetNames();
// The types a file chooser offers for `preset`: the preset's default first,
// then its other types in order, then each of `further` that exists; none
// listed twice. Empty when nothing is known.
std::vector<const FileType*> fileExtensions_ChooserTypes(const std::string& preset,
                                                         const std::vector<std::string>& further);
// Makes the type the preset's default. 0, changing nothing, when either
// name is unknown or the type is not among the preset's types.
int fileExtensions_ChangeDefaultFileTypeForPreset(const char* preset, const char* type);

// Writes the "extension_defaults.udf" text (every preset that has a
// default, in name order) to `path`, replacing the file atomically. Under
// the dashRunFixes switch writes nothing and returns 1.
int filechooser_WritePresetDefaultFileTypesToFile(const char* path);

// Append "***** FILE TYPE %s *****\n" (or "***** PRESET %s *****\n"), the
// record's ToString() and "\n" for each record, in name order.
void fileExtensions_FileTypeDump(std::string* text);
void fileExtensions_ExtensionPresetDump(std::string* text);

// Empties both tables and forgets the current database (tests; exit).
void fileExtensions_Reset();

// Destroyed at exit: writes the user's "extension_defaults.udf" from the
// presets' defaults, then empties both tables.
class PresetDefaultsWriter : public DeleteAble {
 public:
  ~PresetDefaultsWriter() override;
};
