// Counted weak handles on objects, keyed by the object's address. A holder
// that must survive the object's destruction keeps a handle and checks `dead`
// after each step; the object's destructor calls MHandleDie.
#pragma once

#include <cstdint>

struct mHandle {
  int32_t type;       // kind of object, chosen by the creator
  void* object;       // key of the handle table; not to be used once dead
  int32_t references; // number of holders
  int32_t dead;       // set when the object has been destroyed
};

// The live handle of `object` with one more reference, or a new one.
mHandle* MHandleCreate(int32_t type, void* object);
mHandle* MHandleCopy(mHandle* handle);
// One reference less; at zero the handle is freed.
void MHandleDestroy(mHandle* handle);
// Marks the object's handle dead and forgets it; holders keep their references.
void MHandleDie(void* object);

inline bool MHandleAlive(const mHandle* h) { return h && !h->dead; }

// Introspection for tests and diagnostics.
int MHandleTableSize();
int MHandleTableCount();

// RAII holder of one handle reference.
class HandleRef {
 public:
  HandleRef() = default;
  explicit HandleRef(mHandle* adopted) : h_(adopted) {}
  HandleRef(int32_t type, void* object) : h_(MHandleCreate(type, object)) {}
  HandleRef(const HandleRef& o) : h_(o.h_ ? MHandleCopy(o.h_) : nullptr) {}
  HandleRef& operator=(const HandleRef& o) {
    if (this != &o) {
      reset();
      h_ = o.h_ ? MHandleCopy(o.h_) : nullptr;
    }
    return *this;
  }
  ~HandleRef() { reset(); }
  void reset() {
    if (h_) MHandleDestroy(h_);
    h_ = nullptr;
  }
  bool alive() const { return MHandleAlive(h_); }
  mHandle* get() const { return h_; }

 private:
  mHandle* h_ = nullptr;
};
