// Writing a database back as text: nested braces with four-space indents,
// or in compatibility mode one dotted "path.key=value" line per attribute.
#include <cstdio>
#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/string_parser.h"
#include "shared/libcxxutil/ut_options_database.h"

namespace {

// Collects the text and hands it to the stream in large pieces.
class text_sink {
 public:
  explicit text_sink(FILE* stream) : stream_(stream) {}
  std::string& buffer() { return buffer_; }
  void line_done() {
    if (stream_ && buffer_.size() >= 64 * 1024) flush();
  }
  void flush() {
    if (!stream_) return;
    if (!buffer_.empty()) fwrite(buffer_.data(), 1, buffer_.size(), stream_);
    buffer_.clear();
  }

 private:
  FILE* stream_;
  std::string buffer_;
};

// Names made only of ASCII letters and digits are written bare.
void append_name(std::string* out, const char* name) {
  bool bare = *name != '\0';
  for (const char* p = name; *p && bare; ++p) bare = gen_isalnum(static_cast<unsigned char>(*p));
  if (bare)
    *out += name;
  else
    string_parser::append_quoted(out, name);
}

void append_value(std::string* out, const ut_attribute_tree_attribute* a, bool compatibility) {
  switch (a->type()) {
    case ut_attribute_type_str:
      string_parser::append_quoted(out, a->str() ? a->str() : "");
      break;
    case ut_attribute_type_int32:
      *out += std::to_string(a->int32());
      break;
    case ut_attribute_type_str_list:
      if (compatibility) {
        *out += "...";
        break;
      }
      *out += "{ ";
      for (ut_attribute_str_list* e = a->str_list(); e; e = e->next) {
        string_parser::append_quoted(out, e->str);
        if (e->next) *out += ", ";
      }
      *out += " }";
      break;
    case ut_attribute_type_int32_list:
      // Normal form: a brace list of numbers, which reads back when int32
      // lists are allowed.
      if (compatibility) {
        *out += "...";
        break;
      }
      *out += "{ ";
      for (ut_attribute_int32_list* e = a->int32_list(); e; e = e->next) {
        *out += std::to_string(e->value);
        if (e->next) *out += ", ";
      }
      *out += " }";
      break;
  }
}

void write_attributes(text_sink& sink, const ut_attribute_tree* node, int indent) {
  for (ut_attribute_tree_attribute* a = node->get_first_attribute(); a;
       a = node->get_next_attribute(a)) {
    std::string& out = sink.buffer();
    out.append(static_cast<size_t>(indent), ' ');
    append_name(&out, a->key().c_str());
    out += " = ";
    append_value(&out, a, false);
    out += '\n';
    sink.line_done();
  }
}

void write_normal(text_sink& sink, const ut_attribute_tree* root) {
  struct frame {
    const ut_attribute_tree* next_child;
    int indent;  // of the node's body
  };
  write_attributes(sink, root, 0);
  std::vector<frame> stack{{root->get_first_child(false), 0}};
  while (!stack.empty()) {
    frame& f = stack.back();
    if (!f.next_child) {
      int indent = f.indent - 4;
      stack.pop_back();
      if (!stack.empty()) {
        sink.buffer().append(static_cast<size_t>(indent), ' ');
        sink.buffer() += "}\n";
        sink.line_done();
      }
      continue;
    }
    const ut_attribute_tree* child = f.next_child;
    int indent = f.indent;
    f.next_child = child->get_next_child(false);
    std::string& out = sink.buffer();
    out.append(static_cast<size_t>(indent), ' ');
    append_name(&out, child->get_name());
    out += " {\n";
    sink.line_done();
    write_attributes(sink, child, indent + 4);
    stack.push_back({child->get_first_child(false), indent + 4});
  }
}

void write_compatibility(text_sink& sink, const ut_attribute_tree* root) {
  struct item {
    const ut_attribute_tree* node;
    std::string path;  // with its trailing "."; empty for the root
  };
  std::vector<item> stack{{root, ""}};
  while (!stack.empty()) {
    item it = std::move(stack.back());
    stack.pop_back();
    for (ut_attribute_tree_attribute* a = it.node->get_first_attribute(); a;
         a = it.node->get_next_attribute(a)) {
      std::string& out = sink.buffer();
      out += it.path;
      out += a->key();
      out += '=';
      append_value(&out, a, true);
      out += '\n';
      sink.line_done();
    }
    // Children go on the stack last first, so they are written in order.
    std::vector<const ut_attribute_tree*> children;
    for (const ut_attribute_tree* c = it.node->get_first_child(false); c;
         c = c->get_next_child(false))
      children.push_back(c);
    for (size_t i = children.size(); i-- > 0;)
      stack.push_back({children[i], it.path + children[i]->get_name() + "."});
  }
}

void write_tree(text_sink& sink, const ut_options_database& db) {
  if (db.get_compatibility_mode())
    write_compatibility(sink, &db);
  else
    write_normal(sink, &db);
  sink.flush();
}

}  // namespace

std::string ut_options_database::write_to_string() const {
  text_sink sink(nullptr);
  write_tree(sink, *this);
  return std::move(sink.buffer());
}

bool ut_options_database::write_to_file(FILE* stream) const {
  if (!stream) return false;
  text_sink sink(stream);
  write_tree(sink, *this);
  fflush(stream);
  return !ferror(stream);
}

bool ut_options_database::write_to_file_name(const char* path) const {
  if (!path) return false;
  FILE* stream = fopen(path, "w");
  if (!stream) return false;
  bool ok = write_to_file(stream);
  if (fclose(stream) != 0) ok = false;
  if (!ok) gen_error("failed when writing %s", path);
  return ok;
}
