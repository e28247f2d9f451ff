// libFuzzer target over the search pattern matcher. The first byte of an
// input holds the matcher flags, the bytes up to the first NUL the pattern,
// the rest the text, split into lines. Every pattern must compile or be
// reported malformed, and every search on every line, in both directions,
// must end with a match that lies inside the text or with none.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "windlib/file/filesearch.h"
#include "windlib/file/srchmatch.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  int flags = data[0] & 0x7f;
  if (data[0] & 0x80) flags |= kSrchInternal;
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t nul = rest.find('\0');
  std::string pattern = rest.substr(0, nul);
  std::string text = nul == std::string::npos ? std::string() : rest.substr(nul + 1);
  std::vector<std::string> lines;
  size_t at = 0;
  while (lines.size() < 64) {
    size_t nl = text.find('\n', at);
    lines.push_back(text.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
    if (nl == std::string::npos) break;
    at = nl + 1;
  }

  SrchPattern p;
  int compiled = SrchCompile(pattern.data(), static_cast<int32_t>(pattern.size()), flags, &p);
  Check(compiled == 1 || (compiled == kSrchMalformed && p.malformed));
  for (size_t k = 0; k < lines.size(); ++k) {
    const int32_t len = static_cast<int32_t>(lines[k].size());
    for (int32_t col : {0, len / 2, len, len + 3}) {
      for (bool forward : {true, false}) {
        SrchVectorLines src(lines, k);
        SrchEnd e;
        int32_t c = SrchFindInLine(p, src, col, forward, &e);
        if (compiled != 1) Check(c == -1);
        if (c < 0) {
          Check(c == -1);
          continue;
        }
        Check(c <= len && (forward ? c >= std::min(col, len) : c <= col));
        Check(e.lines >= 0 && k + static_cast<size_t>(e.lines) < lines.size());
        Check(e.col >= 0 && e.col <= static_cast<int32_t>(lines[k + e.lines].size()));
        if (e.lines == 0) Check(e.col >= c);
      }
    }
  }
  return 0;
}
