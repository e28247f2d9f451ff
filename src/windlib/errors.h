// User-visible failure reports and the process-wide last error code.
#pragma once

#include <cstdarg>
#include <cstdint>

enum OrvexErrorCode : int32_t {
  errSuccess = 0,
  errFailure = 1,
  errCmdSyntax = 2,
  errAborted = 3,  // "Command aborted."
  errSevereFailure = 0x20001,
};

extern int32_t orvexErrno;          // last error code; 0 when none
extern int32_t orvexErrnoSeverity;  // read only while a code is set

// Run before and after every failure report when set (message muting).
extern void (*setMuteLevel)();
extern void (*resetMuteLevel)();

// Stores `code` unless a code above 1 is already stored, re-enables user
// input, and shows the message (alert with a display, message output
// without). Returns 1 for code 0, else 0.
int err_ReportInternal(int32_t code, const char* format, va_list args);

int err_Success(const char* format, ...) __attribute__((format(printf, 1, 2)));
int err_Failure(const char* format, ...) __attribute__((format(printf, 1, 2)));
int err_CmdSyntax(const char* format, ...) __attribute__((format(printf, 1, 2)));
int err_SevereFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
int err_Unimplemented(const char* format);
int err_Report(int32_t code, const char* format, ...) __attribute__((format(printf, 2, 3)));
int OrvexError(int32_t code, const char* format, ...) __attribute__((format(printf, 2, 3)));
int err_ReportFatal(int32_t code, const char* format, ...) __attribute__((format(printf, 2, 3)));

int32_t OrvexGetLastError();
void OrvexClearLastError();
void err_ClearAll();
int32_t err_GetSeverity();
// When the last code is `code`: gives its severity, clears it, returns true.
bool err_CheckAndClear(int32_t code, int32_t* severity);
