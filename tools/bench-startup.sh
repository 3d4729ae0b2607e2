#!/usr/bin/env bash
# Times the start of the real program, from exec to its report window shown
# (start-hidden off, the test report centre reachable, a tray host running),
# against a bare wx dialog program built alongside (the floor of a wx GTK
# start on this machine): ten starts of each, alternating, on one private
# virtual display. Also times the same dialog holding the report window's
# kinds of controls (a like-for-like floor, "--form"). Prints the medians and
# the program's multiple of the bare dialog; the last line is
# "ratio: <program / like-for-like dialog>".
# Usage: tools/bench-startup.sh [starts]   (default 10)
set -euo pipefail
# A desktop has a session bus; without one the libraries would start their own.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then exec dbus-run-session -- "$0" "$@"; fi
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
starts="${1:-10}"
cmake --build "$build" --target veradex veradex_test_centre bench_minimal_dialog bench_window_shown -j2 >/dev/null

. "$root/tools/bench-session.sh"
bench_session ""

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: >"$work/program.ms"
: >"$work/dialog.ms"
: >"$work/form.ms"
for i in $(seq "$starts"); do
  "$build/tests/bench_window_shown" Dunmere 400 "$build/veradex" | sed -n 's/^shown_ms: //p' >>"$work/program.ms"
  sleep 1
  "$build/tests/bench_window_shown" Minimal 400 "$build/tests/bench_minimal_dialog" |
    sed -n 's/^shown_ms: //p' >>"$work/dialog.ms"
  sleep 1
  "$build/tests/bench_window_shown" Form 400 "$build/tests/bench_minimal_dialog" --form |
    sed -n 's/^shown_ms: //p' >>"$work/form.ms"
  sleep 1
done
[ "$(wc -l <"$work/program.ms")" -eq "$starts" ] || { echo "the program did not show its window every time" >&2; exit 1; }
[ "$(wc -l <"$work/dialog.ms")" -eq "$starts" ] || { echo "the bare dialog did not show every time" >&2; exit 1; }
[ "$(wc -l <"$work/form.ms")" -eq "$starts" ] || { echo "the like-for-like dialog did not show every time" >&2; exit 1; }
program="$(median <"$work/program.ms")"
dialog="$(median <"$work/dialog.ms")"
form="$(median <"$work/form.ms")"
echo "starts: $starts"
echo "program, exec to report window shown: $(tr '\n' ' ' <"$work/program.ms")"
echo "bare wx dialog, exec to shown: $(tr '\n' ' ' <"$work/dialog.ms")"
echo "program median: $program ms"
echo "like-for-like dialog, exec to shown: $(tr '\n' ' ' <"$work/form.ms")"
echo "bare dialog median: $dialog ms"
echo "like-for-like dialog median: $form ms"
awk -v p="$program" -v d="$dialog" 'BEGIN { printf "program / bare dialog: %.3f\n", p / d }'
awk -v p="$program" -v f="$form" 'BEGIN { printf "ratio: %.3f\n", p / f }'
