#include "windlib/edit/editconfig.h"

#include <set>

#include "windlib/config/configoptions.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editbindings.h"
#include "windlib/edit/editcolors.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/file/fileincr.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wcoloroptions.h"

namespace {

// Every view: those of the editor windows and those embedded elsewhere,
// each once.
std::set<Edit*> all_views() {
  std::set<Edit*> views;
  for (EditWindow* w : EditWindows())
    if (w->edit()) views.insert(w->edit());
  for (File* f = FileHead(); f; f = f->next)
    for (Edit* e = f->edits; e; e = e->nextSame) views.insert(e);
  return views;
}

// The margin follows the configured width; a width of 0 removes it.
void fit_margin(Edit* e) {
  if (cfgSelectionMarginWidth > 0 && !e->margin) {
    e->margin = new WWindow(e);
    e->margin->SetBackground(EditMarginBackground());
  } else if (cfgSelectionMarginWidth <= 0 && e->margin) {
    delete e->margin;
    e->margin = nullptr;
  }
  e->marginWidth = e->margin ? cfgSelectionMarginWidth : 0;
}

int add_key(_ConfigOption*, const char* text, int32_t) {
  return EditAddBinding(text, false);
}
int add_mouse(_ConfigOption*, const char* text, int32_t) {
  return EditAddBinding(text, true);
}
int clear_keys(_ConfigOption*, const char*, int32_t) {
  EditClearBindings(false);
  return 1;
}
int clear_mice(_ConfigOption*, const char*, int32_t) {
  EditClearBindings(true);
  return 1;
}

// A colour with an entry in the colour list must be one: it changes the
// entry, and every view redraws in it. Other colours (those of other tools)
// must parse on a display; without one their text is kept as given.
int check_color(_ConfigOption* option, const char* text) {
  const int taken = shr_SetColorOption(option->name, text);
  if (taken >= 0) return taken;
  WColor color;
  if (wDisplayActive && !WParseColor(text, &color)) return 0;
  option->Text() = text;
  return 1;
}

}  // namespace

void EditConfigInit() {
  shr_BindColorOptions();
  cfg_ColorHook = check_color;
  cfg_SetOptionSetter("key", add_key);
  cfg_SetOptionSetter("keybind", add_key);
  cfg_SetOptionSetter("mouse", add_mouse);
  cfg_SetOptionSetter("clearkeys", clear_keys);
  cfg_SetOptionSetter("clearmice", clear_mice);
}

unsigned EditApplyConfigRefreshes() {
  const unsigned flags = AnyRefreshes;
  AnyRefreshes = 0;
  // Line widths depend on the tab size.
  if (flags & cfgRefreshText)
    for (File* f = FileHead(); f; f = f->next) FileFindMaxWidth(f);
  if (flags & (cfgRefreshText | cfgRefreshLayout | cfgRefreshTimers)) {
    for (Edit* e : all_views()) {
      if (flags & cfgRefreshTimers) e->text->SetCaretBlink(EditCaretBlinkMs());
      if (flags & cfgRefreshLayout) fit_margin(e);
      if (flags & (cfgRefreshText | cfgRefreshLayout)) {
        e->Layout();
        e->RedrawAll();
      }
    }
  }
  if (flags & cfgRefreshTimers) incr_RestartTimer();
  return flags;
}
