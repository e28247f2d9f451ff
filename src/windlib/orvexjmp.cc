#include "windlib/orvexjmp.h"

#include "shared/indgen/indgen.h"

namespace {
int error_depth = -1;  // -1 when no recovery point is pushed
}

void BeginErrorCheck() { ++error_depth; }

void EndErrorCheck() {
  OE_MASSERT(error_depth >= 0);
  --error_depth;
}

void ResetErrorCheck() {
  if (error_depth > 0) error_depth = 0;
}

int ErrorCheckDepth() { return error_depth; }

void ErrorJump(int value) {
  if (error_depth < 0) {
    gen_error("internal error: no recovery point");
    gen_do_exit(1);
  }
  throw PanicUnwind{value};
}
