#include "windlib/config/fileextensions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>

#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "windlib/config/configdirs.h"
#include "windlib/config/replacefile.h"
#include "windlib/errors.h"
#include "windlib/xswitch.h"

namespace {
// The tables are ordered by byte-wise comparison of the names.
using TypeTable = std::map<std::string, std::unique_ptr<FileType>>;
using PresetTable = std::map<std::string, std::unique_ptr<ExtensionPreset>>;

struct State {
  TypeTable types;
  PresetTable presets;
  ut_options_database* current = nullptr;
  bool current_owned = false;
  PresetDefaultsWriter* writer = nullptr;
};

// Heap-held: the exit writer may run after static destructors.
State& state() {
  static State* s = new State;
  return *s;
}

void clear_tables() {
  State& s = state();
  // Presets refer to types: they go first.
  s.presets.clear();
  s.types.clear();
}

// Makes `db` the current database, destroying an owned predecessor.
void set_current(ut_options_database* db, bool owned) {
  State& s = state();
  if (s.current != db && s.current_owned) delete s.current;
  s.current = db;
  s.current_owned = owned;
}

// The items of a str or str_list attribute; none for a missing attribute or
// one of another type.
std::vector<std::string> str_items(const ut_attribute_tree* node, const char* key) {
  std::vector<std::string> items;
  const ut_attribute_tree_attribute* a = node->find_attribute(key);
  if (!a) return items;
  int count = 0;
  char** values = ut_attribute_tree::get_attribute_strlist_value(false, &count, a);
  if (!values) return items;
  for (int i = 0; i < count; ++i) items.emplace_back(values[i] ? values[i] : "");
  gen_free(values);
  return items;
}

std::string tree_name(const ut_attribute_tree* node) {
  return node->get_optional_str_attribute("name", node->get_name());
}

std::unique_ptr<FileType> read_file_type(const ut_attribute_tree* node) {
  std::vector<std::string> patterns;
  for (const std::string& item : str_items(node, "extension")) {
    // ".c" stands for "*.c"; an item with a "*" is a pattern already.
    patterns.push_back(item.find('*') == std::string::npos ? "*" + item : item);
  }
  return std::make_unique<FileType>(tree_name(node), std::move(patterns));
}

FileType* find_type(const std::string& name) {
  auto it = state().types.find(name);
  return it == state().types.end() ? nullptr : it->second.get();
}

ExtensionPreset* find_preset(const std::string& name) {
  auto it = state().presets.find(name);
  return it == state().presets.end() ? nullptr : it->second.get();
}

bool readable_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

std::string in_dir(const char* dir, const char* sub, const char* leaf) {
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  if (sub) path += std::string(sub) + "/";
  return path + leaf;
}

void append_dump(std::string* text, const char* kind, const std::string& name,
                 const std::string& description) {
  *text += gen_format("***** %s %s *****\n", kind, name.c_str());
  *text += description;
  *text += "\n";
}
}  // namespace

// Fills presets from their trees and merges their inclusions; a friend of
// ExtensionPreset.
struct ExtensionPresetBuilder {
  // Reads one child of "presets"; false (after reporting) when it names a
  // default or a type that does not exist.
  static bool Read(ExtensionPreset* p, const ut_attribute_tree* node) {
    bool ok = true;
    if (const char* def = node->get_optional_str_attribute("default", nullptr)) {
      p->default_type_ = find_type(def);
      if (!p->default_type_) {
        err_Failure("Preset %s has a non-existent default file type %s", p->name_.c_str(), def);
        ok = false;
      }
    }
    for (const std::string& name : str_items(node, "filetype")) {
      if (FileType* t = find_type(name)) {
        p->file_types_.push_back(t);
      } else {
        err_Failure("Preset %s has an unknown filetype %s", p->name_.c_str(), name.c_str());
        ok = false;
      }
    }
    p->includes_ = str_items(node, "include");
    return ok;
  }

  // Appends the types of every included preset to `p`, the included
  // presets' own inclusions merged first. `path` holds the presets being
  // merged, outermost first. An included type already in the list is not
  // added again, so that merging a preset twice changes nothing. False
  // when an inclusion is unknown or circular; the others are still merged.
  static bool Merge(ExtensionPreset* p, std::vector<std::string>* path) {
    bool ok = true;
    for (const std::string& name : p->includes_) {
      if (std::find(path->begin(), path->end(), name) != path->end()) {
        std::string listed;
        for (size_t i = 0; i < path->size(); ++i) listed += (i ? ", " : " ") + (*path)[i];
        gen_error("Circularity detected in preset inclusion.  Preset path is:%s\n", listed.c_str());
        ok = false;
        continue;
      }
      ExtensionPreset* included = find_preset(name);
      if (!included) {
        gen_error("Preset %s does not exist for inclusion by %s", name.c_str(), p->name_.c_str());
        ok = false;
        continue;
      }
      path->push_back(name);
      if (!Merge(included, path)) ok = false;
      path->pop_back();
      for (FileType* t : included->file_types_)
        if (!p->HasFileType(t)) p->file_types_.push_back(t);
    }
    return ok;
  }

  static void SetDefault(ExtensionPreset* p, FileType* t) { p->default_type_ = t; }
};

std::string FileType::ToString() const {
  std::string out = gen_format("Name: %s\n", name_.c_str());
  for (size_t i = 0; i < patterns_.size(); ++i)
    out += gen_format("Pattern %d: %s\n", static_cast<int>(i), patterns_[i].c_str());
  return out;
}

std::string FileType::Label() const {
  std::string out = name_ + " (";
  for (size_t i = 0; i < patterns_.size(); ++i) out += (i ? ", " : "") + patterns_[i];
  return out + ")";
}

bool ExtensionPreset::HasFileType(const FileType* type) const {
  return std::find(file_types_.begin(), file_types_.end(), type) != file_types_.end();
}

std::string ExtensionPreset::ToString() const {
  std::string out = gen_format("Name: %s\n", name_.c_str());
  out += default_type_ ? gen_format("Default file type: %s\n", default_type_->name().c_str())
                       : std::string("No default file type\n");
  std::vector<std::string> names;
  for (const FileType* t : file_types_) names.push_back(t->name());
  std::sort(names.begin(), names.end());
  for (size_t i = 0; i < names.size(); ++i)
    out += gen_format("File Type %d: %s\n", static_cast<int>(i), names[i].c_str());
  return out;
}

namespace {
// Steps 2 to 6 of building the tables from `db` (already emptied).
bool build_tables(const ut_options_database* db) {
  State& s = state();
  const ut_attribute_tree* xdf = db->find_child_tree("xdf");
  if (!xdf) return false;
  const ut_attribute_tree* header = xdf->find_child_tree("xdfheader");
  if (!header) return false;
  if (header->get_optional_attribute_as_int32("version", -1) != kXdfVersion) {
    gen_warning("XDF version is not %d.  File types not loaded.", kXdfVersion);
    return false;
  }
  const ut_attribute_tree* presets = nullptr;
  for (const ut_attribute_tree* c = xdf->get_first_child(false); c; c = c->get_next_child(false)) {
    const std::string name = c->get_name();
    if (name == "xdfheader") continue;
    if (name == "presets") {
      if (!presets) presets = c;
      continue;
    }
    std::unique_ptr<FileType> type = read_file_type(c);
    std::string key = type->name();
    s.types[key] = std::move(type);
  }
  if (!presets) return true;

  bool all_read = true;
  for (const ut_attribute_tree* c = presets->get_first_child(false); c;
       c = c->get_next_child(false)) {
    auto preset = std::make_unique<ExtensionPreset>(tree_name(c));
    if (!ExtensionPresetBuilder::Read(preset.get(), c)) {
      err_Failure("Could not parse preset: %s\n", c->get_name());
      all_read = false;
      continue;
    }
    std::string key = preset->name();
    s.presets[key] = std::move(preset);
  }
  if (!all_read) return false;

  bool merged = true;
  for (auto& [name, preset] : s.presets) {
    std::vector<std::string> path{name};
    if (!ExtensionPresetBuilder::Merge(preset.get(), &path)) merged = false;
  }
  return merged;
}

void register_writer() {
  State& s = state();
  if (s.writer && delete_at_exit_pending(s.writer)) return;
  s.writer = new PresetDefaultsWriter;
  delete_at_exit(s.writer, 1.0);
}
}  // namespace

int fileExtensions_LoadXDFDatabase(ut_options_database* database, bool take_ownership) {
  State& s = state();
  clear_tables();
  if (database && build_tables(database)) {
    set_current(database, take_ownership || (s.current == database && s.current_owned));
    return 1;
  }
  if (take_ownership && database != s.current) delete database;
  return 0;
}

ut_options_database* fileExtensions_CurrentDatabase() {
  return state().current;
}

int fileExtensions_LoadXDFFile(const char* path) {
  if (!path) return 0;
  auto db = std::make_unique<ut_options_database>(kFileExtensionsTitle);
  if (!db->read_from_file_name(path) || db->got_file_open_or_parse_error()) return 0;
  return fileExtensions_LoadXDFDatabase(db.release(), true);
}

int fileExtensions_AppendXDFFile(const char* path) {
  State& s = state();
  if (!s.current) return fileExtensions_LoadXDFFile(path);
  if (!path) return 0;
  // The file is read into a copy of the whole, so that one that does not
  // parse leaves the current database as it was.
  auto db = std::make_unique<ut_options_database>(kFileExtensionsTitle);
  db->add_macros_from_options_database(s.current);
  db->add_copy_of_child_tree_attributes(s.current, true);
  for (const ut_attribute_tree* c = s.current->get_first_child(false); c;
       c = c->get_next_child(false))
    db->add_copy_of_child_tree(c, true);
  if (!db->read_from_file_name(path) || db->got_file_open_or_parse_error()) return 0;
  // What was read stays in the database even when the tables cannot be
  // built from it, so that later files are read on top of it.
  set_current(db.release(), true);
  return fileExtensions_LoadXDFDatabase(s.current, false);
}

int fileExtensions_WriteXDFFile(const char* path) {
  const ut_options_database* db = state().current;
  if (!db) return 1;
  if (!path) return 0;
  return cfg_ReplaceFile(path, db->write_to_string()) ? 1 : 0;
}

FileType* fileExtensions_GetNamedFileType(const char* name) {
  return name ? find_type(name) : nullptr;
}

ExtensionPreset* fileExtensions_GetNamedPreset(const char* name) {
  return name ? find_preset(name) : nullptr;
}

std::vector<std::string> fileExtensions_FileTypeNames() {
  std::vector<std::string> names;
  for (const auto& [name, type] : state().types) names.push_back(name);
  return names;
}

std::vector<std::string> fileExtensions_PresetNames() {
  std::vector<std::string> names;
  for (const auto& [name, preset] : state().presets) names.push_back(name);
  return names;
}

std::vector<const FileType*> fileExtensions_ChooserTypes(const std::string& preset,
                                                         const std::vector<std::string>& further) {
  std::vector<const FileType*> types;
  auto add = [&types](const FileType* t) {
    if (t && std::find(types.begin(), types.end(), t) == types.end()) types.push_back(t);
  };
  if (const ExtensionPreset* p = find_preset(preset)) {
    add(p->defaultType());
    for (const FileType* t : p->fileTypes()) add(t);
  }
  for (const std::string& name : further) add(find_type(name));
  return types;
}

int fileExtensions_ChangeDefaultFileTypeForPreset(const char* preset, const char* type) {
  ExtensionPreset* p = fileExtensions_GetNamedPreset(preset);
  FileType* t = fileExtensions_GetNamedFileType(type);
  if (!p || !t || !p->HasFileType(t)) return 0;
  ExtensionPresetBuilder::SetDefault(p, t);
  return 1;
}

int filechooser_WritePresetDefaultFileTypesToFile(const char* path) {
  ut_options_database db(kFileExtensionsTitle);
  ut_attribute_tree* xdf = db.add_child_tree("xdf");
  xdf->add_child_tree("xdfheader")
      ->add_str_attribute("version", gen_format("%d", kXdfVersion).c_str());
  ut_attribute_tree* presets = xdf->add_child_tree("presets");
  for (const auto& [name, preset] : state().presets) {
    if (!preset->defaultType()) continue;
    presets->add_child_tree(std::string_view(name))
        ->add_str_attribute("default", preset->defaultType()->name().c_str());
  }
  if (debugFlag[xsDashRunFixes]) return 1;
  if (!path) return 0;
  return cfg_ReplaceFile(path, db.write_to_string()) ? 1 : 0;
}

void fileExtensions_FileTypeDump(std::string* text) {
  if (!text) return;
  for (const auto& [name, type] : state().types)
    append_dump(text, "FILE TYPE", name, type->ToString());
}

void fileExtensions_ExtensionPresetDump(std::string* text) {
  if (!text) return;
  for (const auto& [name, preset] : state().presets)
    append_dump(text, "PRESET", name, preset->ToString());
}

void fileExtensions_Reset() {
  clear_tables();
  set_current(nullptr, false);
}

int fileExtensions_Initialize() {
  register_writer();
  std::vector<std::string> files;
  files.push_back(in_dir(cfg_GetSiteDefaultConfigDir(), kFileTypesDir, kFileTypesFile));
  files.push_back(in_dir(cfg_GetSiteConfigDir(), kFileTypesDir, kFileTypesFile));
  if (const char* user = cfg_GetUserConfigDir(false)) {
    files.push_back(in_dir(user, kFileTypesDir, kFileTypesFile));
    files.push_back(in_dir(user, nullptr, kPresetDefaultsFile));
  }
  int result = 1;
  for (const std::string& f : files)
    if (readable_file(f) && fileExtensions_AppendXDFFile(f.c_str()) != 1) result = 0;
  return result;
}

PresetDefaultsWriter::~PresetDefaultsWriter() {
  State& s = state();
  if (s.writer == this) s.writer = nullptr;
  // Nothing chosen, nothing to keep: an earlier file (from a run whose
  // types loaded) is not replaced by an empty one.
  bool any_default = std::any_of(s.presets.begin(), s.presets.end(),
                                 [](const auto& entry) { return entry.second->defaultType(); });
  if (any_default && !debugFlag[xsDashRunFixes]) {
    if (const char* dir = cfg_GetUserConfigDir(true))
      filechooser_WritePresetDefaultFileTypesToFile(
          in_dir(dir, nullptr, kPresetDefaultsFile).c_str());
  }
  fileExtensions_Reset();
}
