// The file-level scans behind FileFind, FileReplace and FileReplaceAll.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "windlib/file/srchmatch.h"

struct File;
struct Line;
struct SrchAbort;

// The lines of a file from `first` on, as the matcher reads them.
class FileSrchLines : public SrchLines {
 public:
  FileSrchLines(File* f, Line* first);
  bool get(int32_t k, std::string_view* text) override;

 private:
  File* f_;
  Line* first_;
  Line* last_ = nullptr;  // the line copied last
  // Lines 0, 1, ... once a match reads past line 0; each string stays where
  // it is while more are added.
  std::vector<std::unique_ptr<std::string>> copies_;
};

// A match: its line record and number, its column and where it ends.
struct SrchHit {
  Line* line = nullptr;
  int32_t lineNo = 0;
  int32_t col = 0;
  SrchEnd end;
};

// Counts the characters a search scans and lets the user interrupt it:
// whenever more than the file's cache capacity were scanned since the last
// check, the abort hook is asked. The events it processes may change the
// file, so the line a scan goes on with is found again by its number when
// lines went away.
struct SrchProgress {
  File* f;
  const SrchAbort* abort;
  int64_t scanned = 0;
  // True to stop. *next (line number nextNo) is where the scan goes on.
  bool add(int64_t n, Line** next, int32_t nextNo);
  // How many characters may still be scanned before the next check.
  int64_t room() const;
};

// Compiles the pattern and reports a malformed one: 1 or kSrchMalformed.
int SrchCompileReported(const char* pattern, int32_t length, int flags, SrchPattern* p);

// The scans from line `l` (number lineNo): forward from column col of it,
// then every later line from column 0; backward from candidate col of it
// (negative: none on it), then every earlier line from its end. 1 found, 0
// none, -1 aborted.
int SrchScanForward(File* f, Line* l, int32_t lineNo, int32_t col, const SrchPattern& p,
                    SrchProgress* progress, SrchHit* hit);
int SrchScanBackward(File* f, Line* l, int32_t lineNo, int32_t col, const SrchPattern& p,
                     SrchProgress* progress, SrchHit* hit);

// FileFind on a compiled pattern (`length` is the pattern's length as
// given, for the backward start rule).
int SrchFileFind(File* f, Line* hint, int32_t hintNo, int32_t line, int32_t col, int direction,
                 bool from_edge, const SrchPattern& p, int32_t length, const SrchAbort* abort,
                 SrchHit* hit);
