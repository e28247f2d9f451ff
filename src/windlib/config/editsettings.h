// The editor settings that the file and window layers read. Each is the
// variable of a configuration option (configtables.cc), which gives its
// default and range.
#pragma once

#include <string>

extern int cfgTabSize;                // "tabsize": columns per tab stop; 0: tabs are not written
extern int cfgEditIndent;             // "editindent": columns per indentation level
extern int cfgAdaIndentSize;          // "adaindentsize"
extern int cfgAdaContinuationSize;    // "adacontinuationsize"
extern int cfgWrapColumn;             // "wrapcolumn"
extern int cfgFillParagraphColumn;    // "fillparagraphcolumn"
extern int cfgWrapIndent;             // "wrapindent"
extern bool vfWordWrap;               // "wordwrap"
extern bool vfExactCase;              // "exactcase": searches match case exactly by default
extern int cfgEditWidth;              // "editwidth": columns of a new window; below 1: 80
extern int cfgEditHeight;             // "editheight": lines of a new window; below 1: 32
extern int cfgEditIncrFrequency;      // "editincrfrequency": seconds between journal writes
extern bool vfEditorBackups;          // "editorbackups"
extern bool vfTabsAreSpaces;          // "tabsarespaces"
extern bool vfUtf8;                   // "utf8": text is read as UTF-8 characters, not bytes
extern bool vfShowProgress;           // "showprogress": long operations say how to cancel
extern bool vfDragAndDrop;            // "draganddrop": the mouse drags the selection
extern bool vfOpenFilesInNewBuffers;  // "openfilesinnewbuffers"
extern std::string cfgTempFileDir;    // "tempFileDir": directory of temporary copies
extern int cfgScrollLocation;         // "scrolllocation": vertical scroll bars 0 left, 1 right
extern int cfgScrollHLocation;        // "scrollhlocation": horizontal scroll bars 0 top, 1 bottom
extern int cfgScrollBarWidth;         // "scrollbarwidth": pixels
extern int cfgEditSomeSize;           // "editsomesize": lines or characters moved by UpSome ...
extern bool vfAllowOvertypeMode;      // "allowovertypemode": the Insert key toggles overtype
extern bool vfBlankPointerWhileTyping;
extern bool vfAllowMiddleClick;      // "allowmiddleclick": the middle button selects and pastes
extern int cfgIgnoreMotion;          // "ignoremotion": pixels a click may move
extern std::string cfgFont;          // "font": the text font; none: the default
extern std::string cfgButtonFont;    // "buttonfont": the font of menus and buttons
extern bool vfBlinkingCursor;        // "blinkingcursor": the caret blinks
extern int cfgSelectionMarginWidth;  // "SelectionMarginWidth": pixels; 0: views have no margin

// Settings of the incremental search that no configuration option sets.
extern bool vfSmartCase;       // ignoring case holds only for a string without capitals
extern bool vfReturnOnEscape;  // Escape ends the search as ReturnISearch does

// Puts every configuration option, these settings among them, back to its
// default.
void EditSettingsToDefaults();
