#include "orvex/syntax_coloring/synextra.h"

#include <unistd.h>

#include <cctype>
#include <map>
#include <string>

#include "windlib/config/configoptions.h"
#include "windlib/edit/edit.h"
#include "windlib/file/file.h"
#include "windlib/file/fileobserver.h"

namespace {
// Loaded item files by path; an entry lives while a file holds it.
std::map<std::string, std::weak_ptr<ExtraSyntaxInfo>>& loaded() {
  static auto* m = new std::map<std::string, std::weak_ptr<ExtraSyntaxInfo>>;
  return *m;
}
std::map<const File*, std::shared_ptr<ExtraSyntaxInfo>>& held() {
  static auto* m = new std::map<const File*, std::shared_ptr<ExtraSyntaxInfo>>;
  return *m;
}

void show_in_views(File* f, const char* text) {
  for (Edit* e = f->edits; e; e = e->nextSame) EditSetMsg(e, text);
}

std::shared_ptr<ExtraSyntaxInfo> load_shared(const std::string& path) {
  if (auto shared = loaded()[path].lock()) return shared;
  std::shared_ptr<ExtraSyntaxInfo> info =
      synLanguage::LoadSyntaxInfo(path.c_str(), synLanguage::kExtraItemsOnly);
  if (info) loaded()[path] = info;
  return info;
}
}  // namespace

int File_LoadCustomizedItemForRtos(File* f, const char* language, const char* kernel) {
  if (!f || !language || !kernel || !*kernel) return 0;
  const std::string lang = language;
  if (lang != "C" && lang != "C++" && lang != "CPP") return 0;
  std::string name = kernel;
  for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  const std::string path =
      cfg_SearchFileInConfigDirs(("syntax_coloring/" + name + "_cust.ksc").c_str(), R_OK);
  if (path.empty()) return 0;
  const std::string message =
      "Loading extra syntax coloring message for RTOS \"" + std::string(kernel) + "\"";
  show_in_views(f, message.c_str());
  std::shared_ptr<ExtraSyntaxInfo> info = load_shared(path);
  show_in_views(f, "");
  if (!info) return 0;
  held()[f] = std::move(info);
  FileNotifyRedraw(f);
  return 1;
}

const ExtraSyntaxInfo* syn_FileExtraItems(const File* f) {
  auto it = held().find(f);
  return it == held().end() ? nullptr : it->second.get();
}

void syn_DropExtraItems(const File* f) {
  held().erase(f);
}

long syn_ExtraItemsUsers(const char* path) {
  auto it = loaded().find(path ? path : "");
  return it == loaded().end() ? 0 : it->second.use_count();
}
