// An editing view: a text area with scroll bars and an optional selection
// margin, showing one File at a time and keeping a stack of the files it
// showed before. Several views may show one file; the file's `edits` field
// heads the chain of them, linked through `nextSame`.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "windlib/edit/editruns.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"
#include "windlib/x11/wscrollbar.h"
#include "windlib/x11/wtextarea.h"
#include "windlib/x11/wwindow.h"

class EditWindow;
struct _SearchAble;

// Selection modes: how a selection was made.
enum EditSelMode : int32_t { selChar = 0, selWord = 1, selLine = 2 };

// One selection of a view: number 0 is the primary (the caret is its
// moving end), number 1 the secondary.
struct EditSelection {
  int32_t start_line = 1, start_column = 0;  // first position
  int32_t end_line = 1, end_column = 0;      // after the last selected character
  int32_t anchor_line = 1, anchor_column = 0;
  int32_t mode = selChar;
  bool empty() const { return start_line == end_line && start_column == end_column; }
};

// One entry of a view's file stack.
struct EditPop {
  EditPop* next;          // next entry of the view's stack
  EditPop* nextSameFile;  // next entry on the same file (the file's `pops` chain)
  File* file;
  Edit* owner;  // the view whose stack holds the entry
  int32_t topLineNo;
  int32_t hScroll;  // first display column shown
  int32_t caretLine, caretColumn;
  uint8_t flags;  // 0x80: the view was read-only
};
constexpr uint8_t kPopReadOnly = 0x80;

// Background colour of a line: a colour, or -1 for none.
using EditColorGenerator = std::function<long(Edit* edit, int32_t lineNo)>;
// A view callback: (view, current file's name or none); 1 to agree.
using EditCallback = int (*)(Edit* edit, const char* fileName);

enum EditCallbackSet { ecbSaveRequest = 0, ecbSaveComplete, ecbCloseRequest, ecbCloseComplete };

// A view hears of its file's changes while it shows the file.
struct Edit : public WWindow, public FileObserver {
  Edit(WWindow* parent, File* file, bool readOnly, bool withMargin);
  ~Edit() override;

  File* file = nullptr;
  Line* topLine = nullptr;  // first line shown; valid while topLineEpoch is the file's
  int32_t topLineNo = 1;
  uint32_t topLineEpoch = 0;
  int32_t hScroll = 0;   // first display column shown
  EditSelection sel[2];  // primary and secondary
  int32_t caretLine = 1, caretColumn = 0;
  int32_t goalColumn = -1;  // display column kept by Up and Down; -1: none
  WTextArea* text = nullptr;
  WScrollBar* vScroll = nullptr;
  WScrollBar* hScrollBar = nullptr;
  WWindow* margin = nullptr;
  int marginWidth = 0;
  Edit* nextSame = nullptr;
  EditPop* pops = nullptr;
  std::shared_ptr<_SearchAble> searchState;  // made on first use (editsearch.h)
  void* prs = nullptr;                       // save parameters passed to saving
  EditColorGenerator colorGenerator;
  std::vector<TextRange> searchMatches;  // highlighted as search matches
  EditWindow* window = nullptr;          // the editor window, none when embedded
  int colorNotice = -1;                  // the view's colour-change notice

  // Flags.
  bool readOnlyView = false;
  bool embedded = false;
  bool closing = false;
  bool identifyMode = false;
  bool quoteNext = false;
  bool insertMode = false;
  bool overtype = false;
  bool continueSelRequest = false;
  bool dragSelection = false;  // button 1 went down inside the selection to drag it
  bool dragCopy = false;       // that drag copies rather than moves
  bool extendSelection = false;
  bool pointerBlanked = false;
  bool bellRung = false;
  bool followDisk = false;  // read-only follows the disk file's write permission
  bool noAutoCheckout = false;
  bool askedNotToCheck = false;

  std::vector<EditCallback> callbacks[4];
  int (*customHandler)(Edit* edit, const char* args) = nullptr;  // the "Custom" command
  unsigned locationMask = 1;                                     // set by AlterLocation

  // Status line memory: what was shown last.
  int32_t shownLine = -1, shownColumn = -1, shownLines = -1;
  int shownModified = -1;
  std::string message;

  // Without a display: the runs each row was last drawn with, by row.
  struct DrawnRow {
    int32_t lineNo = 0;  // 0: not drawn yet
    std::vector<EditRun> runs;
  };
  std::vector<DrawnRow> drawnRows;

  // The first line shown (found again when records were removed meanwhile);
  // the hint for every line look-up of the view.
  Line* TopLine();
  // Makes line n the top line, found from `hint` (line number hintNo).
  void SetTopLine(int32_t n, Line* hint, int32_t hintNo);

  // ---- Geometry of the text ----
  int lineHeight() const;
  int charWidth() const;
  int rows() const;      // text rows that fit (a partly shown one counts)
  int fullRows() const;  // rows shown whole
  int columns() const;

  // ---- Display ----
  // Redraws rows for lines from..to (inclusive; to -1 the rest of the view).
  void RedrawLines(int32_t from, int32_t to);
  void RedrawAll();
  // Takes the colours of the colour list and the window's shade, and redraws.
  void ApplyColors();
  void UpdateScrollBars();
  void PlaceCaret();
  // Scrolls so that the caret is in view.
  void ShowCaret();
  // Makes `lineNo` the top line (clamped) and redraws.
  void ScrollTo(int32_t lineNo);
  // Follows a change in the file (from the file layer's notification).
  void FileChanged(int32_t from, int32_t to, int32_t delta, Line* fromLine, bool ours);

  void Layout() override;
  void PreferredSize(int* w, int* h) const override;

  // ---- What the view hears of its file (editviews.cc) ----
  void FileTextChanged(File* f, const FileChangeEvent& e) override;
  void FileUndoSelection(File* f, const TextRange& selection, bool redo) override;
  void FileReloaded(File* f) override;
  void FileModifiedChanged(File* f) override;
  void FileTitleChanged(File* f, const void* onlyView) override;
  void FileMessage(File* f, const char* text) override;
  void FileRedraw(File* f) override;
  void FileContentsGone(File* f) override;

 private:
  void PaintText(WPainter& p);
  void DrawRow(WPainter& p, int row, Line* line, int32_t lineNo);
  bool TextEvent(WEvent& e);
};

// The view that the command being run belongs to (its changes keep their
// caret in sight), or none.
extern Edit* EditActive;

// ---- Positions and lines of a view's file ----
// Line `n` of the view's file, found from the top line.
Line* EditLineAt(Edit* edit, int32_t n);
// The display column of a position (bytes past the line end count one
// cell each).
DisplayCol EditDisplayCol(Edit* edit, TextPos pos);
// The byte column in line `lineNo` at display column `dcol`; `side` chooses
// inside a cell wider than one (a tab, an escape).
int32_t EditByteAt(Edit* edit, int32_t lineNo, DisplayCol dcol, GeomSide side);
// The same in plain numbers: the display column of character `col`, and the
// character at display column `dcol` (the nearer edge of a wide cell).
int32_t EditDisplayColumn(Edit* edit, int32_t lineNo, int32_t col);
int32_t EditColumnFromDisplay(Edit* edit, int32_t lineNo, int32_t dcol);
int32_t EditLineLength(Edit* edit, int32_t lineNo);
// Steps over whole characters of line `lineNo`: the byte column after the
// character at `col`, and the one at which the character before `col`
// starts (one byte each when the file is read as bytes).
int32_t EditNextChar(Edit* edit, int32_t lineNo, int32_t col);
int32_t EditPrevChar(Edit* edit, int32_t lineNo, int32_t col);

// ---- Selection and caret ----
// Moves the caret; with `extend` the primary selection runs from the anchor
// to the new caret, else it is empty at the caret.
void EditMoveCaret(Edit* edit, int32_t line, int32_t col, bool extend);
// Sets the primary selection from (l1, c1) to (l2, c2) with the caret at the end.
void EditSetSelection(Edit* edit, int32_t l1, int32_t c1, int32_t l2, int32_t c2,
                      int32_t mode = selChar);
void EditSelectionNone(Edit* edit);
// The primary (0) or secondary (1) selection as a range.
TextRange EditSelectionRange(const Edit* edit, int which = 0);
// The selection an undo or redo of `file` restores afterwards: the one of
// the file's message view (or of its first view).
TextRange EditUndoSelection(File* file);
// The text of the primary (0) or secondary (1) selection.
std::string EditSelectionText(Edit* edit, int which = 0);
// The same into `text`, asking `cancelled` (when given) every
// kEditCancelCheckLines lines: false, with no text, when it says yes.
constexpr int32_t kEditCancelCheckLines = 10000;
bool EditSelectionText(Edit* edit, int which, const std::function<bool()>& cancelled,
                       std::string* text);
// Replaces the ranges highlighted as search matches and redraws the lines
// that gain or lose a highlight.
void EditSetSearchMatches(Edit* edit, std::vector<TextRange> matches);

// ---- Messages and titles ----
void EditSetMsg(Edit* edit, const char* text, bool ring = false, int flag = 0);
// A message as the status line shows it: tabs and control bytes expanded
// by the rule the text is drawn with.
std::string EditMessageCells(const std::string& text);
void vUpdateTitle(Edit* edit, bool withLineCol);

// ---- Callbacks ----
void EditAddCallback(Edit* edit, int set, EditCallback fn);
void EditRemoveCallback(Edit* edit, int set, EditCallback fn);
bool EditDispatchCallback(Edit* edit, int set);

// ---- Views of files ----
Edit* Edit_GetEditorFromFile(File* file, Edit* except);
bool FileUsedElsewhere(File* file, Edit* edit);
std::vector<std::string> EditGetFileNameList(Edit* edit);
// Every view of every file, for broadcasts.
std::vector<Edit*> EditAllViews();

// Installs the file layer's notifications (once).
void EditInit();
