// Extra processes: timers, child processes to reap and polled conditions,
// serviced by the main loop between events.
#pragma once

#include <sys/types.h>

#include "windlib/handles.h"

enum ExtraProcessKind {
  epTimer = 0,
  epChild = 1,
  epPolled = 2,
  epInactive = 3,
};

constexpr int kExtraProcessHandleType = 6;
constexpr int kExtraProcessIdleWait = 5000;  // ms reported when nothing is pending

// check(data, index): non-zero when the entry is finished.
using ExtraCheckFn = int (*)(void* data, int index);
// finish(data, status): non-zero to let the entry be removed. `status` is the
// raw wait status of a reaped child, else 0 (or the value given to Kill).
using ExtraFinishFn = int (*)(void* data, int status);

// Registers an entry. `value` is the delay in ms for a timer, the process id
// for a child. The caller owns one reference of the returned handle (release
// it with MHandleDestroy); the registry holds its own.
mHandle* ExtraProcess_Create(int kind, long value, ExtraCheckFn check, ExtraFinishFn finish,
                             void* data);
// Re-arms a timer to now + ms; 0 for a dead handle.
int ExtraProcess_SetTimeout(mHandle* handle, long ms);
// Calls finish(data, status) and removes the entry unless finish returns 0.
void ExtraProcess_Kill(mHandle* handle, int status);
// True when a timer with a check function is due.
bool ExtraProcess_AnyTimedOut();
// Services every entry once; `next` receives the ms until the next is due.
int ExtraProcess_Wait(long* next);
int ExtraProcess_NumberPending();
pid_t ExtraProcess_GetPid(mHandle* handle);
int ExtraProcess_GetWaitTypeFromIndex(int index);

// Told the process id of every child reaped by the wait (the service-router
// proxy watches the services it launched).
extern void (*ExtraProcess_ReapedHook)(pid_t pid);

// Termination signals (hang-up, interrupt, quit, terminate) are acted on by
// the loop, outside the signal handler: from now on their traps only record
// the signal, and the next ExtraProcess_Wait (or WRunTerminationSignal, for a
// wait that watches the returned descriptor) calls `action` with it. Returns
// the descriptor that becomes readable when a signal is recorded, -1 when
// it cannot be made (the traps then end the process themselves).
int WWatchTerminationSignals(void (*action)(int sig));
// Runs the action for a recorded signal; false when none was recorded.
bool WRunTerminationSignal();

// Deadline arithmetic on the wall clock.
void WSetTimeout(long* seconds, long* milliseconds, long delay_ms);
// 0 once the deadline has passed, else the remaining ms.
long WCheckTimeout(long seconds, long milliseconds);
