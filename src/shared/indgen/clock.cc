// The time of day as the program reads it. Tests fix it, through
// gen_fix_clock or the environment variable OE_FIXED_TIME, so that text
// made from the time (the Date command) can be compared byte for byte.
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "shared/indgen/indgen.h"

namespace {
struct Clock {
  bool fixed = false;
  time_t next = 0;  // the next reading of a fixed clock
  time_t step = 0;  // added after each reading
};

// Reads "SECONDS" or "SECONDS+STEP"; false when `text` is anything else.
bool parse_fixed_time(const char* text, time_t* start, time_t* step) {
  char* end = nullptr;
  errno = 0;
  long long s = std::strtoll(text, &end, 10);
  if (errno || end == text || s < 0) return false;
  long long k = 0;
  if (*end == '+') {
    const char* from = end + 1;
    k = std::strtoll(from, &end, 10);
    if (errno || end == from || k < 0) return false;
  }
  if (*end) return false;
  *start = static_cast<time_t>(s);
  *step = static_cast<time_t>(k);
  return true;
}

Clock& clock_state() {
  static Clock state = [] {
    Clock c;
    const char* env = std::getenv("OE_FIXED_TIME");
    if (env && *env) {
      if (parse_fixed_time(env, &c.next, &c.step))
        c.fixed = true;
      else
        gen_warning("OE_FIXED_TIME is not SECONDS or SECONDS+STEP, using the system clock: %s",
                    env);
    }
    return c;
  }();
  return state;
}
}  // namespace

time_t gen_time() {
  Clock& c = clock_state();
  if (!c.fixed) return time(nullptr);
  time_t now = c.next;
  c.next += c.step;
  return now;
}

void gen_fix_clock(time_t start, time_t step) {
  Clock& c = clock_state();
  c.fixed = true;
  c.next = start;
  c.step = step;
}

void gen_release_clock() {
  clock_state().fixed = false;
}
