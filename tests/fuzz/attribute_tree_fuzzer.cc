// libFuzzer target over the attribute-tree reader with its preprocessor.
// Each input is read as a file (normal mode, then compatibility mode); an
// input that reads successfully must also survive writing: the written
// text reads back without error and writes back to the same text.
#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "shared/indgen/indgen.h"
#include "shared/libcxxutil/ut_client_interface.h"
#include "shared/libcxxutil/ut_options_database.h"

namespace {

using fuzz::WriteFile;

// A private directory holding the input, a file inputs may include, and
// the written text.
struct FuzzDirectory {
  std::string dir;
  std::string input;
  std::string include;
  std::string written;
};

void Discard(int, const char*, va_list) {}

const FuzzDirectory& Setup() {
  static FuzzDirectory* d = nullptr;
  if (d) return *d;
  d = new FuzzDirectory;
  d->dir = fuzz::ScratchDir();
  d->input = d->dir + "/fuzz.odb";
  d->include = d->dir + "/inc.odb";
  d->written = d->dir + "/written.odb";
  const std::string inc =
      "%if !defined(INC_SEEN)\n%define INC_SEEN 1\n%endif\n"
      "included { from = \"${__DIR__}\"; n = 3 }\n";
  WriteFile(d->include, inc.data(), inc.size());
  gen_domessage = Discard;
  return *d;
}

// Reads only the files of the fuzz directory: an include of a device or a
// large system file would make a run hang, not find a fault.
bool OnlyFuzzFiles(void* context, const char* path, int) {
  const FuzzDirectory* d = static_cast<const FuzzDirectory*>(context);
  return path == d->input || path == d->include || path == d->written;
}

const char* ClientLookup(void*, const char* name) {
  return std::string(name) == "FUZZ_ENV" ? "0x10" : nullptr;
}

std::unique_ptr<ut_options_database> NewDatabase(const FuzzDirectory& d, bool compatibility,
                                                 bool shortcuts) {
  auto* client = new ut_client_interface(const_cast<FuzzDirectory*>(&d), nullptr, nullptr,
                                         ClientLookup, OnlyFuzzFiles);
  auto db = std::make_unique<ut_options_database>("Fuzz", client, true);
  db->set_compatibility_mode(compatibility);
  db->set_memory_size_shortcut_mode(shortcuts);
  db->set_allow_int32_lists(true);
  db->add_macro("FUZZ=1");
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzDirectory& d = Setup();
  WriteFile(d.input, data, size);
  bool shortcuts = size > 0 && (data[0] & 1);

  auto db = NewDatabase(d, false, shortcuts);
  if (db->read_from_file_name(d.input.c_str())) {
    std::string first = db->write_to_string();
    WriteFile(d.written, first.data(), first.size());
    auto again = NewDatabase(d, false, shortcuts);
    if (!again->read_from_file_name(d.written.c_str())) {
      fprintf(stderr, "written text does not read back:\n%s\n", first.c_str());
      abort();
    }
    if (again->write_to_string() != first) {
      fprintf(stderr, "written text changes when read and written again:\n%s\n---\n%s\n",
              first.c_str(), again->write_to_string().c_str());
      abort();
    }
  }

  auto flat = NewDatabase(d, true, shortcuts);
  flat->read_from_file_name(d.input.c_str());
  flat->write_to_string();
  return 0;
}
