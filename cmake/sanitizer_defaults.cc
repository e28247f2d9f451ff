// Defaults of the sanitizers for the project's own programs, built into
// each of them in the sanitizer configuration.
extern "C" {

// Out-of-memory paths are tested: the allocator must return none instead
// of aborting.
const char* __asan_default_options() { return "allocator_may_return_null=1"; }

const char* __ubsan_default_options() { return "print_stacktrace=1"; }

// Caches that the X and font libraries keep for the life of the process;
// only a normal exit (closing the display) releases them, not a signal.
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libXft.so\n"
         "leak:libX11.so\n";
}
}
