// The undo record free list.
#include "shared/indgen/indgen.h"
#include "windlib/file/freelist.h"
#include "windlib/file/undo.h"

namespace {
constexpr int kUndoBlock = 100;
RecordFreeList<Undo, &Undo::next> free_undoes;
long in_use = 0;
}  // namespace

Undo* UndoAlloc() {
  if (free_undoes.empty())
    free_undoes.PushBlock(static_cast<Undo*>(gen_alloc(kUndoBlock, sizeof(Undo))), kUndoBlock);
  Undo* u = free_undoes.Pop();
  *u = Undo{};
  ++in_use;
  return u;
}

void UndoFree(Undo* u) {
  if (!u) return;
  if (u->flags & undoGroup) UndoesFree(reinterpret_cast<Undo*>(u->saved));
  else gen_free(u->saved);
  u->saved = nullptr;
  free_undoes.Push(u);
  --in_use;
}

void UndoesFree(Undo* u) { FreeRecordChain(u, &Undo::next, UndoFree); }

long UndoesInUse() { return in_use; }
