// Linked into every executable of the sanitized build, so that each run of
// the sensor, the profile tool or the unit tests, by the suite or by hand,
// detects leaks and stops at the first fault. The exit code 66 is used by no
// program here: exit code 1, the sanitizers' default, is also the sensor's RFC
// error report, which an end-to-end case may expect. ASAN_OPTIONS and
// UBSAN_OPTIONS in the environment still override these.

extern "C" const char* __asan_default_options() {
  return "detect_leaks=1:halt_on_error=1:exitcode=66:detect_stack_use_after_return=1:"
         "strict_string_checks=1:check_initialization_order=1:strict_init_order=1";
}

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1:exitcode=66";
}
