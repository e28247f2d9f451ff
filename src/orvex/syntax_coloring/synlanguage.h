// One loaded language definition (synLanguage): the lexical elements of a
// language read from a definition file, each with its colour, and the tables
// derived from them that colouring, completion and indentation use.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ut_attribute_tree;
class ut_options_database;
struct ExtraSyntaxInfo;
class synLanguage;

// Receives one run of a line in one syntax state (synstate.h).
using synRunCallback = void (*)(const synLanguage* language, void* context, const char* text,
                                int32_t start, int32_t length, uint32_t state);

// A delimiter pair of strings, characters, blocks or block comments.
struct synClosingItem {
  std::string begin;
  std::string end;
  int32_t beginLen = 0;
  int32_t endLen = 0;
  bool spanLine = false;
};

// What indentation, comment commands and matching make of a language.
enum synLanguageKind : int {
  synKindC = 0,
  synKindCPP = 1,
  synKindAda = 2,
  synKindPascal = 3,
  synKindFortran = 4,
  synKindJava = 5,
  synKindRtkConfig = 6,
  synKindPerl = 7,
  synKindOther = 8,
};
synLanguageKind syn_KindOfName(std::string_view name);

// One completion entry: a name and the text it completes to (none: the name).
struct synCompletionEntry {
  std::string name;
  std::string value;
};

// The completion entries ordered by name, case-sensitively or not.
class synCompletionTree {
 public:
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }
  bool CaseSensitive() const { return caseSensitive_; }
  // Adds an entry unless one with the same name and value is there.
  void Add(std::string_view name, std::string_view value);
  // Restores the order after additions.
  void Sort();
  const std::vector<synCompletionEntry>& Entries() const { return entries_; }
  // The entries whose names start with `prefix` (by the case rule), in order.
  std::vector<const synCompletionEntry*> WithPrefix(std::string_view prefix) const;

 private:
  bool caseSensitive_ = true;
  std::vector<synCompletionEntry> entries_;
};

// A coloured set of words and wildcard patterns (the customized section).
struct synCustomizedItems {
  std::string color;                  // empty: no colour
  std::vector<std::string> words;     // plain words, sorted by the language's case rule
  std::vector<std::string> patterns;  // patterns holding a wildcard, in file order
  bool autocomplete = true;
};

// The customized items of a kernel file, shared by the files that use them.
struct ExtraSyntaxInfo {
  std::string path;
  synCustomizedItems items;
};

class synLanguage {
 public:
  // The loading kind that keeps only the customized items.
  static constexpr int kExtraItemsOnly = 1024;

  synLanguage() = default;
  explicit synLanguage(std::string name) : name(std::move(name)) {}

  // Reads a definition file; none when it cannot be read, has no language
  // tree or no name (messages printed).
  static std::unique_ptr<synLanguage> Load(const char* path);
  // With kind kExtraItemsOnly, reads a definition-format file and keeps
  // only its customized items; none for other kinds or when it cannot be
  // read.
  static std::unique_ptr<ExtraSyntaxInfo> LoadSyntaxInfo(const char* path, int kind);

  // Fills the language from a read document; false when it has no language
  // tree. `extraOnly`: no old-format notice.
  bool LoadInfoFromDatabase(ut_options_database& db, const char* path, bool extraOnly);
  // The sorted lists, then the separator tables, preprocessor character,
  // token buffer size and completion tree.
  void GetListsReadyForUse();
  void GetOtherStuffReadyForUse();

  // ---- Syntax states (synstate.cc) ----
  // Scans one line from its start state and the pair index its
  // preprocessor state carries, reporting the runs that lie in [from, to)
  // (every element, or equal neighbours merged) until `to`; the state open
  // where the scan stopped, before the end-of-line rules.
  uint32_t CalculateTextSynstate(uint32_t state, uint32_t pstate, const char* text, int32_t from,
                                 int32_t to, int32_t length, bool everyRun, synRunCallback callback,
                                 void* context, const ExtraSyntaxInfo* extra) const;
  // The start state and preprocessor state of the line after this one.
  // `tagInfo` is for the procedure-tag collector, which is not part of the
  // editor yet: it must be null.
  void QuickLineParser(uint32_t* state, uint32_t pstate, const char* text, int32_t length,
                       uint32_t* newPstate, const char* fileName, void* tagInfo) const;
  // The element that starts at `position` (0 when none): its bits, its
  // extent in *length and the pair it used in *pair; *state takes the bits
  // left open at `end` (0 when the element ends within the line).
  uint32_t FindSyntaxStatus(uint32_t* state, const char* text, int32_t position, int32_t end,
                            int32_t* length, const ExtraSyntaxInfo* extra, int* pair) const;
  // Where the element open at the line start ends: *length covers its text
  // up to and including the closing delimiter; 1 when it closes (and *state
  // becomes null), 0 when the whole line is inside it.
  int FinishSyntaxStatus(uint32_t* state, int pair, const char* text, int32_t position, int32_t end,
                         int32_t* length) const;
  // Whether lines carry states from one to the next at all.
  bool NeedQuickLineParser() const;
  // The pixel of a run's state; false when it is drawn plain.
  bool GetColorForStatus(uint32_t state, uint32_t* pixel) const;

  bool IsKeyword(std::string_view word) const;
  bool IsPreprocessorWord(std::string_view word) const;
  bool IsCustomizedWord(std::string_view word) const;

  // general
  std::string name;
  std::string description;
  std::string firstLinePattern;
  std::vector<std::string> extensions;  // sorted, case-sensitive
  std::string separatorChars;
  int escape = -1;  // the escape character, -1 when none
  bool pascalStylePriority = false;
  bool caseSensitive = true;
  synLanguageKind kind = synKindOther;

  // keyword
  std::vector<std::string> keywords;
  std::string keywordColor;
  bool keywordAutocomplete = true;

  // preprocessor
  std::vector<std::string> preprocessorWords;
  std::string preprocessorColor;
  bool preprocessorAutocomplete = true;
  bool preprocessorCaseSensitive = true;

  // comments, strings, characters, blocks
  std::string commentColor;
  std::vector<synClosingItem> comments;
  std::string lineCommentColor;
  std::vector<std::string> lineComments;
  std::string stringColor;
  std::vector<synClosingItem> strings;
  std::string characterColor;
  std::vector<synClosingItem> characters;
  std::string blockColor;
  std::vector<synClosingItem> blocks;

  // numbers
  bool integerOn = false;
  std::string integerColor;
  std::vector<std::string> decimalSuffixes;
  std::vector<std::string> hexSuffixes;
  bool hexOn = true;
  bool integerCaseSensitive = false;
  bool floatOn = false;
  std::string floatColor;
  std::vector<std::string> floatSuffixes;
  bool scientific = true;
  bool floatCaseSensitive = false;

  // customized words and patterns
  synCustomizedItems customized;
  std::vector<std::string> customizedPatterns;  // as read, before the split

  // autocomplete
  std::vector<std::string> completionNames;  // as read: name, separator, value
  char nameValueSeparator = ';';
  bool matchBest = true;
  bool autocomplete = true;
  int32_t maxMatch = 10;
  int32_t minStringLength = 1;
  bool grabPrototype = false;
  bool showPrototype = false;

  // derived
  int32_t tokenBufferSize = 1;
  std::array<bool, 256> separators{};
  std::array<bool, 256> pureSeparators{};
  int preprocessorChar = 0;  // 0: none
  synCompletionTree completion;
  // Bytes at which an element may begin, for the scan to skip the others;
  // built by the scanner on first use.
  mutable std::array<bool, 256> elementStart{};
  mutable bool scanTablesReady = false;
  mutable int needQuickParser = -1;  // -1: not yet known
  // The element colours resolved to pixels, on first use.
  mutable std::array<uint32_t, 10> pixels{};
  mutable uint16_t pixelsKnown = 0;  // bit per element colour
  mutable uint16_t pixelsNone = 0;   // bit per element colour left to the class default

  // Warnings met while loading.
  int warningCount = 0;
};

// Whether separators also take the non-alphanumeric characters of the
// delimiters and line-comment strings. Nothing sets it yet: off.
extern bool synExtendedSeparators;
