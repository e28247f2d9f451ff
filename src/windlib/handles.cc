// The process-wide handle table: open addressing, keyed by object address.
#include "windlib/handles.h"

#include <cstdio>
#include <cstdlib>

#include "shared/indgen/indgen.h"
#include "windlib/xswitch.h"

namespace {
constexpr int kInitialSize = 101;

mHandle** table = nullptr;
int table_size = 0;
int table_count = 0;

uint32_t slot_of(const void* object, int size) {
  uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object));
  return (address * 2u / 3u) % static_cast<uint32_t>(size);
}

void insert_into(mHandle** slots, int size, mHandle* h) {
  uint32_t i = slot_of(h->object, size);
  while (slots[i]) i = (i + 1) % static_cast<uint32_t>(size);
  slots[i] = h;
}

void ensure_table() {
  if (table) return;
  table_size = kInitialSize;
  table = static_cast<mHandle**>(gen_alloc(table_size, sizeof(mHandle*)));
}

void grow() {
  int new_size = 2 * table_size + 1;
  auto** slots = static_cast<mHandle**>(gen_alloc(new_size, sizeof(mHandle*)));
  for (int i = 0; i < table_size; ++i)
    if (table[i]) insert_into(slots, new_size, table[i]);
  gen_free(table);
  table = slots;
  table_size = new_size;
}

int find_slot(const void* object) {
  if (!table) return -1;
  uint32_t i = slot_of(object, table_size);
  for (int probes = 0; probes < table_size && table[i]; ++probes) {
    if (table[i]->object == object) return static_cast<int>(i);
    i = (i + 1) % static_cast<uint32_t>(table_size);
  }
  return -1;
}

// Removes slot `at` and re-inserts the run that follows it, so that probing
// never stops early at the gap.
void remove_slot(int at) {
  table[at] = nullptr;
  --table_count;
  uint32_t i = (static_cast<uint32_t>(at) + 1) % static_cast<uint32_t>(table_size);
  while (table[i]) {
    mHandle* h = table[i];
    table[i] = nullptr;
    insert_into(table, table_size, h);
    i = (i + 1) % static_cast<uint32_t>(table_size);
  }
}
}  // namespace

mHandle* MHandleCreate(int32_t type, void* object) {
  ensure_table();
  int at = find_slot(object);
  if (at >= 0) {
    mHandle* h = table[at];
    if (h->type != type && debugFlag[xsHandleLogging])
      fprintf(stderr, "Program Error: handle for %p created with type %d, already has type %d\n",
              object, type, h->type);
    h->references++;
    return h;
  }
  auto* h = static_cast<mHandle*>(gen_alloc(1, sizeof(mHandle)));
  h->type = type;
  h->object = object;
  h->references = 1;
  insert_into(table, table_size, h);
  if (++table_count > table_size / 2) grow();
  return h;
}

mHandle* MHandleCopy(mHandle* handle) {
  handle->references++;
  return handle;
}

void MHandleDestroy(mHandle* handle) {
  if (!handle) return;
  if (--handle->references > 0) return;
  if (!handle->dead) {
    int at = find_slot(handle->object);
    if (at >= 0 && table[at] == handle) remove_slot(at);
  }
  gen_free(handle);
}

void MHandleDie(void* object) {
  int at = find_slot(object);
  if (at < 0) return;
  table[at]->dead = 1;
  remove_slot(at);
}

int MHandleTableSize() { return table ? table_size : kInitialSize; }
int MHandleTableCount() { return table_count; }
