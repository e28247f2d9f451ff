// The portable runtime layer: program identity, diagnostics, exit, allocation,
// temporary names and small string helpers. Every module calls these instead
// of the system library so that a host can redirect them through the hooks.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <ctime>

// ---- Process identity and state (set by gen_init) -------------------------
extern char* gen_progname;           // base name of argv[0]
extern char* gen_execname;           // argv[0] unchanged
extern unsigned char gen_dirivo_error_msgs;  // upper-case message prefixes
extern int gen_error_count[7];       // one counter per message level
extern int gen_any_error;            // messages of levels 0..3
extern volatile int gen_sigtrap_value;  // last signal trapped
extern int bigendian_host;

void gen_init(const char* argv0, int viewpath_flags);
void gen_destruct();
// Directory of the executable, computed on first use ("." when unknown).
const char* gen_progdir();
int gen_set_version(int v);
int gen_get_version();

// ---- Hooks -------------------------------------------------------------------
using gen_domessage_fn = void (*)(int level, const char* format, va_list args);
using gen_exit_fn = void (*)(int status);
using gen_alloc_fn = void* (*)(long count, long size);
using gen_realloc_fn = void* (*)(void* block, long size);
using gen_temp_dir_fn = const char* (*)(const char* preferred);

extern gen_domessage_fn gen_domessage;
extern gen_exit_fn gen_exit;
extern gen_alloc_fn gen_alloc;
extern gen_realloc_fn gen_realloc;
extern gen_temp_dir_fn gen_temp_dir;

void gen_default_domessage(int level, const char* format, va_list args);
[[noreturn]] void gen_default_exit(int status);
void* gen_default_alloc(long count, long size);
void* gen_default_realloc(void* block, long size);
const char* gen_default_temp_dir(const char* preferred);

// ---- Diagnostics ----------------------------------------------------------------
// Levels: 0 plain error, 1 disaster, 2 fatal, 3 error, 4 warning, 5 info,
// 6 bare text. A level above 100 appends the text of errno.
enum { GEN_LEVEL_ERROR0 = 0, GEN_LEVEL_DISASTER, GEN_LEVEL_FATAL, GEN_LEVEL_ERROR,
       GEN_LEVEL_WARNING, GEN_LEVEL_INFO, GEN_LEVEL_PRINTF, GEN_LEVEL_ERRNO = 100 };

void gen_message(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void gen_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
void gen_warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void gen_info(const char* format, ...) __attribute__((format(printf, 1, 2)));
void gen_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void gen_perror(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void gen_errorexit(int status, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
[[noreturn]] void gen_perrorexit(int status, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
[[noreturn]] void gen_successexit();
// Calls the exit hook; never returns even when a hook does.
[[noreturn]] void gen_do_exit(int status);

// ---- Memory and strings (results are owned by the caller; free with gen_free)
void* gen_allocate(void* block, long count, long size);
void gen_free(void* block);
char* gen_copy(const char* s);
char* gen_copyn(const char* s, long n);
char* gen_concat(const char* a, const char* b);
char* gen_concat3(const char* a, const char* b, const char* c);
char* gen_concat4(const char* a, const char* b, const char* c, const char* d);
char* gen_concat5(const char*, const char*, const char*, const char*, const char*);
char* gen_concat6(const char*, const char*, const char*, const char*, const char*, const char*);
char* gen_concat7(const char*, const char*, const char*, const char*, const char*, const char*,
                  const char*);
char* gen_concat8(const char*, const char*, const char*, const char*, const char*, const char*,
                  const char*, const char*);
char* gen_concat9(const char*, const char*, const char*, const char*, const char*, const char*,
                  const char*, const char*, const char*);
// The f variants free their first argument.
char* gen_fconcat(char* a, const char* b);
char* gen_fconcat3(char* a, const char* b, const char* c);
char* gen_fconcat4(char* a, const char* b, const char* c, const char* d);
char* gen_fconcat5(char*, const char*, const char*, const char*, const char*);
char* gen_fconcat6(char*, const char*, const char*, const char*, const char*, const char*);
char* gen_fconcat7(char*, const char*, const char*, const char*, const char*, const char*,
                   const char*);
char* gen_fconcat8(char*, const char*, const char*, const char*, const char*, const char*,
                   const char*, const char*);
char* gen_fconcat9(char*, const char*, const char*, const char*, const char*, const char*,
                   const char*, const char*, const char*);
// dir + "/" + name with exactly one separator between them.
char* gen_sconcat(const char* dir, const char* name);
void* gen_structcopy(const void* block, long size);

// Scratch buffers from a ring of `slots` entries; a buffer stays valid for
// `slots` further calls.
char* gen_get_temp_buf(int slots, long bytes);
char* gen_get_zeroed_temp_buf(int slots, long bytes);
char* gen_temp_copy(int slots, const char* s);

struct gen_strarray {
  char** strs;
  int count;
};
void gen_strarray_init(gen_strarray* a);
void gen_strarray_free(gen_strarray* a);
void gen_strarray_add_str(gen_strarray* a, const char* s);
void gen_strarray_add_strn(gen_strarray* a, const char* s, long n);

// The value of `name` when set and not empty, else `fallback`.
const char* gen_getenv(const char* name, const char* fallback);
// `s` quoted for a POSIX shell (single quotes, embedded quotes escaped).
char* gen_quotify_string(const char* s);

// ---- Temporary names ------------------------------------------------------------
char* gen_tempname(const char* dir, const char* suffix);
char* tmp1name(const char* dir, const char* suffix);
// Two names that are free together (same stem).
int tmp2name(const char* dir1, const char* suffix1, const char* dir2, const char* suffix2,
             char** name1, char** name2);
int xtmp3names(const char* dir1, const char* suffix1, const char* dir2, const char* suffix2,
               const char* dir3, const char* suffix3, char** name1, char** name2, char** name3);
char* gen_tmpdirname();
char* gen_createtmpdir(int mode);
// Creates a fresh temporary file (mode 0600); returns its descriptor or -1.
int gen_mkstemp(const char* dir, const char* suffix, char** name);
FILE* gen_mkstempfp(const char* dir, const char* suffix, char** name);
// Forgets the cached temporary directory (after TMPDIR changes).
void gen_reset_temp_dir();

// ---- Clock -------------------------------------------------------------------------
// The time of day, read through here so that tests can fix it. The clock is
// the system's unless gen_fix_clock was called or the environment variable
// OE_FIXED_TIME holds "SECONDS" or "SECONDS+STEP" (seconds since the epoch,
// each reading after the first STEP seconds later).
time_t gen_time();
void gen_fix_clock(time_t start, time_t step = 0);
// Back to the system clock.
void gen_release_clock();

// ---- View paths: alternative source roots from NVPATH ---------------------------
void gen_viewpathing_init(int flags);
// The first existing file for a relative `path` under the view-path roots, or
// `path` itself. The result is owned by the caller.
char* gen_viewpath_lookup(const char* path);

// ---- Assertions ------------------------------------------------------------------
void __Assert(int condition, const char* text, const char* file, int line, int code);
void __MAssert(int condition, const char* text, const char* file, int line, int code);
// Optional GUI report used by __MAssert when the run-time-check flag is on.
extern void (*gen_massert_report)(const char* text);
extern int gen_runtime_checks;

#define OE_ASSERT(cond) __Assert(!!(cond), #cond, __FILE__, __LINE__, 0)
#define OE_MASSERT(cond) __MAssert(!!(cond), #cond, __FILE__, __LINE__, 0)

// ---- Character classes (ASCII only) ------------------------------------------------
inline bool gen_isspace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline bool gen_isblank(int c) { return c == ' ' || c == '\t'; }
inline bool gen_isupper(int c) { return c >= 'A' && c <= 'Z'; }
inline bool gen_islower(int c) { return c >= 'a' && c <= 'z'; }
inline bool gen_isdigit(int c) { return c >= '0' && c <= '9'; }
inline bool gen_isalpha(int c) { return gen_isupper(c) || gen_islower(c); }
inline bool gen_isalnum(int c) { return gen_isalpha(c) || gen_isdigit(c); }

// ---- Signal traps ------------------------------------------------------------------
void trapsetup();
// Called by the traps before the process exits (deletes temporary files);
// runs inside a signal handler, so it makes only async-signal-safe calls.
extern void (*gen_trap_cleanup)();
// From now on hang-up, interrupt, quit and terminate only record the signal
// and make the returned descriptor (a pipe's read end) readable, for a main
// loop to act on; a second signal before the loop took the first ends the
// process at once. -1 when the pipe cannot be made (the traps stay as
// they were).
int gen_defer_termination_signals();
// The deferred signal not yet taken, 0 when none.
int gen_pending_signal();
// Takes the deferred signal (0 when none) and empties the pipe.
int gen_take_pending_signal();
