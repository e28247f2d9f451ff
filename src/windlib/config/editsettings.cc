#include "windlib/config/editsettings.h"

#include "windlib/config/configoptions.h"

int cfgTabSize;
int cfgEditIndent;
int cfgAdaIndentSize;
int cfgAdaContinuationSize;
int cfgWrapColumn;
int cfgFillParagraphColumn;
int cfgWrapIndent;
bool vfWordWrap;
bool vfExactCase;
bool vfSmartCase;
bool vfReturnOnEscape;
int cfgEditWidth;
int cfgEditHeight;
int cfgEditIncrFrequency;
bool vfEditorBackups;
bool vfTabsAreSpaces;
bool vfDragAndDrop;
bool vfShowProgress;
bool vfUtf8;
bool vfOpenFilesInNewBuffers;
std::string cfgTempFileDir;
int cfgScrollLocation;
int cfgScrollHLocation;
int cfgScrollBarWidth;
int cfgEditSomeSize;
bool vfAllowOvertypeMode;
bool vfBlankPointerWhileTyping;
bool vfAllowMiddleClick;
int cfgIgnoreMotion;
std::string cfgFont;
std::string cfgButtonFont;
bool vfBlinkingCursor;
int cfgSelectionMarginWidth;

void EditSettingsToDefaults() {
  cfg_ResetAllOptions();
  vfBlankPointerWhileTyping = false;
  vfSmartCase = false;
  vfReturnOnEscape = false;
}

namespace {
// The defaults hold from the start, before any configuration is read.
struct DefaultsAtStart {
  DefaultsAtStart() { EditSettingsToDefaults(); }
} defaults_at_start;
}  // namespace
