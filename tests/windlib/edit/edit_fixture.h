// Views without a display: real files in a private directory, editor
// windows made by the toolkit's no-display mode, and a scripted responder
// that records every question.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/indgen/indgen.h"
#include "support/temp_dir.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/edit.h"
#include "windlib/edit/editcmd.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editwindow.h"
#include "windlib/file/file.h"
#include "windlib/gapplication.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wwindow.h"
#include "windlib/xswitch.h"

namespace oetest {

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gen_init("oe", 0);
    ApplicationInstance = &app;
    setenv("TMPDIR", temps.path().c_str(), 1);
    gen_reset_temp_dir();
    EditSettingsToDefaults();
    InitDebugFlag();
    EditInit();
    WSetScriptedResponder([this](const WAskRequest& r) {
      questions.push_back(r.title + "|" + r.text);
      WAskReply reply{r.defaultButton, r.defaultText};
      if (!answers.empty()) {
        reply.button = answers.front();
        answers.erase(answers.begin());
      }
      return reply;
    });
  }
  void TearDown() override {
    // Destroying a window takes it off the list: walk a copy.
    const auto windows = app.getWindowList();
    for (WTopLevel* w : windows)
      if (auto* win = dynamic_cast<WWindow*>(w)) win->Destroy();
    WReapDestroyed();
    while (FileHead()) FileFree(FileHead());
    CacheAbort();
    WSetScriptedResponder(nullptr);
    ApplicationInstance = nullptr;
  }

  File* Open(const std::string& name, const std::string& content) {
    return FileFName(files.write(name, content).c_str(), 0);
  }
  EditWindow* Window(File* f, int32_t line = 1) {
    auto* w = new EditWindow(f, line, false, 80 * 8 + 19, 24 * 16 + 19 + 48);
    w->Show();
    return w;
  }
  // A shown view on a new file `name` holding `content`.
  Edit* View(const std::string& name, const std::string& content) {
    return Window(Open(name, content))->edit();
  }
  // `count` lines "<word>N", N counting from `first`.
  static std::string Numbered(int count, const std::string& word = "line ", int first = 1) {
    std::string s;
    for (int i = first; i < first + count; ++i) s += word + std::to_string(i) + "\n";
    return s;
  }
  static std::string LineText(File* f, int32_t n) {
    Line* l = FileLine(f, n, nullptr, 0);
    return l ? std::string(FileLineText(f, l), static_cast<size_t>(l->len)) : "<none>";
  }
  // The whole text of a file, or of the file a view shows, each line ended.
  static std::string Text(File* f) {
    std::string all;
    for (int32_t n = 1; n <= f->nLines; ++n) all += LineText(f, n) + "\n";
    return all;
  }
  static std::string Text(Edit* e) { return Text(e->file); }
  static void Key(Edit* e, uint32_t key, unsigned mods = 0, const std::string& text = "") {
    WEvent ev = WKeyEvent(key, mods, text);
    WSendEvent(e->text, ev);
  }
  static void Type(Edit* e, const std::string& s) {
    for (char c : s) Key(e, static_cast<unsigned char>(c), 0, std::string(1, c));
  }

  GUIApplication app;
  TempDir temps;
  TempDir files;
  std::vector<std::string> questions;
  std::vector<int> answers;
};

}  // namespace oetest
