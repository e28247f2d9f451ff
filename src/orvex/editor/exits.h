// The program's orderly exits.
#pragma once

// Normal exit: closes every window (returns when one refuses), cleans up and
// exits with status 0.
void GracefulGuiExit();
// Early exit with `status`, copying buffered start-up messages to stderr.
[[noreturn]] void OeExit(int status);
// A termination signal, taken by the main loop (never inside the handler):
// files with unsaved changes keep their journals, the other locks and the
// temporary files are deleted; exit status 1 for SIGINT, else 2.
void abortme(int sig);

// Optional hooks run by the normal exit: the pre-exit hook may refuse (any
// result but 1); the exit hook runs once the windows are closed.
extern int (*OePreExitHook)();
extern void (*OeExitHook)();
