// The tables a language derives from its definition once it is read.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "orvex/syntax_coloring/synlanguage.h"

namespace {
int compare(std::string_view a, std::string_view b, bool case_sensitive) {
  const size_t n = std::min(a.size(), b.size());
  int r = case_sensitive ? std::memcmp(a.data(), b.data(), n) : strncasecmp(a.data(), b.data(), n);
  if (r != 0 || a.size() == b.size()) return r;
  return a.size() < b.size() ? -1 : 1;
}

void sort_list(std::vector<std::string>* list, bool case_sensitive) {
  std::stable_sort(list->begin(), list->end(), [&](const std::string& a, const std::string& b) {
    return compare(a, b, case_sensitive) < 0;
  });
}

bool in_sorted(const std::vector<std::string>& list, std::string_view word, bool case_sensitive) {
  auto it = std::lower_bound(
      list.begin(), list.end(), word,
      [&](const std::string& a, std::string_view w) { return compare(a, w, case_sensitive) < 0; });
  return it != list.end() && compare(*it, word, case_sensitive) == 0;
}

bool has_wildcard(std::string_view s) {
  return s.find_first_of("*?[") != std::string_view::npos;
}

void mark(std::array<bool, 256>* table, std::string_view chars) {
  for (char c : chars) (*table)[static_cast<unsigned char>(c)] = true;
}

// Every character other than a digit or ASCII letter of `text`.
void mark_punctuation(std::array<bool, 256>* table, std::string_view text) {
  for (char c : text)
    if (!isalnum(static_cast<unsigned char>(c))) (*table)[static_cast<unsigned char>(c)] = true;
}
}  // namespace

void synCompletionTree::Add(std::string_view name, std::string_view value) {
  for (const synCompletionEntry& e : entries_)
    if (e.name == name && e.value == value) return;
  entries_.push_back({std::string(name), std::string(value)});
}

void synCompletionTree::Sort() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [&](const synCompletionEntry& a, const synCompletionEntry& b) {
                     return compare(a.name, b.name, caseSensitive_) < 0;
                   });
}

std::vector<const synCompletionEntry*> synCompletionTree::WithPrefix(
    std::string_view prefix) const {
  std::vector<const synCompletionEntry*> out;
  auto it = std::lower_bound(entries_.begin(), entries_.end(), prefix,
                             [&](const synCompletionEntry& e, std::string_view p) {
                               return compare(e.name, p, caseSensitive_) < 0;
                             });
  for (; it != entries_.end(); ++it) {
    if (it->name.size() < prefix.size() ||
        compare(std::string_view(it->name).substr(0, prefix.size()), prefix, caseSensitive_) != 0)
      break;
    out.push_back(&*it);
  }
  return out;
}

void synLanguage::GetListsReadyForUse() {
  std::sort(extensions.begin(), extensions.end());
  sort_list(&keywords, caseSensitive);
  sort_list(&preprocessorWords, preprocessorCaseSensitive);
  sort_list(&decimalSuffixes, integerCaseSensitive);
  sort_list(&hexSuffixes, integerCaseSensitive);
  sort_list(&floatSuffixes, floatCaseSensitive);
  customized.words.clear();
  customized.patterns.clear();
  for (const std::string& p : customizedPatterns)
    (has_wildcard(p) ? customized.patterns : customized.words).push_back(p);
  sort_list(&customized.words, caseSensitive);
}

void synLanguage::GetOtherStuffReadyForUse() {
  size_t longest = 0;
  for (const auto* list : {&keywords, &preprocessorWords, &customized.words})
    for (const std::string& w : *list) longest = std::max(longest, w.size());
  tokenBufferSize = static_cast<int32_t>(longest + 1);

  separators.fill(false);
  separators[0] = separators['\n'] = separators['\r'] = true;
  mark(&separators, separatorChars);

  // Characters that take part in a delimiter or line-comment string.
  std::array<bool, 256> in_delimiters{};
  for (const auto* pairs : {&comments, &strings, &characters, &blocks})
    for (const synClosingItem& p : *pairs) {
      mark_punctuation(&in_delimiters, p.begin);
      mark_punctuation(&in_delimiters, p.end);
    }
  for (const std::string& s : lineComments) mark_punctuation(&in_delimiters, s);
  if (synExtendedSeparators) {
    std::array<bool, 256> extended{};
    for (const auto* pairs : {&comments, &strings, &characters})
      for (const synClosingItem& p : *pairs) {
        mark_punctuation(&extended, p.begin);
        mark_punctuation(&extended, p.end);
      }
    for (const std::string& s : lineComments) mark_punctuation(&extended, s);
    for (int c = 0; c < 256; ++c) separators[c] = separators[c] || extended[c];
  }
  for (int c = 0; c < 256; ++c) pureSeparators[c] = separators[c] && !in_delimiters[c];

  // The one lead character of the preprocessor words that do not start
  // with a letter, when they agree.
  preprocessorChar = 0;
  bool disagree = false;
  for (const std::string& w : preprocessorWords) {
    if (w.empty() || isalpha(static_cast<unsigned char>(w[0]))) continue;
    const int lead = static_cast<unsigned char>(w[0]);
    if (preprocessorChar == 0)
      preprocessorChar = lead;
    else if (preprocessorChar != lead)
      disagree = true;
  }
  if (disagree) preprocessorChar = 0;
  if (preprocessorChar) separators[preprocessorChar] = pureSeparators[preprocessorChar] = false;

  completion = synCompletionTree();
  completion.SetCaseSensitive(caseSensitive);
  if (keywordAutocomplete)
    for (const std::string& w : keywords) completion.Add(w, "");
  if (preprocessorAutocomplete)
    for (const std::string& w : preprocessorWords) completion.Add(w, "");
  if (customized.autocomplete)
    for (const std::string& w : customized.words) completion.Add(w, "");
  for (const std::string& entry : completionNames) {
    const size_t sep = entry.find(nameValueSeparator);
    if (sep == std::string::npos)
      completion.Add(entry, "");
    else
      completion.Add(std::string_view(entry).substr(0, sep),
                     std::string_view(entry).substr(sep + 1));
  }
  completion.Sort();
}

bool synLanguage::IsKeyword(std::string_view word) const {
  return in_sorted(keywords, word, caseSensitive);
}

bool synLanguage::IsPreprocessorWord(std::string_view word) const {
  return in_sorted(preprocessorWords, word, preprocessorCaseSensitive);
}

bool synLanguage::IsCustomizedWord(std::string_view word) const {
  return in_sorted(customized.words, word, caseSensitive);
}
