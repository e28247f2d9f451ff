// Opening files in editor windows.
#pragma once

#include <cstdint>
#include <string>

#include "windlib/edit/edit.h"

class EditWindow;

// Opens a window on the file named `name` (or the record `file`) at `line`
// (below 1: the file's remembered line); a `colour` number that is not
// negative chooses the window's input-area shade. Returns the window's view,
// or none.
Edit* _NewEdit(const char* name, File* file, int32_t line, int mode, void* prs, int colour,
               bool isTag, int x, int y, int width, int height, WWindow* parent);
Edit* NewEdit(const char* name, int32_t line, int mode, void* prs, int colour);
Edit* NewEdit2(const char* name, int32_t line);
Edit* NewEditTag(const char* name, int32_t line, int mode, void* prs);
// The view itself, in `parent` (an editor window's client area, or a dialog).
Edit* EditCreate(WWindow* parent, int x, int y, int width, int height, const char* title,
                 File* file, void* prs, bool withMenuBar, bool readOnly, bool reuse);

// The File for a name the user typed: expanded and readable, or a listed
// file, or relative to the file `relativeTo`, else (after asking "Create new
// file named: %s") a new file. `found` is 0 when the name was found as a file.
File* EditFileSearch(const std::string& name, int* found, File* relativeTo);

// The directory the file chooser starts in.
const std::string& EditChooserDirectory();
void EditSetChooserDirectory(const std::string& dir);
// Asks for a file with the "Edit File" chooser; false when cancelled.
// The presets of file types (shipped in "file_types/extensions.udb") that
// the editor's choosers offer.
inline constexpr const char* kEditFilePreset = "EditFile";
inline constexpr const char* kSaveFilePreset = "SaveFile";
inline constexpr const char* kTagFilePreset = "TagFile";
inline constexpr const char* kConfigFilePreset = "ConfigFile";
bool EditChooseFile(const std::string& title, std::string* path, const std::string& preset = "");

// The window that later files are opened into when files open in new
// buffers; none until one is made.
EditWindow* EditBufferWindow();
