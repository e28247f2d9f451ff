#include "orvex/syntax_coloring/synmenu.h"

#include <map>
#include <vector>

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
                                        std::function<const synLanguage*()> current) {
  auto menu = std::make_shared<WMenu>("Language");
  // The entry name of each item of each menu, by item index ("" for a
  // submenu item).
  std::map<std::shared_ptr<WMenu>, std::vector<std::string>> names;
  auto add = [&](const std::shared_ptr<WMenu>& m, const synLanguageAbs& e) {
    const std::string name = e.name;
    WMenuItem& item = m->Add(label_of(e.description), "", [select, name] { select(name); });
    item.checkable = true;
    std::vector<std::string>& of_menu = names[m];
    of_menu.resize(m->items().size() - 1);
    of_menu.push_back(name);
  };
  std::map<std::string, std::shared_ptr<WMenu>> submenus;
  std::shared_ptr<WMenu> hidden;
  for (const auto& e : syn_Entries()) {
    if (e->special && e->id != 0) {
      hidden = std::make_shared<WMenu>(e->name);
      continue;
    }
    if (e->hide) continue;  // placed once the hidden submenu is known
    std::shared_ptr<WMenu> target = menu;
    if (!e->submenu.empty()) {
      auto& sub = submenus[e->submenu];
      if (!sub) {
        sub = std::make_shared<WMenu>(e->submenu);
        menu->AddSubmenu(label_of(e->submenu), sub);
      }
      target = sub;
    }
    add(target, *e);
  }
  if (hidden) {
    for (const auto& e : syn_Entries())
      if (e->hide) add(hidden, *e);
    menu->AddSubmenu(label_of(hidden->title()), hidden);
  }
  // Entries are looked up by name when the menu opens: the index may have
  // been read again since the menu was made.
  for (auto& [m, of_menu] : names) {
    auto check = [of_menu, current](WMenu& shown) {
      const synLanguage* now = current ? current() : nullptr;
      for (size_t i = 0; i < of_menu.size() && i < shown.items().size(); ++i) {
        if (of_menu[i].empty()) continue;
        const synLanguageAbs* e = syn_FindEntry(of_menu[i]);
        shown.items()[i].checked = now && e && e->language && e->language.get() == now;
      }
    };
    check(*m);
    m->SetOnOpen(check);
  }
  return menu;
}

std::shared_ptr<WMenu> syn_LanguageMenu(std::function<void(const std::string&)> select,
                                        const synLanguage* current) {
  return syn_LanguageMenu(std::move(select), [current] { return current; });
}
