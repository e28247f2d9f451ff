// The free lists that line and undo records are recycled through: records
// are never returned to the system, only chained through one of their own
// link fields until they are handed out again.
#pragma once

template <typename T, T* T::*Link>
class RecordFreeList {
 public:
  // A recycled record, or none when the list is empty.
  T* Pop() {
    T* r = head_;
    if (r) head_ = r->*Link;
    return r;
  }
  void Push(T* r) {
    r->*Link = head_;
    head_ = r;
  }
  // Adds the n records of a fresh block, the first on top.
  void PushBlock(T* block, int n) {
    for (int i = n - 1; i >= 0; --i) Push(&block[i]);
  }
  bool empty() const { return head_ == nullptr; }

 private:
  T* head_ = nullptr;
};

// Frees a chain of records linked through `next` with `free_one`, which may
// reuse the link field.
template <typename T, typename Free>
void FreeRecordChain(T* first, T* T::*next, Free free_one) {
  while (first) {
    T* after = first->*next;
    free_one(first);
    first = after;
  }
}
