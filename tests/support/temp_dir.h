// A private directory for one test, removed with everything in it.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace oetest {

class TempDir {
 public:
  TempDir() {
    const char* base = getenv("OE_TEST_TMP");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/oetest.XXXXXX";
    char* made = mkdtemp(tmpl.data());
    path_ = made ? made : "";
  }
  ~TempDir() {
    if (!path_.empty()) {
      std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
      (void)!system(cmd.c_str());
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // Writes `content` to `name` inside the directory and returns its path.
  std::string write(const std::string& name, const std::string& content) const {
    std::string p = file(name);
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

 private:
  std::string path_;
};

}  // namespace oetest
