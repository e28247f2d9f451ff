// A small program made of the toolkit's parts, for the end-to-end tests: a
// window with a menu bar, a tool bar, a status line, a text area and scroll
// bars. It reports its events on standard output, one line each, and takes
// commands from a named pipe (given with --commands), read through the
// central wait:
//   own NAME FILE       own selection NAME with the contents of FILE
//   get NAME FILE [utf8] request selection NAME and write it to FILE
//   alert TEXT          ask a question with three buttons; prints the answer
//   prompt TEXT         ask for a line; prints the answer
//   where               print the text area's position on the screen
//   show FILE           draw only FILE's first line, in the top row, without
//                       the caret; prints "shown" once painted
//   quit                close the window
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/gapplication.h"
#include "windlib/orvexjmp.h"
#include "windlib/wdisplay.h"
#include "windlib/wwait.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wgui.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wscrollbar.h"
#include "windlib/x11/wselection.h"
#include "windlib/x11/wtextarea.h"
#include "windlib/x11/wtopwindow.h"

namespace {
WTopWindow* window = nullptr;
WTextArea* area = nullptr;
WScrollBar* vbar = nullptr;
WScrollBar* hbar = nullptr;
constexpr int kLines = 200;
// The line drawn alone by "show"; the numbered lines while not shown.
bool showing = false;
std::string shown_line;
bool shown_said = false;

void say(const std::string& line) {
  printf("%s\n", line.c_str());
  fflush(stdout);
}

std::string line_text(int n) {
  return "Line " + std::to_string(n) + ": The quick brown fox jumps over the lazy dog.";
}

void paint(WTextArea* a, WPainter& p) {
  int lh = a->lineHeight();
  int first = static_cast<int>(vbar->value() / lh);
  int xoff = static_cast<int>(hbar->value());
  p.FillRect(p.clip(), 0xffffff);
  if (showing) {
    p.Cells(0, 0, shown_line.data(), static_cast<int>(shown_line.size()), 0x000000, 0xffffff,
            a->font());
    if (!shown_said) say("shown");
    shown_said = true;
    return;
  }
  for (int row = p.clip().y / lh; row * lh < p.clip().bottom(); ++row) {
    int n = first + row + 1;
    if (n > kLines) break;
    std::string t = line_text(n);
    p.Cells(-xoff, row * lh, t.data(), static_cast<int>(t.size()), 0x000000, 0xffffff, a->font());
  }
}

bool on_event(WTextArea*, WEvent& e) {
  std::ostringstream s;
  s << "event " << WEventKindName(e.kind);
  switch (e.kind) {
    case WEventKind::KeyDown:
      s << " key=" << WKeyName(e.key) << " mods=" << (e.modifiers & kWModKeyMask)
        << " text=" << e.text;
      break;
    case WEventKind::ButtonDown:
    case WEventKind::ButtonUp:
      s << " button=" << e.button << " clicks=" << e.clicks << " x=" << e.x << " y=" << e.y
        << " mods=" << (e.modifiers & kWModKeyMask);
      break;
    case WEventKind::Motion:
      if (!(e.modifiers & kWModButtonMask)) return false;
      s << " held x=" << e.x << " y=" << e.y;
      break;
    case WEventKind::Resize:
      s << " w=" << e.width << " h=" << e.height;
      break;
    default:
      return false;
  }
  say(s.str());
  return true;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void command(const std::string& line) {
  std::istringstream in(line);
  std::string verb, a, b, c;
  in >> verb >> a >> b >> c;
  if (verb == "own") {
    bool ok = WSelectionOwn(a, read_file(b));
    say(std::string(ok ? "owned " : "not owned ") + a);
  } else if (verb == "get") {
    WSelectionRequest(
        a,
        [a, b](bool ok, const std::string& bytes) {
          if (ok) std::ofstream(b, std::ios::binary) << bytes;
          say((ok ? "got " : "failed ") + a + " " + std::to_string(bytes.size()));
        },
        c == "utf8" ? WSelectionTarget::Utf8 : WSelectionTarget::String);
  } else if (verb == "alert") {
    int answer = wAlert("Question", line.substr(6), {"&Yes", "&No", "Cancel"}, 0);
    say("answer " + std::to_string(answer));
  } else if (verb == "prompt") {
    std::string text;
    bool ok = WPrompt("Prompt", line.substr(7), "default", &text);
    say(std::string("prompt ") + (ok ? "ok " : "cancel ") + text);
  } else if (verb == "where") {
    int x, y;
    area->ScreenPosition(&x, &y);
    say("where " + std::to_string(x) + " " + std::to_string(y) + " " +
        std::to_string(area->width()) + " " + std::to_string(area->height()) + " " +
        std::to_string(area->charWidth()) + " " + std::to_string(area->lineHeight()));
  } else if (verb == "show") {
    shown_line = read_file(a);
    shown_line = shown_line.substr(0, shown_line.find('\n'));
    showing = true;
    shown_said = false;
    area->SetCaretCell(0, 0, false);  // the line alone, without the caret
    area->Invalidate();
  } else if (verb == "quit") {
    if (window) window->Close();
  }
}

// The command pipe, read through the central wait like any other descriptor.
class CommandPipe : public SocketListener {
 public:
  explicit CommandPipe(const std::string& path) {
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    // Keep a writer open ourselves so that the pipe never reports its end.
    keep_ = open(path.c_str(), O_WRONLY | O_NONBLOCK);
  }
  bool hasFD() override { return fd_ >= 0; }
  int getFD() override { return fd_; }
  bool wantsToRead() override { return fd_ >= 0; }
  bool wantsToWrite() override { return false; }
  bool wantsToDequeueAndDispatch() override { return false; }
  bool wantsToStop() override { return false; }
  void handleRead() override {
    char buf[4096];
    ssize_t n = read(fd_, buf, sizeof buf);
    if (n <= 0) return;
    pending_.append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = pending_.find('\n')) != std::string::npos) {
      std::string line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      WithRecoveryPoint([&] { command(line); });
    }
  }
  void handleWrite() override {}
  void handleDequeueAndDispatch() override {}
  void handleStop() override {}

 private:
  int fd_ = -1, keep_ = -1;
  std::string pending_;
};

void build_window() {
  WTopWindowOptions o;
  o.menuBar = o.toolBar = o.statusLine = true;
  window = new WTopWindow("Toolkit Demo", 640, 420, o);
  auto file = std::make_shared<WMenu>();
  file->Add("&Open...", "Ctrl+O", [] {
    std::string path;
    if (WChooseFile("Open", ".", "", "", &path))
      say("chose " + path);
    else
      say("chose nothing");
  });
  file->AddSeparator();
  file->Add("&Quit", "Ctrl+Q", [] { window->Close(); });
  auto edit = std::make_shared<WMenu>();
  edit->Add("&Copy line 1", "Ctrl+Shift+C", [] {
    WSelectionOwn("CLIPBOARD", line_text(1));
    say("copied");
  });
  window->menuBar()->AddMenu("&File", file);
  window->menuBar()->AddMenu("&Edit", edit);
  window->toolBar()->AddButton("Hello", "Say hello", [] { say("hello"); });
  window->statusLine()->SetMessage("Ready");
  window->statusLine()->SetField(0, "Ln 1,Col 0", 12);
  WContainer* client = window->client();
  area = new WTextArea(client);
  vbar = new WScrollBar(client, WScrollBar::Vertical);
  hbar = new WScrollBar(client, WScrollBar::Horizontal);
  area->SetPaintHandler(paint);
  area->SetEventHandler(on_event);
  vbar->SetOnChange([](long) { area->Invalidate(); });
  hbar->SetOnChange([](long) { area->Invalidate(); });
  client->SetLayout([](WContainer* c) {
    int t = WScrollBar::Thickness();
    area->SetGeometry(WRect{t, 0, c->width() - t, c->height() - t});
    vbar->SetGeometry(WRect{0, 0, t, c->height() - t});
    hbar->SetGeometry(WRect{t, c->height() - t, c->width() - t, t});
    vbar->SetRange(static_cast<long>(kLines) * area->lineHeight(), area->height());
    vbar->SetStep(area->lineHeight());
    hbar->SetRange(100L * area->charWidth(), area->width());
    hbar->SetStep(area->charWidth());
  });
  area->SetCaretCell(0, 0, true);
  area->Focus();
  window->SetCloseHandler([](WTopWindow*) {
    say("closed");
    return true;
  });
  window->Show();
}
}  // namespace

int main(int argc, char** argv) {
  static GUIApplication app;
  ApplicationInstance = &app;
  gen_init(argv[0], 0);
  std::string pipe_path;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--commands") == 0) pipe_path = argv[i + 1];
  WGUIInit(&argc, argv, &app, true, true, 0);
  CommandPipe* pipe = nullptr;
  if (!pipe_path.empty()) {
    pipe = new CommandPipe(pipe_path);
    getIdleNotifier()->addSocketListener(pipe);
  }
  build_window();
  say("ready " + std::to_string(window->windowId()));
  while (ApplicationInstance->cwGetList()) {
    WithRecoveryPoint([] {
      WEventAll(0);
      long next = 0;
      ExtraProcess_Wait(&next);
      WYield(next - 10);
    });
  }
  say("exit");
  WCloseDisplay();
  return 0;
}
