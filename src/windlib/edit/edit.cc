// The view: construction, layout, and drawing of its text.
#include "windlib/edit/edit.h"

#include <algorithm>
#include <cstring>

#include "shared/indgen/indgen.h"
#include "windlib/config/editsettings.h"
#include "windlib/edit/editcolors.h"
#include "windlib/edit/editfile.h"
#include "windlib/edit/editinput.h"
#include "windlib/handles.h"
#include "windlib/wdisplay.h"
#include "windlib/x11/wcolorshades.h"
#include "windlib/x11/wcolortable.h"
#include "windlib/x11/wfont.h"

Edit* EditActive = nullptr;

Edit::Edit(WWindow* parent, File* f, bool readOnly, bool withMargin) : WWindow(parent) {
  readOnlyView = readOnly;
  SetBackground(EditBackground());
  vScroll = new WScrollBar(this, WScrollBar::Vertical);
  hScrollBar = new WScrollBar(this, WScrollBar::Horizontal);
  text = new WTextArea(this);
  text->SetBackground(WInputAreaBackground(this));
  text->SetFocusable(true);
  text->SetCaretBlink(EditCaretBlinkMs());
  text->SetPointerShape(WPointerShape::Text);
  text->SetPaintHandler([this](WTextArea*, WPainter& p) { PaintText(p); });
  text->SetEventHandler([this](WTextArea*, WEvent& e) { return TextEvent(e); });
  if (withMargin) {
    margin = new WWindow(this);
    marginWidth = cfgSelectionMarginWidth;
    margin->SetBackground(EditMarginBackground());
  }
  colorNotice = ColorManager::RegisterNotification(this, [](void* view, WWindow* changed, int) {
    Edit* e = static_cast<Edit*>(view);
    // A change for one window concerns only the views inside it.
    for (WWindow* w = e; w; w = w->parent())
      if (!changed || w == changed) return e->ApplyColors();
  });
  vScroll->SetOnChange([this](long value) {
    int h = lineHeight();
    ScrollTo(static_cast<int32_t>(value / (h > 0 ? h : 1)) + 1);
  });
  hScrollBar->SetOnChange([this](long value) {
    int w = charWidth();
    int32_t col = static_cast<int32_t>(value / (w > 0 ? w : 1));
    if (col != hScroll) {
      hScroll = col;
      RedrawAll();
    }
  });
  if (f) EditAttach(this, f, 1);
}

Edit::~Edit() {
  ColorManager::UnregisterNotification(colorNotice);
  MHandleDie(this);
  if (EditActive == this) EditActive = nullptr;
  EditDetach(this);
  EditFreePops(this);
}

int Edit::lineHeight() const {
  return text->lineHeight();
}
int Edit::charWidth() const {
  return text->charWidth();
}
int Edit::rows() const {
  return std::max(1, text->rows());
}
int Edit::fullRows() const {
  int h = lineHeight();
  return std::max(1, h > 0 ? text->height() / h : 1);
}
int Edit::columns() const {
  return std::max(1, text->columns());
}

void Edit::PreferredSize(int* w, int* h) const {
  const int columns = cfgEditWidth > 0 ? cfgEditWidth : 80;
  const int lines = cfgEditHeight > 0 ? cfgEditHeight : 32;
  *w = columns * text->charWidth() + WScrollBar::Thickness() + marginWidth;
  *h = lines * text->lineHeight() + WScrollBar::Thickness();
}

void Edit::Layout() {
  const int bar = WScrollBar::Thickness();
  const int w = width(), h = height();
  const bool bars_left = EditScrollBarsLeft();
  const bool hbar_top = EditHScrollBarTop();
  int text_x = bars_left ? bar : 0;
  int text_y = hbar_top ? bar : 0;
  int text_w = std::max(1, w - bar - marginWidth);
  int text_h = std::max(1, h - bar);
  vScroll->SetGeometry(WRect{bars_left ? 0 : w - bar, text_y, bar, text_h});
  hScrollBar->SetGeometry(WRect{text_x, hbar_top ? 0 : h - bar, w - bar, bar});
  if (margin) {
    margin->SetGeometry(WRect{text_x, text_y, marginWidth, text_h});
    text_x += marginWidth;
  }
  text->SetGeometry(WRect{text_x, text_y, text_w, text_h});
  UpdateScrollBars();
  text->Invalidate();
}

void Edit::UpdateScrollBars() {
  if (!file) return;
  const int lh = lineHeight();
  vScroll->SetStep(lh);
  vScroll->SetRange(static_cast<long>(file->nLines + 1) * lh, static_cast<long>(fullRows()) * lh);
  vScroll->SetValue(static_cast<long>(topLineNo - 1) * lh);
  const int cw = charWidth();
  hScrollBar->SetStep(cw);
  hScrollBar->SetRange(static_cast<long>(std::max(file->maxWidth, 1) + 1) * cw,
                       static_cast<long>(columns()) * cw);
  hScrollBar->SetValue(static_cast<long>(hScroll) * cw);
}

void Edit::RedrawAll() {
  text->Invalidate();
  PlaceCaret();
}

void Edit::ApplyColors() {
  SetBackground(EditBackground());
  text->SetBackground(WInputAreaBackground(this));
  if (margin) {
    margin->SetBackground(EditMarginBackground());
    margin->Invalidate();
  }
  Invalidate();
  RedrawAll();
}

void Edit::RedrawLines(int32_t from, int32_t to) {
  int32_t first_row = from - topLineNo;
  int32_t last_row = to < 0 ? rows() - 1 : to - topLineNo;
  first_row = std::max(first_row, 0);
  last_row = std::min(last_row, rows() - 1);
  if (first_row > last_row) return;
  const int lh = lineHeight();
  text->Invalidate(WRect{0, first_row * lh, text->width(), (last_row - first_row + 1) * lh});
}

void Edit::PaintText(WPainter& p) {
  if (!file) {
    p.FillRect(p.clip(), text->background());
    return;
  }
  const int lh = lineHeight();
  int first = std::max(0, p.clip().y / std::max(lh, 1));
  int last = std::min(rows() - 1, (p.clip().bottom() - 1) / std::max(lh, 1));
  Line* l = EditLineAt(this, topLineNo + first);
  for (int row = first; row <= last; ++row) {
    DrawRow(p, row, l, topLineNo + row);
    if (l) l = l->next;
  }
  // Below the text: nothing.
  int used = (last + 1) * lh;
  if (used < p.clip().bottom())
    p.FillRect(WRect{0, used, text->width(), p.clip().bottom() - used}, text->background());
}

void Edit::DrawRow(WPainter& p, int row, Line* line, int32_t lineNo) {
  const int lh = lineHeight(), cw = charWidth();
  const int y = row * lh;
  long line_bg = colorGenerator ? colorGenerator(this, lineNo) : -1;
  const WColor bg = line_bg >= 0 ? static_cast<WColor>(line_bg) : text->background();
  DrawnRow* drawn = nullptr;
  if (!wDisplayActive) {
    if (drawnRows.size() <= static_cast<size_t>(row))
      drawnRows.resize(static_cast<size_t>(row) + 1);
    drawn = &drawnRows[static_cast<size_t>(row)];
    drawn->lineNo = lineNo;
    drawn->runs.clear();
  }
  if (!line) {
    p.FillRect(WRect{0, y, text->width(), lh}, bg);
    return;
  }
  const DisplayCol first(hScroll), last = first + columns();
  static GeomCells cells;
  static std::vector<EditRun> runs;
  GeomLineCells(FileLineText(file, line), line->len, last, GeomDisplayRule(file), &cells);
  EditRowLayers layers;
  layers.lineNo = lineNo;
  layers.lineLen = line->len;
  layers.background = bg;
  layers.primary = EditSelectionRange(this, 0);
  layers.secondary = EditSelectionRange(this, 1);
  layers.matches = &searchMatches;
  static std::vector<EditColorSpan> syntax;
  syntax.clear();
  if (EditSyntaxSpansHook) EditSyntaxSpansHook(file, line, lineNo, &syntax);
  layers.syntax = &syntax;
  EditBuildRuns(cells, layers, first, last, &runs);
  // After the last run (or from the line's end) the line's background.
  int x = (std::max(cells.count(), hScroll) - hScroll) * cw;
  for (const EditRun& run : runs) {
    const int rx = (run.start - first) * cw;
    const int n = run.width;
    if (run.lineEnd && run.style.attrs == 0)
      p.FillRect(WRect{rx, y, n * cw, lh}, run.style.bg);
    else
      p.Cells(rx, y, run.cells, n, run.style, text->font());
    x = std::max(x, rx + n * cw);
  }
  if (x < text->width()) p.FillRect(WRect{x, y, text->width() - x, lh}, bg);
  if (drawn) drawn->runs.swap(runs);  // the row's old runs are reused for the next row
}

void Edit::PlaceCaret() {
  if (!file) return;
  int32_t row = caretLine - topLineNo;
  int32_t dcol = EditDisplayCol(this, TextPos{caretLine, caretColumn}).v - hScroll;
  bool visible = row >= 0 && row < rows() && dcol >= 0 && !closing;
  text->SetCaretCell(std::max(dcol, 0), std::max(row, 0), visible,
                     overtype ? WTextArea::CaretShape::Block : WTextArea::CaretShape::Bar);
}

void Edit::ScrollTo(int32_t lineNo) {
  if (!file) return;
  int32_t max_top = std::max(1, file->nLines + 1 - fullRows() + 1);
  lineNo = std::clamp(lineNo, 1, std::max(1, max_top));
  if (lineNo == topLineNo && TopLine()) return;
  Line* hint = TopLine();
  SetTopLine(lineNo, hint, topLineNo);
  UpdateScrollBars();
  RedrawAll();
}

void Edit::ShowCaret() {
  if (!file) return;
  const int32_t full = fullRows();
  int32_t top = topLineNo;
  if (caretLine < top)
    top = caretLine;
  else if (caretLine >= top + full)
    top = caretLine - full + 1;
  if (top != topLineNo) ScrollTo(top);
  int32_t dcol = EditDisplayCol(this, TextPos{caretLine, caretColumn}).v;
  int32_t cols = columns();
  int32_t h = hScroll;
  if (dcol < h)
    h = std::max(0, dcol - cols / 4);
  else if (dcol >= h + cols)
    h = dcol - cols + cols / 4;
  if (h != hScroll) {
    hScroll = h;
    UpdateScrollBars();
    RedrawAll();
  }
  PlaceCaret();
}

void Edit::FileChanged(int32_t from, int32_t to, int32_t delta, Line* fromLine, bool ours) {
  // The top line record may have gone with the change: find it again.
  if (topLineNo >= from) {
    if (!ours && delta != 0 && to < 0 && topLineNo > from) {
      // Keep the same text at the top when lines came or went above it.
      topLineNo = std::max(from, topLineNo + delta);
    }
    SetTopLine(std::clamp(topLineNo, 1, std::max(1, file->nLines)), fromLine, from);
  } else {
    // Above the change the top record is untouched.
    topLineEpoch = file->lineEpoch;
  }
  if (!ours) {
    // Positions after the change move with it.
    auto shift = [&](int32_t& line) {
      if (line > from && delta != 0 && to < 0) line = std::max(from, line + delta);
    };
    shift(caretLine);
    for (auto& s : sel) {
      shift(s.start_line);
      shift(s.end_line);
      shift(s.anchor_line);
    }
  }
  RedrawLines(from, delta == 0 ? to : -1);
  if (delta != 0) UpdateScrollBars();
  PlaceCaret();
}

bool Edit::TextEvent(WEvent& e) {
  return EditEventParse(this, e);
}
