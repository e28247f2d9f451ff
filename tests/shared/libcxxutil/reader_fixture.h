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
  // A fresh database and no messages, so a test can read twice from scratch.
  void Reset() {
    db_ = std::make_unique<ut_options_database>("Test Document");
    messages_.clear();
  }
  std::string Path(const std::string& name) const { return dir_.file(name); }
  // The attributes at dotted paths ("a.b.key"), joined by "|": a number in
  // decimal, a string in single quotes (null for a null string), lists as
  // "[a][b]" and "(1)(2)", "-" for a missing one.
  std::string Values(std::initializer_list<std::string> paths) const {
    std::string out;
    for (const std::string& path : paths) {
      const ut_attribute_tree* node = db_.get();
      size_t from = 0;
      for (size_t dot; node && (dot = path.find('.', from)) != std::string::npos; from = dot + 1)
        node = node->find_child_tree(path.substr(from, dot - from).c_str());
      const ut_attribute_tree_attribute* a =
          node ? node->find_attribute(path.substr(from).c_str()) : nullptr;
      out += out.empty() ? "" : "|";
      if (!a) {
        out += "-";
      } else if (a->type() == ut_attribute_type_int32) {
        out += std::to_string(a->int32());
      } else if (a->type() == ut_attribute_type_str) {
        out += a->str() ? "'" + std::string(a->str()) + "'" : "null";
      } else if (a->type() == ut_attribute_type_str_list) {
        for (const ut_attribute_str_list* e = a->str_list(); e; e = e->next)
          out += "[" + e->str + "]";
      } else {
        for (const ut_attribute_int32_list* e = a->int32_list(); e; e = e->next)
          out += "(" + std::to_string(e->value) + ")";
      }
    }
    return out;
  }
  // The position prefix the reader gives errors in `name` at `line`.
  std::string At(const std::string& name, int line) const {
    return "\"" + dir_.file(name) + "\", line " + std::to_string(line);
  }

  TempDir dir_;
  MessageCapture messages_;
  std::unique_ptr<ut_options_database> db_;
};

}  // namespace oetest
