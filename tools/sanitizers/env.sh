# Sourced by .ci/run before running sanitizer builds: the run-time options of
# AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer and
# ThreadSanitizer, with the suppressions of this folder.
sanitizers="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# A fault ends the process with its report; the GUI tests' children (the
# built program, the sandbox centre) report the same way.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
