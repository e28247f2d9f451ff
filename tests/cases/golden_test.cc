// Each folder here is one case: `in` is the file, `cmd` holds one command
// string per line (each run as one key press), `out` the expected text as
// saved, and optionally:
//   err    text that standard error must contain;
//   env    NAME=VALUE lines added to cmdrun's environment (OE_FIXED_TIME
//          fixes the clock);
//   files/ more files, put beside `in` in cmdrun's working directory so
//          that commands can open them by name.
// cmdrun's view shows 24 rows of 80 columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <map>
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

// The entries of `dir`, hidden ones too (none when it does not exist).
std::vector<std::string> files_in(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
        names.push_back(e->d_name);
    closedir(d);
  }
  return names;
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
  for (const std::string& name : files_in(dir + "/files"))
    work.write(name, read_file(dir + "/files/" + name));
  std::vector<std::string> args = {CMDRUN_BINARY, input};
  std::istringstream commands(read_file(dir + "/cmd"));
  for (std::string line; std::getline(commands, line);)
    if (!line.empty()) args.push_back(line);
  std::map<std::string, std::string> env = {{"TMPDIR", work.path()}, {"HOME", work.path()}};
  std::istringstream env_lines(read_file(dir + "/env"));
  for (std::string line; std::getline(env_lines, line);) {
    size_t eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << "env lines are NAME=VALUE: " << line;
    env[line.substr(0, eq)] = line.substr(eq + 1);
  }
  oetest::RunResult r = oetest::RunProgram(args, env, 30000, work.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, read_file(dir + "/out")) << "stderr: " << r.err;
  bool has_err = false;
  std::string err = read_file(dir + "/err", &has_err);
  while (!err.empty() && err.back() == '\n') err.pop_back();
  if (has_err) {
    EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_file(input), read_file(dir + "/in")) << "the input file must stay as it was";
  // No saved copy, temporary copy, journal or lock may be left behind.
  std::vector<std::string> expected = files_in(dir + "/files"), left = files_in(work.path());
  expected.push_back("in");
  std::sort(expected.begin(), expected.end());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(case_names()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
