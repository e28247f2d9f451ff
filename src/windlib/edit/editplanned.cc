#include "windlib/edit/editplanned.h"

#include <strings.h>

namespace {
struct Group {
  const char* feature;
  std::vector<const char*> commands;
};

// Drop a command from here in the change that builds it; a test checks that
// no name here resolves and that every bound name either resolves or is
// here.
const Group kGroups[] = {
    {"Commenting blocks", {"CommentBlock", "UnCommentBlock"}},
    {"Auto-completion",
     {"AutoCompleteList", "AutoCompletePrototypeList", "NextAutoCompleteString",
      "PrevAutoCompleteString", "MoveToEndOfSelectionAndUnselect"}},
    {"Tags", {"SpecialTag"}},
    {"Version control", {"AllowAutoCheckout", "ShowHistory", "ShowLastEdit"}},
    {"The settings dialog", {"EditorFlags"}},
    {"The error view", {"ToggleErrorView"}},
    {"The context menu", {"ShowContextMenu"}},
    {"The notepad", {"Notepad"}},
    {"Help pages", {"HELP"}},
};
}  // namespace

const char* EditPlannedFeature(std::string_view command) {
  for (const Group& g : kGroups)
    for (const char* c : g.commands)
      if (command.size() == std::char_traits<char>::length(c) &&
          strncasecmp(c, command.data(), command.size()) == 0)
        return g.feature;
  return nullptr;
}

std::string EditPlannedMessage(std::string_view command) {
  const char* feature = EditPlannedFeature(command);
  return feature ? std::string(feature) + " is not available yet" : std::string();
}

const std::vector<std::pair<std::string, std::string>>& EditPlannedCommands() {
  static const auto all = [] {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Group& g : kGroups)
      for (const char* c : g.commands) out.emplace_back(c, g.feature);
    return out;
  }();
  return all;
}
