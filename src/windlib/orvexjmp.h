// Recovery points. A panic abandons the current work and resumes at the
// innermost recovery point (the current event, a modal dialog, a dialog
// description run, the main loop or start-up). It unwinds by throwing
// PanicUnwind, which only recovery points catch, so destructors run.
#pragma once

#include <utility>

struct PanicUnwind {
  int value;
};

// Pushes a recovery point; EndErrorCheck pops it ("error_depth>=0" when
// there is none). ResetErrorCheck drops back to the bottom point.
void BeginErrorCheck();
void EndErrorCheck();
void ResetErrorCheck();
int ErrorCheckDepth();

// Abandons the current work: unwinds to the innermost recovery point with
// `value`. Without any recovery point the program ends with status 1.
[[noreturn]] void ErrorJump(int value);

// Runs `body` inside its own recovery point. Returns 0 when it completed,
// else the value of the panic that unwound to this point.
template <typename Body>
int WithRecoveryPoint(Body&& body) {
  BeginErrorCheck();
  struct Pop {
    ~Pop() { EndErrorCheck(); }
  } pop;
  try {
    std::forward<Body>(body)();
    return 0;
  } catch (const PanicUnwind& jump) {
    return jump.value ? jump.value : 1;
  }
}
