// A top-level window: title, icon name, optional menu bar, tool bar and
// status line around a client area. It is one of the application's windows
// (unless made otherwise), and the window manager's close button asks it to
// close.
#pragma once

#include <functional>
#include <string>

#include "windlib/gapplication.h"
#include "windlib/x11/wbars.h"
#include "windlib/x11/wmenubar.h"
#include "windlib/x11/wwindow.h"

struct WTopWindowOptions {
  bool menuBar = false;
  bool toolBar = false;
  bool statusLine = false;
  // Listed windows are in the application's window list: the program runs
  // while one is left. Dialogs are not listed.
  bool listed = true;
};

class WTopWindow : public WWindow, public WTopLevel {
 public:
  // A window of `width` x `height` pixels (the client area and bars
  // together). The first listed window takes its size and position from the
  // "geometry" resource (-geometry) when it is set.
  WTopWindow(const std::string& title, int width, int height,
             const WTopWindowOptions& options = WTopWindowOptions());
  ~WTopWindow() override;

  void SetTitle(const std::string& title);
  const std::string& title() const { return title_; }
  void SetIconName(const std::string& name);
  const std::string& iconName() const { return icon_name_; }

  WMenuBar* menuBar() const { return menu_bar_; }
  WToolBar* toolBar() const { return tool_bar_; }
  WStatusLine* statusLine() const { return status_; }
  // The area inside the bars; its layout function places what it holds.
  WContainer* client() const { return client_; }

  // Shows the bars or hides them (the client takes or gives the room).
  void ShowMenuBar(bool on);
  void ShowToolBar(bool on);
  void ShowStatusLine(bool on);

  // The smallest size the window manager should allow.
  void SetMinimumSize(int width, int height);
  // Keeps the window above `owner` (dialogs).
  void SetTransientFor(WTopWindow* owner);
  void Raise();

  // The close handler decides whether a close request is granted; without
  // one every request is. A granted close destroys the window.
  void SetCloseHandler(std::function<bool(WTopWindow*)> handler) {
    close_handler_ = std::move(handler);
  }

  // WTopLevel
  bool Close() override;
  void ShowMessage(const std::string& text) override;

  void Show() override;
  void Layout() override;
  bool HandleEvent(WEvent& e) override;
  bool PreviewKey(WEvent& e) override;

 private:
  void ApplyGeometryResource();

  std::string title_, icon_name_;
  WMenuBar* menu_bar_ = nullptr;
  WToolBar* tool_bar_ = nullptr;
  WStatusLine* status_ = nullptr;
  WContainer* client_ = nullptr;
  bool listed_;
  bool closed_ = false;
  bool user_position_ = false;
  int min_w_ = 50, min_h_ = 30;
  std::function<bool(WTopWindow*)> close_handler_;
};

// The listed top-level window that last had the keyboard focus, if any.
WTopWindow* WActiveTopWindow();
