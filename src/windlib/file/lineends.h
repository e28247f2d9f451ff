// Turns CR LF line ends into LF piece by piece, holding back a CR that ends
// a piece until the next piece shows whether an LF follows it.
#pragma once

#include <cstdint>

class LineEndConverter {
 public:
  // Converts `n` bytes in place; returns the converted length. A CR held
  // back from the previous piece is not part of the output here; ask
  // TakeHeldCr() before writing the piece.
  int64_t Convert(char* data, int64_t n);
  // True when the previous piece ended with a CR that turned out to be an
  // ordinary character (the current piece does not begin with LF): write it
  // before the current piece.
  bool TakeHeldCr() {
    bool held = emit_cr_;
    emit_cr_ = false;
    return held;
  }
  // At end of input: true when a final CR is still held (an ordinary
  // character).
  bool Finish() {
    bool held = held_cr_;
    held_cr_ = false;
    return held;
  }
  int64_t crlfEnds = 0;  // CR LF line ends seen (the LF-only ones are the
                         // rest of the line ends, counted by the caller)

 private:
  bool held_cr_ = false;
  bool emit_cr_ = false;
};
