// The toolkit on a real X server: the demonstration program under a private
// Xvfb, driven by xdotool and xclip, checked by its event log and by the
// pixels on the screen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <sstream>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

// Xlib defines macros (None, Bool) that GoogleTest's headers must not see.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using oetest::Process;
using oetest::RunResult;

// The demonstration program with its command pipe.
class Demo {
 public:
  Demo(const oetest::Xvfb& x, const oetest::TempDir& dir, std::vector<std::string> args = {})
      : x_(x) {
    std::string fifo = dir.file("commands");
    mkfifo(fifo.c_str(), 0600);
    std::vector<std::string> argv{TK_DEMO, "--commands", fifo};
    argv.insert(argv.end(), args.begin(), args.end());
    proc_ = std::make_unique<Process>(argv,
                                      std::map<std::string, std::string>{{"DISPLAY", x.display()}});
    ready_ = proc_->WaitForOutput("ready ", 15000);
    if (ready_) cmd_ = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  }
  ~Demo() {
    if (cmd_ >= 0) close(cmd_);
  }
  bool ready() const { return ready_ && cmd_ >= 0; }
  void Send(const std::string& line) {
    std::string l = line + "\n";
    ASSERT_EQ(write(cmd_, l.data(), l.size()), static_cast<ssize_t>(l.size()));
  }
  bool WaitFor(const std::string& text, int ms = 10000) { return proc_->WaitForOutput(text, ms); }
  std::string out() { return proc_->result().out; }
  Process& process() { return *proc_; }
  // The window id the program printed.
  unsigned long WindowId() {
    std::string o = out();
    size_t p = o.find("ready ");
    return p == std::string::npos ? 0 : std::stoul(o.substr(p + 6));
  }
  // The text area on the screen: x, y, width, height, cell width, line height.
  std::vector<int> Where() {
    Send("where");
    if (!WaitFor("where ")) return {};
    std::istringstream in(out().substr(out().find("where ") + 6));
    std::vector<int> v(6);
    for (int& n : v) in >> n;
    return v;
  }
  RunResult Tool(const std::vector<std::string>& argv) { return x_.Tool(argv); }

 private:
  const oetest::Xvfb& x_;
  std::unique_ptr<Process> proc_;
  bool ready_ = false;
  int cmd_ = -1;
};

class ToolkitOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.ok()) << "Xvfb did not start";
    demo = std::make_unique<Demo>(x, dir);
    ASSERT_TRUE(demo->ready()) << demo->out() << demo->process().result().err;
  }
  void TearDown() override { demo.reset(); }
  std::string Point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
  void MouseTo(int px, int py) {
    demo->Tool({"xdotool", "mousemove", std::to_string(px), std::to_string(py)});
  }
  oetest::Xvfb x;
  oetest::TempDir dir;
  std::unique_ptr<Demo> demo;
};

// Counts dark pixels in a rectangle of the screen.
int DarkPixels(const std::string& display, int x, int y, int w, int h) {
  Display* d = XOpenDisplay(display.c_str());
  if (!d) return -1;
  XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(w),
                          static_cast<unsigned>(h), AllPlanes, ZPixmap);
  int dark = 0;
  for (int j = 0; img && j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      unsigned long p = XGetPixel(img, i, j);
      int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      if (r + g + b < 3 * 100) ++dark;
    }
  }
  if (img) XDestroyImage(img);
  XCloseDisplay(d);
  return dark;
}

TEST_F(ToolkitOnX, WindowAppearsWithItsTitleAndShowsTheTextItDraws) {
  EXPECT_FALSE(x.WaitForWindow("Toolkit Demo").empty());
  std::vector<int> w = demo->Where();
  ASSERT_EQ(w.size(), 6u);
  int ax = w[0], ay = w[1], cw = w[4], lh = w[5];
  ASSERT_GT(cw, 3);
  ASSERT_GT(lh, 8);
  // "Line 1: The quick ..." fills 52 cells of the first row; the rest of the
  // row is blank, and so is the area right of the text further down.
  ASSERT_GT(w[2], 72 * cw) << "text area too narrow for the check";
  int text = DarkPixels(x.display(), ax + 2, ay, 40 * cw, lh);
  int blank = DarkPixels(x.display(), ax + 60 * cw, ay + 2, 12 * cw, lh * 3);
  EXPECT_GT(text, 100) << "no text drawn";
  EXPECT_EQ(blank, 0) << "drawing where no text is";
}

TEST(ToolkitOptions, GeometryAndFontComeFromTheCommandLineAndResizingLaysOut) {
  oetest::Xvfb x;
  ASSERT_TRUE(x.ok());
  oetest::TempDir dir;
  Demo demo(x, dir, {"-geometry", "700x500+30+40", "-fn", "DejaVu Sans Mono:size=20"});
  ASSERT_TRUE(demo.ready()) << demo.out();
  std::vector<int> w = demo.Where();
  ASSERT_EQ(w.size(), 6u);
  // The 19-pixel scroll bar is left of the text area, the bars above it.
  EXPECT_EQ(w[0], 30 + 19);
  EXPECT_GT(w[1], 40 + 30);
  EXPECT_EQ(w[2], 700 - 19);
  EXPECT_GT(w[4], 12) << "the larger font gives wider cells";
  EXPECT_GT(w[5], 22);
  RunResult info = x.Tool({"xwininfo", "-id", std::to_string(demo.WindowId())});
  EXPECT_NE(info.out.find("Width: 700"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Height: 500"), std::string::npos);
  // The window manager (here: xdotool) resizes; the text area follows.
  x.Tool({"xdotool", "windowsize", std::to_string(demo.WindowId()), "900", "600"});
  EXPECT_TRUE(demo.WaitFor("event Resize w=881 ")) << demo.out();
  // An unknown font falls back to the default instead of failing.
  oetest::TempDir dir2;
  Demo fallback(x, dir2, {"-fn", "No Such Font Family:size=11"});
  ASSERT_TRUE(fallback.ready()) << fallback.out();
  std::vector<int> f = fallback.Where();
  ASSERT_EQ(f.size(), 6u);
  EXPECT_GT(f[4], 3);
}

TEST(ToolkitOptions, WindowManagerPropertiesNameTheProgramAndIconicStart) {
  oetest::Xvfb x;
  ASSERT_TRUE(x.ok());
  oetest::TempDir dir;
  Demo demo(x, dir, {"-iconic"});
  ASSERT_TRUE(demo.ready()) << demo.out();
  std::string id = std::to_string(demo.WindowId());
  RunResult p = x.Tool(
      {"xprop", "-id", id, "WM_HINTS", "WM_CLASS", "_NET_WM_NAME", "WM_ICON_NAME", "WM_PROTOCOLS"});
  EXPECT_NE(p.out.find("Iconic"), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("\"Orvex\""), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("_NET_WM_NAME(UTF8_STRING) = \"Toolkit Demo\""), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("WM_ICON_NAME(STRING) = \"Toolkit Demo\""), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("WM_DELETE_WINDOW"), std::string::npos) << p.out;
}

TEST_F(ToolkitOnX, KeysArriveWithSymbolTextAndModifiers) {
  std::vector<int> w = demo->Where();
  ASSERT_EQ(w.size(), 6u);
  MouseTo(w[0] + 50, w[1] + 50);
  demo->Tool({"xdotool", "key", "a", "shift+Return", "ctrl+x", "Next", "shift+b"});
  EXPECT_TRUE(demo->WaitFor("event KeyDown key=a mods=0 text=a\n"));
  EXPECT_TRUE(demo->WaitFor("event KeyDown key=Return mods=1 text="));
  EXPECT_TRUE(demo->WaitFor("event KeyDown key=x mods=4 text=\x18\n"));
  EXPECT_TRUE(demo->WaitFor("event KeyDown key=Next mods=0 text=\n"));
  EXPECT_TRUE(demo->WaitFor("event KeyDown key=B mods=1 text=B\n"));
  // Typed text goes through the input method: a character without a key of
  // its own arrives as UTF-8.
  demo->Tool({"xdotool", "type", "\xc3\xa9"});
  EXPECT_TRUE(demo->WaitFor("text=\xc3\xa9\n")) << demo->out();
}

TEST_F(ToolkitOnX, MouseClicksAreCountedAndDraggingReportsMotion) {
  std::vector<int> w = demo->Where();
  ASSERT_EQ(w.size(), 6u);
  int px = w[0] + 40, py = w[1] + 30;
  MouseTo(px, py);
  demo->Tool({"xdotool", "click", "--repeat", "3", "--delay", "60", "1"});
  std::string at = " x=40 y=30";
  EXPECT_TRUE(demo->WaitFor("event ButtonDown button=1 clicks=1" + at));
  EXPECT_TRUE(demo->WaitFor("event ButtonDown button=1 clicks=2" + at));
  EXPECT_TRUE(demo->WaitFor("event ButtonDown button=1 clicks=3" + at));
  EXPECT_TRUE(demo->WaitFor("event ButtonUp button=1 clicks=3" + at));
  // After the multi-click time a click counts from one again.
  usleep(600 * 1000);
  demo->Tool({"xdotool", "keydown", "ctrl", "click", "3", "keyup", "ctrl"});
  EXPECT_TRUE(demo->WaitFor("event ButtonDown button=3 clicks=1" + at + " mods=4"));
  demo->Tool({"xdotool", "mousedown", "1"});
  demo->Tool({"xdotool", "mousemove", std::to_string(px + 80), std::to_string(py + 40)});
  demo->Tool({"xdotool", "mouseup", "1"});
  EXPECT_TRUE(demo->WaitFor("event Motion held x=120 y=70"));
  EXPECT_TRUE(demo->WaitFor("event ButtonUp button=1 clicks=1 x=120 y=70"));
}

TEST_F(ToolkitOnX, WindowManagerDeleteRequestClosesTheWindowAndTheProgramEnds) {
  unsigned long id = demo->WindowId();
  ASSERT_NE(id, 0u);
  Display* d = XOpenDisplay(x.display().c_str());
  ASSERT_NE(d, nullptr);
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = id;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, id, False, NoEventMask, &ev);
  XSync(d, False);
  XCloseDisplay(d);
  EXPECT_TRUE(demo->WaitFor("closed\n"));
  RunResult& r = demo->process().Wait(10000);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("exit\n"), std::string::npos);
}

TEST_F(ToolkitOnX, ClipboardTextComesFromAndGoesToOtherClients) {
  std::string small = dir.write("small.txt", "from xclip \xc3\xa9 tab\there\n");
  ASSERT_EQ(demo->Tool({"xclip", "-i", "-selection", "clipboard", small}).status, 0);
  demo->Send("get CLIPBOARD " + dir.file("got.txt"));
  ASSERT_TRUE(demo->WaitFor("got CLIPBOARD"));
  EXPECT_EQ(oetest::TempDir::read(dir.file("got.txt")), oetest::TempDir::read(small));

  std::string mine = dir.write("mine.txt", "owned by the toolkit\nsecond line");
  demo->Send("own CLIPBOARD " + mine);
  ASSERT_TRUE(demo->WaitFor("owned CLIPBOARD"));
  RunResult r = demo->Tool({"xclip", "-o", "-selection", "clipboard", "-t", "STRING"});
  EXPECT_EQ(r.out, "owned by the toolkit\nsecond line");
  r = demo->Tool({"xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"});
  EXPECT_EQ(r.out, "owned by the toolkit\nsecond line");
  r = demo->Tool({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"});
  EXPECT_NE(r.out.find("UTF8_STRING"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("STRING"), std::string::npos);
  // Another client taking the selection ends our ownership; asking again
  // then goes to that client.
  std::string second = dir.write("second.txt", "taken back");
  ASSERT_EQ(demo->Tool({"xclip", "-i", "-selection", "clipboard", second}).status, 0);
  demo->Send("get CLIPBOARD " + dir.file("again.txt"));
  ASSERT_TRUE(demo->WaitFor("got CLIPBOARD 10\n"));
  EXPECT_EQ(oetest::TempDir::read(dir.file("again.txt")), "taken back");
}

TEST_F(ToolkitOnX, EveryClipboardNameTravelsBetweenTwoPrograms) {
  // xclip knows only PRIMARY, SECONDARY and CLIPBOARD, so the editor's other
  // clipboards go between two programs of the toolkit.
  oetest::TempDir other_dir;
  Demo other(x, other_dir);
  ASSERT_TRUE(other.ready());
  const char* names[] = {"PRIMARY", "CLIPBOARD", "CLIPBOARD_S", "CLIPBOARD_C", "CLIPBOARD_CS"};
  for (const char* name : names) {
    std::string content = std::string("contents of ") + name + " \xe9\n";
    std::string src = dir.write(std::string(name) + ".txt", content);
    demo->Send(std::string("own ") + name + " " + src);
    ASSERT_TRUE(demo->WaitFor(std::string("owned ") + name + "\n"));
    std::string dst = other_dir.file(std::string(name) + ".got");
    other.Send(std::string("get ") + name + " " + dst);
    ASSERT_TRUE(other.WaitFor(std::string("got ") + name + " ")) << other.out();
    EXPECT_EQ(oetest::TempDir::read(dst), content) << name;
  }
}

TEST_F(ToolkitOnX, TenMegabyteSelectionsTravelInPiecesBothWays) {
  std::string big;
  big.reserve(10 * 1024 * 1024);
  unsigned seed = 12345;
  while (big.size() < 10 * 1024 * 1024) {
    seed = seed * 1103515245 + 12345;
    char c = static_cast<char>(' ' + (seed >> 16) % 95);
    big += (seed >> 8) % 61 == 0 ? '\n' : c;
  }
  std::string path = dir.write("big.txt", big);
  demo->Send("own CLIPBOARD " + path);
  ASSERT_TRUE(demo->WaitFor("owned CLIPBOARD"));
  RunResult r = demo->Tool({"xclip", "-o", "-selection", "clipboard"});
  EXPECT_EQ(r.out.size(), big.size());
  EXPECT_TRUE(r.out == big) << "contents differ";

  // And from another client to the toolkit.
  std::string other = big;
  other[0] = '#';
  std::string path2 = dir.write("big2.txt", other);
  ASSERT_EQ(demo->Tool({"xclip", "-i", "-selection", "clipboard", path2}).status, 0);
  demo->Send("get CLIPBOARD " + dir.file("got-big.txt"));
  ASSERT_TRUE(demo->WaitFor("got CLIPBOARD " + std::to_string(other.size()), 30000)) << demo->out();
  EXPECT_TRUE(oetest::TempDir::read(dir.file("got-big.txt")) == other);
}

TEST_F(ToolkitOnX, RequestOfAnUnownedSelectionFailsCleanly) {
  demo->Send("get CLIPBOARD_CS " + dir.file("none.txt"));
  EXPECT_TRUE(demo->WaitFor("failed CLIPBOARD_CS 0"));
}

TEST_F(ToolkitOnX, ModalQuestionsAnswerByKeyboard) {
  demo->Send("alert Are you sure?");
  ASSERT_FALSE(x.WaitForWindow("Question").empty());
  demo->Tool({"xdotool", "key", "alt+n"});
  EXPECT_TRUE(demo->WaitFor("answer 1\n"));
  demo->Send("prompt Your name:");
  ASSERT_FALSE(x.WaitForWindow("^Prompt$").empty());
  demo->Tool({"xdotool", "type", "Ada"});
  demo->Tool({"xdotool", "key", "Return"});
  EXPECT_TRUE(demo->WaitFor("prompt ok Ada\n")) << demo->out();
}

TEST_F(ToolkitOnX, MenuOpensTheFileChooserWhichReturnsATypedPath) {
  std::string target = dir.write("chosen.c", "int x;\n");
  // The File menu is the first title of the menu bar, at the top left.
  MouseTo(15, 8);
  demo->Tool({"xdotool", "click", "1"});
  demo->Tool({"xdotool", "key", "Down", "Return"});
  ASSERT_FALSE(x.WaitForWindow("^Open$").empty()) << demo->out();
  demo->Tool({"xdotool", "type", target});
  demo->Tool({"xdotool", "key", "Return"});
  EXPECT_TRUE(demo->WaitFor("chose " + target + "\n")) << demo->out();
}

}  // namespace
