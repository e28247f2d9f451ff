// libFuzzer target over the auto-indent parser. The first byte of an input
// chooses the language, the paren mode, the comment settings and the indent
// size; the rest is the text, split into lines. Every line must get a
// column that is not negative and not beyond what the text can reach, and
// a clone must answer as its original does.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "windlib/config/aindentsettings.h"
#include "windlib/file/aindent.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 8192) return 0;
  const uint8_t mode = data[0];
  const AI_Lang lang = mode & 1 ? AI_LangAda : AI_LangC;
  aIndent_parenIndentMode = mode & 2 ? kParenIndentInTwo : kParenEvenWithParen;
  aIndent_touchComments = mode & 4;
  aIndent_commentsStayFlushLeft = mode & 8;
  aIndent_switchInTwo = mode & 16;
  const int32_t indent = 1 + (mode >> 5);
  const int32_t tabsize = mode & 32 ? 0 : 8;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  AutoIndentLine_Tag* st = AIndent_New(lang, mode & 64 ? '%' : 0);
  size_t at = 0;
  int32_t n = 0;
  while (at <= text.size()) {
    size_t nl = text.find('\n', at);
    if (nl == std::string::npos) nl = text.size();
    const std::string line = text.substr(at, nl - at);
    const int32_t len = static_cast<int32_t>(line.size());
    ++n;
    AutoIndentLine_Tag* a = AIndent_Clone(st);
    AutoIndentLine_Tag* b = AIndent_Clone(a);
    const int32_t col = AIndent_GetIndentColumn(a, line.data(), len, indent, tabsize, n);
    Check(col >= 0);
    Check(col == AIndent_GetIndentColumn(b, line.data(), len, indent, tabsize, n));
    // Every column comes from a column of the text plus at most a few
    // indent steps for each token.
    Check(col <= static_cast<int64_t>(size) * (8 + 2 * indent) + 100);
    AIndent_Delete(a);
    AIndent_Delete(b);
    AIndent_ParseLine(st, line.data(), len, indent, tabsize, n);
    (void)AIndent_ReallyBeginning(lang, 0, line.data(), len);
    at = nl + 1;
  }
  AIndent_Delete(st);
  return 0;
}
