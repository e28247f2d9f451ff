// Commands that the default bindings and menus name but whose features are
// not built yet. They are not in any command table; when one is run, the
// status line says which feature is missing instead of "Unknown command".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The feature a planned command belongs to ("Search"), or none when the
// command is not a planned one.
const char* EditPlannedFeature(std::string_view command);
// The message for running a planned command: "Search is not available yet".
std::string EditPlannedMessage(std::string_view command);
// Every planned command with its feature, in a fixed order.
const std::vector<std::pair<std::string, std::string>>& EditPlannedCommands();
