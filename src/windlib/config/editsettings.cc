#include "windlib/config/editsettings.h"

int cfgTabSize;
int cfgEditIndent;
int cfgAdaIndentSize;
int cfgAdaContinuationSize;
int cfgWrapColumn;
int cfgWrapIndent;
bool vfWordWrap;
bool vfExactCase;
int cfgEditIncrFrequency;
bool vfEditorBackups;
bool vfTabsAreSpaces;
bool vfOpenFilesInNewBuffers;
std::string cfgTempFileDir;
bool cfgScrollLocationLeft;
bool cfgScrollHLocationTop;
int cfgEditSomeSize;
bool vfAllowOvertypeMode;
bool vfBlankPointerWhileTyping;
bool vfAllowMiddleClick;
int cfgIgnoreMotion;
bool vfSelectionMargin;

void EditSettingsToDefaults() {
  cfgTabSize = 8;
  cfgEditIndent = 4;
  cfgAdaIndentSize = 3;
  cfgAdaContinuationSize = 2;
  cfgWrapColumn = 79;
  cfgWrapIndent = 2;
  vfWordWrap = false;
  vfExactCase = false;
  cfgEditIncrFrequency = 120;
  vfEditorBackups = false;
  vfTabsAreSpaces = false;
  vfOpenFilesInNewBuffers = false;
  cfgTempFileDir.clear();
  cfgScrollLocationLeft = true;
  cfgScrollHLocationTop = false;
  cfgEditSomeSize = 5;
  vfAllowOvertypeMode = true;
  vfBlankPointerWhileTyping = false;
  vfAllowMiddleClick = true;
  cfgIgnoreMotion = 4;
  vfSelectionMargin = false;
}

namespace {
// The defaults hold from the start, before any configuration is read.
struct DefaultsAtStart {
  DefaultsAtStart() { EditSettingsToDefaults(); }
} defaults_at_start;
}  // namespace
