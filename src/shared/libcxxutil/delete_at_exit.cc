#include "shared/libcxxutil/delete_at_exit.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
struct Registered {
  DeleteAble* object;
  double priority;
};

// Heap-held so that it outlives every static destructor that runs before
// the exit handler.
std::vector<Registered>* registry = nullptr;
}  // namespace

void delete_at_exit(DeleteAble* object, double priority) {
  if (!object) return;
  if (!registry) {
    registry = new std::vector<Registered>;
    atexit(&delete_at_exit_run);
  }
  registry->push_back({object, priority});
}

void delete_at_exit_run() {
  if (!registry) return;
  // An object's destructor may register further objects: take the list
  // first, and loop until nothing is left.
  while (!registry->empty()) {
    std::vector<Registered> batch;
    batch.swap(*registry);
    std::reverse(batch.begin(), batch.end());
    std::stable_sort(batch.begin(), batch.end(), [](const Registered& a, const Registered& b) {
      return a.priority < b.priority;
    });
    for (const Registered& r : batch) delete r.object;
  }
}

bool delete_at_exit_pending(const DeleteAble* object) {
  if (!registry) return false;
  return std::any_of(registry->begin(), registry->end(),
                     [object](const Registered& r) { return r.object == object; });
}
