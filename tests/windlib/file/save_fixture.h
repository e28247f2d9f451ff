// Saving and journals: edits through the change routine, the writes a save
// makes, answers to the questions by their button text, and work done in a
// child process (resource limits, another user).
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "file_fixture.h"
#include "windlib/file/fileincr.h"
#include "windlib/file/filesave.h"
#include "windlib/file/undo.h"

namespace oetest {

struct Write {
  int64_t offset, length;
};
inline std::vector<Write> g_writes;

class SaveTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    g_writes.clear();
    FileSaveWriteObserver = [](int64_t offset, int64_t length) {
      g_writes.push_back({offset, length});
    };
    // Questions are answered by button text; an unlisted question takes
    // its default, as without a display.
    WSetScriptedResponder([this](const WAskRequest& r) {
      reports.push_back(r.text);
      asked.push_back(r);
      WAskReply reply{r.defaultButton, r.defaultText};
      auto it = answers.find(r.title);
      if (it == answers.end()) it = answers.find(r.text);
      if (it != answers.end()) {
        for (size_t i = 0; i < r.buttons.size(); ++i)
          if (r.buttons[i] == it->second) reply.button = static_cast<int>(i);
      }
      return reply;
    });
  }
  void TearDown() override {
    FileSaveWriteObserver = nullptr;
    FileSetBackupNamer(nullptr);
    FileSetChangeInformer(nullptr);
    FileSetSaveAsDialogue(nullptr);
    FileTest::TearDown();
  }

  // Replaces (l1, c1)..(l2, c2) by `text`, as a command would.
  static void Edit(File* f, int32_t l1, int32_t c1, int32_t l2, int32_t c2,
                   const std::string& text) {
    FileChange(f, nullptr, 0, l1, c1, l2, c2, text.data(), static_cast<int32_t>(text.size()),
               false);
  }
  static void AppendLine(File* f, const std::string& text) {
    Edit(f, f->nLines + 1, 0, f->nLines + 1, 0, text + "\n");
  }
  // Loads `content` as `name`: the record and the disk file's path.
  std::pair<File*, std::string> Open(const std::string& name, const std::string& content) {
    return {Load(name, content), files.file(name)};
  }
  static std::string Disk(const std::string& path) { return TempDir::read(path); }
  // The lock file that holds the journal of `name`, and its base copy.
  std::string LockOf(const std::string& name) const { return files.file("." + name + ".kv~"); }
  std::string BaseOf(const std::string& name) const { return files.file("." + name + ".kv$"); }
  // Opens `name` as a new session would, applying any edits left behind.
  std::string Recovered(const std::string& name) {
    answers["File being edited elsewhere"] = "Apply Edits";
    File* g = FileFName(files.file(name).c_str(), 0);
    if (!g) return "<not opened>";
    std::string text = Text(g);
    FileFree(g);
    return text;
  }
  static int64_t WrittenBytes() {
    int64_t n = 0;
    for (const Write& w : g_writes) n += w.length;
    return n;
  }
  // Overwrites bytes of the disk file without the editor noticing: same
  // size, same modification time.
  static void Tamper(const std::string& path, int64_t offset, const std::string& bytes) {
    struct stat st;
    stat(path.c_str(), &st);
    int fd = open(path.c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
    close(fd);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  static void SetMtime(const std::string& path, time_t when) {
    struct timespec times[2] = {{when, 0}, {when, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  // A file of `n` numbered lines of about 40 bytes.
  static std::string Numbered(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i)
      s += "line " + std::to_string(i) + " of a file that is long enough\n";
    return s;
  }
  bool Exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }

  // Runs `body` in a child process (dropping to uid 65534 when `as_nobody`)
  // and returns what it wrote to the pipe it is given.
  static std::string InChild(bool as_nobody, const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      if (as_nobody && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
      std::string out = body();
      if (write(fds[1], out.data(), out.size()) < 0) _exit(101);
      _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t r;
    while ((r = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(r));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      out += "[child status " + std::to_string(status) + "]";
    return out;
  }
  // In a child: adds each question's text and "|" to `seen` and answers it
  // with `button`, or with its default when `button` is -1.
  static void AnswerAll(std::string* seen, int button) {
    WSetScriptedResponder([seen, button](const WAskRequest& r) {
      *seen += r.text + "|";
      return WAskReply{button < 0 ? r.defaultButton : button, r.defaultText};
    });
  }
  // Loads `path` in a child (as nobody when `as_nobody`), makes `edit` and
  // saves under the file-size limit `limit` (0: the present one), each
  // question answered with `button`. Gives "saved=N modified=M
  // questions=a|b|" and what `after` adds, run with the limit lifted.
  static std::string SaveInChild(const std::string& path, bool as_nobody, rlim_t limit, int button,
                                 const std::function<void(File*)>& edit,
                                 const std::function<std::string(File*)>& after = nullptr) {
    return InChild(as_nobody, [&] {
      signal(SIGXFSZ, SIG_IGN);
      std::string seen;
      AnswerAll(&seen, button);
      File* f = FileF_File(path.c_str(), true, 0);
      if (!f) return "not loaded " + seen;
      edit(f);
      struct rlimit lim, small;
      getrlimit(RLIMIT_FSIZE, &lim);
      small = lim;
      if (limit) small.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &small);
      const int saved = FileSave(f, nullptr, nullptr);
      setrlimit(RLIMIT_FSIZE, &lim);
      std::string out = "saved=" + std::to_string(saved) +
                        " modified=" + std::to_string(f->modified) + " questions=" + seen;
      if (after) out += after(f);
      FileFree(f);
      return out;
    });
  }

  std::map<std::string, std::string> answers;  // title or text -> button
  std::vector<WAskRequest> asked;
};

}  // namespace oetest
