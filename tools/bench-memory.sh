#!/usr/bin/env bash
# Resident memory of the real program and all its child processes (the web
# engine's among them), started with the window hidden on a private virtual
# display with a tray host, against the test report centre: at rest after
# the start, with the report window shown (opened from the tray icon), and
# 60 seconds after the window was closed again. Per process RSS (and PSS);
# the totals are sums of RSS. The last line is "rest_total_kib: N", the
# larger of the two totals at rest.
# Usage: tools/bench-memory.sh [settle seconds]   (default 5)
set -euo pipefail
# A desktop has a session bus; without one the libraries would start their own.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then exec dbus-run-session -- "$0" "$@"; fi
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
settle="${1:-5}"
cmake --build "$build" --target veradex veradex_test_centre -j2 >/dev/null

. "$root/tools/bench-session.sh"
bench_session 1

# The process and its descendants: "pid rss_kib pss_kib name" lines.
tree() {
  local pids=("$1") frontier=("$1")
  while [ "${#frontier[@]}" -gt 0 ]; do
    local next=()
    for parent in "${frontier[@]}"; do
      for child in $(ps -o pid= --ppid "$parent" 2>/dev/null); do next+=("$child"); done
    done
    pids+=("${next[@]}")
    frontier=("${next[@]}")
  done
  for pid in "${pids[@]}"; do
    [ -r "/proc/$pid/status" ] || continue
    local rss pss name
    rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")"
    pss="$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)"
    name="$(cat "/proc/$pid/comm")"
    echo "$pid ${rss:-0} ${pss:-0} $name"
  done
}
measure() {  # label -> prints the processes; sets total
  local label="$1" lines
  lines="$(tree "$program")"
  echo "== $label"
  echo "$lines" | awk '{ printf "  %-8s %-24s rss %8d KiB  pss %8d KiB\n", $1, $4, $2, $3 }'
  total="$(echo "$lines" | awk '{ s += $2 } END { print s + 0 }')"
  echo "  total rss: $total KiB ($(echo "$lines" | awk '{ s += $3 } END { print s + 0 }') KiB pss)"
}

"$build/veradex" >/dev/null 2>&1 &
program=$!
session_pids+=("$program")

# The tray icon: a small shown window of the program at the top of the screen.
icon=""
for _ in $(seq 300); do
  for id in $(xdotool search --onlyvisible --pid "$program" --name '^veradex$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ] && [ "$Y" -le 64 ]; then
      icon="$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
      break 2
    fi
  done
  sleep 0.1
done
[ -n "$icon" ] || { echo "no tray icon" >&2; exit 1; }
sleep "$settle"
measure "at rest after a hidden start"
rest_start="$total"

# Open the window from the icon.
xdotool mousemove $icon click 1
window=""
for _ in $(seq 300); do
  for id in $(xdotool search --onlyvisible --pid "$program" --name '^Dunmere$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ "$WIDTH" -gt 400 ]; then window="$id"; break 2; fi
  done
  sleep 0.1
done
[ -n "$window" ] || { echo "the report window did not open" >&2; exit 1; }
sleep "$settle"
measure "report window shown"
shown="$total"

# Close it as a user does (Escape), then wait a minute.
xdotool windowfocus --sync "$window" key --clearmodifiers Escape
for _ in $(seq 100); do
  xdotool search --onlyvisible --pid "$program" --name '^Dunmere$' >/dev/null 2>&1 || break
  sleep 0.1
done
sleep 60
sleep "$settle"
measure "at rest 60 s after the window was closed"
rest_closed="$total"

echo "rest_after_start_total_kib: $rest_start"
echo "shown_total_kib: $shown"
echo "rest_after_close_total_kib: $rest_closed"
echo "rest_total_kib: $((rest_start > rest_closed ? rest_start : rest_closed))"
