// The program's orderly exits.
#pragma once

// Normal exit: closes every window (returns when one refuses), cleans up and
// exits with status 0.
void GracefulGuiExit();
// Early exit with `status`, copying buffered start-up messages to stderr.
[[noreturn]] void OeExit(int status);
// SIGINT: deletes the temporary files and exits with status 1.
void abortme(int sig);

// Optional hooks run by the normal exit: the pre-exit hook may refuse (any
// result but 1); the exit hook runs once the windows are closed.
extern int (*OePreExitHook)();
extern void (*OeExitHook)();
