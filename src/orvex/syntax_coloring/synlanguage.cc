#include "orvex/syntax_coloring/synlanguage.h"

#include <strings.h>

#include <cstring>
#include <functional>
#include <optional>

#include "orvex/syntax_coloring/synmessages.h"
#include "shared/indgen/indgen.h"
#include "shared/indgen/strformat.h"
#include "shared/libcxxutil/ut_options_database.h"
#include "windlib/wdisplay.h"

bool synExtendedSeparators = false;

namespace {
constexpr const char* kLanguageTree = "language";
constexpr const char* kDocumentationReference =
    "the chapter \"Language definition files\" of the ORVEX Editor manual\n";

using Attr = ut_attribute_tree_attribute;

// Reads one definition, counting its warnings on the language.
class DefinitionReader {
 public:
  DefinitionReader(synLanguage& lang, const char* path) : lang_(lang), path_(path) {}

  void Warn(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    std::string text = gen_vformat(format, args);
    va_end(args);
    syn_Message("%s", text.c_str());
    ++lang_.warningCount;
  }

  // Calls `take(key, attribute)` for every attribute of `section`; keys it
  // does not know (false) and attributes without a key draw warnings.
  void Attributes(const ut_attribute_tree* section, const std::string& where,
                  const std::function<bool(const std::string&, const Attr*)>& take) {
    for (const Attr* a = section->get_first_attribute(); a; a = section->get_next_attribute(a)) {
      if (a->key().empty()) {
        Warn("Warning: Invalid attribute of %s with NULL key is ignored in file:\n\t%s\n",
             where.c_str(), path_);
        continue;
      }
      if (!take(a->key(), a))
        Warn("Warning: Invalid attribute %s.%s in file:\n\t%s\n", where.c_str(), a->key().c_str(),
             path_);
    }
  }

  // A section that takes attributes only.
  void NoChildren(const ut_attribute_tree* section) {
    if (section->get_first_child(false))
      Warn("Warning: Invalid attribute tree(s) of %s is ignored in file:\n\t%s\n",
           section->get_name(), path_);
  }

  void BadValue(const std::string& where, const std::string& key) {
    Warn("Warning: Invalid attribute value for %s.%s in file:\n\t%s\n", where.c_str(), key.c_str(),
         path_);
  }

  // Typed values; a value of the wrong type draws the invalid-value warning.
  std::optional<std::string> Str(const std::string& where, const Attr* a) {
    if (a->type() == ut_attribute_type_str) return std::string(a->str() ? a->str() : "");
    BadValue(where, a->key());
    return std::nullopt;
  }
  std::optional<std::vector<std::string>> List(const std::string& where, const Attr* a) {
    std::vector<std::string> out;
    if (a->type() == ut_attribute_type_str) {
      out.emplace_back(a->str() ? a->str() : "");
    } else if (a->type() == ut_attribute_type_str_list) {
      for (const ut_attribute_str_list* e = a->str_list(); e; e = e->next) out.push_back(e->str);
    } else {
      BadValue(where, a->key());
      return std::nullopt;
    }
    return out;
  }
  void Bool(const std::string& where, const Attr* a, bool* out) {
    if (a->type() == ut_attribute_type_int32 || a->type() == ut_attribute_type_str)
      *out = ut_attribute_tree::get_attribute_bool_value(a);
    else
      BadValue(where, a->key());
  }
  void Int(const std::string& where, const Attr* a, int32_t* out) {
    if (a->type() == ut_attribute_type_int32)
      *out = a->int32();
    else
      BadValue(where, a->key());
  }
  void Color(const std::string& where, const Attr* a, std::string* out) {
    const char* text = a->type() == ut_attribute_type_str ? a->str() : nullptr;
    if (!text || !syn_ColorValid(text)) {
      Warn("Invalid color setting for %s in file \n\t%s.\n", where.c_str(), path_);
      return;
    }
    *out = std::strcmp(text, "none") == 0 ? std::string() : std::string(text);
  }
  void AppendList(const std::string& where, const Attr* a, std::vector<std::string>* out) {
    if (auto v = List(where, a)) out->insert(out->end(), v->begin(), v->end());
  }

  void General(const ut_attribute_tree* s);
  void Keyword(const ut_attribute_tree* s);
  void Preprocessor(const ut_attribute_tree* s);
  void Comment(const ut_attribute_tree* s);
  void LineComment(const ut_attribute_tree* s);
  // Strings, characters and blocks: at most `max_pairs` pairs (0: any).
  void Pairs(const ut_attribute_tree* s, std::string* color, std::vector<synClosingItem>* pairs,
             int max_pairs, bool span_default);
  void Integer(const ut_attribute_tree* s);
  void Float(const ut_attribute_tree* s);
  void Customized(const ut_attribute_tree* s);
  void Autocomplete(const ut_attribute_tree* s);

 private:
  // One delimiter pair; false when it is incomplete.
  bool Pair(const ut_attribute_tree* section, const ut_attribute_tree* p, bool takes_span,
            bool span_default, synClosingItem* out);

  synLanguage& lang_;
  const char* path_;
};

void DefinitionReader::General(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "name") {
      if (auto v = Str(w, a)) lang_.name = *v;
    } else if (key == "description") {
      if (auto v = Str(w, a)) lang_.description = *v;
    } else if (key == "first_line_pattern") {
      if (auto v = Str(w, a)) lang_.firstLinePattern = *v;
    } else if (key == "extension") {
      AppendList(w, a, &lang_.extensions);
    } else if (key == "separator") {
      if (auto v = Str(w, a)) lang_.separatorChars = *v;
    } else if (key == "escape") {
      if (auto v = Str(w, a)) lang_.escape = v->empty() ? -1 : static_cast<unsigned char>((*v)[0]);
    } else if (key == "pascal_style_priority") {
      Bool(w, a, &lang_.pascalStylePriority);
    } else if (key == "case_sensitive") {
      Bool(w, a, &lang_.caseSensitive);
    } else {
      return false;
    }
    return true;
  });
}

void DefinitionReader::Keyword(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "name")
      AppendList(w, a, &lang_.keywords);
    else if (key == "color")
      Color(w, a, &lang_.keywordColor);
    else if (key == "autocomplete")
      Bool(w, a, &lang_.keywordAutocomplete);
    else
      return false;
    return true;
  });
}

void DefinitionReader::Preprocessor(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "name")
      AppendList(w, a, &lang_.preprocessorWords);
    else if (key == "color")
      Color(w, a, &lang_.preprocessorColor);
    else if (key == "autocomplete")
      Bool(w, a, &lang_.preprocessorAutocomplete);
    else if (key == "case_sensitive")
      Bool(w, a, &lang_.preprocessorCaseSensitive);
    else
      return false;
    return true;
  });
}

bool DefinitionReader::Pair(const ut_attribute_tree* section, const ut_attribute_tree* p,
                            bool takes_span, bool span_default, synClosingItem* out) {
  const std::string sname = section->get_name();
  const std::string pname = p->get_name();
  const std::string w = sname + "." + pname;
  if (p->get_first_child(false))
    Warn("Warning: Invalid attribute tree(s) of %s.%s is ignored in file:\n\t%s\n", sname.c_str(),
         pname.c_str(), path_);
  out->spanLine = span_default;
  for (const Attr* a = p->get_first_attribute(); a; a = p->get_next_attribute(a)) {
    const std::string& key = a->key();
    if (key == "begin") {
      if (auto v = Str(w, a)) out->begin = *v;
    } else if (key == "end") {
      if (auto v = Str(w, a)) out->end = *v;
    } else if (key == "span_line" && takes_span) {
      Bool(w, a, &out->spanLine);
    } else {
      Warn("Warning: Invalid attribute %s.%s.%s in file:\n\t%s\n", sname.c_str(), pname.c_str(),
           key.c_str(), path_);
    }
  }
  if (out->begin.empty() || out->end.empty()) {
    Warn("Warning: Incomplete definition is ignored for \"%s.%s\" in file \n\t%s.\n", sname.c_str(),
         pname.c_str(), path_);
    return false;
  }
  out->beginLen = static_cast<int32_t>(out->begin.size());
  out->endLen = static_cast<int32_t>(out->end.size());
  return true;
}

void DefinitionReader::Comment(const ut_attribute_tree* s) {
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key != "color") return false;
    Color(w, a, &lang_.commentColor);
    return true;
  });
  for (const ut_attribute_tree* p = s->get_first_child(false); p; p = p->get_next_child(false)) {
    synClosingItem item;
    if (Pair(s, p, false, true, &item)) lang_.comments.push_back(std::move(item));
  }
}

void DefinitionReader::LineComment(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "color") {
      Color(w, a, &lang_.lineCommentColor);
      return true;
    }
    if (auto v = List(w, a)) {
      for (std::string& text : *v) {
        if (text.empty())
          BadValue(w, key);
        else
          lang_.lineComments.push_back(std::move(text));
      }
    }
    return true;
  });
}

void DefinitionReader::Pairs(const ut_attribute_tree* s, std::string* color,
                             std::vector<synClosingItem>* pairs, int max_pairs, bool span_default) {
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key != "color") return false;
    Color(w, a, color);
    return true;
  });
  bool too_many_told = false;
  for (const ut_attribute_tree* p = s->get_first_child(false); p; p = p->get_next_child(false)) {
    synClosingItem item;
    if (!Pair(s, p, true, span_default, &item)) continue;
    if (max_pairs > 0 && static_cast<int>(pairs->size()) >= max_pairs) {
      if (!too_many_told)
        Warn("Warning: More than %d pairs of constant %s delimiters \nare defined in file \n\t%s\n",
             max_pairs, w.c_str(), path_);
      too_many_told = true;
      continue;
    }
    pairs->push_back(std::move(item));
  }
}

void DefinitionReader::Integer(const ut_attribute_tree* s) {
  NoChildren(s);
  lang_.integerOn = true;
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "color")
      Color(w, a, &lang_.integerColor);
    else if (key == "decimal_suffix")
      AppendList(w, a, &lang_.decimalSuffixes);
    else if (key == "hex_suffix")
      AppendList(w, a, &lang_.hexSuffixes);
    else if (key == "hex")
      Bool(w, a, &lang_.hexOn);
    else if (key == "case_sensitive")
      Bool(w, a, &lang_.integerCaseSensitive);
    else
      return false;
    return true;
  });
}

void DefinitionReader::Float(const ut_attribute_tree* s) {
  NoChildren(s);
  lang_.floatOn = true;
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "color")
      Color(w, a, &lang_.floatColor);
    else if (key == "suffix")
      AppendList(w, a, &lang_.floatSuffixes);
    else if (key == "scientific")
      Bool(w, a, &lang_.scientific);
    else if (key == "case_sensitive")
      Bool(w, a, &lang_.floatCaseSensitive);
    else
      return false;
    return true;
  });
}

void DefinitionReader::Customized(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "color")
      Color(w, a, &lang_.customized.color);
    else if (key == "pattern")
      AppendList(w, a, &lang_.customizedPatterns);
    else if (key == "autocomplete")
      Bool(w, a, &lang_.customized.autocomplete);
    else
      return false;
    return true;
  });
}

void DefinitionReader::Autocomplete(const ut_attribute_tree* s) {
  NoChildren(s);
  const std::string w = s->get_name();
  Attributes(s, w, [&](const std::string& key, const Attr* a) {
    if (key == "name") {
      AppendList(w, a, &lang_.completionNames);
    } else if (key == "name_value_separator") {
      if (auto v = Str(w, a)) {
        if (v->empty())
          BadValue(w, key);
        else
          lang_.nameValueSeparator = (*v)[0];
      }
    } else if (key == "match") {
      if (auto v = Str(w, a)) {
        if (*v == "first" || *v == "best")
          lang_.matchBest = *v == "best";
        else
          Warn("Unknown configuration option value \"%s.%s = %s\" in file \n\t%s.\n", w.c_str(),
               key.c_str(), v->c_str(), path_);
      }
    } else if (key == "autocomplete") {
      Bool(w, a, &lang_.autocomplete);
    } else if (key == "max_match") {
      Int(w, a, &lang_.maxMatch);
    } else if (key == "min_string_length") {
      Int(w, a, &lang_.minStringLength);
    } else if (key == "grab_prototype") {
      Bool(w, a, &lang_.grabPrototype);
    } else if (key == "show_prototype") {
      Bool(w, a, &lang_.showPrototype);
    } else {
      return false;
    }
    return true;
  });
}

// The read document; none when the file could not be read.
std::unique_ptr<ut_options_database> read_document(const char* path) {
  auto db = std::make_unique<ut_options_database>("Language Definition");
  // The program directory, as the definitions' include paths expect.
  db->add_macro("_ORVEX_DIR", gen_progdir());
  if (!db->read_from_file_name(path)) return nullptr;
  return db;
}
}  // namespace

synLanguageKind syn_KindOfName(std::string_view name) {
  if (name == "C") return synKindC;
  if (name == "C++" || name == "CPP") return synKindCPP;
  if (name == "Ada") return synKindAda;
  if (name == "Pascal") return synKindPascal;
  if (name == "Fortran") return synKindFortran;
  if (name == "Java") return synKindJava;
  if (name == "KVX-RTK-CONFIG") return synKindRtkConfig;
  if (name == "Perl") return synKindPerl;
  return synKindOther;
}

bool synLanguage::LoadInfoFromDatabase(ut_options_database& db, const char* path, bool extraOnly) {
  DefinitionReader r(*this, path);
  for (const Attr* a = db.get_first_attribute(); a; a = db.get_next_attribute(a))
    if (a->key() != "version")
      r.Warn("Warning: Invalid attribute %s in file:\n\t%s\n", a->key().c_str(), path);
  if (db.count_child_trees(false) > 1) {
    r.Warn("Warning: More than one attribute tree is defined in file \n\t%s\n", path);
    syn_Message("We only consider the one defining %s, other attribute tree(s) is ignored.\n",
                kLanguageTree);
  }
  const ut_attribute_tree* root = db.find_child_tree(kLanguageTree);
  if (!root) {
    syn_Message("Error: No attribute tree is defined for %s in file:\n\t%s\n", kLanguageTree, path);
    return false;
  }
  for (const Attr* a = root->get_first_attribute(); a; a = root->get_next_attribute(a))
    r.Warn("Warning: Invalid attribute %s.%s in file:\n\t%s\n", kLanguageTree, a->key().c_str(),
           path);
  for (const ut_attribute_tree* s = root->get_first_child(false); s; s = s->get_next_child(false)) {
    const std::string_view n = s->get_name();
    if (n == "general")
      r.General(s);
    else if (n == "keyword")
      r.Keyword(s);
    else if (n == "preprocessor")
      r.Preprocessor(s);
    else if (n == "comment")
      r.Comment(s);
    else if (n == "line_comment")
      r.LineComment(s);
    else if (n == "string")
      r.Pairs(s, &stringColor, &strings, 2, false);
    else if (n == "character")
      r.Pairs(s, &characterColor, &characters, 2, false);
    else if (n == "block")
      r.Pairs(s, &blockColor, &blocks, 0, true);
    else if (n == "integer")
      r.Integer(s);
    else if (n == "float")
      r.Float(s);
    else if (n == "customized")
      r.Customized(s);
    else if (n == "autocomplete")
      r.Autocomplete(s);
  }
  kind = syn_KindOfName(name);
  if (!extraOnly && (warningCount > 0 || name.empty())) {
    WBell();
    syn_Message(
        "The following language definition file may be in the old format:\n%s\n\nIf so, please "
        "update all the language definition files in your\nORVEX site configuration directory "
        "and your local configuration directory.\n\nFor the new language definition syntax, "
        "please refer to: \n%s",
        path, kDocumentationReference);
  }
  return true;
}

std::unique_ptr<synLanguage> synLanguage::Load(const char* path) {
  auto db = read_document(path);
  if (!db) return nullptr;
  auto lang = std::make_unique<synLanguage>();
  if (!lang->LoadInfoFromDatabase(*db, path, false) || lang->name.empty()) return nullptr;
  lang->GetListsReadyForUse();
  lang->GetOtherStuffReadyForUse();
  return lang;
}

std::unique_ptr<ExtraSyntaxInfo> synLanguage::LoadSyntaxInfo(const char* path, int kind) {
  if (kind != kExtraItemsOnly) return nullptr;
  auto db = read_document(path);
  if (!db) return nullptr;
  synLanguage lang;
  if (!lang.LoadInfoFromDatabase(*db, path, true)) return nullptr;
  lang.GetListsReadyForUse();
  auto info = std::make_unique<ExtraSyntaxInfo>();
  info->path = path;
  info->items = std::move(lang.customized);
  return info;
}
