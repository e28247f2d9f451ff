// Objects that are destroyed at program exit: each registers itself with a
// priority, and the registry destroys them when the process exits normally
// (or when delete_at_exit_run is called earlier).
#pragma once

// A base for objects that are destroyed through their virtual destructor by
// code that knows nothing else of them.
class DeleteAble {
 public:
  DeleteAble() = default;
  DeleteAble(const DeleteAble&) = delete;
  DeleteAble& operator=(const DeleteAble&) = delete;
  virtual ~DeleteAble() = default;
};

// Takes ownership of `object` and destroys it at exit. Lower priorities go
// first; objects of equal priority go in the reverse order of registration.
void delete_at_exit(DeleteAble* object, double priority);
// Destroys every registered object now, in the order exit would.
void delete_at_exit_run();
// True while `object` is registered and not yet destroyed.
bool delete_at_exit_pending(const DeleteAble* object);
