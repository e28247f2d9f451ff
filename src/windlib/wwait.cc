#include "windlib/wwait.h"

#include <cerrno>
#include <sys/time.h>
#include <sys/wait.h>
#include <vector>

#include "shared/indgen/indgen.h"

void (*ExtraProcess_ReapedHook)(pid_t pid) = nullptr;

namespace {
void (*termination_action)(int sig) = nullptr;

struct ExtraEntry {
  int kind;
  long seconds, milliseconds;  // deadline of a timer
  pid_t pid;
  ExtraCheckFn check;
  ExtraFinishFn finish;
  mHandle* handle;
  void* data;
  unsigned running : 1;
};

// Entries in creation order; capacity grows in steps of 10.
ExtraEntry** entries = nullptr;
int count = 0;
int capacity = 0;

int index_of(const ExtraEntry* e) {
  for (int i = 0; i < count; ++i)
    if (entries[i] == e) return i;
  return -1;
}

ExtraEntry* entry_of(mHandle* h) {
  return MHandleAlive(h) ? static_cast<ExtraEntry*>(h->object) : nullptr;
}

void remove_entry(ExtraEntry* e) {
  int at = index_of(e);
  if (at < 0) return;
  for (int i = at; i + 1 < count; ++i) entries[i] = entries[i + 1];
  --count;
  mHandle* h = e->handle;
  MHandleDie(e);
  MHandleDestroy(h);
  gen_free(e);
}

void now(long* seconds, long* milliseconds) {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  *seconds = tv.tv_sec;
  *milliseconds = tv.tv_usec / 1000;
}
}  // namespace

void WSetTimeout(long* seconds, long* milliseconds, long delay_ms) {
  long s, ms;
  now(&s, &ms);
  ms += delay_ms;
  s += ms / 1000;
  ms %= 1000;
  if (ms < 0) {
    ms += 1000;
    s -= 1;
  }
  *seconds = s;
  *milliseconds = ms;
}

long WCheckTimeout(long seconds, long milliseconds) {
  long s, ms;
  now(&s, &ms);
  long remaining = (seconds - s) * 1000 + (milliseconds - ms);
  return remaining > 0 ? remaining : 0;
}

mHandle* ExtraProcess_Create(int kind, long value, ExtraCheckFn check, ExtraFinishFn finish,
                             void* data) {
  auto* e = static_cast<ExtraEntry*>(gen_alloc(1, sizeof(ExtraEntry)));
  e->kind = kind;
  e->check = check;
  e->finish = finish;
  e->data = data;
  if (kind == epTimer) WSetTimeout(&e->seconds, &e->milliseconds, value);
  else if (kind == epChild) e->pid = static_cast<pid_t>(value);
  e->handle = MHandleCreate(kExtraProcessHandleType, e);
  if (count + 1 >= capacity) {
    capacity += 10;
    entries = static_cast<ExtraEntry**>(
        gen_realloc(entries, capacity * static_cast<long>(sizeof(ExtraEntry*))));
  }
  entries[count++] = e;
  return MHandleCopy(e->handle);
}

int ExtraProcess_SetTimeout(mHandle* handle, long ms) {
  ExtraEntry* e = entry_of(handle);
  if (!e) return 0;
  WSetTimeout(&e->seconds, &e->milliseconds, ms);
  return 1;
}

void ExtraProcess_Kill(mHandle* handle, int status) {
  ExtraEntry* e = entry_of(handle);
  if (!e) return;
  HandleRef guard(MHandleCopy(handle));
  if (e->finish && !e->finish(e->data, status)) return;
  if (guard.alive()) remove_entry(e);
}

bool ExtraProcess_AnyTimedOut() {
  for (int i = 0; i < count; ++i) {
    const ExtraEntry* e = entries[i];
    if (e->kind == epTimer && e->check && WCheckTimeout(e->seconds, e->milliseconds) == 0)
      return true;
  }
  return false;
}

int WWatchTerminationSignals(void (*action)(int sig)) {
  termination_action = action;
  return gen_defer_termination_signals();
}

bool WRunTerminationSignal() {
  if (!termination_action || gen_pending_signal() == 0) return false;
  termination_action(gen_take_pending_signal());
  return true;
}

int ExtraProcess_Wait(long* next) {
  WRunTerminationSignal();
  if (count == 0) {
    *next = kExtraProcessIdleWait;
    return 1;
  }

  int status = 0;
  pid_t reaped;
  do {
    reaped = waitpid(-1, &status, WNOHANG);
  } while (reaped < 0 && errno == EINTR);
  if (reaped > 0 && ExtraProcess_ReapedHook) ExtraProcess_ReapedHook(reaped);

  long soonest = kExtraProcessIdleWait;
  // Work from a snapshot so that entries removed or added by a callback
  // neither shift nor skip the others.
  std::vector<HandleRef> snapshot;
  snapshot.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) snapshot.emplace_back(MHandleCopy(entries[i]->handle));

  for (HandleRef& ref : snapshot) {
    ExtraEntry* e = entry_of(ref.get());
    if (!e || e->running) continue;
    e->running = 1;
    int finished = 0;
    if (e->kind != epInactive && e->check) {
      if (e->kind == epChild || e->kind == epPolled) {
        if (e->kind == epPolled) soonest = 0;
        finished = e->check(e->data, index_of(e));
      } else {
        long remaining = WCheckTimeout(e->seconds, e->milliseconds);
        if (remaining == 0) {
          finished = e->check(e->data, index_of(e));
          remaining = ref.alive() ? WCheckTimeout(e->seconds, e->milliseconds)
                                  : kExtraProcessIdleWait;
        }
        if (remaining < soonest) soonest = remaining;
      }
    }
    if (ref.alive()) {
      bool own_child = e->kind == epChild && reaped > 0 && reaped == e->pid;
      if (finished || own_child) {
        if (!e->finish || e->finish(e->data, own_child ? status : 0)) {
          if (ref.alive()) remove_entry(e);
        }
      }
    }
    if (ref.alive()) e->running = 0;
  }
  *next = soonest;
  return 1;
}

int ExtraProcess_NumberPending() { return count; }

pid_t ExtraProcess_GetPid(mHandle* handle) {
  ExtraEntry* e = entry_of(handle);
  return (e && e->kind == epChild) ? e->pid : 0;
}

int ExtraProcess_GetWaitTypeFromIndex(int index) {
  if (index < 0 || index >= count) return 4;
  return entries[index]->kind;
}
