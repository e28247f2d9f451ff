#include "orvex/syntax_coloring/synmenu.h"

#include <map>

#include "orvex/syntax_coloring/synindex.h"
#include "windlib/x11/wmenu.h"

namespace {
// A description as a menu label: ampersands are literal.
std::string label_of(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}
}  // namespace

std::shared_ptr<WMenu> syn_LanguageMenu(std::function<void(const std::string&)> select,
                                        const synLanguage* current) {
  auto menu = std::make_shared<WMenu>("Language");
  std::map<std::string, std::shared_ptr<WMenu>> submenus;
  std::shared_ptr<WMenu> hidden;
  for (const auto& e : syn_Entries()) {
    if (e->special && e->id != 0) {
      hidden = std::make_shared<WMenu>(e->name);
      continue;
    }
    std::shared_ptr<WMenu> target = menu;
    if (e->hide) {
      target = nullptr;  // placed once the hidden submenu is known
    } else if (!e->submenu.empty()) {
      auto& sub = submenus[e->submenu];
      if (!sub) {
        sub = std::make_shared<WMenu>(e->submenu);
        menu->AddSubmenu(label_of(e->submenu), sub);
      }
      target = sub;
    }
    const std::string name = e->name;
    auto add = [&](WMenu& m) {
      WMenuItem& item = m.Add(label_of(e->description), "", [select, name] { select(name); });
      item.checkable = true;
      item.checked = current && e->language && e->language.get() == current;
    };
    if (target) add(*target);
  }
  if (hidden) {
    for (const auto& e : syn_Entries()) {
      if (!e->hide) continue;
      const std::string name = e->name;
      WMenuItem& item = hidden->Add(label_of(e->description), "", [select, name] { select(name); });
      item.checkable = true;
      item.checked = current && e->language && e->language.get() == current;
    }
    menu->AddSubmenu(label_of(hidden->title()), hidden);
  }
  return menu;
}
