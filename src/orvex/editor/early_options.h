// Pass 1 over the command line: the switch files and the early options,
// removed from argv as they are consumed.
#pragma once

#include <string>

#include "orvex/editor/startup_state.h"

int init_prior_to_gui(int* argc, char** argv, StartupState& state);

// Reads one switch file: "name-or-number value" per line, '#' comments.
// Returns false when the file does not exist.
bool ReadSwitchFile(const std::string& path);
// Turns off the switches that need the service router when it is off.
void ConstrainXSwitches();
