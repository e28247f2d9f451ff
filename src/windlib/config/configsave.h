// Saving the configuration: the current values as configuration text,
// remembering and comparing them at a configuration level, the question
// at exit, and writing the user's default configuration file.
#pragma once

#include <string>

#include "windlib/config/configoptions.h"

// The tool whose user file the configuration is saved to ("oe" for the
// stand-alone editor).
extern const char* cfg_ToolName;
// Set when a configuration command read a file other than the start-up
// ones: saving everything would then mask that file's later changes.
extern bool cfg_ConfigFromOtherFile;

// The option's current value as configuration text: "true"/"false",
// decimal, the stored name of a choice, the text of strings and colours,
// "WxH" for sizes.
std::string cfg_ConvertToString(_ConfigOption* option);
// Records every option's current value at `level`.
void cfg_RememberCurrentSettings(int level);
// The number of options whose value differs from the one remembered at
// `level` (options never remembered there do not count).
int cfg_CompareToCurrentSettings(int level);
// At exit: when something changed since level 2, asks "Save changes to
// default configuration?", saves without asking, or does nothing, as
// configsavemode says. Returns 1 (the exit goes on).
int cfg_AskSaveConfig();

// The whole configuration as the lines of a configuration file that sets
// every option back to its current value.
std::string cfg_ConfigurationText();
// Writes cfg_ConfigurationText() to `path`; false (reported) when it fails.
bool cfg_WriteConfigurationFile(const std::string& path);
// Writes the whole configuration to the user file for `tool` after the
// warnings and confirmations; remembers level 2 once written. 1 when
// saved, 0 when cancelled or failed.
int SaveAsDefaultConfig(const char* tool);
// Reads a configuration file as the configure command does (its lines are
// not from a start-up file): 1 when read, 0 when it cannot be opened
// (the caller says "Can't open file: %s"), -1 when reading stopped at too
// many errors (reported).
int cfg_ConfigureFromFile(const std::string& path);
// Puts every option back to its default (remembered values stay, so the
// change counts as one to save).
void cfg_SetAllToDefaults();
