// Shared set-up of the attribute-tree tests: a private directory, a
// database, and reading a text written into that directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "shared/libcxxutil/message_capture.h"
#include "shared/libcxxutil/ut_options_database.h"
#include "support/temp_dir.h"

// Lets failures show a ut_string as its text.
inline void PrintTo(const ut_string& s, std::ostream* os) {
  *os << '"' << s.str() << '"';
}

namespace oetest {

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : db_(std::make_unique<ut_options_database>("Test Document")) {}

  // Writes `text` as `name` and reads it into the database.
  bool Read(const std::string& text, const std::string& name = "in.odb") {
    return db_->read_from_file_name(dir_.write(name, text).c_str());
  }
  // A fresh database, so a test can read twice from scratch.
  void Reset() { db_ = std::make_unique<ut_options_database>("Test Document"); }
  std::string Path(const std::string& name) const { return dir_.file(name); }
  // The position prefix the reader gives errors in `name` at `line`.
  std::string At(const std::string& name, int line) const {
    return "\"" + dir_.file(name) + "\", line " + std::to_string(line);
  }

  TempDir dir_;
  MessageCapture messages_;
  std::unique_ptr<ut_options_database> db_;
};

}  // namespace oetest
