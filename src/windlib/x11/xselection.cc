// X selections: owning and answering them (with INCR for large contents),
// and asynchronous requests of other programs' selections.
#include <X11/Xatom.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "shared/libcxxutil/idle_notifier.h"
#include "windlib/x11/wselection.h"
#include "windlib/x11/xdisplay.h"

namespace {
constexpr int64_t kRequestTimeoutMs = 5000;    // no answer or no progress: give up
constexpr int64_t kTransferTimeoutMs = 10000;  // a requestor that stopped reading

struct Owned {
  std::string bytes;
  int type = kWSelText;
  Time since = CurrentTime;
};
std::map<std::string, Owned> owned;

// A piece-by-piece transfer to another program.
struct Outgoing {
  Window requestor;
  Atom property;
  Atom type;
  std::shared_ptr<const std::string> data;
  size_t offset = 0;
  int64_t last = 0;
  bool finished = false;  // the closing empty piece has been written
};
std::vector<Outgoing> outgoing;

// A request of ours waiting for its answer.
struct Incoming {
  std::string name;
  Atom property;
  WSelectionTarget target;
  bool latin1ToUtf8 = false;  // text that comes as STRING is Latin-1 to convert
  bool retried = false;
  bool incr = false;
  std::string buffer;
  int64_t last = 0;
  WSelectionDone done;
};
std::vector<Incoming> incoming;
unsigned long next_property = 0;

Window sel_window = 0;
std::function<void(const std::string&)> lost_hook;

// Completions that must not run inside the call that asked: they run from
// the event loop's idle pass.
std::deque<std::function<void()>> deferred;

class DeferredRunner : public Idler {
 public:
  void handleIdle(IdleNotifier*) override {
    size_t n = deferred.size();
    while (n-- > 0 && !deferred.empty()) {
      auto fn = std::move(deferred.front());
      deferred.pop_front();
      fn();
    }
    if (deferred.empty())
      if (IdleNotifier* in = getIdleNotifier()) in->removeIdleListener(this);
  }
  bool isIdlerSafe() override { return true; }
} deferred_runner;

void defer(std::function<void()> fn) {
  deferred.push_back(std::move(fn));
  if (IdleNotifier* n = getIdleNotifier()) n->addIdleListener(&deferred_runner);
}

// Gives up on transfers that stopped making progress.
class Watchdog : public TimerListener {
 public:
  void handleTimer(int64_t now) override {
    for (size_t i = 0; i < incoming.size();) {
      if (now - incoming[i].last > kRequestTimeoutMs) {
        Incoming r = std::move(incoming[i]);
        incoming.erase(incoming.begin() + static_cast<long>(i));
        if (Display* d = WXDisplay()) XDeleteProperty(d, sel_window, r.property);
        if (r.done) r.done(false, "");
      } else {
        ++i;
      }
    }
    outgoing.erase(
        std::remove_if(outgoing.begin(), outgoing.end(),
                       [&](const Outgoing& o) { return now - o.last > kTransferTimeoutMs; }),
        outgoing.end());
    if (incoming.empty() && outgoing.empty())
      if (IdleNotifier* n = getIdleNotifier()) n->removeTimerListener(this);
  }
} watchdog;

void arm_watchdog() {
  if (IdleNotifier* n = getIdleNotifier()) n->addTimerListener(&watchdog, 1000);
}

bool valid_utf8(const std::string& s) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra = c < 0x80             ? 0
                   : (c & 0xe0) == 0xc0 ? 1
                   : (c & 0xf0) == 0xe0 ? 2
                   : (c & 0xf8) == 0xf0 ? 3
                                        : 4;
    if (extra == 4 || (extra == 1 && c < 0xc2) || i + extra >= n + (extra ? 0 : 1)) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string latin1_to_utf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return out;
}

// The largest piece written in one request.
size_t chunk_size(Display* d) {
  long max = XExtendedMaxRequestSize(d);
  if (max == 0) max = XMaxRequestSize(d);
  size_t bytes = static_cast<size_t>(max) * 4 - 256;
  return std::min<size_t>(bytes, 256 * 1024);
}

// The server's time now: append nothing to a property of our own window and
// take the time of the resulting PropertyNotify. Ownership is taken at this
// time rather than at the last event's, which may be older than another
// client's claim when the copy was not started by an event.
Time server_time(Display* d) {
  Atom a = WXAtom("_OE_TIMESTAMP");
  XChangeProperty(d, sel_window, a, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent ev;
  // Only this notification: those of transfers in progress stay queued.
  struct Want {
    Window window;
    Atom atom;
  } want{sel_window, a};
  XIfEvent(
      d, &ev,
      [](Display*, XEvent* e, XPointer arg) -> Bool {
        auto* w = reinterpret_cast<Want*>(arg);
        return e->type == PropertyNotify && e->xproperty.window == w->window &&
               e->xproperty.atom == w->atom;
      },
      reinterpret_cast<XPointer>(&want));
  WXNoteTime(ev.xproperty.time);
  return ev.xproperty.time;
}

void send_notify(Display* d, const XSelectionRequestEvent& req, Atom property) {
  XEvent ev = {};
  ev.xselection.type = SelectionNotify;
  ev.xselection.display = d;
  ev.xselection.requestor = req.requestor;
  ev.xselection.selection = req.selection;
  ev.xselection.target = req.target;
  ev.xselection.property = property;
  ev.xselection.time = req.time;
  XSendEvent(d, req.requestor, False, NoEventMask, &ev);
}

void write_piece(Display* d, Outgoing& o) {
  size_t n = std::min(chunk_size(d), o.data->size() - o.offset);
  XChangeProperty(d, o.requestor, o.property, o.type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(o.data->data() + o.offset),
                  static_cast<int>(n));
  o.offset += n;
  o.last = IdleNotifier::now();
  if (n == 0) o.finished = true;
}

void answer_request(Display* d, XSelectionRequestEvent& req) {
  Atom property = req.property == None ? req.target : req.property;
  char* sel_name = XGetAtomName(d, req.selection);
  std::string name = sel_name ? sel_name : "";
  if (sel_name) XFree(sel_name);
  auto it = owned.find(name);
  if (it == owned.end() ||
      (req.time != CurrentTime && it->second.since != CurrentTime && req.time < it->second.since)) {
    send_notify(d, req, None);
    return;
  }
  const Owned& o = it->second;
  Atom utf8 = WXAtom("UTF8_STRING");
  if (req.target == WXAtom("TARGETS")) {
    Atom targets[] = {WXAtom("TARGETS"), WXAtom("TIMESTAMP"), utf8, XA_STRING, WXAtom("TEXT")};
    XChangeProperty(d, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(targets), 5);
    send_notify(d, req, property);
    return;
  }
  if (req.target == WXAtom("TIMESTAMP")) {
    long t = static_cast<long>(o.since);
    XChangeProperty(d, req.requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&t), 1);
    send_notify(d, req, property);
    return;
  }
  Atom type;
  std::shared_ptr<const std::string> data;
  if (req.target == XA_STRING || req.target == WXAtom("TEXT")) {
    type = XA_STRING;
    data = std::make_shared<const std::string>(o.bytes);
  } else if (req.target == utf8) {
    type = utf8;
    data = std::make_shared<const std::string>(valid_utf8(o.bytes) ? o.bytes
                                                                   : latin1_to_utf8(o.bytes));
  } else {
    send_notify(d, req, None);
    return;
  }
  if (data->size() <= chunk_size(d)) {
    XChangeProperty(d, req.requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data->data()),
                    static_cast<int>(data->size()));
    send_notify(d, req, property);
    return;
  }
  // Too large for one request: announce an incremental transfer; the
  // requestor deletes the property each time it has read a piece.
  XSelectInput(d, req.requestor, PropertyChangeMask);
  long size = static_cast<long>(data->size());
  XChangeProperty(d, req.requestor, property, WXAtom("INCR"), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&size), 1);
  outgoing.push_back(Outgoing{req.requestor, property, type, data, 0, IdleNotifier::now(), false});
  arm_watchdog();
  send_notify(d, req, property);
}

void outgoing_progress(Display* d, XPropertyEvent& pe) {
  for (size_t i = 0; i < outgoing.size(); ++i) {
    Outgoing& o = outgoing[i];
    if (o.requestor != pe.window || o.property != pe.atom) continue;
    if (o.finished) {
      outgoing.erase(outgoing.begin() + static_cast<long>(i));
    } else {
      write_piece(d, o);
      return;
    }
    break;
  }
  // No transfer to this window left: stop listening to it.
  bool more = std::any_of(outgoing.begin(), outgoing.end(),
                          [&](const Outgoing& o) { return o.requestor == pe.window; });
  if (!more) XSelectInput(d, pe.window, NoEventMask);
}

// Reads and deletes a property of our window; false when it is not there.
bool take_property(Display* d, Atom property, Atom* type, std::string* out) {
  out->clear();
  long offset = 0;
  for (;;) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, sel_window, property, offset, 1 << 20, False, AnyPropertyType,
                           &actual, &format, &count, &after, &data) != Success)
      return false;
    if (actual == None) {
      if (data) XFree(data);
      return false;
    }
    *type = actual;
    size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    if (data) {
      if (format == 8)
        out->append(reinterpret_cast<char*>(data), count);
      else
        out->append(reinterpret_cast<char*>(data), count * unit);
      XFree(data);
    }
    offset += static_cast<long>(format == 8 ? count / 4
                                            : count * static_cast<unsigned long>(format) / 32);
    if (after == 0) break;
  }
  XDeleteProperty(d, sel_window, property);
  return true;
}

Atom target_atom(WSelectionTarget t) {
  return t == WSelectionTarget::Utf8 ? WXAtom("UTF8_STRING") : XA_STRING;
}

void finish(size_t i, bool ok) {
  Incoming r = std::move(incoming[i]);
  incoming.erase(incoming.begin() + static_cast<long>(i));
  // STRING is Latin-1; text that is valid UTF-8 already is kept as it came.
  if (ok && r.latin1ToUtf8 && r.target == WSelectionTarget::String && !valid_utf8(r.buffer))
    r.buffer = latin1_to_utf8(r.buffer);
  if (r.done) r.done(ok, ok ? r.buffer : std::string());
}

void convert(Display* d, Incoming& r) {
  XConvertSelection(d, XInternAtom(d, r.name.c_str(), False), target_atom(r.target), r.property,
                    sel_window, WXLastEventTime());
  r.last = IdleNotifier::now();
}

void incoming_notify(Display* d, XSelectionEvent& se) {
  for (size_t i = 0; i < incoming.size(); ++i) {
    Incoming& r = incoming[i];
    if (r.incr) continue;
    bool mine =
        se.property == r.property || (se.property == None && se.target == target_atom(r.target) &&
                                      se.selection == XInternAtom(d, r.name.c_str(), False));
    if (!mine) continue;
    if (se.property == None) {
      if (!r.retried) {
        // The owner cannot give this form; ask for the other one.
        r.retried = true;
        r.target = r.target == WSelectionTarget::String ? WSelectionTarget::Utf8
                                                        : WSelectionTarget::String;
        convert(d, r);
        return;
      }
      finish(i, false);
      return;
    }
    Atom type;
    std::string data;
    if (!take_property(d, r.property, &type, &data)) {
      finish(i, false);
      return;
    }
    if (type == WXAtom("INCR")) {
      // The pieces follow as new values of the property, each deleted once read.
      r.incr = true;
      r.buffer.clear();
      r.last = IdleNotifier::now();
      return;
    }
    r.buffer = std::move(data);
    finish(i, true);
    return;
  }
}

void incoming_piece(Display* d, XPropertyEvent& pe) {
  if (pe.state != PropertyNewValue) return;
  for (size_t i = 0; i < incoming.size(); ++i) {
    Incoming& r = incoming[i];
    if (!r.incr || r.property != pe.atom) continue;
    Atom type;
    std::string piece;
    if (!take_property(d, r.property, &type, &piece)) return;
    r.last = IdleNotifier::now();
    if (piece.empty()) {
      finish(i, true);
      return;
    }
    r.buffer += piece;
    return;
  }
}
}  // namespace

void WXSelectionInit() {
  Display* d = WXDisplay();
  if (!d || sel_window) return;
  XSetWindowAttributes a = {};
  a.event_mask = PropertyChangeMask;
  sel_window = XCreateWindow(d, DefaultRootWindow(d), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                             CopyFromParent, CWEventMask, &a);
}

void WXSelectionShutdown() {
  Display* d = WXDisplay();
  if (d && sel_window) XDestroyWindow(d, sel_window);
  sel_window = 0;
  outgoing.clear();
  for (Incoming& r : incoming)
    if (r.done) defer([done = r.done] { done(false, ""); });
  incoming.clear();
}

bool WXSelectionEvent(XEvent& ev) {
  Display* d = WXDisplay();
  if (!d) return false;
  switch (ev.type) {
    case SelectionRequest:
      answer_request(d, ev.xselectionrequest);
      return true;
    case SelectionClear: {
      char* n = XGetAtomName(d, ev.xselectionclear.selection);
      std::string name = n ? n : "";
      if (n) XFree(n);
      if (owned.erase(name) && lost_hook) lost_hook(name);
      return true;
    }
    case SelectionNotify:
      if (ev.xselection.requestor != sel_window) return false;
      incoming_notify(d, ev.xselection);
      return true;
    case PropertyNotify:
      if (ev.xproperty.window == sel_window) {
        incoming_piece(d, ev.xproperty);
        return true;
      }
      if (ev.xproperty.state == PropertyDelete) {
        for (const Outgoing& o : outgoing) {
          if (o.requestor == ev.xproperty.window) {
            outgoing_progress(d, ev.xproperty);
            return true;
          }
        }
      }
      return false;
    default:
      return false;
  }
}

bool WSelectionOwn(const std::string& name, const std::string& bytes, int type) {
  if (name.empty()) return false;
  Display* d = WXDisplay();
  Time t = CurrentTime;
  if (d) {
    Atom sel = XInternAtom(d, name.c_str(), False);
    t = server_time(d);
    XSetSelectionOwner(d, sel, sel_window, t);
    if (XGetSelectionOwner(d, sel) != sel_window) return false;
  }
  Owned& o = owned[name];
  o.bytes = bytes;
  o.type = type;
  o.since = t;
  return true;
}

void WSelectionDisown(const std::string& name) {
  if (!owned.erase(name)) return;
  if (Display* d = WXDisplay()) {
    Atom sel = XInternAtom(d, name.c_str(), False);
    if (XGetSelectionOwner(d, sel) == sel_window) XSetSelectionOwner(d, sel, None, server_time(d));
  }
}

bool WSelectionOwned(const std::string& name, std::string* bytes, int* type) {
  auto it = owned.find(name);
  if (it == owned.end()) return false;
  if (bytes) *bytes = it->second.bytes;
  if (type) *type = it->second.type;
  return true;
}

void WSelectionRequest(const std::string& name, WSelectionDone done, WSelectionTarget target) {
  auto it = owned.find(name);
  if (it != owned.end()) {
    std::string copy = it->second.bytes;
    defer([done = std::move(done), copy = std::move(copy)] {
      if (done) done(true, copy);
    });
    return;
  }
  Display* d = WXDisplay();
  if (!d || name.empty()) {
    defer([done = std::move(done)] {
      if (done) done(false, "");
    });
    return;
  }
  Incoming r;
  r.name = name;
  r.property =
      XInternAtom(d, ("_OE_SELECTION_" + std::to_string(next_property++ % 8)).c_str(), False);
  // A property still busy with an earlier request gets a fresh name.
  while (std::any_of(incoming.begin(), incoming.end(),
                     [&](const Incoming& o) { return o.property == r.property; }))
    r.property =
        XInternAtom(d, ("_OE_SELECTION_" + std::to_string(next_property++)).c_str(), False);
  r.latin1ToUtf8 = target == WSelectionTarget::Utf8Text;
  r.target = r.latin1ToUtf8 ? WSelectionTarget::Utf8 : target;
  r.done = std::move(done);
  convert(d, r);
  incoming.push_back(std::move(r));
  arm_watchdog();
}

void WSelectionSetLostHook(std::function<void(const std::string&)> hook) {
  lost_hook = std::move(hook);
}

int WSelectionTransfersInProgress() {
  return static_cast<int>(incoming.size() + outgoing.size());
}
