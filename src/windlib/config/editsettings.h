// The editor settings that the file and window layers read, with their
// defaults. The configuration option tables refer to these variables.
#pragma once

#include <string>

extern int cfgTabSize;              // "tabsize": columns per tab stop; 0: tabs are not written
extern int cfgEditIndent;           // "editindent": columns per indentation level
extern int cfgAdaIndentSize;        // "adaindentsize"
extern int cfgAdaContinuationSize;  // "adacontinuationsize"
extern int cfgWrapColumn;           // "wrapcolumn"
extern int cfgWrapIndent;           // "wrapindent"
extern bool vfWordWrap;             // "wordwrap"
extern bool vfExactCase;            // "exactcase": searches match case exactly by default
extern int cfgEditIncrFrequency;    // "editincrfrequency": seconds between journal writes
extern bool vfEditorBackups;        // "editorbackups"
extern bool vfTabsAreSpaces;        // "tabsarespaces"
extern bool vfOpenFilesInNewBuffers;
extern std::string cfgTempFileDir;  // "tempFileDir": directory of temporary copies
extern bool cfgScrollLocationLeft;  // "scrolllocation": vertical scroll bars on the left
extern bool cfgScrollHLocationTop;  // "scrollhlocation": horizontal scroll bars on top
extern int cfgEditSomeSize;         // "editsomesize": lines or characters moved by UpSome ...
extern bool vfAllowOvertypeMode;    // the Insert key may toggle overtype
extern bool vfBlankPointerWhileTyping;
extern bool vfAllowMiddleClick;  // "middle-button selection"
extern int cfgIgnoreMotion;      // "ignoremotion": pixels a click may move
extern bool vfSelectionMargin;   // views get a selection margin

// Restores every setting above to its default.
void EditSettingsToDefaults();
