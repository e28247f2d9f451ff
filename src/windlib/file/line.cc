// The line record free list.
#include "windlib/file/line.h"

#include <cstring>
#include <sys/mman.h>

#include "shared/indgen/indgen.h"
#include "windlib/file/freelist.h"

namespace {
constexpr int kLineBlock = 200;
// Blocks of 200 records are carved from zeroed arenas that the system hands
// out untouched. Arenas double from about 1 MiB up to about 64 MiB, so a
// small file costs little and a file of millions of lines takes few, large
// mappings, backed by huge pages where the system offers them (each page
// fault is expensive on virtual machines).
constexpr long kFirstArenaBlocks = 131;  // 1 MiB mapping with malloc's header
constexpr long kMaxArenaBlocks = 131 * 64;
constexpr uintptr_t kHugePage = 2u << 20;
RecordFreeList<Line, &Line::prev> free_lines;  // freed records
Line* block_next = nullptr;  // unused records of the current block
int block_left = 0;
Line* arena_next = nullptr;
long arena_blocks_left = 0;
long next_arena_blocks = kFirstArenaBlocks;
long in_use = 0;

void new_arena() {
  long blocks = next_arena_blocks;
  size_t bytes = static_cast<size_t>(blocks) * kLineBlock * sizeof(Line);
  arena_next = static_cast<Line*>(gen_alloc(static_cast<long>(bytes), 1));
  arena_blocks_left = blocks;
  if (bytes >= 2 * kHugePage) {
    uintptr_t start = (reinterpret_cast<uintptr_t>(arena_next) + kHugePage - 1) & ~(kHugePage - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(arena_next) + bytes) & ~(kHugePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  }
  if (next_arena_blocks < kMaxArenaBlocks) next_arena_blocks *= 2;
}

void new_block() {
  if (arena_blocks_left == 0) new_arena();
  block_next = arena_next;
  block_left = kLineBlock;
  arena_next += kLineBlock;
  --arena_blocks_left;
}

Line* take() {
  Line* l = free_lines.Pop();
  if (!l) {
    if (block_left == 0) new_block();
    l = block_next++;
    --block_left;
  }
  l->prev = l->next = nullptr;
  ++in_use;
  return l;
}
}  // namespace

Line* LineFAlloc(int64_t offset, int32_t len) {
  Line* l = take();
  l->text.offset = offset;
  l->len = len;
  l->allocLen = lnInFile;
  l->synState = 0;
  l->extra = 0;
  return l;
}

char* LineNewBuffer(const char* text, int32_t len) {
  char* buf = static_cast<char*>(gen_alloc(len + kLineSpare + 1, 1));
  if (len > 0) std::memcpy(buf, text, static_cast<size_t>(len));
  buf[len] = 0;
  return buf;
}

void LineAdoptBuffer(Line* line, char* buf, int32_t len) {
  if (!LineInFile(line)) gen_free(line->text.buf);
  line->text.buf = buf;
  line->len = len;
  line->allocLen = len + kLineSpare;
}

Line* LineFAllocS(const char* text, int32_t len) {
  char* buf = LineNewBuffer(text, len);
  Line* l = take();
  l->text.buf = buf;
  l->allocLen = len + kLineSpare;
  l->len = len;
  l->synState = 0;
  l->extra = 0;
  return l;
}

void LineFree(Line* line) {
  if (!line) return;
  if (!LineInFile(line)) gen_free(line->text.buf);
  line->text.offset = 0;
  line->allocLen = lnInFile;
  line->synState = 0;
  line->extra = 0;
  line->next = nullptr;
  free_lines.Push(line);
  --in_use;
}

void LinesFree(Line* first) { FreeRecordChain(first, &Line::next, LineFree); }

long LinesInUse() { return in_use; }
