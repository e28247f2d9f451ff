// The language menu, built from the index: "None" and the listed languages
// (in their submenus when the index names one), then the hidden languages
// under one further submenu.
#pragma once

#include <functional>
#include <memory>
#include <string>

class WMenu;
class synLanguage;

// `select` receives the language name of the chosen item; the item of
// `current` is checked.
std::shared_ptr<WMenu> syn_LanguageMenu(std::function<void(const std::string&)> select,
                                        const synLanguage* current);
// The same, the checked item being that of the language `current` gives
// each time the menu (or one of its submenus) opens.
std::shared_ptr<WMenu> syn_LanguageMenu(std::function<void(const std::string&)> select,
                                        std::function<const synLanguage*()> current);
