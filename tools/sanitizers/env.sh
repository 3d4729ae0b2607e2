# Sourced by .ci/run before running sanitizer builds: the run-time options of
# AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer and
# ThreadSanitizer, with the suppressions of this folder.
sanitizers="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# A fault ends the process with its report; the GUI tests' children (the
# built program, the sandbox centre) report the same way.
# intercept_tls_get_addr=0: this compiler's leak checker keeps its own list of
# the threads' dynamic TLS blocks, and with this C library that list holds
# wrong bounds now and then (seen in the GUI tests, whose toolkit loads
# modules with thread-local data); walking it crashed the checker's tracer at
# exit ("Tracer caught signal 11") in about one run of ten. Without the list
# the checker still scans every stack, register and static TLS block.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
