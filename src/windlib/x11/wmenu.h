// Menus as data: items with a label (an ampersand marks the mnemonic, "&&"
// is a literal ampersand), a shown accelerator text, an action, and
// optionally a submenu. Menu bars and pop-up menus show them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class WMenu;

struct WMenuItem {
  std::string label;
  std::string accelerator;  // shown right-aligned, such as "Ctrl+S"
  std::function<void()> action;
  std::shared_ptr<WMenu> submenu;
  bool separator = false;
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
};

class WMenu {
 public:
  explicit WMenu(std::string title = "") : title_(std::move(title)) {}
  const std::string& title() const { return title_; }
  WMenuItem& Add(const std::string& label, const std::string& accelerator,
                 std::function<void()> action);
  WMenuItem& AddSeparator();
  WMenuItem& AddSubmenu(const std::string& label, std::shared_ptr<WMenu> submenu);
  void Clear() { items_.clear(); }
  std::vector<WMenuItem>& items() { return items_; }
  const std::vector<WMenuItem>& items() const { return items_; }
  // The index of the enabled item whose mnemonic is `c` (any case), or -1.
  int FindMnemonic(char c) const;
  // `fn` runs each time the menu is about to be shown, to bring its items'
  // states (check marks) up to date.
  void SetOnOpen(std::function<void(WMenu&)> fn) { on_open_ = std::move(fn); }
  void Opening() {
    if (on_open_) on_open_(*this);
  }

 private:
  std::string title_;
  std::vector<WMenuItem> items_;
  std::function<void(WMenu&)> on_open_;
};

// The label as shown: ampersands removed ("&&" gives one).
std::string WMenuLabelText(const std::string& label);
// The mnemonic character in lower case, or 0; `position` receives its byte
// offset in the shown text.
char WMenuMnemonic(const std::string& label, size_t* position = nullptr);

// Reads an accelerator text such as "Ctrl+Shift+S" or "F3" into a key code
// and modifier bits; false when the key name is unknown.
bool WParseAccelerator(const std::string& text, uint32_t* key, unsigned* modifiers);
// True when a key press with `key` and `modifiers` is the accelerator `text`.
bool WAcceleratorMatches(const std::string& text, uint32_t key, unsigned modifiers);
