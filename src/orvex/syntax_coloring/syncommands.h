// What the editor sees of languages: the language of each file, chosen when
// the file joins the file list or takes a new name, and the SelectLanguage
// command that sets it by name.
#pragma once

struct File;

// Adds the language commands and starts following the file list; once.
void syn_InstallCommands();
// Chooses the language of every file again (after the index was reread).
void syn_RechooseAllFiles();
// Chooses the language of one file from its name and first line.
void syn_ChooseFileLanguage(File* f);
