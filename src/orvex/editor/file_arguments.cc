#include "orvex/editor/file_arguments.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/indgen/indgen.h"
#include "windlib/file/textgeom.h"
#include "windlib/wdisplay.h"

namespace {
bool is_directory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

std::string base_name(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "+<line>": reads the number with base 0 and reports trailing characters.
void take_line_number(const char* arg, StartupState& state) {
  if (state.pendingLine) printf("Line number specified twice\n");
  char* end = nullptr;
  unsigned long value = std::strtoul(arg + 1, &end, 0);
  if (end && *end) printf("Bad line number %s\n", arg);
  state.pendingLine = value;
}

class Args {
 public:
  Args(int argc, char** argv) : argc_(argc), argv_(argv) {}
  bool has(int i) const { return i < argc_; }
  const char* at(int i) const { return i < argc_ ? argv_[i] : nullptr; }
  int count() const { return argc_; }

 private:
  int argc_;
  char** argv_;
};

// "-v<rev>" or "-v" followed by the revision; advances `i` past it.
std::string take_revision(const Args& args, int& i) {
  const char* arg = args.at(i);
  if (arg[2]) {
    ++i;
    return arg + 2;
  }
  ++i;
  std::string rev = args.has(i) ? args.at(i) : "";
  if (args.has(i)) ++i;
  return rev;
}

// -diff f1 [-v r1] [f2 [-v r2 | r2]]; `i` points after "-diff" and ends after
// the last argument consumed.
void process_diff(const Args& args, int& i, StartupState& state, ArgumentActions& actions) {
  DiffRequest req;
  int kind = 0;
  if (!args.has(i)) {
    gen_warning("-diff needs the name of a file to compare");
    state.somethingOpened = true;
    return;
  }
  if (!args.has(i + 1)) {
    req.file1 = args.at(i++);
    if (is_directory(req.file1)) kind = 1;
    else if (!is_readable(req.file1)) kind = 2;
  } else {
    req.file1 = args.at(i++);
    bool second_given = true;
    if (std::strncmp(args.at(i), "-v", 2) == 0) {
      req.rev1 = take_revision(args, i);
      second_given = args.has(i);
      req.file2 = second_given ? args.at(i++) : req.file1;
    } else {
      req.file2 = args.at(i++);
    }
    // The argument after a second file is always its revision.
    if (second_given && args.has(i)) {
      if (std::strncmp(args.at(i), "-v", 2) == 0) {
        req.rev2 = take_revision(args, i);
      } else {
        req.rev2 = args.at(i++);
      }
    }
    req.hasFile2 = true;
    if (is_directory(req.file1)) {
      kind = 1;
    } else if (req.rev1.empty() && !is_readable(req.file1)) {
      kind = 2;
    } else if (is_directory(req.file2)) {
      req.file2 += '/';
      req.file2 += base_name(req.file1);
      if (is_directory(req.file2) || !is_readable(req.file2)) kind = 3;
    } else if (req.rev2.empty() && !is_readable(req.file2)) {
      kind = 4;
    }
  }
  if (kind == 1 || kind == 3)
    gen_warning("File given to diff is a directory: %s",
                (kind == 1 ? req.file1 : req.file2).c_str());
  else if (kind == 2 || kind == 4)
    gen_warning("Cannot open file for reading: %s", (kind == 2 ? req.file1 : req.file2).c_str());
  else
    actions.OpenDiff(req);
  state.somethingOpened = true;
}

void process_file(const Args& args, int& i, StartupState& state, ArgumentActions& actions) {
  const std::string file = args.at(i++);
  if (state.historyMode) {
    // Answered either way (a browser, or a message why there is none), so
    // start-up does not go on to the file chooser.
    actions.OpenHistory(file);
    state.somethingOpened = true;
    return;
  }
  if (!state.pendingLine && args.has(i) && args.at(i)[0] == '+') take_line_number(args.at(i++), state);

  if (IsFileBinary(file)) {
    BinaryChoice choice = AskBinaryFile(file);
    if (choice == BinaryChoice::Cancel) return;
    if (choice == BinaryChoice::HexEdit) {
      actions.OpenWithHexEditor(file);
      state.pendingLine = 0;
      return;
    }
  }
  if (actions.OpenFile(file, state.pendingLine, !state.reuseWindow)) state.somethingOpened = true;
  state.pendingLine = 0;
}
}  // namespace

std::string UsageText(const char* program) {
  std::string text = "Usage: ";
  text += program ? program : "oe";
  text +=
      " [options] files\n"
      "Options include:\n"
      "    -usage (-h)     Show this usage screen\n"
      "    -help           Launch online help\n"
      "    -showhistory    Show history browser for each file\n"
      "    -diff           Show graphical diff of specified files\n"
      "    -new            Open a new editor window for each file\n"
      "    -reuse          Open each file in the same window (default)\n"
      "    +<line>         Goto line # <line>\n";
  return text;
}

bool IsFileBinary(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  unsigned char buf[100];
  ssize_t n = read(fd, buf, sizeof buf);
  close(fd);
  const char* text = reinterpret_cast<const char*>(buf);
  for (ssize_t k = 0; k < n; ++k) {
    unsigned char c = buf[k];
    // Text read as UTF-8 may hold characters beyond ASCII; a sequence cut
    // by the end of what was read counts as text too.
    if (c >= 0x80 && GeomFileUtf8(nullptr)) {
      const GeomChar ch = GeomDecodeUtf8(text + k, text + n);
      if (ch.valid() && ch.code >= 0xA0) {
        k += ch.len - 1;
        continue;
      }
      if (!ch.valid() && n == sizeof buf && GeomCutSequence(text + k, text + n) == n - k) break;
    }
    bool printable = c >= 32 && c < 127;
    if (!printable && !gen_isspace(c) && c != '\v') return true;
  }
  return false;
}

BinaryChoice AskBinaryFile(const std::string& file) {
  int answer = wAlert("Choose Editor",
                      "File " + file + " appears to be binary. What would you like to do?",
                      {"Hex Edit", "Edit", "Cancel"}, 1);
  if (answer < 0 || answer > 2) return BinaryChoice::Cancel;
  return static_cast<BinaryChoice>(answer);
}

bool ProcessFileArguments(int argc, char** argv, StartupState& state, ArgumentActions& actions) {
  Args args(argc, argv);
  int i = 1;
  while (i < args.count()) {
    const char* arg = args.at(i);
    if (arg[0] == 0) {
      ++i;
    } else if (arg[0] == '-') {
      ++i;
      // A browser request counts as opened even when no browser could be
      // shown, as -diff does: its message is the answer.
      if (std::strcmp(arg, "-checkoutbrowser") == 0) {
        actions.OpenCheckoutBrowser(nullptr);
        state.somethingOpened = true;
      } else if (std::strcmp(arg, "-checkoutbrowserfiles") == 0 && args.has(i)) {
        std::string files = args.at(i++);
        actions.OpenCheckoutBrowser(&files);
        state.somethingOpened = true;
      } else if (std::strcmp(arg, "-historybrowser") == 0 ||
                 std::strcmp(arg, "-showhistory") == 0) {
        state.historyMode = true;
      } else if (std::strcmp(arg, "-diff") == 0) {
        process_diff(args, i, state, actions);
      } else if (std::strcmp(arg, "-tag") == 0) {
        if (!args.has(i)) continue;
        std::string name = args.at(i++);
        if (actions.OpenTag(name)) state.somethingOpened = true;
        else printf("Unknown tag \"%s\"\n", name.c_str());
        if (state.pendingLine) printf("Line number specified for tag\n");
        state.pendingLine = 0;
      } else if (std::strcmp(arg, "-help") == 0) {
        gen_info("for basic usage, try \"-usage\" or \"-h\". Starting online help...");
        state.helpRequested = true;
      } else if (std::strcmp(arg, "-reuse") == 0) {
        state.reuseWindow = true;
      } else if (std::strcmp(arg, "-new") == 0) {
        state.reuseWindow = false;
      } else if (std::strcmp(arg, "-usage") == 0 || std::strcmp(arg, "-h") == 0) {
        state.somethingOpened = true;
        fflush(stdout);
        fputs(UsageText(gen_progname).c_str(), stderr);
        return false;
      } else if (arg[1] == 'X' || arg[1] == 'Z') {
        // Switches left behind by -run: already handled or deliberately not.
      } else {
        printf("Unknown argument %s\n", arg);
      }
    } else if (arg[0] == '+') {
      take_line_number(arg, state);
      ++i;
    } else if (is_directory(arg)) {
      ++i;
      if (actions.OpenDirectory(arg)) state.somethingOpened = true;
    } else {
      process_file(args, i, state, actions);
    }
  }
  fflush(stdout);
  return true;
}
