// UTF-8 text on the screen: a line of accented text in the editor looks
// exactly like the same characters drawn by the toolkit's own text drawing
// in another program, and not like its bytes drawn one cell each; with
// utf8 off it is the other way round.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/editor_session.h"

namespace {

using oetest::EditorSession;

// "héllo wörld // ünïcödé", each escape ended where a hex digit follows.
const char kUtf8Line[] =
    "h\xc3\xa9llo w\xc3\xb6rld // \xc3\xbcn\xc3\xaf"
    "c\xc3\xb6"
    "d\xc3\xa9";
// The same bytes read as Latin-1, written in UTF-8: "hÃ©llo wÃ¶rld // ...".
std::string AsLatin1(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return out;
}

// Where the pixels are dark: a screenshot thresholded at mid grey, so that
// only the shapes of the glyphs count, not the exact colours.
struct Ink {
  int width = 0, height = 0;
  std::vector<bool> dark;
  bool at(int x, int y) const { return dark[static_cast<size_t>(y) * width + x]; }
  bool empty() const { return width == 0 || height == 0; }
  bool operator==(const Ink&) const = default;

  // From a binary PGM ("P5 W H 255\n" then a byte a pixel); empty when the
  // data is not one.
  static Ink FromPgm(const std::string& pgm) {
    Ink ink;
    std::istringstream in(pgm);
    std::string magic;
    int maxval = 0;
    in >> magic >> ink.width >> ink.height >> maxval;
    if (magic != "P5" || maxval != 255 || ink.width <= 0 || ink.height <= 0) return {};
    in.get();
    size_t start = static_cast<size_t>(in.tellg());
    size_t n = static_cast<size_t>(ink.width) * ink.height;
    if (pgm.size() < start + n) return {};
    ink.dark.resize(n);
    for (size_t i = 0; i < n; ++i) ink.dark[i] = static_cast<unsigned char>(pgm[start + i]) < 128;
    return ink;
  }
  // The smallest rectangle holding all the dark pixels; empty when none.
  Ink Trimmed() const {
    int x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (at(x, y)) {
          x0 = std::min(x0, x);
          x1 = std::max(x1, x);
          y0 = std::min(y0, y);
          y1 = std::max(y1, y);
        }
    Ink t;
    if (x1 < 0) return t;
    t.width = x1 - x0 + 1;
    t.height = y1 - y0 + 1;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) t.dark.push_back(at(x, y));
    return t;
  }
  // True when `pattern` appears somewhere here pixel for pixel.
  bool Contains(const Ink& pattern) const {
    if (pattern.empty()) return false;
    for (int y = 0; y + pattern.height <= height; ++y)
      for (int x = 0; x + pattern.width <= width; ++x) {
        bool same = true;
        for (int py = 0; py < pattern.height && same; ++py)
          for (int px = 0; px < pattern.width && same; ++px)
            same = at(x + px, y + py) == pattern.at(px, py);
        if (same) return true;
      }
    return false;
  }
};

class Utf8Drawing : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.displayOk()) << "Xvfb did not start"; }

  Ink Shot(const std::vector<std::string>& import_args) {
    std::vector<std::string> argv = {"import"};
    argv.insert(argv.end(), import_args.begin(), import_args.end());
    for (const char* a : {"-colorspace", "gray", "-depth", "8", "pgm:-"}) argv.push_back(a);
    return Ink::FromPgm(s.x().Tool(argv).out);
  }
  // A screenshot of `window` as soon as it shows `pattern`, or the last one
  // after about ten seconds.
  Ink ShotShowing(const std::string& window, const Ink& pattern) {
    Ink shot;
    for (int tries = 0; tries < 50; ++tries) {
      shot = Shot({"-window", window});
      if (shot.Contains(pattern)) break;
      s.Settle(200);
    }
    return shot;
  }

  // `line` drawn by the toolkit demonstration program in its text area with
  // the text font, trimmed to its glyphs.
  Ink ToolkitDrawing(const std::string& line) {
    std::string fifo = s.dir().file("demo-commands");
    unlink(fifo.c_str());
    mkfifo(fifo.c_str(), 0600);
    s.dir().write("demo-line", line + "\n");
    oetest::Process demo({TK_DEMO, "--commands", fifo}, {{"DISPLAY", s.x().display()}});
    if (!demo.WaitForOutput("ready ", 15000)) {
      ADD_FAILURE() << "the demonstration program did not start: " << demo.result().err;
      return {};
    }
    int cmd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    std::string send = "show " + s.dir().file("demo-line") + "\nwhere\n";
    bool sent =
        cmd >= 0 && write(cmd, send.data(), send.size()) == static_cast<ssize_t>(send.size());
    if (!sent || !demo.WaitForOutput("shown", 10000) || !demo.WaitForOutput("where ", 10000)) {
      if (cmd >= 0) close(cmd);
      ADD_FAILURE() << "the demonstration program did not draw the line: " << demo.result().out;
      return {};
    }
    const std::string out = demo.result().out;
    std::istringstream where(out.substr(out.find("where ") + 6));
    int x, y, width, height, cell, line_height;
    where >> x >> y >> width >> height >> cell >> line_height;
    std::ostringstream crop;
    crop << width << "x" << line_height << "+" << x << "+" << y;
    // The root window, as the area is only part of the demonstration's.
    Ink last;
    for (int tries = 0; tries < 50; ++tries) {
      Ink next = Shot({"-window", "root", "-crop", crop.str(), "+repage"}).Trimmed();
      if (!next.empty() && next == last) break;
      last = next;
      s.Settle(200);
    }
    write(cmd, "quit\n", 5);
    close(cmd);
    demo.Wait(5000);
    return last;
  }

  // The editor's window on a file whose second line is kUtf8Line (the caret
  // stays on the empty first line), once it shows `expected`. Read as bytes,
  // the file is first taken for binary; `as_binary` answers "Edit" to that.
  Ink EditorDrawing(bool as_binary, const Ink& expected) {
    s.dir().write("u.txt", std::string("\n") + kUtf8Line + "\n");
    s.Start({"u.txt"});
    if (as_binary) {
      const std::string ask = s.Window("^Choose Editor$");
      if (ask.empty() || !s.Focus(ask)) {
        ADD_FAILURE() << "no question for a file read as bytes";
        return {};
      }
      s.Keys({"Return"});  // "Edit", the default
    }
    const std::string w = s.Window("^u\\.txt$");
    if (w.empty()) {
      ADD_FAILURE() << "no editor window: " << s.proc().result().err;
      return {};
    }
    return ShotShowing(w, expected);
  }

  EditorSession s;
};

TEST_F(Utf8Drawing, LineLooksLikeTheToolkitsDrawingOfItsCharacters) {
  const Ink characters = ToolkitDrawing(kUtf8Line);
  const Ink bytes = ToolkitDrawing(AsLatin1(kUtf8Line));
  ASSERT_FALSE(characters.empty());
  ASSERT_FALSE(bytes.empty());
  ASSERT_NE(characters, bytes) << "the two readings must look different to tell them apart";
  EXPECT_GT(bytes.width, characters.width) << "two cells for each accented letter";

  const Ink screen = EditorDrawing(false, characters);
  ASSERT_FALSE(screen.empty());
  EXPECT_TRUE(screen.Contains(characters)) << "the line drawn as UTF-8 characters";
  EXPECT_FALSE(screen.Contains(bytes)) << "not as one cell a byte";
}

TEST_F(Utf8Drawing, WithUtf8OffTheLineLooksLikeItsBytes) {
  const Ink characters = ToolkitDrawing(kUtf8Line);
  const Ink bytes = ToolkitDrawing(AsLatin1(kUtf8Line));
  ASSERT_FALSE(characters.empty());
  ASSERT_FALSE(bytes.empty());

  ASSERT_EQ(mkdir(s.dir().file(".kvx").c_str(), 0755), 0);
  s.dir().write(".kvx/oe.cfg", "utf8 off\n");
  const Ink screen = EditorDrawing(true, bytes);
  ASSERT_FALSE(screen.empty());
  EXPECT_TRUE(screen.Contains(bytes)) << "each byte a Latin-1 cell";
  EXPECT_FALSE(screen.Contains(characters));
}

}  // namespace
