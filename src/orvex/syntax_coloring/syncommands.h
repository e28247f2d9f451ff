// What the editor sees of languages: the language of each file, chosen when
// the file joins the file list or takes a new name, and the SelectLanguage
// command that sets it by name.
#pragma once

// Loads the index on the first call and installs the language commands,
// the window's language menu and the colour check; with `reinit`, forgets
// every entry and loaded definition and reads it all again.
void syn_Init(bool reinit);
// Adds the language commands and starts following the file list; once.
void syn_InstallCommands();
