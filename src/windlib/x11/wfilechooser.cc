#include "windlib/x11/wfilechooser.h"

#include <sys/stat.h>
#include <unistd.h>

#include "windlib/config/fileextensions.h"
#include "windlib/x11/wcolor.h"
#include "windlib/x11/wfont.h"
#include "windlib/x11/wlist.h"
#include "windlib/x11/wpulldown.h"

namespace {
bool is_directory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string current_directory() {
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string("/");
}

// The patterns as a filter text (WFilterMatches separates them at blanks).
std::string filter_of(const std::vector<std::string>& patterns) {
  std::string out;
  for (const std::string& p : patterns) out += (out.empty() ? "" : " ") + p;
  return out.empty() ? "*" : out;
}
}  // namespace

WFileChooserDialog::WFileChooserDialog(const std::string& title, const std::string& directory,
                                       const std::string& filter, const std::string& initial,
                                       const std::string& preset,
                                       const std::vector<std::string>& types)
    : WDialog(title.empty() ? "Choose File" : title, 480, 420), filter_(filter), preset_(preset) {
  // The types are copied: the tables may be rebuilt while the dialog lives.
  for (const FileType* t : fileExtensions_ChooserTypes(preset, types))
    types_.push_back({t->name(), t->patterns()});
  dir_label_ = new WLabel(client(), "");
  list_ = new WList(client());
  auto* path_label = new WLabel(client(), "File:");
  path_ = new WEntry(client(), initial);
  auto* filter_label = new WLabel(client(), "Filter:");
  filter_entry_ = new WEntry(client(), filter);
  WLabel* type_label = nullptr;
  if (!types_.empty()) {
    type_label = new WLabel(client(), "Type:");
    type_pulldown_ = new WPulldown(client());
    std::vector<std::string> labels;
    for (const TypeChoice& t : types_) labels.push_back(FileType(t.name, t.patterns).Label());
    type_pulldown_->SetItems(labels);
    type_pulldown_->SetNoneText("Custom");
    type_pulldown_->SetOnChange([this](WPulldown*, int index) { ChooseType(index); });
    // The first type (the preset's default) is in effect from the start.
    type_pulldown_->Select(0);
    type_ = 0;
    filter_ = filter_of(types_[0].patterns);
    filter_entry_->SetText(filter_);
  }
  message_ = new WLabel(client(), "");
  AddButtonRow({"OK", "Cancel"});
  SetCancelValue(1);
  // OK goes through Accept, which may only change directory.
  buttons_[0]->SetAction([this] { Accept(); });
  SetDefaultButton(buttons_[0]);
  path_->SetOnActivate([this](WEntry*) { Accept(); });
  filter_entry_->SetOnActivate([this](WEntry* e) { SetFilter(e->text()); });
  list_->SetOnSelect([this](WList*, int row) {
    if (row >= 0 && row < static_cast<int>(entries_.size()) &&
        !entries_[static_cast<size_t>(row)].directory)
      path_->SetText(entries_[static_cast<size_t>(row)].name);
  });
  list_->SetOnActivate([this](WList*, int row) { ActivateRow(row); });
  client()->SetLayout([this, path_label, filter_label, type_label](WContainer* c) {
    int m = kMargin, w = c->width() - 2 * m;
    int lh = WUIFont()->Height();
    int eh, ew, bw, bh;
    path_->PreferredSize(&ew, &eh);
    buttons_[0]->PreferredSize(&bw, &bh);
    int label_w = std::max({WUIFont()->TextWidth("Filter:"), WUIFont()->TextWidth("File:"),
                            WUIFont()->TextWidth("Type:")}) +
                  8;
    dir_label_->SetGeometry(WRect{m, m, w, lh});
    int bottom = c->height() - m - bh;
    int buttons_y = bottom;
    bottom -= m / 2 + lh;
    message_->SetGeometry(WRect{m, bottom, w, lh});
    if (type_pulldown_) {
      int pw, ph;
      type_pulldown_->PreferredSize(&pw, &ph);
      bottom -= 6 + ph;
      type_label->SetGeometry(WRect{m, bottom + (ph - lh) / 2, label_w, lh});
      type_pulldown_->SetGeometry(WRect{m + label_w, bottom, w - label_w, ph});
    }
    bottom -= 6 + eh;
    filter_label->SetGeometry(WRect{m, bottom + (eh - lh) / 2, label_w, lh});
    filter_entry_->SetGeometry(WRect{m + label_w, bottom, w - label_w, eh});
    bottom -= 6 + eh;
    path_label->SetGeometry(WRect{m, bottom + (eh - lh) / 2, label_w, lh});
    path_->SetGeometry(WRect{m + label_w, bottom, w - label_w, eh});
    list_->SetGeometry(WRect{m, 2 * m + lh, w, std::max(20, bottom - 6 - (2 * m + lh))});
    int x = c->width() - m;
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
      int bw2, bh2;
      (*it)->PreferredSize(&bw2, &bh2);
      x -= bw2;
      (*it)->SetGeometry(WRect{x, buttons_y, bw2, bh});
      x -= 8;
    }
  });
  if (!ChangeDirectory(directory.empty() ? current_directory() : WResolvePath("", directory)))
    ChangeDirectory(current_directory());
  path_->Focus();
}

bool WFileChooserDialog::ChangeDirectory(const std::string& dir) {
  std::vector<WFileEntry> fresh;
  std::string error;
  if (!WListDirectory(dir, filter_, &fresh, &error)) {
    message_->SetText(error);
    return false;
  }
  directory_ = dir;
  entries_ = std::move(fresh);
  message_->SetText("");
  dir_label_->SetText(directory_);
  std::vector<std::string> rows;
  for (const WFileEntry& e : entries_) rows.push_back(e.directory ? e.name + "/" : e.name);
  list_->SetItems(rows);
  return true;
}

std::string WFileChooserDialog::fileType() const {
  return type_ >= 0 ? types_[static_cast<size_t>(type_)].name : std::string();
}

void WFileChooserDialog::ChooseType(int index) {
  if (index < 0 || index >= static_cast<int>(types_.size())) return;
  type_ = index;
  if (type_pulldown_) type_pulldown_->Select(index);
  filter_ = filter_of(types_[static_cast<size_t>(index)].patterns);
  filter_entry_->SetText(filter_);
  Refresh();
}

void WFileChooserDialog::SetFilter(const std::string& filter) {
  if (type_ >= 0 && filter != filter_of(types_[static_cast<size_t>(type_)].patterns)) {
    type_ = -1;
    type_pulldown_->Select(-1);
  }
  filter_ = filter;
  filter_entry_->SetText(filter);
  Refresh();
}

void WFileChooserDialog::Refresh() {
  ChangeDirectory(directory_);
}

void WFileChooserDialog::ActivateRow(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  const WFileEntry& e = entries_[static_cast<size_t>(row)];
  if (e.directory) {
    if (ChangeDirectory(WResolvePath(directory_, e.name))) path_->SetText("");
    return;
  }
  path_->SetText(e.name);
  Accept();
}

void WFileChooserDialog::Accept() {
  std::string typed = path_->text();
  if (typed.empty()) {
    // OK with nothing typed takes the selected row.
    int row = list_->selected();
    if (row >= 0) ActivateRow(row);
    return;
  }
  if (WHasWildcard(typed) && typed.find('/') == std::string::npos) {
    SetFilter(typed);
    path_->SetText("");
    return;
  }
  std::string full = WResolvePath(directory_, typed);
  if (is_directory(full)) {
    if (ChangeDirectory(full)) path_->SetText("");
    return;
  }
  chosen_ = full;
  // The type the user went with is offered first next time (a type from
  // outside the preset changes nothing).
  if (type_ >= 0 && !preset_.empty())
    fileExtensions_ChangeDefaultFileTypeForPreset(preset_.c_str(), fileType().c_str());
  EndModal(0);
}
