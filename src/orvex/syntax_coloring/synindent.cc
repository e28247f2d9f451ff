#include "orvex/syntax_coloring/synindent.h"

#include "orvex/syntax_coloring/synlanguage.h"
#include "windlib/file/file.h"
#include "windlib/file/fileindent.h"

namespace {
bool indent_language(File* f, AI_Lang* lang, char* leader) {
  const synLanguage* l = f->language;
  if (!l) return false;
  switch (l->kind) {
    case synKindC:
    case synKindCPP:
    case synKindJava:
      *lang = AI_LangC;
      break;
    case synKindAda:
      *lang = AI_LangAda;
      break;
    default:
      return false;
  }
  *leader = static_cast<char>(l->preprocessorChar);
  return true;
}
}  // namespace

void syn_InstallIndentHook() {
  FileAutoIndentLanguageHook = indent_language;
}
