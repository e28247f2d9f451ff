// The undo record free list.
#include "shared/indgen/indgen.h"
#include "windlib/file/undo.h"

namespace {
constexpr int kUndoBlock = 100;
Undo* free_undoes = nullptr;
long in_use = 0;
}  // namespace

Undo* UndoAlloc() {
  if (!free_undoes) {
    auto* block = static_cast<Undo*>(gen_alloc(kUndoBlock, sizeof(Undo)));
    for (int i = 0; i < kUndoBlock; ++i) {
      block[i].next = free_undoes;
      free_undoes = &block[i];
    }
  }
  Undo* u = free_undoes;
  free_undoes = u->next;
  *u = Undo{};
  ++in_use;
  return u;
}

void UndoFree(Undo* u) {
  if (!u) return;
  if (u->flags & undoGroup) UndoesFree(reinterpret_cast<Undo*>(u->saved));
  else gen_free(u->saved);
  u->saved = nullptr;
  u->next = free_undoes;
  free_undoes = u;
  --in_use;
}

void UndoesFree(Undo* u) {
  while (u) {
    Undo* next = u->next;
    UndoFree(u);
    u = next;
  }
}

long UndoesInUse() { return in_use; }
