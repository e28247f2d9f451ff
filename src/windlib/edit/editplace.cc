#include "windlib/edit/editplace.h"

#include "windlib/config/settingsmanager.h"
#include "windlib/edit/editwindow.h"
#include "windlib/gapplication.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wscreen.h"

namespace {
constexpr const char* kGroup = "EditWindow";

SmRect to_sm(const WRect& r) {
  return SmRect{r.x, r.y, r.width, r.height};
}

// A top-level window as the settings manager sees it: no parent; the other
// windows are the application's listed ones.
class TopWindowPlace : public SmWindow {
 public:
  explicit TopWindowPlace(WTopWindow* window) : window_(window) {}
  SmRect geometry() const override { return to_sm(window_->geometry()); }
  bool parentGeometry(SmRect*) const override { return false; }
  void setGeometry(const SmRect& r) override { window_->SetGeometry(WRect{r.x, r.y, r.w, r.h}); }
  SmRect displayGeometry() const override { return to_sm(WScreenBounds()); }
  std::vector<SmRect> otherWindowGeometries() const override {
    std::vector<SmRect> out;
    if (!ApplicationInstance) return out;
    for (WTopLevel* other : ApplicationInstance->getWindowList()) {
      auto* top = dynamic_cast<WTopWindow*>(other);
      if (top && top != window_) out.push_back(to_sm(top->geometry()));
    }
    return out;
  }

 private:
  WTopWindow* window_;
};

const char* file_key(EditWindow* window) {
  File* f = window->edit()->file;
  return f && f->name && *f->name ? f->name : nullptr;
}

// Places are remembered only on a display: without one there is no screen
// to place windows on.
bool remembering() {
  return vfRememberWindowPositions && wDisplayActive;
}
}  // namespace

void EditRestorePlace(EditWindow* window) {
  if (!remembering()) return;
  SettingsManager* sm = SettingsManager::get();
  TopWindowPlace place(window);
  const char* name = file_key(window);
  if (name && sm->loadWindowPosition(place, "%s:%s", kGroup, name)) return;
  sm->loadWindowPosition(place, "%s", kGroup);
}

void EditRememberPlace(EditWindow* window) {
  if (!remembering()) return;
  TopWindowPlace place(window);
  const char* name = file_key(window);
  if (name)
    SettingsManager::get()->saveWindowPosition(place, "%s:%s", kGroup, name);
  else
    SettingsManager::get()->saveWindowPosition(place, "%s", kGroup);
}
