#include "windlib/errors.h"

#include <cstdio>
#include <string>

#include "shared/indgen/strformat.h"
#include "windlib/wdisplay.h"

int32_t orvexErrno = 0;
int32_t orvexErrnoSeverity = 0;
void (*setMuteLevel)() = nullptr;
void (*resetMuteLevel)() = nullptr;

namespace {
int muted_report(int32_t code, const char* format, va_list args) {
  if (setMuteLevel) setMuteLevel();
  int result = err_ReportInternal(code, format, args);
  if (resetMuteLevel) resetMuteLevel();
  return result;
}
}  // namespace

int err_ReportInternal(int32_t code, const char* format, va_list args) {
  if (orvexErrno == 0 || orvexErrno == 1) {
    orvexErrno = code;
    // The severity is carried in the high half of the code.
    orvexErrnoSeverity = code >> 16;
  }
  WEnableUserInput();
  std::string text = gen_vformat(format, args);
  if (!text.empty()) {
    if (wDisplayActive) {
      wAlert("", text);
    } else {
      if (text.empty() || text.back() != '\n') text += '\n';
      mprintf("%s", text.c_str());
    }
  }
  return code == 0 ? 1 : 0;
}

int err_Success(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = err_ReportInternal(errSuccess, format, args);
  va_end(args);
  return r;
}

#define ERR_MUTED_FUNCTION(name, code)              \
  int name(const char* format, ...) {               \
    va_list args;                                   \
    va_start(args, format);                         \
    int r = muted_report(code, format, args);       \
    va_end(args);                                   \
    return r;                                       \
  }
ERR_MUTED_FUNCTION(err_Failure, errFailure)
ERR_MUTED_FUNCTION(err_CmdSyntax, errCmdSyntax)
ERR_MUTED_FUNCTION(err_SevereFailure, errSevereFailure)
#undef ERR_MUTED_FUNCTION

int err_Unimplemented(const char* format) {
  return err_Failure("%s", format ? format : "unimplemented functionality");
}

int err_Report(int32_t code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = muted_report(code, format, args);
  va_end(args);
  return r;
}

int OrvexError(int32_t code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int r = muted_report(code, format, args);
  va_end(args);
  return r;
}

int err_ReportFatal(int32_t code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  muted_report(code, format, args);
  va_end(args);
  return 0;
}

int32_t OrvexGetLastError() { return orvexErrno; }

void OrvexClearLastError() {
  orvexErrno = 0;
  orvexErrnoSeverity = 0;
}

void err_ClearAll() { OrvexClearLastError(); }

int32_t err_GetSeverity() { return orvexErrno ? orvexErrnoSeverity : 0; }

bool err_CheckAndClear(int32_t code, int32_t* severity) {
  if (orvexErrno != code) return false;
  if (severity) *severity = orvexErrnoSeverity;
  OrvexClearLastError();
  return true;
}
