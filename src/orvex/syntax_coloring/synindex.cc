#include "orvex/syntax_coloring/synindex.h"

#include <pcre2posix.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "orvex/syntax_coloring/synmessages.h"
#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/ut_options_database.h"
#include "windlib/config/configoptions.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"

// One compiled first-line pattern of an entry.
struct synLinePattern {
  std::string text;
  regex_t re{};
  ~synLinePattern() { regfree(&re); }
};

synLanguageAbs::synLanguageAbs() = default;
synLanguageAbs::~synLanguageAbs() = default;

namespace {
std::vector<std::unique_ptr<synLanguageAbs>> entries;
std::vector<std::string> source_path;

std::unique_ptr<synLanguageAbs> none_entry() {
  auto e = std::make_unique<synLanguageAbs>();
  e->name = e->description = "None";
  e->special = true;
  e->loadTried = true;
  e->language = std::make_unique<synLanguage>("None");
  e->language->GetListsReadyForUse();
  e->language->GetOtherStuffReadyForUse();
  return e;
}

std::unique_ptr<ut_options_database> read_index_document(const char* path) {
  auto db = std::make_unique<ut_options_database>("Language Index");
  db->add_macro("_ORVEX_DIR", gen_progdir());
  // A read that stops at an error keeps the entries before it.
  db->read_from_file_name(path);
  return db;
}

// A str or str_list value as a list; false for other types.
bool string_values(const ut_attribute_tree_attribute* a, std::vector<std::string>* out) {
  if (a->type() == ut_attribute_type_str) {
    if (a->str()) out->emplace_back(a->str());
    return true;
  }
  if (a->type() == ut_attribute_type_str_list) {
    for (const ut_attribute_str_list* e = a->str_list(); e; e = e->next) out->push_back(e->str);
    return true;
  }
  return false;
}

void add_pattern(synLanguageAbs* e, const std::string& text) {
  auto p = std::make_unique<synLinePattern>();
  p->text = text;
  int rc = regcomp(&p->re, text.c_str(), REG_NEWLINE);
  if (rc != 0) {
    char error[512];
    regerror(rc, &p->re, error, sizeof error);
    syn_Message(
        "Error when parsing line pattern regular expression \"%s\" for language \"%s\":\n"
        "    %s\n",
        text.c_str(), e->name.c_str(), error);
    // A failed compile leaves nothing to free.
    p->re = regex_t{};
    return;
  }
  e->patterns.push_back(std::move(p));
}

// One child tree of the index; none when it is dropped.
std::unique_ptr<synLanguageAbs> read_entry(const ut_attribute_tree* t, const char* path) {
  auto e = std::make_unique<synLanguageAbs>();
  e->name = t->get_name();
  std::vector<std::string> patterns;
  for (const ut_attribute_tree_attribute* a = t->get_first_attribute(); a;
       a = t->get_next_attribute(a)) {
    const std::string& key = a->key();
    bool ok = true;
    if (key == "description" && a->type() == ut_attribute_type_str && a->str()) {
      e->description = a->str();
    } else if (key == "extension") {
      ok = string_values(a, &e->extensions);
    } else if (key == "definition_file" && a->type() == ut_attribute_type_str && a->str()) {
      e->definitionFile = a->str();
    } else if (key == "first_line_pattern") {
      ok = string_values(a, &patterns);
    } else if (key == "hide" &&
               (a->type() == ut_attribute_type_int32 || a->type() == ut_attribute_type_str)) {
      e->hide = ut_attribute_tree::get_attribute_bool_value(a);
    } else if (key == "submenu" && a->type() == ut_attribute_type_str && a->str()) {
      e->submenu = a->str();
    } else {
      ok = false;
    }
    if (!ok)
      syn_Message("Warning: Invalid attribute %s.%s is ignored in file:\n\t%s\n", e->name.c_str(),
                  key.c_str(), path);
  }
  const bool placeholder = e->description == "\x01";
  if (e->description.empty()) e->description = e->name;
  if (!placeholder) {
    bool keep = true;
    if (e->extensions.empty()) {
      syn_Message("Warning: No file extension is defined for %s in file:\n\t%s\n", e->name.c_str(),
                  path);
      keep = false;
    }
    if (e->definitionFile.empty()) {
      syn_Message("Warning: No language definition file is specified for %s in file:\n\t%s\n",
                  e->name.c_str(), path);
      keep = false;
    }
    if (!keep) return nullptr;
  }
  for (const std::string& p : patterns) add_pattern(e.get(), p);
  return e;
}

}  // namespace

void syn_LoadSourcePath() {
  source_path.clear();
  std::string path = cfg_SearchFileInConfigDirs(kSynSourcePathFile, R_OK);
  if (!path.empty()) {
    auto db = read_index_document(path.c_str());
    int trees = db->count_child_trees(false);
    if (trees > 0)
      syn_Message("Warning: There %s %d unknown tree attribute%s in \"%s\"\n",
                  trees == 1 ? "is" : "are", trees, trees == 1 ? "" : "s", path.c_str());
    for (const ut_attribute_tree_attribute* a = db->get_first_attribute(); a;
         a = db->get_next_attribute(a)) {
      if (a->key() != "source" || !string_values(a, &source_path))
        syn_Message("Warning: Unknown attribute \"%s\" in \"%s\"\n", a->key().c_str(),
                    path.c_str());
    }
  }
  if (source_path.empty()) source_path.push_back(".");
}

namespace {

bool lists_extension(const synLanguageAbs& e, std::string_view extension) {
  for (const std::string& x : e.extensions)
    if (x == extension) return true;
  return false;
}

// Entries listing `extension`, in index order, at most `max`.
std::vector<synLanguageAbs*> entries_for_extension(std::string_view extension, int max) {
  std::vector<synLanguageAbs*> out;
  for (auto& e : entries) {
    if (static_cast<int>(out.size()) >= max) break;
    if (!e->special && lists_extension(*e, extension)) out.push_back(e.get());
  }
  return out;
}

// The first entry one of whose patterns matches `line`.
synLanguageAbs* entry_for_content(std::string_view first_line, std::string_view extension) {
  const std::string line(first_line);
  for (auto& e : entries) {
    if (!extension.empty() && !lists_extension(*e, extension)) continue;
    int number = 0;
    for (auto& p : e->patterns) {
      ++number;
      int rc = regexec(&p->re, line.c_str(), 0, nullptr, 0);
      if (rc == 0) return e.get();
      if (rc != REG_NOMATCH)
        syn_Message(
            "Error when matching the following string with pattern %d of language "
            "\"%s\":\n%s\n",
            number, e->name.c_str(), line.c_str());
    }
  }
  return nullptr;
}

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}

// The first line that is not blank among the first ten; false when none.
bool first_non_blank_line(const char* path, std::string* out) {
  FILE* f = fopen(path, "r");
  if (!f) return false;
  char* buf = nullptr;
  size_t cap = 0;
  bool found = false;
  for (int i = 0; i < 10 && !found; ++i) {
    ssize_t n = getline(&buf, &cap, f);
    if (n < 0) break;
    std::string_view line(buf, static_cast<size_t>(n));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (!blank(line)) {
      out->assign(line);
      found = true;
    }
  }
  free(buf);
  fclose(f);
  return found;
}

synLanguage* none_language() {
  return entries.empty() ? nullptr : entries.front()->language.get();
}

synLanguage* language_or_none(synLanguageAbs* e) {
  synLanguage* lang = e ? syn_EntryLanguage(e) : nullptr;
  return lang ? lang : none_language();
}

bool colouring_on() {
  _ConfigOption* o = cfg_FindOption("colorsyntax");
  return !o || o->Bool();
}
}  // namespace

void syn_LoadLanguageIndex(const char* path) {
  // Files point into the definitions about to go.
  for (File* f = FileHead(); f; f = f->next) f->language = nullptr;
  entries.clear();
  entries.push_back(none_entry());
  if (path && *path) {
    auto db = read_index_document(path);
    if (db->get_num_attributes() > 0)
      syn_Message("Warning: Invalid attribute(s) is ignored in file:\n\t%s\n", path);
    for (const ut_attribute_tree* t = db->get_first_child(false); t; t = t->get_next_child(false)) {
      if (!*t->get_name()) {
        syn_Message("Warning: The entry without defining language name is ignored in file:\n\t%s\n",
                    path);
        continue;
      }
      if (auto e = read_entry(t, path)) entries.push_back(std::move(e));
    }
  }
  int hidden = 0;
  for (auto& e : entries) hidden += e->hide;
  if (hidden > 0) {
    auto e = std::make_unique<synLanguageAbs>();
    e->name = e->description = hidden == 1 ? "Hidden Language" : "Hidden Languages";
    e->special = true;
    e->loadTried = true;
    entries.push_back(std::move(e));
  }
  for (size_t i = 0; i < entries.size(); ++i) entries[i]->id = static_cast<int>(i);
  syn_RechooseAllFiles();
}

const std::vector<std::unique_ptr<synLanguageAbs>>& syn_Entries() {
  return entries;
}

synLanguageAbs* syn_FindEntry(std::string_view name, bool ignore_case) {
  auto same = [&](std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           (ignore_case ? strncasecmp(a.data(), b.data(), a.size()) == 0 : a == b);
  };
  auto is_cpp = [&](std::string_view n) { return same(n, "C++") || same(n, "CPP"); };
  for (auto& e : entries)
    if (same(e->name, name) || (is_cpp(name) && is_cpp(e->name))) return e.get();
  return nullptr;
}

synLanguage* syn_EntryLanguage(synLanguageAbs* e) {
  if (!e) return nullptr;
  if (!e->loadTried) {
    e->loadTried = true;
    std::string path = cfg_SearchFileInConfigDirs(e->definitionFile.c_str(), R_OK);
    if (path.empty())
      path = cfg_SearchFileInConfigDirs(("syntax_coloring/" + e->definitionFile).c_str(), R_OK);
    if (path.empty())
      syn_Message("Warning: The language definition file \"%s\" of %s is not found.\n",
                  e->definitionFile.c_str(), e->name.c_str());
    else
      e->language = syn_LoadOneFile(path.c_str());
    e->definitionFile.clear();
  }
  return e->language.get();
}

std::unique_ptr<synLanguage> syn_LoadOneFile(const char* path) {
  return synLanguage::Load(path);
}

synLanguage* syn_GetLanguageFName(std::string_view name, bool fallback_to_none) {
  synLanguage* lang = syn_EntryLanguage(syn_FindEntry(name));
  return lang || !fallback_to_none ? lang : none_language();
}

int syn_GetLanguageFSuffix(std::string_view extension, std::vector<synLanguage*>* list, int max) {
  int count = 0;
  for (synLanguageAbs* e : entries_for_extension(extension, max))
    if (synLanguage* lang = syn_EntryLanguage(e)) {
      list->push_back(lang);
      ++count;
    }
  return count;
}

synLanguage* syn_GetLanguageFContent(std::string_view first_line, std::string_view extension) {
  return syn_EntryLanguage(entry_for_content(first_line, extension));
}

std::string syn_ModeMarkerLanguage(std::string_view line) {
  static const struct {
    const char* word;
    const char* language;
  } kModes[] = {
      {"ada", "Ada"},         {"c", "C"},       {"objc", "C"},
      {"c++", "C++"},         {"idl", "C++"},   {"f90", "Fortran"},
      {"fortran", "Fortran"}, {"java", "Java"}, {"pascal", "Pascal"},
      {"kvx", "KVX-Script"},  {"asm", "-"},
  };
  auto skip_blanks = [&](size_t i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return i;
  };
  for (size_t open = line.find("-*-"); open != std::string_view::npos;
       open = line.find("-*-", open + 3)) {
    size_t start = skip_blanks(open + 3);
    size_t end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' &&
           line.substr(end, 3) != "-*-")
      ++end;
    if (end == start || line.substr(skip_blanks(end), 3) != "-*-") continue;
    std::string_view word = line.substr(start, end - start);
    for (const auto& m : kModes)
      if (word.size() == strlen(m.word) && strncasecmp(word.data(), m.word, word.size()) == 0)
        return m.language;
    return "";
  }
  return "";
}

synLanguage* syn_LanguageOfFile(const char* path) {
  if (!colouring_on()) return nullptr;
  if (!path || !*path) return none_language();
  std::string_view base(path);
  if (size_t slash = base.rfind('/'); slash != std::string_view::npos)
    base = base.substr(slash + 1);
  size_t dot = base.rfind('.');
  std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : base.substr(dot + 1);
  std::vector<synLanguageAbs*> candidates;
  if (!extension.empty()) candidates = entries_for_extension(extension, 2);
  if (candidates.size() == 1) return language_or_none(candidates.front());

  std::string line;
  if (first_non_blank_line(path, &line)) {
    if (synLanguageAbs* e =
            entry_for_content(line, candidates.empty() ? std::string_view() : extension))
      return language_or_none(e);
    std::string mode = syn_ModeMarkerLanguage(line);
    if (mode == "-") return nullptr;
    if (synLanguageAbs* e = mode.empty() ? nullptr : syn_FindEntry(mode))
      return language_or_none(e);
  }
  // Makefiles are named in any case: "Makefile", "GNUmakefile", "x.makefile".
  std::string lower(path);
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (lower.find("makefile") != std::string::npos)
    if (synLanguageAbs* e = syn_FindEntry("makefile")) return language_or_none(e);
  if (candidates.size() == 2) return language_or_none(candidates.front());
  return none_language();
}

std::string syn_ResolveFile(const char* name) {
  if (!name || !*name) return {};
  auto is_file = [](const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  };
  if (name[0] == '/') return is_file(name) ? std::string(name) : std::string();
  for (const std::string& dir : syn_SourcePath()) {
    std::string p = dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
    if (is_file(p)) return p;
  }
  return {};
}

const std::vector<std::string>& syn_SourcePath() {
  if (source_path.empty()) syn_LoadSourcePath();
  return source_path;
}

void syn_ChooseFileLanguage(File* f) {
  if (!f || f->internal) return;
  f->language = syn_LanguageOfFile(f->name);
}

void syn_RechooseAllFiles() {
  for (File* f = FileHead(); f; f = f->next) {
    syn_ChooseFileLanguage(f);
    FileNotifyRedraw(f);
  }
}
