// Each folder here is one case: `in` is the file, `cmd` holds one command
// string per line (each run as one key press), `out` the expected text as
// saved, and optionally `err` text that standard error must contain.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

std::string read_file(const std::string& path, bool* exists = nullptr) {
  std::ifstream in(path, std::ios::binary);
  if (exists) *exists = static_cast<bool>(in);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  if (DIR* d = opendir(CASES_DIR)) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n[0] == '.' || n.find('.') != std::string::npos || n == "CMakeLists") continue;
      names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, Case) {
  const std::string dir = std::string(CASES_DIR) + "/" + GetParam();
  oetest::TempDir work;
  std::string input = work.write("in", read_file(dir + "/in"));
  std::vector<std::string> args = {CMDRUN_BINARY, input};
  std::istringstream commands(read_file(dir + "/cmd"));
  for (std::string line; std::getline(commands, line);)
    if (!line.empty()) args.push_back(line);
  oetest::RunResult r =
      oetest::RunProgram(args, {{"TMPDIR", work.path()}, {"HOME", work.path()}}, 30000);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, read_file(dir + "/out")) << "stderr: " << r.err;
  bool has_err = false;
  std::string err = read_file(dir + "/err", &has_err);
  while (!err.empty() && err.back() == '\n') err.pop_back();
  if (has_err) {
    EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_file(input), read_file(dir + "/in")) << "the input file must stay as it was";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(case_names()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
