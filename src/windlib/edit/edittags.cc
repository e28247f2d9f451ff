#include "windlib/edit/edittags.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editcmds.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editmatch.h"
#include "windlib/edit/editopen.h"
#include "windlib/errors.h"
#include "windlib/file/file.h"
#include "windlib/file/filesearch.h"
#include "windlib/file/undo.h"
#include "windlib/wdisplay.h"

namespace {
// A tag-file line is read with this limit; the rest of a longer line is
// read as the next line.
constexpr int kTagLineLimit = 2046;
// The entry array grows by this many entries at a time.
constexpr int32_t kTagGrowth = 200;

// Storage for the entries' strings: large blocks handed out in pieces and
// freed together, so that a dictionary of a million names costs a few
// hundred allocations.
class TagStrings {
 public:
  const char* Copy(const char* s, size_t n) {
    if (n + 1 > left_) {
      size_t size = std::max<size_t>(kBlock, n + 1);
      blocks_.emplace_back(new char[size]);
      next_ = blocks_.back().get();
      left_ = size;
    }
    char* out = next_;
    memcpy(out, s, n);
    out[n] = '\0';
    next_ += n + 1;
    left_ -= n + 1;
    return out;
  }
  void Clear() {
    blocks_.clear();
    next_ = nullptr;
    left_ = 0;
  }

 private:
  static constexpr size_t kBlock = 1 << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  size_t left_ = 0;
};

// The dictionary: count -1 means never loaded. `sorted` entries at the
// front are in strcmp order (all of them between loads).
struct TagDictionary {
  tag* entries = nullptr;
  int32_t count = -1;
  int32_t capacity = 0;
  int32_t sorted = 0;
  TagStrings strings;
};

TagDictionary dict;
std::unique_ptr<std::string> default_name;

bool is_white(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool less_by_name(const tag& a, const tag& b) {
  return strcmp(a.name, b.name) < 0;
}

// The entry named `name` among the first `n` (sorted) entries, or none.
tag* search_sorted(tag* entries, int32_t n, const char* name) {
  int32_t lo = 0, hi = n - 1;
  while (lo <= hi) {
    int32_t mid = lo + (hi - lo) / 2;
    int c = strcmp(name, entries[mid].name);
    if (c == 0) return &entries[mid];
    if (c < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return nullptr;
}

tag* append_entry() {
  if (dict.count < 0) dict.count = 0;
  if (dict.count == dict.capacity) {
    int32_t capacity = dict.capacity + kTagGrowth;
    void* grown = realloc(dict.entries, sizeof(tag) * static_cast<size_t>(capacity));
    if (!grown) return nullptr;
    dict.entries = static_cast<tag*>(grown);
    dict.capacity = capacity;
  }
  return &dict.entries[dict.count++];
}

bool all_digits(const char* s, const char* end) {
  if (s == end) return false;
  for (; s < end; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

std::string dir_part(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool is_regular_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The view's selection when it lies within one line and holds 1 to 399
// characters; false otherwise.
bool short_selection(Edit* e, std::string* text) {
  TextRange r = EditSelectionRange(e).normalized();
  if (r.begin.line != r.end.line) return false;
  int32_t n = r.end.col - r.begin.col;
  if (n < 1 || n >= 400) return false;
  *text = EditSelectionText(e);
  return true;
}

// When `text` at the start of the selection is a delimiter with a match,
// selects the match.
bool select_delimiter_match(Edit* e, const std::string& text) {
  TextRange sel = EditSelectionRange(e).normalized();
  TextRange token, match;
  if (EditFindMatch(e, EditMatchLanguageOf(e), sel.begin, &token, &match) != 1) return false;
  token = token.normalized();
  if (token.begin.line != token.end.line ||
      static_cast<size_t>(token.end.col - token.begin.col) != text.size())
    return false;
  match = match.normalized();
  EditSetSelection(e, match.begin.line, match.begin.col, match.end.line, match.end.col);
  return true;
}
}  // namespace

int32_t TagCount() {
  return dict.count;
}

int ParseOneTag(const char* text, bool replace, const char* dir) {
  const char* p = text;
  if (*p == '!') return 1;
  const char* name = p;
  while (*p && !is_white(*p)) ++p;
  const char* name_end = p;
  if (name_end == name) return 0;
  while (*p && is_white(*p)) ++p;
  const char* file = p;
  while (*p && !is_white(*p)) ++p;
  const char* file_end = p;
  if (file_end == file) return 0;
  // A number where the file is expected leaves no file name for the entry.
  if (all_digits(file, file_end)) return 0;
  while (*p && is_white(*p)) ++p;

  int32_t line = -1;
  int16_t direction = 1;
  bool isLineTag = false;
  const char* pattern = nullptr;
  size_t pattern_len = 0;
  if (*p == '/' || *p == '?') {
    char delim = *p++;
    direction = delim == '/' ? 1 : -1;
    if (*p == '^') ++p;
    const char* start = p;
    while (*p && *p != delim && *p != '\r' && *p != '\n') ++p;
    const char* end = p;
    if (*p == delim && end > start && end[-1] == '$') --end;
    pattern = start;
    pattern_len = static_cast<size_t>(end - start);
  } else {
    // As "%d" reads it: leading white space, a sign, digits; the rest ignored.
    char* end = nullptr;
    long n = strtol(p, &end, 10);
    if (end == p) return 0;
    line = static_cast<int32_t>(std::clamp<long>(n, INT32_MIN, INT32_MAX));
    isLineTag = true;
  }

  tag* t = nullptr;
  if (replace) t = search_sorted(dict.entries, dict.sorted, std::string(name, name_end).c_str());
  if (!t) {
    t = append_entry();
    if (!t) return 0;
    t->name = dict.strings.Copy(name, static_cast<size_t>(name_end - name));
  }
  t->file = dict.strings.Copy(file, static_cast<size_t>(file_end - file));
  t->pattern = pattern_len ? dict.strings.Copy(pattern, pattern_len) : nullptr;
  t->line = line;
  t->direction = direction;
  t->isLineTag = isLineTag;
  t->dir = dir;
  return 1;
}

const std::string& TagGetFileName() {
  if (!default_name) {
    const std::string& dir = EditChooserDirectory();
    if (dir.empty())
      default_name = std::make_unique<std::string>("tags");
    else if (dir.back() == '/')
      default_name = std::make_unique<std::string>(dir + "tags");
    else
      default_name = std::make_unique<std::string>(dir + "/tags");
  }
  return *default_name;
}

void TagSetFileName(const std::string& path) {
  default_name = std::make_unique<std::string>(path);
}

std::string TagQueryFileName() {
  const std::string& current = TagGetFileName();
  std::string dir = dir_part(current);
  WAskRequest r{.kind = WAskKind::FileChooser,
                .title = "Choose Tag File",
                .text = {},
                .buttons = {"Load"},
                .defaultButton = 0,
                .defaultText = current.substr(dir.size()),
                .directory = dir.empty() ? EditChooserDirectory() : dir,
                .filter = "*",
                .fileTypePreset = kTagFilePreset,
                .fileTypes = {}};
  WAskReply reply = WAsk(r);
  if (reply.button != 0) return {};
  return reply.text;
}

int TagAppendDictionary(const char* path_arg) {
  std::string path = path_arg ? path_arg : "";
  FILE* in = nullptr;
  if (!path.empty() && is_regular_file(path)) in = fopen(path.c_str(), "r");
  if (!in) {
    path = TagGetFileName();
    if (is_regular_file(path)) in = fopen(path.c_str(), "r");
    if (!in) return 0;
  }
  if (!dict.entries && path != TagGetFileName()) TagSetFileName(path);

  std::string dir_text = dir_part(path);
  const char* dir =
      dir_text.empty() ? nullptr : dict.strings.Copy(dir_text.data(), dir_text.size());
  const bool replace = dict.count != -1;
  const int32_t before = dict.count;
  if (dict.count < 0) dict.count = 0;
  int result = 1;
  char buf[kTagLineLimit + 1];
  while (fgets(buf, sizeof buf, in)) {
    if (!ParseOneTag(buf, replace, dir)) {
      result = -1;
      break;
    }
  }
  fclose(in);
  if (dict.count != before && dict.count >= 1) {
    std::sort(dict.entries, dict.entries + dict.count, less_by_name);
  }
  dict.sorted = std::max(dict.count, 0);
  return result;
}

bool LoadTagDictionary() {
  if (!dict.entries) TagAppendDictionary(TagGetFileName().c_str());
  return dict.entries != nullptr;
}

bool TagAvailable() {
  return LoadTagDictionary();
}

void TagReset() {
  free(dict.entries);
  dict.entries = nullptr;
  dict.count = -1;
  dict.capacity = 0;
  dict.sorted = 0;
  dict.strings.Clear();
}

void TagReinit() {
  if (!dict.entries) return;
  TagReset();
  TagAppendDictionary(TagGetFileName().c_str());
}

void FilesTagsRegenerated() {
  for (File* f = FileHead(); f; f = f->next) UndoMarkTags(f);
  TagReinit();
}

const tag* TagDefault(const char* name) {
  if (!name) return nullptr;
  if (dict.count == -1) LoadTagDictionary();
  if (dict.count <= 0) return nullptr;
  return search_sorted(dict.entries, dict.sorted, name);
}

File* TagFind(const char* name, int32_t* line) {
  if (!name || name[0] == '/') return nullptr;
  const tag* t = TagDefault(name);
  if (!t) return nullptr;
  std::string path = t->file;
  if (t->dir && path[0] != '/') path = t->dir + path;
  File* f = FileFLookup(path.c_str());
  if (!f && is_regular_file(path)) f = FileFName(path.c_str(), 0);
  if (!f || (f->stub && !LoadStubFile(f))) {
    err_Failure("Cannot open file %s for tag %s", t->file, name);
    return nullptr;
  }
  int32_t result;
  if (t->pattern) {
    int32_t start = t->direction == 1 ? 1 : std::max(f->nLines, 1);
    // From the edge: the first line forward, the end of the last line backward.
    int32_t at_line = start, col = 0, end_line = 0, end_col = 0;
    int found = FileFind(f, nullptr, 0, &at_line, &col, &end_line, &end_col, t->direction, true,
                         t->pattern, static_cast<int32_t>(strlen(t->pattern)), kSrchCase);
    result = found == 1 ? at_line : start;
  } else {
    result = std::max(t->line, 1);
  }
  *line = t->isLineTag ? result : -result;
  return f;
}

int Edit_JumpToObject(Edit* edit, const char* name, bool /*noXref*/) {
  if (!name || !*name) {
    EditSetMsg(edit, "No word found around cursor", true);
    return 0;
  }
  // Cross-reference answers and completion entries come before the tags
  // once those sources of definitions exist; the tags are the only one now.
  int32_t line = 0;
  if (File* f = TagFind(name, &line)) {
    if (EditPush(edit, f, line, true)) return 1;
  }
  if (select_delimiter_match(edit, name)) return 1;
  std::string msg = std::string("Cannot find definition for \"") + name + "\"";
  EditSetMsg(edit, msg.c_str(), true);
  return 0;
}

int Edit_GotoDeclaration(Edit* edit, const char* name) {
  if (Edit_JumpToObject(edit, name, false)) return 1;
  std::string msg =
      std::string("No declaration is found for object \"") + (name ? name : "<NULL>") + "\".";
  wAlert("Go To Declaration", msg);
  return 0;
}

// ---- Commands ----------------------------------------------------------------
namespace {
std::string first_argument(CmdInfo* ci) {
  std::string a = ci->args ? ci->args : "";
  a = a.substr(0, a.find_first_of(";}"));
  size_t b = a.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = a.find_first_of(" \t", b);
  return a.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

void cant_find(Edit* e, const std::string& name) {
  std::string msg = "Can't find tag: " + name;
  EditSetMsg(e, msg.c_str());
}

// Error-list files, whose lines name places to go to, have their own
// meaning for these commands once they exist; every file is text here.
int CmdOpenTag(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  std::string name;
  if (!short_selection(e, &name)) return 1;
  int32_t line = 0;
  if (File* f = TagFind(name.c_str(), &line)) {
    EditPush(e, f, line, true);
    return 1;
  }
  if (!select_delimiter_match(e, name)) cant_find(e, name);
  return 1;
}

int CmdNewTag(void* object, CmdInfo*) {
  Edit* e = EditOf(object);
  if (e->readOnlyView) {
    WBell();
    return 1;
  }
  std::string name;
  if (!short_selection(e, &name)) return 1;
  int32_t line = 0;
  if (File* f = TagFind(name.c_str(), &line))
    NewEditTag(f->name, line, 1, nullptr);
  else
    cant_find(e, name);
  return 1;
}

int CmdAppendTagFile(void* object, CmdInfo* ci) {
  Edit* e = EditOf(object);
  std::string path = first_argument(ci);
  if (path.empty()) path = TagQueryFileName();
  if (path.empty()) return 1;
  int r = TagAppendDictionary(path.c_str());
  if (r == 0)
    EditCmdError(e, "No such file: " + path);
  else if (r < 0)
    EditCmdError(e, "File is not a tag file: " + path);
  return r == 1;
}

int CmdResetTags(void*, CmdInfo*) {
  if (WYesNo("Reset Tags", "Throw away all tag information?", true)) TagReset();
  return 1;
}

const CmdEntry kCommands[] = {
    {"OpenTag", CmdOpenTag, kCmdMoves | kCmdPaneRefused},
    {"NewTag", CmdNewTag, kCmdPaneRefused},
    {"AppendTagFile", CmdAppendTagFile, 0},
    {"ResetTags", CmdResetTags, 0},
};
}  // namespace

EditCmdSet EditTagCmds() {
  return {kCommands, {}};
}
