// Pass 3 over the command line: main's own options and the files to open.
#pragma once

#include <string>

#include "orvex/editor/startup_state.h"

struct DiffRequest {
  std::string file1, rev1, file2, rev2;
  bool hasFile2 = false;  // false: compare file1 with its checked-in version
};

// What pass 3 asks for. The editor implements it; tests record the calls.
// Each Open* returns true when something was opened.
class ArgumentActions {
 public:
  virtual ~ArgumentActions() = default;
  virtual bool OpenHistory(const std::string& file) = 0;
  virtual bool OpenCheckoutBrowser(const std::string* files) = 0;
  virtual bool OpenDiff(const DiffRequest& request) = 0;
  // False when the tag is unknown.
  virtual bool OpenTag(const std::string& name) = 0;
  // A file in a new window (new-window mode, or the first file in reuse
  // mode) or pushed into the first window (later files in reuse mode).
  virtual bool OpenFile(const std::string& file, unsigned long line, bool new_window) = 0;
  virtual bool OpenDirectory(const std::string& dir) = 0;
  virtual bool OpenWithHexEditor(const std::string& file) = 0;
};

// Processes argv[1..argc-1]. Returns false when the program must end with
// status 1 (-usage).
bool ProcessFileArguments(int argc, char** argv, StartupState& state, ArgumentActions& actions);

// The usage text, with the program name.
std::string UsageText(const char* program);

// True when the first 100 bytes hold a byte that is neither printable ASCII
// nor white space. A file that cannot be opened counts as text.
bool IsFileBinary(const std::string& path);

// The answer to "Choose Editor" for a binary file.
enum class BinaryChoice { HexEdit = 0, Edit = 1, Cancel = 2 };
BinaryChoice AskBinaryFile(const std::string& file);
