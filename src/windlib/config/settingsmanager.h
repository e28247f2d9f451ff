// The settings manager: remembered state (window positions and the like)
// kept in the attribute-tree file "orvexsettings.odb" in the user
// configuration directory. One instance, made on first use, read then and
// written back (atomically, by rename) when it is destroyed at exit.
//
// Keys are printf-style formats. After formatting, every character other
// than ":" and ASCII letters and digits becomes "_"; ":" separates the
// levels of the tree and, for values, the last part is the attribute name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shared/libcxxutil/ut_options_database.h"

// "rememberwindowpositions": windows reopen where they were.
extern bool vfRememberWindowPositions;

// A window's place on the display, in pixels.
struct SmRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const SmRect&) const = default;
};

// What the settings manager needs of a window to save and restore its
// place; the window layer supplies it, so this layer needs no display.
class SmWindow {
 public:
  virtual ~SmWindow() = default;
  virtual SmRect geometry() const = 0;
  // The parent window's geometry; false when the window has no parent.
  virtual bool parentGeometry(SmRect* parent) const = 0;
  virtual void setGeometry(const SmRect& r) = 0;
  // The area the window must fit into.
  virtual SmRect displayGeometry() const = 0;
  // The geometries of the application's other windows.
  virtual std::vector<SmRect> otherWindowGeometries() const = 0;
};

class SettingsManager {
 public:
  static constexpr const char* kFileName = "orvexsettings.odb";
  static constexpr const char* kPositionsNode = "WindowPositionsTree";
  // How far a restored window moves while it would cover another exactly.
  static constexpr int kCascadeStep = 30;

  // The one instance, made (and the file read) on first use.
  static SettingsManager* get();
  // Writes the file and destroys the instance; the next get() makes a new
  // one. Runs at exit.
  static void destroy();

  bool hasValue(const char* key, ...) __attribute__((format(printf, 2, 3)));
  bool hasGroup(const char* key, ...) __attribute__((format(printf, 2, 3)));
  void removeGroup(const char* key, ...) __attribute__((format(printf, 2, 3)));
  bool getValueAsBool(bool default_value, const char* key, ...)
      __attribute__((format(printf, 3, 4)));
  int32_t getValueAsInt32(int32_t default_value, const char* key, ...)
      __attribute__((format(printf, 3, 4)));
  // A copy of the str value, else of the default (none gives "").
  std::string getValueAsStr(const char* default_value, const char* key, ...)
      __attribute__((format(printf, 3, 4)));
  void setValue(const char* text, const char* key, ...) __attribute__((format(printf, 3, 4)));
  void setValue(int32_t number, const char* key, ...) __attribute__((format(printf, 3, 4)));

  void saveWindowPosition(const SmWindow& window, const char* key, ...)
      __attribute__((format(printf, 3, 4)));
  // Moves the window to the place saved under the key (or below it); false
  // when nothing is saved there, and the window is left alone.
  bool loadWindowPosition(SmWindow& window, const char* key, ...)
      __attribute__((format(printf, 3, 4)));

  // The settings file's path; empty when there is no user directory.
  const std::string& path() const { return path_; }
  // Writes the tree to the settings file now; true on success.
  bool write();
  const ut_options_database& tree() const { return db_; }

  // Called after the new text is in the temporary file and before it
  // replaces the settings file, with the temporary file's path (tests).
  static void (*beforeReplaceHook)(const char* temporary_path);

 private:
  SettingsManager();
  ~SettingsManager();
  friend struct std::default_delete<SettingsManager>;

  ut_options_database db_;
  std::string path_;
  bool loaded_ = false;  // false under dashRunFixes: then nothing is written either
  bool dirty_ = false;
};

// The key text after formatting and mangling, split at ":" (empty parts
// dropped).
std::vector<std::string> SmKeyLevels(const std::string& formatted);
